#include "admxexportcommand.h"

#include "mainactions.h"
#include "mainwindow.h"

#include "admx/admxexport.h"
#include "document/filechooser.h"
#include "document/prompter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace kova {

namespace {
constexpr int kListedWarnings = 20;
}

AdmxExportCommand::AdmxExportCommand(MainWindow &window, FileChooser &chooser)
    : QObject(&window), m_window(window), m_chooser(chooser)
{
    connect(window.actions().item(QStringLiteral("M_ExportAdmx")), &QAction::triggered, this, &AdmxExportCommand::run);
}

void AdmxExportCommand::run()
{
    if (m_window.controller().EditScreenOpen(true))
        return;
    const TemplateDocument &document = m_window.document();
    const QString start = document.path().isEmpty() ? QString() : QFileInfo(document.path()).absolutePath();
    const QString folder = m_chooser.chooseFile({QStringLiteral("Export as ADMX"), FileRequest::Mode::Folder, start});
    if (folder.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const admx::WriteResult result = admx::writeAdmxFiles(document, folder, admx::defaultOptions(document.path()));
    QApplication::restoreOverrideCursor();
    const bool clean = result.ok && result.warnings.isEmpty();
    m_window.prompter().tell(report(result), clean ? Message::Icon::None : Message::Icon::Exclamation);
}

QString AdmxExportCommand::report(const admx::WriteResult &result)
{
    if (!result.ok)
        return QStringLiteral("The template was not exported.\r\n") + result.error;
    QString text = QStringLiteral("The template was exported as\r\n%1\r\n%2")
                       .arg(QDir::toNativeSeparators(result.admxPath), QDir::toNativeSeparators(result.admlPath));
    if (result.warnings.isEmpty())
        return text;
    text += QStringLiteral("\r\n\r\nADMX cannot hold everything of this template (%1 warnings):")
                .arg(result.warnings.size());
    for (qsizetype i = 0; i < result.warnings.size() && i < kListedWarnings; ++i)
        text += QStringLiteral("\r\n") + admx::formatWarning(result.warnings.at(i));
    if (result.warnings.size() > kListedWarnings)
        text += QStringLiteral("\r\n... and %1 more.").arg(result.warnings.size() - kListedWarnings);
    return text;
}

} // namespace kova
