#pragma once

#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "scriptedprompter.h"
#include "textedit/textmodehost.h"

#include <QMainWindow>

class QMenu;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QTreeWidget;

namespace kova {
class TextModeController;
}

namespace kova::test {

// A small main window that hosts text mode the way the real one does: File and Options menus, a main
// toolbar, tab pages with a tree and a key window, and the text page swapped in their place. The
// document, loader and writer are the real ones; LoadDocument does what the window's own does to the
// document and the caption.
class FakeTextModeHost : public TextModeHost
{
public:
    FakeTextModeHost();
    ~FakeTextModeHost() override;

    TemplateDocument &document() override { return m_document; }
    Prompter &prompter() override { return m_prompter; }
    TempFiles &tempFiles() override { return m_tempFiles; }
    bool EditScreenOpen(bool showMessage) override;
    LoadResult LoadDocument(const QString &path, bool reportLine) override;
    void UpdateCaption() override;
    void showTextView(bool textView) override;
    void setWaitCursor(bool wait) override;
    OutsideTools *outsideTools() override { return m_tools; }

    // Loads a template the way Open does (path set, then LoadDocument).
    bool open(const QString &path);

    ScriptedPrompter &scripted() { return m_prompter; }
    TextModeController &controller() { return *m_controller; }
    QMainWindow &window() { return m_window; }

    TemplateDocument m_document;
    ScriptedPrompter m_prompter;
    TempFiles m_tempFiles;
    OutsideTools *m_tools = nullptr;
    bool m_editPageOpen = false;
    bool m_newerStatements = false; // the loader option for EXPLAIN, SUPPORTED and CLIENTEXT
    int m_waitDepth = 0;
    int m_waitCalls = 0;
    QStringList m_loadCalls; // "path reportLine" per LoadDocument

    QMainWindow m_window;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QToolBar *m_mainToolBar = nullptr;
    QStackedWidget *m_central = nullptr;
    QWidget *m_treeSide = nullptr; // the tab pages and the key window
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_tree = nullptr;
    QWidget *m_keyWindow = nullptr;
    TextModeController *m_controller = nullptr;
};

} // namespace kova::test
