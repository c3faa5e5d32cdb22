#include "updatechecker.h"

#include "platformservices.h"

#include "document/prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace kova {

std::optional<int> versionNumber(const QString &version)
{
    const QStringList parts = version.split(u'.');
    if (parts.size() > 3)
        return std::nullopt;
    QString digits;
    for (const QString &part : parts) {
        bool ok = false;
        const int number = part.toInt(&ok);
        if (!ok || number < 0)
            return std::nullopt;
        digits += QString::number(number);
    }
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<qint16> leadingVersionNumber(const QString &line)
{
    const QString text = line.trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    const qsizetype digitsFrom = end;
    while (end < text.size() && text[end].isDigit() && text[end].unicode() < 128)
        ++end;
    if (end == digitsFrom)
        return std::nullopt;
    bool ok = false;
    const qlonglong number = text.left(end).toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(number);
}

UpdateChecker::UpdateChecker(Prompter &prompter, DesktopShell &shell, Downloader &downloader, Setup setup)
    : m_prompter(prompter), m_shell(shell), m_downloader(downloader), m_setup(std::move(setup))
{}

QString UpdateChecker::versionFilePath() const
{
    const QFileInfo program(m_setup.programFolder);
    const QString folder = program.isDir() && program.isWritable() ? m_setup.programFolder : m_setup.cacheFolder;
    return QDir(folder).filePath(QStringLiteral("brlow.txt"));
}

void UpdateChecker::CheckForUpdate()
{
    if (m_running)
        return;
    const QString file = versionFilePath();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QUrl url = m_setup.server;
    url.setPath(url.path() + QStringLiteral("/kova.txt"));
    m_running = true;
    m_downloader.DownloadToFile(url, file, [this, file](bool ok) { compare(ok, file); });
}

void UpdateChecker::compare(bool downloaded, const QString &file)
{
    m_running = false;
    if (!downloaded)
        return;
    QFile versionFile(file);
    QString firstLine;
    if (versionFile.open(QIODevice::ReadOnly)) {
        firstLine = QString::fromLatin1(versionFile.readLine());
        versionFile.close();
    }
    versionFile.remove();
    const std::optional<qint16> newest = leadingVersionNumber(firstLine);
    if (!newest)
        return;
    if (m_setup.currentVersion < *newest) {
        const Message offer{QStringLiteral("There is a new version available!\rDownload this new version?"),
                            Message::Icon::Information, Message::Buttons::YesNo};
        if (m_prompter.ask(offer) == Answer::Yes) {
            QUrl package = m_setup.server;
            package.setPath(package.path() + QStringLiteral("/kova.zip"));
            m_shell.ShellOpen(package);
        }
    } else if (m_setup.currentVersion == *newest) {
        m_prompter.tell(QStringLiteral("You have the newest version."), Message::Icon::Information);
    }
}

} // namespace kova
