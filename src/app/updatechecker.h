#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace kova {

class DesktopShell;
class Downloader;
class Prompter;

// The version as one number: major, minor and revision written one after the other in decimal
// ("3.0.5" gives 305). Missing parts count as empty; nullopt when the text is no version.
std::optional<int> versionNumber(const QString &version);

// The leading number of a version file's first line as a 16-bit integer ("306 word" gives 306);
// nullopt when the line starts with no number or the number does not fit.
std::optional<qint16> leadingVersionNumber(const QString &line);

// Asks the update server whether a newer version exists. The version file is fetched to "brlow.txt"
// in the program folder, or in the cache folder when the program folder cannot be written, read and
// deleted. A newer version offers the package in the browser, the same version says so, an older one
// says nothing; every error ends the check silently. One check runs at a time.
class UpdateChecker
{
public:
    struct Setup
    {
        QUrl server;        // the update server's root ("http://host")
        int currentVersion; // versionNumber() of the running program
        QString programFolder;
        QString cacheFolder;
    };

    UpdateChecker(Prompter &prompter, DesktopShell &shell, Downloader &downloader, Setup setup);

    void CheckForUpdate();
    bool isRunning() const { return m_running; }
    // Where the version file is stored while it is read.
    QString versionFilePath() const;

private:
    void compare(bool downloaded, const QString &file);

    Prompter &m_prompter;
    DesktopShell &m_shell;
    Downloader &m_downloader;
    Setup m_setup;
    bool m_running = false;
};

} // namespace kova
