#pragma once

#include "platformservices.h"

#include "textedit/outsidetools.h"

#include <QObject>
#include <QUrl>

#include <memory>

namespace kova {

class MainWindow;
class PoleditLauncher;
class TemplatePrinter;
class UpdateChecker;
class clsReg;

// The help file beside the program: the Windows help file there, an HTML page where the platform has
// no viewer for that format.
QString helpFilePath(const QString &programFolder);
// The program history page beside the program.
QString historyFilePath(const QString &programFolder);

// The platform pieces the tools run on (real ones from systemPlatform(), scripted ones in tests).
struct OutsidePlatform
{
    std::unique_ptr<DesktopShell> shell;
    std::unique_ptr<ProgramStarter> programs;
    std::unique_ptr<PrinterAccess> printers;
    std::unique_ptr<Downloader> downloader;
};
OutsidePlatform systemPlatform();

// Fixed places and addresses the tools use.
struct OutsideToolsSetup
{
    QString programFolder; // help file, history page, the update check's version file
    QString cacheFolder;   // the version file when the program folder cannot be written
    QUrl updateServer;
    QUrl webSite;
    QUrl mailAddress;
    QString version;        // the running program's version ("3.0.5")
    QStringList searchPath; // where poledit.exe and wine are looked for
    QString winePrefix;     // the registry store, when it is a Wine prefix
};
// This program's setup: the folder of its executable, its cache location, the configured addresses
// and version, PATH, and the registry store directory given.
OutsideToolsSetup programSetup(const QString &registryStore);

// The outside tools of the main window. POLEDIT needs the registry (absent without one); the other
// tools are always present. Installs itself in the window and lives as the window's child.
class ShellOutsideTools : public QObject, public OutsideTools
{
public:
    ShellOutsideTools(MainWindow &window, clsReg *registry, OutsidePlatform platform, OutsideToolsSetup setup);
    ~ShellOutsideTools() override;

    bool has(Tool tool) const override;
    void LaunchPoledit() override;
    void PrintTemplate() override;
    void ShowHelp() override;
    void ShowHistory() override;
    void CheckForUpdate() override;
    void SendMail() override;
    void OpenWebSite() override;

    UpdateChecker &updateChecker() const { return *m_update; }

private:
    OutsidePlatform m_platform;
    OutsideToolsSetup m_setup;
    std::unique_ptr<PoleditLauncher> m_poledit;
    std::unique_ptr<TemplatePrinter> m_printer;
    std::unique_ptr<UpdateChecker> m_update;
};

} // namespace kova
