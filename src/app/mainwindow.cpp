#include "mainwindow.h"

#include "aboutpanel.h"
#include "admxexportcommand.h"
#include "historyactions.h"
#include "mainactions.h"
#include "templatetreeview.h"
#include "textmodebridge.h"
#include "treepanel.h"

#include "document/keywordtable.h"
#include "document/nodekeys.h"
#include "document/preferences.h"
#include "history/templatehistory.h"
#include "textedit/textmodecontroller.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

namespace kova {

namespace {
const char *const kTabCaptions[MainWindow::TabCount] = {"&Overview", "&Category", "&Policy",   "C&heckBox",
                                                        "Co&mbobox", "&Dropdown", "&Edittext", "&Listbox",
                                                        "&Numeric",  "&Text",     "&Registry"};
} // namespace

MainWindow::MainWindow(Prompter &prompter, FileChooser &chooser, Preferences &preferences, QWidget *parent)
    : QMainWindow(parent), m_prompter(prompter), m_controller(m_document, prompter, chooser, preferences),
      m_actions(new MainActions(this)), m_views(new QStackedWidget), m_tabs(new QTabWidget),
      m_treePanel(new TreePanel(m_document, prompter)), m_about(new AboutPanel),
      m_editors(new EditorPages(m_document, prompter, *m_treePanel, *this, this)),
      m_history(new TemplateHistory(m_document, this)),
      m_historyActions(new HistoryActions(*m_history, this, m_actions->optionsMenu()->menuAction()))
{
    setObjectName(QStringLiteral("MainWindow"));
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    for (int tab = 0; tab < TabCount; ++tab) {
        QWidget *pageWidget = tab == Overview ? m_treePanel : new QWidget;
        pageWidget->setObjectName(QStringLiteral("Page%1").arg(tab));
        m_tabs->addTab(pageWidget, QString::fromLatin1(kTabCaptions[tab]));
    }
    m_views->addWidget(m_tabs);
    m_views->addWidget(m_about);
    setCentralWidget(m_views);
    resize(900, 640);

    m_editors->buildPages();
    connect(&m_editors->session(), &EditSession::opened, this, &MainWindow::refreshEditCommands);
    connect(&m_editors->session(), &EditSession::closed, this, &MainWindow::refreshEditCommands);
    connect(m_history, &TemplateHistory::stepApplied, this, &MainWindow::showHistoryStep);
    connectActions();
    connectController();
    m_textModeBridge = new TextModeBridge(*this);
    new AdmxExportCommand(*this, chooser);
}

MainWindow::~MainWindow() = default;

void MainWindow::connectActions()
{
    const auto on = [this](const char *name, auto &&run) {
        connect(m_actions->item(QString::fromLatin1(name)), &QAction::triggered, this, run);
    };
    on("M_New", [this] { m_controller.newDocument(); });
    on("M_Open", [this] { m_controller.open(); });
    on("M_Save", [this] { m_controller.save(); });
    on("M_SaveAs", [this] { m_controller.saveAs(); });
    on("M_Exit", [this] { close(); });
    on("M_Expand", [this] { m_treePanel->expandAll(); });
    on("M_Collapse", [this] { m_treePanel->collapseAll(); });
    on("M_Strings", [this] { m_controller.toggleStrings(); });
    on("M_NewerStatements", [this](bool checked) { m_controller.setNewerStatements(checked); });
    connect(&m_controller, &DocumentController::newerStatementsChanged,
            m_actions->item(QStringLiteral("M_NewerStatements")), &QAction::setChecked);
    on("M_TEdit", [this] { textMode()->EnterTextMode(); });
    on("M_About", [this] { ShowAbout(true); });
    for (int i = 1; i <= 4; ++i)
        connect(m_actions->Bestand(i), &QAction::triggered, this, [this, i] { m_controller.openRecent(i); });

    connect(m_about, &AboutPanel::exitRequested, this, &MainWindow::HideAbout);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = m_currentTab;
        m_currentTab = index;
        TabChanged(previous);
    });
    connect(m_treePanel, &TreePanel::editRequested, this, [this] { m_editors->EditNode(m_treePanel->selectedNode()); });

    // "Find in tree" shows the tree and puts the cursor in its find field.
    m_historyActions->menu()->addSeparator();
    m_findAction = m_historyActions->menu()->addAction(QStringLiteral("Find in tree"));
    m_findAction->setObjectName(QStringLiteral("M_Find"));
    m_findAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    m_findAction->setEnabled(false);
    connect(m_findAction, &QAction::triggered, this, [this] {
        if (editScreenOpen() || !m_tabs->isTabEnabled(Overview))
            return;
        m_tabs->setCurrentIndex(Overview);
        m_treePanel->focusFindField();
    });
    // The count stays on the status bar while the find is on; a passing tip only covers it.
    auto *findStatus = new QLabel;
    findStatus->setObjectName(QStringLiteral("FindStatus"));
    statusBar()->addWidget(findStatus);
    connect(m_treePanel, &TreePanel::findStatusChanged, findStatus, &QLabel::setText);
}

void MainWindow::connectController()
{
    m_controller.setEditScreens(this);
    connect(&m_controller, &DocumentController::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_controller, &DocumentController::commandStateChanged, this, &MainWindow::applyCommandState);
    connect(&m_controller, &DocumentController::stringsOptionChanged, this,
            [this](bool on) { m_actions->item(QStringLiteral("M_Strings"))->setChecked(on); });
    connect(&m_controller.recentFiles(), &RecentFiles::changed, this,
            [this] { m_actions->showRecentFiles(m_controller.recentFiles().items()); });
    connect(&m_controller, &DocumentController::documentCreated, this, [this] {
        onDocumentShown();
        m_treePanel->Inhoud()->clear();
    });
    connect(&m_controller, &DocumentController::documentLoaded, this, [this] {
        onDocumentShown();
        m_treePanel->selectRoot();
    });
    connect(&m_controller, &DocumentController::focusTreeRequested, this,
            [this] { m_treePanel->treeView()->setFocus(); });
    connect(&m_controller, &DocumentController::fatalFault, this, [this] {
        m_fatal = true;
        emit fatalFault();
    });
}

void MainWindow::setOutsideTools(OutsideTools *tools)
{
    m_outsideTools = tools;
    m_actions->setOutsideTools(tools);
    m_about->setOutsideTools(tools);
}

QWidget *MainWindow::page(int tab) const
{
    return m_tabs->widget(tab);
}

void MainWindow::applyCommandState()
{
    const DocumentController::CommandState &s = m_controller.commandState();
    m_actions->setDocumentCommandsEnabled(s.documentCommands);
    m_actions->setTreeCommandsEnabled(s.treeCommands);
    m_tabs->setTabEnabled(Overview, s.overview);
    m_treePanel->treeView()->setEnabled(s.overview);
    m_treePanel->findField()->setEnabled(s.overview);
    refreshEditCommands();
}

// Undo, Redo and "Find in tree" wait while a page or the text mode edits the template.
void MainWindow::refreshEditCommands()
{
    const bool open = editScreenOpen();
    m_historyActions->setEditScreenOpen(open);
    if (m_findAction)
        m_findAction->setEnabled(m_controller.commandState().overview && !open);
}

void MainWindow::onDocumentShown()
{
    if (isAboutShown())
        HideAbout();
}

void MainWindow::StartUp(const QString &commandLine)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_document.clear();
    m_controller.tempFiles().clear();
    m_treePanel->setInsertPosition(InsertPosition::After);
    emit fileAssociationsDue();
    m_controller.readPreferences();
    m_actions->item(QStringLiteral("M_NewerStatements"))->setChecked(m_controller.newerStatements());
    ShowAbout(false);
    m_treePanel->clearNodeView();
    m_tabs->setCurrentIndex(RegistryTab);
    for (int tab = 0; tab < RegistryTab; ++tab)
        m_tabs->setTabEnabled(tab, false);
    m_tabs->setTabEnabled(RegistryTab, true);
    m_tabs->setCurrentIndex(Overview);
    KeywordTable::standard();
    m_controller.UpdateCaption();
    if (!commandLine.isEmpty()) {
        const QString file = Unquote(commandLine);
        m_document.setPath(file);
        if (m_controller.LoadDocument(file, false).loaded())
            m_treePanel->treeView()->setFocus(); // as after Open
    }
    if (!m_fatal) {
        emit registryBrowserRefreshDue();
        CenterWindow();
    }
    QApplication::restoreOverrideCursor();
}

void MainWindow::CenterWindow()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        return;
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect area = s->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

bool MainWindow::isAboutShown() const
{
    return m_views->currentWidget() == m_about;
}

void MainWindow::ShowAbout(bool withExit)
{
    int covered = 0;
    if (m_views->currentWidget() == m_tabs)
        covered = 1;
    else if (m_textView && m_views->currentWidget() == m_textView)
        covered = 2;
    if (covered != 0)
        m_coveredView = covered;
    m_views->setCurrentWidget(m_about);
    if (withExit && covered != 0) {
        m_about->exitButton()->show();
        m_hiddenBars.clear();
        for (QToolBar *bar : {m_actions->toolBar(), m_textToolBar})
            if (bar && bar->isVisibleTo(this)) {
                m_hiddenBars.append(bar);
                bar->hide();
            }
        for (QMenu *menu : {m_actions->fileMenu(), m_historyActions->menu(), m_actions->optionsMenu(),
                            m_actions->helpMenu(), m_editorMenu})
            if (menu)
                menu->menuAction()->setVisible(false);
    }
    for (QLabel *line : m_about->lines())
        line->show();
}

void MainWindow::HideAbout()
{
    m_views->setCurrentWidget(m_coveredView == 2 && m_textView ? m_textView : static_cast<QWidget *>(m_tabs));
    m_about->exitButton()->hide();
    for (QLabel *line : m_about->lines())
        line->hide();
    for (QWidget *bar : std::as_const(m_hiddenBars))
        bar->show();
    m_hiddenBars.clear();
    showMenusFor(m_views->currentWidget());
    if (m_views->currentWidget() == m_tabs && m_tabs->currentIndex() == Overview)
        focusTree();
    else if (m_views->currentWidget() == m_textView)
        m_textView->setFocus(Qt::OtherFocusReason);
}

// The text view has the Editor and Help menus; the tab pages have File, Options and Help.
void MainWindow::showMenusFor(const QWidget *view)
{
    const bool text = m_textView && view == m_textView;
    m_actions->fileMenu()->menuAction()->setVisible(!text);
    m_historyActions->menu()->menuAction()->setVisible(!text);
    m_actions->optionsMenu()->menuAction()->setVisible(!text);
    m_actions->helpMenu()->menuAction()->setVisible(true);
    if (m_editorMenu)
        m_editorMenu->menuAction()->setVisible(text);
}

// The tree takes part in keyboard navigation only while it can be seen.
void MainWindow::focusTree()
{
    QTreeView *tree = m_treePanel->treeView();
    tree->setFocusPolicy(tree->isVisible() ? Qt::StrongFocus : Qt::NoFocus);
    if (tree->isVisible())
        tree->setFocus();
}

void MainWindow::TabChanged(int previousTab)
{
    Q_UNUSED(previousTab); // the pages keep their own Enter and Esc keys
    const int current = m_tabs->currentIndex();
    if (current == Overview)
        focusTree();
    if (current == RegistryTab)
        emit registryPageEntered();
    else
        emit registryPageLeft();
}

bool MainWindow::editScreenOpen() const
{
    return m_editors->isOpen() || isTextModeShown();
}

bool MainWindow::textModeShown() const
{
    return isTextModeShown();
}

bool MainWindow::applyTextMode()
{
    return textMode()->TextModeUpdate();
}

// After an undo or redo the tree shows where the template changed.
void MainWindow::showHistoryStep(TemplateNode *node)
{
    if (!m_document.root())
        return;
    m_treePanel->selectNode(node ? node : m_document.root());
}

void MainWindow::installEditorPage(int tab, QWidget *editorPage)
{
    const QIcon icon = m_tabs->tabIcon(tab);
    const QString caption = m_tabs->tabText(tab);
    QWidget *placeholder = m_tabs->widget(tab);
    m_tabs->removeTab(tab);
    delete placeholder;
    m_tabs->insertTab(tab, editorPage, icon, caption);
    m_tabs->setTabEnabled(tab, false);
}

void MainWindow::openEditorPage(int tab)
{
    m_treePanel->treeView()->hide();
    m_tabs->setTabEnabled(tab, true);
    m_tabs->setCurrentIndex(tab);
    m_tabs->setTabEnabled(Overview, false);
}

void MainWindow::CloseEditorPage(int tab)
{
    m_treePanel->ShowNodeText();
    m_tabs->setTabEnabled(Overview, true);
    m_treePanel->treeView()->show();
    m_tabs->setCurrentIndex(Overview);
    m_tabs->setTabEnabled(tab, false);
    m_treePanel->treeView()->setFocus();
}

TextModeController *MainWindow::textMode() const
{
    return m_textModeBridge ? m_textModeBridge->controller() : nullptr;
}

void MainWindow::setTextModeView(QWidget *view, QToolBar *textToolBar, QMenu *editorMenu)
{
    m_textView = view;
    m_textToolBar = textToolBar;
    m_editorMenu = editorMenu;
    m_views->addWidget(view);
    if (textToolBar) {
        addToolBar(textToolBar);
        textToolBar->hide();
    }
    if (editorMenu) {
        menuBar()->insertMenu(m_actions->helpMenu()->menuAction(), editorMenu);
        editorMenu->menuAction()->setVisible(false);
    }
}

// The key window lives on the "&Overview" page, so it goes and comes with the tab pages.
void MainWindow::showTextMode(bool on)
{
    if (!m_textView)
        return;
    QWidget *view = on ? m_textView : static_cast<QWidget *>(m_tabs);
    m_views->setCurrentWidget(view);
    m_actions->toolBar()->setVisible(!on);
    if (m_textToolBar)
        m_textToolBar->setVisible(on);
    showMenusFor(view);
    refreshEditCommands();
    if (!on) {
        m_tabs->setCurrentIndex(Overview);
        focusTree();
    }
}

bool MainWindow::isTextModeShown() const
{
    const TextModeController *mode = textMode();
    return mode && mode->isTextModeOn();
}

void MainWindow::RunToolbarCommand(const QString &description)
{
    m_actions->RunToolbarCommand(description);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_fatal) {
        event->accept();
        return;
    }
    switch (m_controller.closeRequest()) {
    case DocumentController::CloseDecision::Cancel: event->ignore(); return;
    case DocumentController::CloseDecision::CloseNow: event->accept(); return;
    case DocumentController::CloseDecision::Close:
        m_controller.tempFiles().removeAll();
        event->accept();
        return;
    }
}

} // namespace kova
