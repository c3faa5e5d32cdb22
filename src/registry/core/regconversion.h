#pragma once

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QString>

#include <optional>

namespace kova {

class Prompter;
class TempFiles;

// What a conversion reports to the program that runs it. Every method does nothing unless overridden.
class ConversionHost
{
public:
    virtual ~ConversionHost() = default;

    // true at the start, false at the end, on every path: the application shows the wait cursor.
    virtual void setBusy(bool busy) { (void)busy; }
    // Called after every line read, with how much of the export has been read: done of total, both in
    // the export's own units (bytes of an 8-bit export, characters of a Unicode one). The application
    // moves its progress bar and lets pending events run here, so the window repaints.
    virtual void progress(qint64 done, qint64 total)
    {
        (void)done;
        (void)total;
    }
    // The recent-files list: the export's own name goes on it after a conversion and off it after a failure.
    virtual void addRecentFile(const QString &path) { (void)path; }
    virtual void removeRecentFile(const QString &path) { (void)path; }
};

// Lets work that is offered a turn on every line run on the first turn and then at most once per
// interval. The clock is looked at only every 64 turns: reading it is itself a system call on some
// virtual machines, and 64 lines take far less than a millisecond.
class Throttle
{
public:
    explicit Throttle(int intervalMs = 15) : m_intervalMs(intervalMs) {}
    bool due()
    {
        if (m_timer.isValid() && (++m_turns % CheckEvery != 0 || !m_timer.hasExpired(m_intervalMs)))
            return false;
        m_timer.start();
        return true;
    }

private:
    static constexpr unsigned CheckEvery = 64;
    QElapsedTimer m_timer;
    unsigned m_turns = 0;
    int m_intervalMs;
};

// Converts the registry export at path into an ADM template in a new temporary file.
//
// Every key of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER becomes a category with the key path as its
// KEYNAME, every value a policy with one part (edittext for a string, numeric for a DWORD up to 9999,
// a text part saying why for anything else that cannot be used); machine categories come before user
// categories, other hives are dropped. The first key line below Software (and not below Policies) asks,
// once, whether to move such keys into the Policies branch. A value holding a NUL character, and every
// value of a key whose name holds one, is refused like any other value that cannot be used; the NUL
// itself never reaches the template.
//
// 8-bit exports are Windows-1252; exports with a byte-order mark (regedit writes UTF-16LE) are decoded
// first. A UTF-16 export that ends in half a character is converted without that byte, after a message
// saying so. The scratch files and the result come from NewTempFile and stay listed in tempFiles.
// Every step costs time in proportion to the export's size, whatever it holds.
//
// On success path holds the result file's name and true is returned; the caller loads it, deletes it,
// leaves the document untitled and marks it modified. On failure the message has been shown through
// prompter (exclamation icon), the export is taken off the recent list, path is unchanged and false is
// returned.
bool ConvertRegFile(QString &path, Prompter &prompter, TempFiles &tempFiles, ConversionHost &host);
// The same for a caller that keeps no recent list and shows no progress.
bool ConvertRegFile(QString &path, Prompter &prompter, TempFiles &tempFiles);
// The same conversion in memory, for the fuzzer: the export's bytes in, the bytes the result file
// would hold out; no file is read or made. On failure the message has been shown through prompter
// and nothing is returned.
std::optional<QByteArray> ConvertRegExport(QByteArrayView bytes, Prompter &prompter);

} // namespace kova
