#pragma once

#include "app/platformservices.h"

#include <QPrinter>

namespace kova::test {

// Platform pieces that open, start and print nothing real: they record what they were asked.
class RecordingShell : public DesktopShell
{
public:
    void ShellOpen(const QUrl &target) override { opened << target; }
    QList<QUrl> opened;
};

class RecordingStarter : public ProgramStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QStringList environment;
        QString settingWhileStarting; // what the test's look() saw at the start
    };
    bool startDetached(const QString &program, const QStringList &arguments, const QStringList &environment) override
    {
        starts.append({program, arguments, environment, look ? look() : QString()});
        return succeeds;
    }
    QList<Start> starts;
    bool succeeds = true;
    std::function<QString()> look;
};

// No printer installed (pdfPath empty), or a "printer" that writes its pages to pdfPath.
class ScriptedPrinters : public PrinterAccess
{
public:
    std::unique_ptr<QPrinter> defaultPrinter() override
    {
        if (look)
            look();
        if (pdfPath.isEmpty())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPath);
        return printer;
    }
    QString pdfPath;
    std::function<void()> look; // runs while the job is on
};

// A download that never happens: every request fails.
class FailingDownloader : public Downloader
{
public:
    void DownloadToFile(const QUrl &, const QString &, std::function<void(bool)> done) override { done(false); }
};

} // namespace kova::test
