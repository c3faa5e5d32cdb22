#include "shelloutsidetools.h"

#include "mainwindow.h"
#include "poleditlauncher.h"
#include "programinfo.h"
#include "templateprinter.h"
#include "updatechecker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kova {

namespace {

// Beside the program (Windows, the build tree); an installed Linux program finds its pages under
// share/kova, as programs' data does not belong in bin/.
QString pagePath(const QString &programFolder, const QString &name)
{
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/kova/") + name);
}

} // namespace

QString helpFilePath(const QString &programFolder)
{
#ifdef Q_OS_WIN
    return QDir(programFolder).filePath(QStringLiteral("default.chm"));
#else
    return pagePath(programFolder, QStringLiteral("default.htm"));
#endif
}

QString historyFilePath(const QString &programFolder)
{
    return pagePath(programFolder, QStringLiteral("updates.htm"));
}

OutsidePlatform systemPlatform()
{
    return {std::make_unique<SystemDesktopShell>(), std::make_unique<SystemProgramStarter>(),
            std::make_unique<SystemPrinterAccess>(), std::make_unique<HttpDownloader>()};
}

OutsideToolsSetup programSetup(const QString &registryStore)
{
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation),
            QUrl(updateServerAddress()),
            QUrl(webSiteAddress()),
            QUrl(supportMailAddress()),
            programVersion(),
            programSearchPath(),
            registryStore};
}

ShellOutsideTools::ShellOutsideTools(MainWindow &window, clsReg *registry, OutsidePlatform platform,
                                     OutsideToolsSetup setup)
    : QObject(&window), m_platform(std::move(platform)), m_setup(std::move(setup))
{
    if (registry)
        m_poledit = std::make_unique<PoleditLauncher>(window.controller(), window.prompter(), *registry,
                                                      *m_platform.programs, m_setup.searchPath, m_setup.winePrefix);
    m_printer = std::make_unique<TemplatePrinter>(window, *m_platform.printers, *m_platform.shell);
    m_update = std::make_unique<UpdateChecker>(window.prompter(), *m_platform.shell, *m_platform.downloader,
                                               UpdateChecker::Setup{m_setup.updateServer,
                                                                    versionNumber(m_setup.version).value_or(0),
                                                                    m_setup.programFolder, m_setup.cacheFolder});
    window.setOutsideTools(this);
}

// A download still running must not report to a checker that is gone: the downloader goes first.
ShellOutsideTools::~ShellOutsideTools()
{
    m_platform.downloader.reset();
}

bool ShellOutsideTools::has(Tool tool) const
{
    return tool != Tool::Poledit || m_poledit;
}

void ShellOutsideTools::LaunchPoledit()
{
    if (m_poledit)
        m_poledit->LaunchPoledit();
}

void ShellOutsideTools::PrintTemplate()
{
    m_printer->PrintTemplate();
}

void ShellOutsideTools::ShowHelp()
{
    m_platform.shell->ShellOpen(QUrl::fromLocalFile(helpFilePath(m_setup.programFolder)));
}

void ShellOutsideTools::ShowHistory()
{
    m_platform.shell->ShellOpen(QUrl::fromLocalFile(historyFilePath(m_setup.programFolder)));
}

void ShellOutsideTools::CheckForUpdate()
{
    m_update->CheckForUpdate();
}

void ShellOutsideTools::SendMail()
{
    m_platform.shell->ShellOpen(m_setup.mailAddress);
}

void ShellOutsideTools::OpenWebSite()
{
    m_platform.shell->ShellOpen(m_setup.webSite);
}

} // namespace kova
