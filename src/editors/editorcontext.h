#pragma once

#include <QString>

namespace kova {

class EditSession;
class KeyPicker;
class Prompter;
class ValuePicker;

// The "Active key for selected item:" display on the tree's tab: the pages read it as the inherited
// key and as the pickers' fallback start key, and "Ok" refreshes it.
class ActiveKeyDisplay
{
public:
    virtual ~ActiveKeyDisplay() = default;
    virtual QString activeKeyText() const = 0;
    // Shows ActiveKeyPath of the selected tree node.
    virtual void refreshActiveKey() = 0;
};

// What every page works with. The pickers are absent until a registry browser provides them; the
// "Select" buttons stay disabled then.
struct EditorContext
{
    Prompter &prompter;
    EditSession &session;
    ActiveKeyDisplay &keyDisplay;
    KeyPicker *keyPicker = nullptr;
    ValuePicker *valuePicker = nullptr;
};

} // namespace kova
