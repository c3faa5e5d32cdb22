#include "switchform.h"

#include "actionlist.h"
#include "document/nodekeys.h"

namespace kova {

namespace {

void loadSwitch(ValueSwitch &s, const QString &rest)
{
    s.set = true;
    if (rest.startsWith(u"NUMERIC")) {
        s.numeric = true;
        s.value = Unquote(rest.mid(7).trimmed());
    } else if (rest.startsWith(u"DELETE")) {
        s.deleteValue = true;
        s.value = Unquote(rest.mid(6).trimmed());
    } else {
        s.value = Unquote(rest);
    }
}

QString composeSwitch(QStringView keyword, const ValueSwitch &s)
{
    if (!s.set)
        return QString();
    QString line = keyword.toString() + u' ';
    if (s.numeric)
        line += QStringLiteral("NUMERIC ") + s.value.trimmed();
    else if (s.deleteValue)
        line += QStringLiteral("DELETE");
    else
        line += Quote(s.value);
    return line + QStringLiteral("\r\n");
}

const QString kListEmpty = QStringLiteral("Action list has no actions. Uncheck this item or add actions");

} // namespace

void SwitchForm::loadLine(const QStringList &lines, qsizetype &i)
{
    const QString &line = lines.at(i);
    if (line.startsWith(u"KEYNAME"))
        keyname = Unquote(line.mid(7).trimmed());
    if (line.startsWith(u"VALUENAME")) {
        valueName = Unquote(line.mid(9).trimmed());
        defaultName = valueName.isEmpty();
    }
    if (line.startsWith(u"VALUEON"))
        loadSwitch(on, line.mid(7).trimmed());
    if (line.startsWith(u"VALUEOFF"))
        loadSwitch(off, line.mid(8).trimmed());
    if (line.startsWith(u"ACTIONLISTON")) {
        listOn = true;
        ReadActionListBlock(lines, i, onItems, u"END ACTIONLISTON");
    }
    // The end line of an ON block is tested on, as any line is.
    if (lines.at(i).startsWith(u"ACTIONLISTOFF")) {
        listOff = true;
        ReadActionListBlock(lines, i, offItems, u"END ACTIONLISTOFF");
    }
}

void SwitchForm::trimFields()
{
    keyname = keyname.trimmed();
    valueName = valueName.trimmed();
    on.value = on.value.trimmed();
    off.value = off.value.trimmed();
}

std::optional<FieldError> SwitchForm::validateValueName() const
{
    if ((on.set || off.set) && valueName.trimmed().isEmpty() && !defaultName)
        return FieldError{ValueName, QStringLiteral("Valuename is empty"), FieldError::Focus::AfterMessage};
    return std::nullopt;
}

std::optional<FieldError> SwitchForm::validateValues() const
{
    if (on.numeric && !isNumber(on.value))
        return FieldError{OnValue, QStringLiteral("Value is not numeric")};
    if (off.numeric && !isNumber(off.value))
        return FieldError{OffValue, QStringLiteral("Value is not numeric")};
    if (listOn && onItems.isEmpty())
        return FieldError{ActionListOn, kListEmpty};
    if (listOff && offItems.isEmpty())
        return FieldError{ActionListOff, kListEmpty};
    return std::nullopt;
}

QString SwitchForm::composeBody() const
{
    QString text;
    if (!keyname.trimmed().isEmpty())
        text += QStringLiteral("KEYNAME ") + Quote(keyname) + QStringLiteral("\r\n");
    if (defaultName)
        text += QStringLiteral("VALUENAME \"\"\r\n");
    else if (!valueName.trimmed().isEmpty())
        text += QStringLiteral("VALUENAME ") + Quote(valueName) + QStringLiteral("\r\n");
    text += composeSwitch(u"VALUEON", on);
    text += composeSwitch(u"VALUEOFF", off);
    return text + ComposeActionLists(listOn, listOff, onItems, offItems);
}

} // namespace kova
