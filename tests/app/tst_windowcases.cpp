// The main window, one case a folder under tests/data/window: the real window over logged messages, file
// dialogs and outside tools. Every message shown, every file dialog ("[dialog] Open (open) at FOLDER ->
// ANSWER"), every outside tool's call ("[tool] mail") and each step's outcome go to `log`, the scratch folder
// shown as ".". Steps:
//   set strings|newer|admx-language LANG, recent N FILE   the preferences' option, recent entry N (before start)
//   tools NAME...|none    the outside tools present (print poledit help history update mail web; all unless told)
//   start [FILE [ARGS]]  the window, made as the program makes it, started with "FILE" ARGS as its command line
//   answer yes|no|cancel, choose FILE|.|cancel   the next question's answer (else No), the next file dialog's
//   trigger NAME          a main menu item, a tree menu item, Bestand1..4, undo, M_Find, or a text mode item or button
//   button DESCRIPTION    a toolbar button, as the toolbar runs it ("New", "Web")
//   encoding NAME, saveas NAME  "Reopen with Encoding" and "Save As with Encoding" to NAME
//   language NAME|list    Options, "ADMX Language": chooses NAME, or lists the choices
//   select CAPTION|root   selects the node in the tree; node: its text in the box under the tree
//   key SEQUENCE, type TEXT   keys or text to the widget with the focus; focus tree|find moves it
//   find TEXT, drop CAPTION TARGET   the tree's find field set to TEXT; drags the node onto the target
//   paste FILE, field NAME TEXT      FILE's text over text mode's whole text; the open page's field NAME set
//   tmpdir bad|good       temporary files cannot be made, or can again
//   cancel, about-exit, close, signal, offer   the page's Cancel, the about panel's Exit,
//                         closing the window, a termination signal, the recovered copy's offer at start
//   state                 what the window shows (see state()); rows: the tree as the view shows it
#include "casefolders.h"
#include "loggingprompter.h"
#include "recordingoutsidetools.h"
#include "templatefixtures.h"

#include "app/aboutpanel.h"
#include "app/admxlanguagemenu.h"
#include "app/encodingmenu.h"
#include "app/historyactions.h"
#include "app/mainactions.h"
#include "app/mainwindow.h"
#include "app/recoverykeeper.h"
#include "app/templatetreeview.h"
#include "app/terminationwiring.h"
#include "app/treepanel.h"
#include "document/filechooser.h"
#include "document/preferences.h"
#include "document/templatedocument.h"
#include "editors/editorpage.h"
#include "editors/editorpages.h"
#include "forms/editsession.h"
#include "testfiles.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

using namespace kova;
using namespace kova::test;
using Tool = OutsideTools::Tool;

namespace {

// The items whose enabled state `state` shows.
const char *const kItems[] = {"M_New",     "M_Open",  "M_Save",   "M_SaveAs",   "M_ExportAdmx", "M_Print",
                              "M_Poledit", "M_TEdit", "M_Expand", "M_Collapse", "M_Help",       "M_History",
                              "M_Update",  "M_Mail",  "M_Web",    "M_Find",     "M_Strings",    "M_NewerStatements",
                              "Insmode0"};
const char *const kTreeItems[] = {"M_EditNode", "M_Delete", "M_Add",       "M_AddCat",    "M_AddPol",
                                  "M_AddPartM", "M_Insert", "M_InsertCat", "M_InsertPol", "M_InsertPartM"};

struct LoggingChooser : FileChooser
{
    LoggingChooser(QByteArray &log, QString scratch) : m_log(log), m_scratch(std::move(scratch)) {}
    QStringList answers;
    QString chooseFile(const FileRequest &request) override
    {
        static const char *const modes[] = {"open", "save", "folder", "pdf"};
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        m_log += QStringLiteral("[dialog] %1 (%2) at %3 -> %4\n")
                     .arg(request.title, QLatin1String(modes[int(request.mode)]), request.proposedName,
                          answer.isEmpty() ? QStringLiteral("cancel") : answer)
                     .toUtf8();
        return answer.isEmpty() || answer == u"." ? (answer.isEmpty() ? answer : m_scratch) : m_scratch + u'/' + answer;
    }
    QByteArray &m_log;
    QString m_scratch;
};

struct Window
{
    QByteArray log;
    QString scratch;
    QTemporaryDir tmpDir; // the case's own temporary files
    QString tmp = tmpDir.path();
    QTemporaryDir settings;
    Preferences preferences{settings.filePath(QStringLiteral("kova.ini"))};
    LoggingPrompter prompter{log};
    LoggingChooser chooser;
    RecordingOutsideTools tools;
    std::unique_ptr<MainWindow> window;
    EncodingMenu *encodings = nullptr;
    AdmxLanguageMenu *languages = nullptr;
    RecoveryKeeper *keeper = nullptr;

    explicit Window(const QString &dir) : scratch(dir), chooser(log, dir) { qputenv("TMPDIR", QFile::encodeName(tmp)); }
    TreePanel *panel() const { return window->treePanel(); }
    TemplateNode *node(const QString &caption) const
    {
        return caption == u"root" ? window->document().root() : findNode(window->document(), caption);
    }
    QAction *action(const QString &name) const
    {
        if (name.startsWith(u"Bestand"))
            return window->actions().Bestand(name.mid(7).toInt());
        QAction *a = name == u"undo"     ? window->historyActions().undoAction()
                     : name == u"M_Find" ? window->findAction()
                                         : window->actions().item(name);
        a = a ? a : panel()->menuAction(name);
        a = a ? a : window->textMode()->commands()->menuItem(name);
        return a ? a : window->textMode()->commands()->toolButton(name);
    }
    static bool choose(QMenu *menu, const QString &data) // the item whose data or text is data
    {
        for (QAction *a : menu->actions())
            if (a->data().toString() == data || a->text() == data)
                return (a->trigger(), true);
        return false;
    }
    bool step(const QStringList &s);
    void state();
    void rows(const QModelIndex &parent, int depth);
};

bool Window::step(const QStringList &s)
{
    const QString &name = s.first();
    const QString arg = s.value(1);
    if (name == u"set") {
        if (arg == u"admx-language")
            preferences.setAdmxLanguage(s.value(2));
        else
            arg == u"strings" ? preferences.setStrings(true) : preferences.setNewerStatements(true);
    } else if (name == u"recent") {
        preferences.setRecentFile(arg.toInt(), scratch + u'/' + s.value(2));
    } else if (name == u"tools") {
        tools.present.clear();
        const QStringList all{"poledit", "print", "help", "history", "update", "mail", "web"};
        for (const QString &tool : s.mid(1))
            if (all.contains(tool))
                tools.present.insert(Tool(all.indexOf(tool)));
        if (window)
            window->setOutsideTools(&tools);
    } else if (name == u"start") {
        window = std::make_unique<MainWindow>(prompter, chooser, preferences);
        window->setOutsideTools(&tools);
        encodings = new EncodingMenu(*window, preferences);
        languages = new AdmxLanguageMenu(*window);
        keeper = new RecoveryKeeper(*window, scratch + QStringLiteral("/recovery"));
        QObject::connect(window.get(), &MainWindow::fatalFault, [this] { log += "[fatal fault]\n"; });
        window->show();
        window->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
        window->StartUp(arg.isEmpty() ? arg : (u'"' + scratch + u'/' + arg + u'"' + QStringList(s.mid(2)).join(u' ')));
    } else if (name == u"answer") {
        prompter.answers.enqueue(arg == u"yes" ? Answer::Yes : arg == u"no" ? Answer::No : Answer::Cancel);
    } else if (name == u"choose") {
        chooser.answers << (arg == u"cancel" ? QString() : arg);
    } else if (name == u"trigger") {
        QAction *a = action(arg);
        if (!a)
            return false;
        a->trigger();
    } else if (name == u"button") {
        window->RunToolbarCommand(arg);
    } else if (name == u"encoding" || name == u"saveas") {
        return choose(name == u"encoding" ? encodings->menu() : encodings->saveMenu(), arg);
    } else if (name == u"language" && arg != u"list") {
        return choose(languages->menu(), arg);
    } else if (name == u"language") { // the choices, the checked one marked
        languages->refresh();
        for (QAction *a : languages->menu()->actions())
            log += a->isSeparator() ? "" : "= " + QByteArray(a->isChecked() ? "* " : "") + a->text().toUtf8() + '\n';
    } else if (name == u"select") {
        panel()->selectNode(node(arg));
    } else if (name == u"key") {
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), QKeySequence(arg));
    } else if (name == u"type") {
        QTest::keyClicks(QApplication::focusWidget(), arg);
    } else if (name == u"focus") {
        arg == u"tree" ? panel()->treeView()->setFocus() : panel()->findField()->setFocus();
    } else if (name == u"node") {
        log += "= " + panel()->Inhoud()->toPlainText().replace(u'\n', u'|').toUtf8() + '\n';
    } else if (name == u"paste") {
        window->textMode()->editor()->selectAll();
        window->textMode()->editor()->insertPlainText(QString::fromUtf8(readBytes(scratch + u'/' + arg)));
    } else if (name == u"field") {
        window->editors().page(window->editors().session().kind())->findChild<QLineEdit *>(arg)->setText(s.value(2));
    } else if (name == u"tmpdir") {
        qputenv("TMPDIR", arg == u"bad" ? QByteArray("/proc") : QFile::encodeName(tmp)); // nothing can be made in /proc
    } else if (name == u"find") {
        panel()->setFindText(arg);
    } else if (name == u"drop") {
        log += panel()->dropNode(node(arg), node(s.value(2))) ? "= dropped\n" : "= not dropped\n";
    } else if (name == u"cancel") {
        window->editors().session().cancel();
    } else if (name == u"about-exit") {
        window->aboutPanel()->exitButton()->click();
    } else if (name == u"close") {
        const bool closed = window->close();
        log += QStringLiteral("= %1, %2 temporary files\n")
                   .arg(closed ? "closed" : "stays open")
                   .arg(QDir(tmp).entryList(QDir::Files).size())
                   .toUtf8();
    } else if (name == u"signal") {
        leaveOnSignal(*window);
    } else if (name == u"offer") {
        keeper->offerRecovered();
    } else if (name == u"state") {
        state();
    } else if (name == u"rows") {
        rows({}, 0);
    } else {
        return false;
    }
    QCoreApplication::processEvents();
    for (const QString &call : std::as_const(tools.calls))
        log += "[tool] " + call.toUtf8() + '\n';
    tools.calls.clear();
    return true;
}

// The view's rows, depth first: "+" open, "-" closed, "*" the current row.
void Window::rows(const QModelIndex &parent, int depth)
{
    const QTreeView *view = panel()->treeView();
    for (int row = 0; row < view->model()->rowCount(parent); ++row) {
        const QModelIndex index = view->model()->index(row, 0, parent);
        const char *open = !view->model()->hasChildren(index) ? " " : view->isExpanded(index) ? "+" : "-";
        log += QByteArray(depth * 2, ' ') + open + index.data().toString().toUtf8() +
               (index == view->currentIndex() ? " *" : "") + '\n';
        rows(index, depth + 1);
    }
}

void Window::state()
{
    MainWindow &w = *window;
    QStringList lines;
    QString view = w.isTextModeShown() ? QStringLiteral("text mode") : QStringLiteral("tabs");
    if (w.isAboutShown())
        view = QStringLiteral("about%1, mail link %2, web link %3")
                   .arg(w.aboutPanel()->exitButton()->isVisible() ? " with Exit" : "",
                        w.aboutPanel()->commentLine()->isEnabled() ? "on" : "off",
                        w.aboutPanel()->copyrightLine()->isEnabled() ? "on" : "off");
    else if (!w.isTextModeShown() && panel()->treeView()->isHidden())
        view += QStringLiteral(", tree hidden");
    if (!panel()->treeView()->isEnabled() || !panel()->findField()->isEnabled())
        view += QStringLiteral(", tree or find off");
    if (QApplication::overrideCursor())
        view += QStringLiteral(", busy");
    if (w.isTextModeShown())
        view += QStringLiteral(", text %1, first line \"%2\"")
                    .arg(w.textMode()->isTextChanged() ? "changed" : "unchanged",
                         w.textMode()->editor()->document()->firstBlock().text());
    lines << QStringLiteral("title: ") + w.windowTitle() << QStringLiteral("view: ") + view;
    QStringList tabs, menus, on, why, tree;
    for (int t = 0; t < w.tabs()->count(); ++t)
        if (w.tabs()->isTabEnabled(t))
            tabs << w.tabs()->tabText(t) + (t == w.tabs()->currentIndex() ? QStringLiteral("*") : QString());
    for (QAction *top : w.menuBar()->actions())
        if (top->isVisible())
            menus << top->text();
    for (QToolBar *bar : w.findChildren<QToolBar *>())
        if (bar->isVisible())
            menus << QStringLiteral("[%1 buttons]").arg(bar->actions().size());
    lines << QStringLiteral("tabs: ") + tabs.join(u' ') << QStringLiteral("menus: ") + menus.join(u' ');
    for (const char *name : kItems) {
        QAction *a = action(QString::fromLatin1(name));
        if (a->isEnabled())
            on << QString::fromLatin1(name) + (a->isChecked() ? QStringLiteral("(on)") : QString());
        else if (!a->statusTip().isEmpty() && !why.contains(a->statusTip()))
            why << a->statusTip();
    }
    lines << QStringLiteral("enabled: ") + on.join(u' ')
          << QStringLiteral("why not: ") + why.join(QStringLiteral("; "));
    QStringList recent;
    for (int i = 1; i <= 4; ++i)
        if (w.actions().Bestand(i)->isVisible())
            recent << w.actions().Bestand(i)->text();
    lines << QStringLiteral("recent: ") + recent.join(u' ');
    if (const TemplateNode *selected = panel()->selectedNode(); selected && !w.isTextModeShown()) {
        for (const char *name : kTreeItems)
            if (panel()->menuAction(QString::fromLatin1(name))->isVisible())
                tree << QString::fromLatin1(name) + (panel()->menuAction(QString::fromLatin1(name))->isEnabled()
                                                         ? QString()
                                                         : QStringLiteral("(off)"));
        lines << QStringLiteral("selected: ") + selected->text
              << QStringLiteral("key: ") + panel()->keyLabel()->text() +
                     (panel()->keyLabel()->toolTip() == panel()->keyLabel()->text() ? QString()
                                                                                    : QStringLiteral(" (tip differs)"))
              << QStringLiteral("tree menu: ") + (panel()->M1()->isEnabled() ? tree.join(u' ') : QStringLiteral("none"))
              << QStringLiteral("node text: ") + panel()->Inhoud()->toPlainText().replace(u'\n', QStringLiteral("|"));
    }
    const auto *find = w.statusBar()->findChild<QLabel *>(QStringLiteral("FindStatus"));
    lines << QStringLiteral("status: ") + w.statusBar()->currentMessage() + QStringLiteral(" | ") +
                 (find && find->isVisibleTo(&w) ? find->text() : QString()) + QStringLiteral(" | ") +
                 encodings->statusLabel()->text();
    const QWidget *focus = QApplication::focusWidget();
    lines << QStringLiteral("focus: ") + (!focus ? QStringLiteral("none")
                                          : !focus->objectName().isEmpty()
                                              ? focus->objectName()
                                              : QString::fromLatin1(focus->metaObject()->className()));
    lines << QStringLiteral("recovered copy: ") +
                 (keeper->copy().exists() ? keeper->copy().note() + QStringLiteral("(kept)") : QStringLiteral("none"));
    lines << QStringLiteral("document: %1")
                 .arg(!w.document().root()        ? "none"
                      : w.document().isModified() ? "modified"
                                                  : "unmodified");
    log += ("= " + lines.join(QStringLiteral("\n  ")) + u'\n').toUtf8();
}

} // namespace

class TestWindowCases : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void run_data() { addCaseRows(QStringLiteral("window")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        Window w(scratch.path());
        for (const QStringList &step : steps) {
            w.log += "> " + step.join(u' ').toUtf8() + '\n';
            QVERIFY2(w.step(step), qPrintable(QStringLiteral("unknown step: ") + step.join(u' ')));
        }
        QByteArray log = w.log;
        log.replace(scratch.path().toUtf8(), ".").replace(w.tmp.toUtf8(), "{tmp}");
        w.window.reset();
        for (QDirIterator it(scratch.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString made = it.next(); // a recovered copy names the scratch folder
            if (const QByteArray bytes = readBytes(made); bytes.contains(scratch.path().toUtf8()))
                writeBytes(made, QByteArray(bytes).replace(scratch.path().toUtf8(), "."));
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log);
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_MAIN(TestWindowCases)
#include "tst_windowcases.moc"
