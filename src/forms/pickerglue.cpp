#include "pickerglue.h"

#include "document/nodekeys.h"
#include "pickers.h"

namespace kova {

namespace {

QString orElse(const QString &text, const QString &fallback)
{
    return text.isEmpty() ? fallback : text;
}

ValuePick takeValue(const QString &answer, const QString &remembered)
{
    ValuePick pick;
    pick.field = orElse(answer, remembered);
    if (pick.field.isEmpty())
        return pick;
    pick.answered = true;
    if (pick.field == u"(Default)") {
        pick.field.clear();
        pick.defaultName = true;
    }
    return pick;
}

} // namespace

QString startKeyFromDisplay(const QString &display)
{
    if (display.startsWith(u"HKEY_LOCAL_MACHINE"))
        return display.mid(19);
    if (display.startsWith(u"HKEY_CURRENT_USER"))
        return display.mid(18);
    return QString();
}

QString keyAboveItem(const QStringList &items, int selected)
{
    for (int i = std::min<int>(selected, int(items.size())) - 1; i >= 0; --i)
        if (items.at(i).startsWith(u"KEYNAME"))
            return Unquote(items.at(i).mid(7).trimmed());
    return QString();
}

QString PickKeyName(KeyPicker &picker, const QString &root, const QString &keyField, const QString &display)
{
    const QString start = keyField.isEmpty() ? startKeyFromDisplay(display) : keyField;
    return orElse(picker.pickKey(root, start), keyField);
}

ValuePick PickValueName(ValuePicker &picker, const QString &root, const QString &keyField, const QString &valueField,
                        const QString &display)
{
    const QString key = orElse(keyField, startKeyFromDisplay(display));
    return takeValue(picker.pickValue(root, valueField, key), valueField);
}

QString PickItemKeyName(KeyPicker &picker, const QString &root, const QStringList &items, int selected,
                        const QString &keyField, const QString &itemField, const QString &display)
{
    QString start = itemField;
    if (start.isEmpty())
        start = keyAboveItem(items, selected);
    if (start.isEmpty())
        start = orElse(keyField, startKeyFromDisplay(display));
    return orElse(picker.pickKey(root, start), itemField);
}

ValuePick PickItemValueName(ValuePicker &picker, const QString &root, const QStringList &items, int selected,
                            const QString &keyField, const QString &itemField, const QString &display)
{
    QString key = keyAboveItem(items, selected);
    if (key.isEmpty())
        key = orElse(keyField, startKeyFromDisplay(display));
    return takeValue(picker.pickValue(root, itemField, key), itemField);
}

} // namespace kova
