#pragma once

#include <QString>
#include <QStringList>

namespace kova {

// Every temporary file made during the run, in order. Entry 0 stays empty; entries start at 1.
class TempFiles
{
public:
    TempFiles() : m_files{QString()} {}

    void add(const QString &path) { m_files.append(path); }
    // Entries 1 and up.
    QStringList paths() const { return m_files.mid(1); }
    // Deletes every listed file, ignoring files that cannot be deleted, and empties the list.
    void removeAll();
    void clear() { m_files = QStringList{QString()}; }

private:
    QStringList m_files;
};

// Creates a new, empty file in the temporary directory named "ADM", a hexadecimal number and ".tmp",
// exclusively and readable by the owner only; appends its full name to files and returns it.
// Returns an empty string (and errorString says why) when no file could be made.
QString NewTempFile(TempFiles &files, QString *errorString = nullptr);

} // namespace kova
