#pragma once

#include <QString>
#include <QStringList>

namespace kova {

class KeyPicker;
class ValuePicker;

// The start key the pickers fall back on: the active key display's text without its hive name and
// the backslash after it; "" when the display names no hive of ours.
QString startKeyFromDisplay(const QString &activeKeyDisplay);

// The key of the nearest KEYNAME item above position selected in items; "" when there is none.
QString keyAboveItem(const QStringList &items, int selected);

// What a value pick leaves in the page: the name field's new text and, when the picker answered,
// the state of the (Default) box (the name field is disabled exactly while it is set).
struct ValuePick
{
    QString field;
    bool answered = false;
    bool defaultName = false;
};

// PickKeyName: the Keyname field's new text.
QString PickKeyName(KeyPicker &picker, const QString &root, const QString &keyField, const QString &activeKeyDisplay);
// PickValueName: value name field and (Default) box from the value picker.
ValuePick PickValueName(ValuePicker &picker, const QString &root, const QString &keyField, const QString &valueField,
                        const QString &activeKeyDisplay);
// PickItemKeyName: an action item's Name field from the key picker.
QString PickItemKeyName(KeyPicker &picker, const QString &root, const QStringList &items, int selected,
                        const QString &keyField, const QString &itemField, const QString &activeKeyDisplay);
// PickItemValueName: an action item's Name field and (Default) box from the value picker.
ValuePick PickItemValueName(ValuePicker &picker, const QString &root, const QStringList &items, int selected,
                            const QString &keyField, const QString &itemField, const QString &activeKeyDisplay);

} // namespace kova
