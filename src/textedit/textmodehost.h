#pragma once

#include "document/loader.h"
#include "outsidetools.h"

#include <QString>

namespace kova {

class Prompter;
class TempFiles;
class TemplateDocument;

// What raw text mode needs from the main window that owns it. The window creates one
// TextModeController with itself as the host, places the controller's page, Editor menu and toolbar
// in its layout (all hidden), and answers the calls below. Every call happens on the GUI thread
// while one text-mode operation runs; none of them may re-enter the controller.
class TextModeHost
{
public:
    virtual ~TextModeHost() = default;

    // The one open template, the window's Prompter and the run's temporary-file list.
    virtual TemplateDocument &document() = 0;
    virtual Prompter &prompter() = 0;
    virtual TempFiles &tempFiles() = 0;

    // The document commands' guard: true when a node edit page is open or text mode is on
    // (TextModeController::isTextModeOn()); with showMessage it tells the user
    // "There is an edit screen open. Close it first" (exclamation icon) in that case.
    virtual bool EditScreenOpen(bool showMessage) = 0;

    // The window's own LoadDocument: loads the template at path (the document's path has already been
    // set to it) through the loader with the given report-line flag; on success clears the modified
    // flag, refreshes the caption and enables the document commands; on failure empties the path,
    // refreshes the caption and disables them. The result carries the loader's status and, with
    // reportLine, the line the loader stopped at. On a Fatal status the window ends the program; text
    // mode then touches nothing more.
    virtual LoadResult LoadDocument(const QString &path, bool reportLine) = 0;

    // Shows the program title, and " - " with the document's path when it has one.
    virtual void UpdateCaption() = 0;

    // true: hide the tab pages, the key window, the File and Options menus and the main toolbar;
    // show the text page, the Editor menu and the text-mode toolbar.
    // false: the reverse; the tab pages come back with "&Overview" selected and the tree takes the
    // focus. Text mode fills and empties the page and focuses its editor itself.
    virtual void showTextView(bool textView) = 0;

    // Text mode begins: the template is written out for the text editor, and the document emptied.
    virtual void textModeStarting() {}
    // Update has loaded the edited text as the template; changed: the user edited the text.
    virtual void textModeApplied(bool changed) { (void)changed; }
    // Text mode is over, left or never entered (its template could not be written out).
    virtual void textModeEnded() {}

    // The wait cursor on (true) or off (false); calls come in pairs, on first.
    virtual void setWaitCursor(bool wait) = 0;

    // The window's outside tools (Print, Help, Mail and Web reach them), or nullptr when it has none;
    // asked each time text mode is entered and at each command.
    virtual OutsideTools *outsideTools() { return nullptr; }
};

} // namespace kova
