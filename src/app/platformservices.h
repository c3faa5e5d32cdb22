#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QPrinter;

namespace kova {

// The platform pieces the outside tools use, each behind a small interface so tests can script them
// and never open a browser, a mail program, a viewer, a printer or a real program.

// Hands a file, an http address or a "mailto:" address to the desktop to open with its default
// program. Failures are not reported.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    virtual void ShellOpen(const QUrl &target) = 0;
};

// Starts a program detached from this one. arguments go to the program as a list (no shell);
// environment entries ("NAME=value") are added to this process's environment. False when the program
// could not be started.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QStringList &environment) = 0;
};

// The default printer, or nullptr when the machine has none installed.
class PrinterAccess
{
public:
    virtual ~PrinterAccess() = default;
    virtual std::unique_ptr<QPrinter> defaultPrinter() = 0;
};

// Fetches url and stores the whole response body in file; done(true) once the file is written,
// done(false) on any error (no file is left behind then). done is called exactly once, later, from
// the event loop.
class Downloader
{
public:
    virtual ~Downloader() = default;
    virtual void DownloadToFile(const QUrl &url, const QString &file, std::function<void(bool)> done) = 0;
};

// The real pieces.
class SystemDesktopShell : public DesktopShell
{
public:
    void ShellOpen(const QUrl &target) override;
};

class SystemProgramStarter : public ProgramStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, const QStringList &environment) override;
};

class SystemPrinterAccess : public PrinterAccess
{
public:
    std::unique_ptr<QPrinter> defaultPrinter() override;
};

// Over HTTP with QNetworkAccessManager: a transfer that stalls for timeoutMs or a body larger than
// maxBytes fails, as does any status other than 200.
class HttpDownloader : public Downloader
{
public:
    explicit HttpDownloader(int timeoutMs = 15000, qint64 maxBytes = 64 * 1024);
    ~HttpDownloader() override;

    void DownloadToFile(const QUrl &url, const QString &file, std::function<void(bool)> done) override;

private:
    int m_timeoutMs;
    qint64 m_maxBytes;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

} // namespace kova
