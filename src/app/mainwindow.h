#pragma once

#include "document/documentcontroller.h"
#include "document/editscreens.h"
#include "document/templatedocument.h"
#include "editors/editorpages.h"

#include <QMainWindow>

class QMenu;
class QStackedWidget;
class QTabWidget;
class QToolBar;

namespace kova {

class AboutPanel;
class HistoryActions;
class TemplateHistory;
class FileChooser;
class MainActions;
class OutsideTools;
class Preferences;
class Prompter;
class TextModeBridge;
class TextModeController;
class TreePanel;

// The main window: a shell around the document controller, the tree panel, the tab pages, the about
// panel and the menus. The text mode view is hosted here too (setTextModeView / showTextMode).
class MainWindow : public QMainWindow, public EditorHost, private EditScreens
{
    Q_OBJECT

public:
    enum Tab { Overview = 0, RegistryTab = 10, TabCount = 11 };

    MainWindow(Prompter &prompter, FileChooser &chooser, Preferences &preferences, QWidget *parent = nullptr);
    ~MainWindow() override;

    DocumentController &controller() { return m_controller; }
    TemplateDocument &document() { return m_document; }
    Prompter &prompter() const { return m_prompter; }
    MainActions &actions() const { return *m_actions; }
    TreePanel *treePanel() const { return m_treePanel; }
    QTabWidget *tabs() const { return m_tabs; }
    // The page of tab 0 to 10 (the editor pages and the registry browser fill theirs).
    QWidget *page(int tab) const;
    AboutPanel *aboutPanel() const { return m_about; }
    bool isAboutShown() const;

    // Runs the start-up steps; commandLine is the joined command line (loaded when not empty).
    void StartUp(const QString &commandLine);
    void CenterWindow();
    void ShowAbout(bool withExit);
    void HideAbout();
    void TabChanged(int previousTab);
    void RunToolbarCommand(const QString &description);
    // The node pages and their editing state.
    EditorPages &editors() const { return *m_editors; }
    // The edit history and its "&Edit" menu.
    TemplateHistory &history() const { return *m_history; }
    HistoryActions &historyActions() const { return *m_historyActions; }
    // "Find in tree" (Ctrl+Shift+F) in the Edit menu: the tree's find field takes the focus.
    QAction *findAction() const { return m_findAction; }
    // Editor pages: a page in its tab, open page tab (tab 0 disabled, tree hidden) and CloseEditorPage
    // back to the tree.
    void installEditorPage(int tab, QWidget *page) override;
    void openEditorPage(int tab) override;
    void CloseEditorPage(int tab) override;

    // Raw text mode, built with the window.
    TextModeController *textMode() const;

    // Text mode host: the raw text view, its toolbar and the Editor menu are shown instead of the tab
    // pages, the main toolbar and the File and Options menus while showTextMode(true).
    void setTextModeView(QWidget *view, QToolBar *textToolBar, QMenu *editorMenu);
    void showTextMode(bool on);
    // Text mode is on, its view showing or covered by the about panel.
    bool isTextModeShown() const;

    bool fatalOccurred() const { return m_fatal; }

    // POLEDIT, printing, help, history, update check, mail and web, for the menus, the toolbars and
    // the about panel; nullptr (the default) leaves their commands disabled. tools must outlive the
    // window or be replaced first.
    void setOutsideTools(OutsideTools *tools);
    OutsideTools *outsideTools() const { return m_outsideTools; }

signals:
    // Start-up writes the file associations now, before the preferences are read.
    void fileAssociationsDue();
    // A fatal load fault: the program must end at once (no closing questions).
    void fatalFault();
    // The registry browser: its page was switched to or left; start-up wants its hives shown.
    void registryPageEntered();
    void registryPageLeft();
    void registryBrowserRefreshDue();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectActions();
    void connectController();
    void applyCommandState();
    void onDocumentShown();
    void refreshEditCommands();
    void focusTree();
    void showMenusFor(const QWidget *view);
    bool editScreenOpen() const override;
    void showHistoryStep(TemplateNode *node);
    bool textModeShown() const override;
    bool applyTextMode() override;

    TemplateDocument m_document;
    Prompter &m_prompter;
    DocumentController m_controller;
    MainActions *m_actions;
    QStackedWidget *m_views;
    QTabWidget *m_tabs;
    TreePanel *m_treePanel;
    AboutPanel *m_about;
    QWidget *m_textView = nullptr;
    QToolBar *m_textToolBar = nullptr;
    QMenu *m_editorMenu = nullptr;
    TextModeBridge *m_textModeBridge = nullptr;
    EditorPages *m_editors;
    TemplateHistory *m_history;
    HistoryActions *m_historyActions;
    QAction *m_findAction = nullptr;
    int m_currentTab = 0;
    // What the about panel covers: 0 nothing, 1 the tab pages, 2 the text mode.
    int m_coveredView = 0;
    QList<QWidget *> m_hiddenBars;
    bool m_fatal = false;
    bool m_closing = false;
    OutsideTools *m_outsideTools = nullptr;
};

} // namespace kova
