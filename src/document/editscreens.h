#pragma once

namespace kova {

// What the document commands need to know of the screens that edit the template in place: a node
// page or the raw text view. While one is open, commands that would replace the document refuse.
class EditScreens
{
public:
    virtual ~EditScreens() = default;
    // A node page or the raw text view is open.
    virtual bool editScreenOpen() const = 0;
    // The raw text view is showing (the close sequence takes its text back before saving).
    virtual bool textModeShown() const = 0;
    // Takes the raw text back into the tree; false when the loader refused it.
    virtual bool applyTextMode() = 0;
};

} // namespace kova
