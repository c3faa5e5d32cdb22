#include "mainactions.h"

#include "icons.h"

#include "textedit/outsidetools.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace kova {

MainActions::MainActions(QMainWindow *window) : QObject(window)
{
    QMenuBar *bar = window->menuBar();
    m_file = bar->addMenu(QStringLiteral("&File"));
    m_file->setObjectName(QStringLiteral("FileMenu"));
    add(m_file, QStringLiteral("M_New"), QStringLiteral("New"), QStringLiteral("Ctrl+N"));
    add(m_file, QStringLiteral("M_Open"), QStringLiteral("Open"), QStringLiteral("Ctrl+O"));
    add(m_file, QStringLiteral("M_Save"), QStringLiteral("Save"), QStringLiteral("Ctrl+S"));
    add(m_file, QStringLiteral("M_SaveAs"), QStringLiteral("Save As"), QStringLiteral("Ctrl+A"));
    add(m_file, QStringLiteral("M_ExportAdmx"), QStringLiteral("Export as ADMX..."));
    add(m_file, QStringLiteral("M_Print"), QStringLiteral("Print Template"));
    m_bestand.append(m_file->addSeparator());
    m_bestand.first()->setObjectName(QStringLiteral("Bestand0"));
    for (int i = 1; i <= 4; ++i) {
        QAction *recent = m_file->addAction(QString());
        recent->setObjectName(QStringLiteral("Bestand%1").arg(i));
        m_bestand.append(recent);
    }
    m_file->addSeparator();
    add(m_file, QStringLiteral("M_Exit"), QStringLiteral("Exit"), QStringLiteral("Ctrl+X"));

    m_options = bar->addMenu(QStringLiteral("Option&s"));
    m_options->setObjectName(QStringLiteral("OptionsMenu"));
    add(m_options, QStringLiteral("M_Expand"), QStringLiteral("Expand Overview Window"), QStringLiteral("Ctrl+E"));
    add(m_options, QStringLiteral("M_Collapse"), QStringLiteral("Collapse Overview  Window"), QStringLiteral("Ctrl+C"));
    add(m_options, QStringLiteral("M_Strings"), QStringLiteral("Save strings in string table"),
        QStringLiteral("Ctrl+T"))
        ->setCheckable(true);
    add(m_options, QStringLiteral("M_NewerStatements"),
        QStringLiteral("Accept statements of newer templates (EXPLAIN, SUPPORTED, CLIENTEXT)"))
        ->setCheckable(true);
    add(m_options, QStringLiteral("M_Poledit"), QStringLiteral("Load POLEDIT with this template"),
        QStringLiteral("Ctrl+P"));
    add(m_options, QStringLiteral("M_TEdit"), QStringLiteral("Edit file with text editor"), QStringLiteral("Ctrl+I"));

    m_help = bar->addMenu(QStringLiteral("&Help"));
    m_help->setObjectName(QStringLiteral("HelpMenu"));
    add(m_help, QStringLiteral("M_Help"), QStringLiteral("&Help"), QStringLiteral("F1"));
    add(m_help, QStringLiteral("M_About"), QStringLiteral("&About"));
    add(m_help, QStringLiteral("M_History"), QStringLiteral("&Program history"));
    add(m_help, QStringLiteral("M_Update"), QStringLiteral("Check for new version on the Internet"));
    add(m_help, QStringLiteral("M_Mail"), QStringLiteral("Send E-mail to author"), QStringLiteral("Ctrl+M"));
    add(m_help, QStringLiteral("M_Web"), QStringLiteral("Go to website"), QStringLiteral("Ctrl+W"));

    m_toolBar = window->addToolBar(QStringLiteral("Main"));
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addButton(QStringLiteral("New"), QStringLiteral("Create New Policy Template File"), QStringLiteral("M_New"),
              QStringLiteral("new"));
    addButton(QStringLiteral("Open"), QStringLiteral("Open Policy Template File"), QStringLiteral("M_Open"),
              QStringLiteral("open-file"));
    addButton(QStringLiteral("Save"), QStringLiteral("Save Policy Template File"), QStringLiteral("M_Save"),
              QStringLiteral("save"));
    addButton(QStringLiteral("SaveAs"), QStringLiteral("Save Policy Template File As"), QStringLiteral("M_SaveAs"),
              QStringLiteral("saveas"));
    addButton(QStringLiteral("Print"), QStringLiteral("Print Template"), QStringLiteral("M_Print"),
              QStringLiteral("print"));
    m_toolBar->addSeparator();
    addButton(QStringLiteral("Expand"), QStringLiteral("Expand Overview Window"), QStringLiteral("M_Expand"),
              QStringLiteral("expand"));
    addButton(QStringLiteral("Collapse"), QStringLiteral("Collapse Overview Window"), QStringLiteral("M_Collapse"),
              QStringLiteral("collapse"));
    addButton(QStringLiteral("Strings"), QStringLiteral("Save strings in stringtable"), QStringLiteral("M_Strings"),
              QStringLiteral("strings"));
    m_toolBar->addSeparator();
    addButton(QStringLiteral("Poledit"), QStringLiteral("Load POLEDIT with this template"), QStringLiteral("M_Poledit"),
              QStringLiteral("poledit"));
    addButton(QStringLiteral("Editor"), QStringLiteral("Edit file with text editor"), QStringLiteral("M_TEdit"),
              QStringLiteral("editor"));
    m_toolBar->addSeparator();
    addButton(QStringLiteral("Help"), QStringLiteral("Show help file"), QStringLiteral("M_Help"),
              QStringLiteral("help"));
    addButton(QStringLiteral("Mail"), QStringLiteral("Send E-mail to author"), QStringLiteral("M_Mail"),
              QStringLiteral("mail"));
    addButton(QStringLiteral("Web"), QStringLiteral("Go to authors website"), QStringLiteral("M_Web"),
              QStringLiteral("web"));

    showRecentFiles({});
    connectOutsideTools();
    setDocumentCommandsEnabled(false);
    setTreeCommandsEnabled(false);
}

QAction *MainActions::add(QMenu *menu, const QString &name, const QString &caption, const QString &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut));
    m_items.insert(name, action);
    return action;
}

void MainActions::addButton(const QString &description, const QString &toolTip, const QString &itemName,
                            const QString &icon)
{
    QAction *action = m_items.value(itemName);
    action->setToolTip(toolTip);
    action->setProperty("enabledToolTip", toolTip); // the tooltip of the enabled button
    action->setIcon(kovaIcon(icon));
    action->setIconVisibleInMenu(false);
    action->setProperty("description", description);
    m_toolBar->addAction(action);
    m_buttons.insert(description, action);
    m_descriptionOrder.append(description);
}

void MainActions::RunToolbarCommand(const QString &description)
{
    if (QAction *action = m_buttons.value(description); action && action->isEnabled())
        action->trigger();
}

void MainActions::showRecentFiles(const QStringList &captions)
{
    bool any = false;
    for (int i = 1; i <= 4; ++i) {
        const QString caption = captions.value(i - 1);
        m_bestand[i]->setText(QString(caption).replace(u'&', QStringLiteral("&&")));
        m_bestand[i]->setVisible(!caption.isEmpty());
        any = any || !caption.isEmpty();
    }
    m_bestand[0]->setVisible(any);
}

namespace {
using Tool = OutsideTools::Tool;
// The menu items of the outside tools; POLEDIT and printing also need a document.
struct ToolItem
{
    const char *name;
    Tool tool;
    bool needsDocument;
};
constexpr ToolItem kToolItems[] = {
    {"M_Poledit", Tool::Poledit, true},  {"M_Print", Tool::Print, true},    {"M_Help", Tool::Help, false},
    {"M_History", Tool::History, false}, {"M_Update", Tool::Update, false}, {"M_Mail", Tool::Mail, false},
    {"M_Web", Tool::Web, false},
};
} // namespace

void MainActions::setDocumentCommandsEnabled(bool on)
{
    m_documentCommands = on;
    for (const char *name : {"M_TEdit", "M_Save", "M_SaveAs", "M_ExportAdmx"})
        m_items.value(QString::fromLatin1(name))->setEnabled(on);
    enableOutsideTools();
}

void MainActions::setOutsideTools(OutsideTools *tools)
{
    m_tools = tools;
    enableOutsideTools();
}

void MainActions::connectOutsideTools()
{
    for (const ToolItem &item : kToolItems)
        connect(m_items.value(QString::fromLatin1(item.name)), &QAction::triggered, this, [this, tool = item.tool] {
            if (m_tools)
                m_tools->run(tool);
        });
}

void MainActions::enableOutsideTools()
{
    for (const ToolItem &item : kToolItems) {
        QAction *action = m_items.value(QString::fromLatin1(item.name));
        const bool present = hasTool(m_tools, item.tool);
        const bool on = present && (m_documentCommands || !item.needsDocument);
        action->setEnabled(on);
        // A disabled command says what would enable it, in its tooltip and in the status bar.
        QString why;
        if (!present)
            why = item.tool == Tool::Poledit ? QStringLiteral("Needs poledit.exe on the program search path")
                                             : QStringLiteral("Not available on this system");
        else if (!on)
            why = QStringLiteral("Open or create a template first");
        action->setStatusTip(why);
        const QString toolTip = action->property("enabledToolTip").toString();
        if (!toolTip.isEmpty())
            action->setToolTip(why.isEmpty() ? toolTip : toolTip + QStringLiteral(" (") + why + u')');
    }
}

void MainActions::setTreeCommandsEnabled(bool on)
{
    for (const char *name : {"M_Expand", "M_Collapse"})
        m_items.value(QString::fromLatin1(name))->setEnabled(on);
}

} // namespace kova
