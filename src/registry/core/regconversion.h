#pragma once

#include <QString>

#include <functional>

namespace kova {

class Prompter;
class TempFiles;

// What the caller of ConvertRegFile lends it. Every hook may be left empty.
struct RegConversionHooks
{
    // Called once per input line so the window can repaint during a long conversion (the application
    // passes a call of QCoreApplication::processEvents).
    std::function<void()> processEvents;
    // true at the start, false at the end on every path: the application shows the wait cursor.
    std::function<void(bool busy)> setBusy;
    // The recent-files list: the export's own name goes on it after a conversion and off it after a failure.
    std::function<void(const QString &path)> addRecentFile;
    std::function<void(const QString &path)> removeRecentFile;
};

// A processEvents hook that lets pump run on the first call and then at most once per interval (the
// clock is looked at every 64 calls): the conversion still offers the window a turn on every line, but
// a large export does not pay for an event-loop pass per line. The window repaints about every interval
// milliseconds.
std::function<void()> throttledEventPump(std::function<void()> pump, int intervalMs = 15);

// Converts the registry export at path into an ADM template in a new temporary file.
//
// Every key of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER becomes a category with the key path as its
// KEYNAME, every value a policy with one part (edittext for a string, numeric for a DWORD up to 9999,
// a text part saying why for anything else that cannot be used); machine categories come before user
// categories, other hives are dropped. The first key line below Software (and not below Policies) asks,
// once, whether to move such keys into the Policies branch.
//
// 8-bit exports are Windows-1252; exports with a byte-order mark (regedit writes UTF-16LE) are decoded
// first. The scratch files and the result come from NewTempFile and stay listed in tempFiles.
//
// On success path holds the result file's name and true is returned; the caller loads it, deletes it,
// leaves the document untitled and marks it modified. On failure the message has been shown through
// prompter (exclamation icon), the export is taken off the recent list, path is unchanged and false is
// returned.
bool ConvertRegFile(QString &path, Prompter &prompter, TempFiles &tempFiles, const RegConversionHooks &hooks = {});

} // namespace kova
