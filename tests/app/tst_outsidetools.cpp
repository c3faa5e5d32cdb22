#include "appfixture.h"
#include "programrun.h"
#include "scriptedplatform.h"
#include "templatefixtures.h"

#include "app/poleditlauncher.h"
#include "app/shelloutsidetools.h"
#include "app/templateprinter.h"
#include "document/tempfiles.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <algorithm>

using namespace kova;
using kova::test::AppFixture;
using kova::test::RecordingShell;
using kova::test::RecordingStarter;
using kova::test::ScriptedPrinters;

namespace {

const QString kInf = QStringLiteral("InfFilename");

// A main window with the real outside tools over scripted platform pieces, a registry store, a
// program folder, a program search path and a temporary folder of its own.
struct ToolsWindow : AppFixture
{
    RegistryFileStore store{dir.filePath(QStringLiteral("registry"))};
    clsReg registry{store};
    RecordingShell *shell = nullptr;
    RecordingStarter *starter = nullptr;
    ScriptedPrinters *printers = nullptr;
    ShellOutsideTools *tools = nullptr;
    QString bin = dir.filePath(QStringLiteral("bin"));
    QString temp = dir.filePath(QStringLiteral("tmp"));
    QString programFolder = dir.filePath(QStringLiteral("program"));

    ToolsWindow()
    {
        QDir().mkpath(bin);
        QDir().mkpath(temp);
        qputenv("TMPDIR", QFile::encodeName(temp));
    }
    ~ToolsWindow() { qunsetenv("TMPDIR"); }

    MainWindow &startTools(bool withRegistry = true, const QString &winePrefix = QString())
    {
        start();
        OutsidePlatform platform{std::make_unique<RecordingShell>(), std::make_unique<RecordingStarter>(),
                                 std::make_unique<ScriptedPrinters>(), std::make_unique<test::FailingDownloader>()};
        shell = static_cast<RecordingShell *>(platform.shell.get());
        starter = static_cast<RecordingStarter *>(platform.programs.get());
        printers = static_cast<ScriptedPrinters *>(platform.printers.get());
        const OutsideToolsSetup setup{programFolder,
                                      dir.filePath(QStringLiteral("cache")),
                                      QUrl(QStringLiteral("http://updates.test")),
                                      QUrl(QStringLiteral("http://web.test")),
                                      QUrl(QStringLiteral("mailto:kova@mail.test")),
                                      QStringLiteral("3.0.5"),
                                      {bin},
                                      winePrefix};
        tools = new ShellOutsideTools(*window, withRegistry ? &registry : nullptr, std::move(platform), setup);
        return *window;
    }
    bool openTemplate()
    {
        const QString path = file(QStringLiteral("t.adm"), test::kSample);
        window->document().setPath(path);
        return window->controller().LoadDocument(path, false).loaded();
    }
    QString setting() { return ReadUserString(registry, poleditSettingKey(), kInf, QStringLiteral("<none>")); }
    // Every file in the temporary folder is one the run listed.
    bool onlyListedTempFiles() const
    {
        QStringList present;
        for (const QString &name : QDir(temp).entryList(QDir::Files))
            present << QDir(temp).filePath(name);
        QStringList listed = window->controller().tempFiles().paths();
        present.sort();
        listed.sort();
        return present == listed;
    }
};

void touch(const QString &path, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n");
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

QString pdfText(const QString &pdf, const QStringList &options = {})
{
    return test::runProgram(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-")).out;
}

// Where the first word of each page starts (x, y in points), as pdftotext -bbox gives it.
QList<QPointF> firstWords(const QString &pdf)
{
    QList<QPointF> starts;
    const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""));
    for (const QString &page : pdfText(pdf, {QStringLiteral("-bbox")}).split(QStringLiteral("<page ")).mid(1))
        if (const QRegularExpressionMatch m = word.match(page); m.hasMatch())
            starts.append({m.captured(1).toDouble(), m.captured(2).toDouble()});
    return starts;
}

// One inch (72 points) from the paper's left and top edges.
bool atOneInch(QPointF start)
{
    return qAbs(start.x() - 72) < 2 && start.y() > 71.9 && start.y() < 80;
}

} // namespace

class TestOutsideTools : public QObject
{
    Q_OBJECT

private slots:
    // Help, history, mail and web open their targets (the about panel's lines run the same tools).
    void shellTargets_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("target");
        QTest::newRow("F1") << "key:F1"
                            << "program:default.htm";
        QTest::newRow("help button") << "button:Help"
                                     << "program:default.htm";
        QTest::newRow("history") << "item:M_History"
                                 << "program:updates.htm";
        // An installed program finds its pages under share/kova beside its bin folder.
        QTest::newRow("history, installed") << "item:M_History"
                                            << "installed:updates.htm";
        QTest::newRow("mail item") << "item:M_Mail"
                                   << "mailto:kova@mail.test";
        QTest::newRow("web item") << "item:M_Web"
                                  << "http://web.test";
    }
    void shellTargets()
    {
        QFETCH(QString, how);
        QFETCH(QString, target);
        ToolsWindow f;
        MainWindow &w = f.startTools();
        // The build tree's layout: the pages beside the program.
        QDir().mkpath(f.programFolder);
        for (const char *page : {"default.htm", "updates.htm"})
            if (!target.startsWith(u"installed:"))
                QVERIFY(test::writeBytes(QDir(f.programFolder).filePath(QString::fromLatin1(page)), "<html/>"));
        const QString what = how.section(u':', 1);
        if (how.startsWith(u"key:")) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTest::keySequence(&w, QKeySequence(what));
        } else if (how.startsWith(u"button:"))
            w.RunToolbarCommand(what);
        else
            w.actions().item(what)->trigger();
        const QString page = target.section(u':', 1);
        const QUrl expected = target.startsWith(u"program:") ? QUrl::fromLocalFile(QDir(f.programFolder).filePath(page))
                              : target.startsWith(u"installed:")
                                  ? QUrl::fromLocalFile(QDir::cleanPath(f.programFolder + "/../share/kova/" + page))
                                  : QUrl(target);
        QCOMPARE(f.shell->opened, QList<QUrl>{expected});
    }

    void poleditIsFound_data()
    {
        QTest::addColumn<QStringList>("files"); // b: the search path, p: the prefix; x marks executables
        QTest::addColumn<bool>("prefix");
        QTest::addColumn<QStringList>("command"); // program, arguments...; empty: not found
        QTest::newRow("on the path") << QStringList{"xb/wine", "b/poledit.exe"} << false
                                     << QStringList{"b/wine", "b/poledit.exe"};
        QTest::newRow("any case") << QStringList{"xb/wine", "b/POLEDIT.EXE"} << false
                                  << QStringList{"b/wine", "b/POLEDIT.EXE"};
        QTest::newRow("in the prefix") << QStringList{"xb/wine", "p/drive_c/windows/system32/poledit.exe"} << true
                                       << QStringList{"b/wine", "p/drive_c/windows/system32/poledit.exe"};
        QTest::newRow("no wine") << QStringList{"b/poledit.exe"} << false << QStringList{};
        QTest::newRow("wine not executable") << QStringList{"b/wine", "b/poledit.exe"} << false << QStringList{};
        QTest::newRow("no poledit") << QStringList{"xb/wine"} << true << QStringList{};
    }
    void poleditIsFound()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, prefix);
        QFETCH(QStringList, command);
        QTemporaryDir dir;
        const auto path = [&](QString name) {
            return dir.filePath(name.replace(QRegularExpression(QStringLiteral("^b/")), QStringLiteral("bin/"))
                                    .replace(QRegularExpression(QStringLiteral("^p/")), QStringLiteral("prefix/")));
        };
        QDir().mkpath(dir.filePath(QStringLiteral("prefix/drive_c")));
        for (QString file : files) {
            const bool executable = file.startsWith(u'x');
            touch(path(executable ? file.mid(1) : file), executable);
        }
        const std::optional<ProgramCommand> found = findPoledit(
            {dir.filePath(QStringLiteral("bin"))}, prefix ? dir.filePath(QStringLiteral("prefix")) : QString());
        QCOMPARE(found.has_value(), !command.isEmpty());
        if (!found)
            return;
        QCOMPARE(found->program, path(command[0]));
        QCOMPARE(found->arguments, QStringList{path(command[1])});
        QCOMPARE(found->environment,
                 prefix ? QStringList{"WINEPREFIX=" + dir.filePath(QStringLiteral("prefix"))} : QStringList{});
    }

    // POLEDIT sees the template through "InfFilename" while it starts; the former setting is back
    // afterwards, after several launches too, whether or not POLEDIT could be started.
    void poleditLaunch_data()
    {
        QTest::addColumn<QString>("former"); // empty: no setting
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("starts");
        QTest::newRow("started") << "C:\\Windows\\inf\\common.adm" << true << true;
        QTest::newRow("started, no former setting") << QString() << true << true;
        QTest::newRow("not installed") << "C:\\old.adm" << false << true;
        QTest::newRow("fails to start") << "C:\\old.adm" << true << false;
    }
    void poleditLaunch()
    {
        QFETCH(QString, former);
        QFETCH(bool, installed);
        QFETCH(bool, starts);
        ToolsWindow f;
        MainWindow &w = f.startTools();
        QVERIFY(f.openTemplate());
        const QString path = w.document().path();
        w.document().setModified(true);
        if (!former.isEmpty())
            QVERIFY(WriteUserString(f.registry, poleditSettingKey(), kInf, former));
        const QString before = f.setting();
        if (installed) {
            touch(f.bin + QStringLiteral("/wine"), true);
            touch(f.bin + QStringLiteral("/poledit.exe"));
        }
        f.starter->succeeds = starts;
        f.starter->look = [&f] { return f.setting(); };

        for (int launch = 1; launch <= 3; ++launch) {
            if (!installed || !starts)
                f.prompter.expect(QStringLiteral("Poledit is not installed"), Message::Icon::Exclamation);
            f.item("M_Poledit")->trigger();
            KOVA_VERIFY_PROMPTS_DONE(f.prompter);
            QCOMPARE(f.setting(), before);
            QCOMPARE(w.document().path(), path);
            QVERIFY(w.document().isModified());
            const QStringList temps = w.controller().tempFiles().paths();
            QCOMPARE(temps.size(), launch);
            QFile written(temps.last());
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY(written.readAll().startsWith("CLASS MACHINE"));
        }
        QCOMPARE(f.starter->starts.size(), installed ? 3 : 0);
        for (const RecordingStarter::Start &start : std::as_const(f.starter->starts)) {
            QCOMPARE(start.program, f.bin + QStringLiteral("/wine"));
            QCOMPARE(start.arguments, QStringList{f.bin + QStringLiteral("/poledit.exe")});
            QVERIFY(f.window->controller().tempFiles().paths().contains(start.settingWhileStarting));
        }
        QVERIFY(f.onlyListedTempFiles());
    }

    // Without the registry there is no POLEDIT (printing stays); with it, an open edit screen refuses it.
    void poleditRefused()
    {
        ToolsWindow bare;
        bare.startTools(false);
        QVERIFY(bare.openTemplate());
        QVERIFY(!bare.item("M_Poledit")->isEnabled() && bare.item("M_Print")->isEnabled());
        ToolsWindow f;
        MainWindow &w = f.startTools();
        QVERIFY(f.openTemplate());
        w.textMode()->EnterTextMode();
        const int temps = int(w.controller().tempFiles().paths().size());
        f.prompter.expect(QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation);
        f.tools->LaunchPoledit();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(w.controller().tempFiles().paths().size(), temps);
        QVERIFY(f.starter->starts.isEmpty());
        QCOMPARE(f.setting(), QStringLiteral("<none>"));
    }

    // The real starter hands the arguments over as a list, with the environment entries added.
    void programsStartWithoutAShell()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        const QString script = dir.filePath(QStringLiteral("fake wine"));
        QFile s(script);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write("#!/bin/sh\nprintf '%s|%s|%s' \"$#\" \"$1\" \"$WINEPREFIX\" > \"$OUT\"\n");
        s.close();
        s.setPermissions(s.permissions() | QFileDevice::ExeOwner);
        SystemProgramStarter starter;
        QVERIFY(starter.startDetached(script, {QStringLiteral("C:\\a b;$(rm x).exe")},
                                      {QStringLiteral("WINEPREFIX=/p q"), QStringLiteral("OUT=") + out}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out) && QFileInfo(out).size() > 0, 10000);
        QFile result(out);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), QByteArray("1|C:\\a b;$(rm x).exe|/p q"));
        QVERIFY(!starter.startDetached(dir.filePath(QStringLiteral("missing")), {}, {}));
    }

    void printing_data()
    {
        QTest::addColumn<bool>("printer");  // a printer is installed
        QTest::addColumn<bool>("textMode"); // printed from text mode with an edit not applied
        QTest::addColumn<bool>("fails");    // the printer cannot be opened, or the PDF not be saved
        QTest::addColumn<QString>("pdf");   // without a printer, where the user saves the PDF ("" cancels)
        QTest::newRow("no printer: saved as PDF, in the viewer") << false << false << false << "kept.pdf";
        QTest::newRow("no printer: saving cancelled") << false << false << false << "";
        QTest::newRow("no printer: PDF cannot be saved") << false << false << true << "no/such/folder/kept.pdf";
        QTest::newRow("default printer") << true << false << false << "";
        QTest::newRow("text mode, unapplied edit") << false << true << false << "kept.pdf";
        QTest::newRow("printer fails") << true << false << true << "";
    }
    void printing()
    {
        QFETCH(bool, printer);
        QFETCH(bool, textMode);
        QFETCH(bool, fails);
        QFETCH(QString, pdf);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is needed to read the printed pages back");
        ToolsWindow f;
        MainWindow &w = f.startTools();
        QVERIFY(f.openTemplate());
        w.document().setModified(true);
        const QString printed =
            f.dir.filePath(fails ? QStringLiteral("no/such/folder/out.pdf") : QStringLiteral("printer.pdf"));
        if (printer)
            f.printers->pdfPath = printed;
        else
            f.chooser.expect(QStringLiteral("No printer found: save the printout as PDF"), FileRequest::Mode::SavePdf,
                             pdf.isEmpty() ? QString() : f.dir.filePath(pdf));
        if (fails && !printer)
            f.prompter.expect(QStringLiteral("The printout could not be saved as ") + f.dir.filePath(pdf) +
                                  QStringLiteral(": No such file or directory"),
                              Message::Icon::Exclamation);
        if (textMode) {
            QVERIFY(w.textMode()->EnterTextMode());
            AdmTextEditor *editor = w.textMode()->editor();
            editor->moveCursor(QTextCursor::End);
            QTest::keyClick(editor, Qt::Key_Return);
            QTest::keyClicks(editor, QStringLiteral("CATEGORY \"Typed but not applied\""));
        }
        const QString path = w.document().path();
        const bool modified = w.document().isModified();
        bool busy = false;
        f.printers->look = [&] { busy = !w.isEnabled() && QApplication::overrideCursor(); };

        if (textMode)
            QTest::mouseClick(
                w.textMode()->toolBar()->widgetForAction(w.textMode()->commands()->toolButton(QStringLiteral("Print"))),
                Qt::LeftButton);
        else
            f.item("M_Print")->trigger();

        QVERIFY(busy);
        QVERIFY(w.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(w.document().path(), path);
        QCOMPARE(w.document().isModified(), modified);
        QCOMPARE(f.chooser.pending(), 0);
        QVERIFY(f.onlyListedTempFiles());
        const QString kept = printer || pdf.isEmpty() ? QString() : f.dir.filePath(pdf);
        if (!printer && !fails) // the PDF is kept where the user said, opened, and the status bar says where
            QCOMPARE(w.statusBar()->currentMessage(),
                     kept.isEmpty() ? QStringLiteral("No printer found: nothing was printed")
                                    : QStringLiteral("No printer found: the printout is saved as ") + kept);
        QCOMPARE(f.prompter.pending(), 0);
        QCOMPARE(f.shell->opened, kept.isEmpty() || fails ? QList<QUrl>() : QList{QUrl::fromLocalFile(kept)});
        if (fails || (!printer && kept.isEmpty()))
            return;
        const QString text = pdfText(printer ? printed : kept);
        QVERIFY2(text.contains(QStringLiteral("CATEGORY \"Desktop\"")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("KEYNAME \"Software\\Kova\\Printers\"")));
        QCOMPARE(text.contains(QStringLiteral("Typed but not applied")), textMode);
        if (textMode) {
            QVERIFY(w.textMode()->isTextModeOn());
            QVERIFY(w.textMode()->isTextChanged());
        }

        const QList<QPointF> pages = firstWords(printer ? printed : kept);
        QVERIFY(!pages.isEmpty() && atOneInch(pages.first()));
    }

    // A long template fills several pages, each starting one inch below the paper's top edge.
    void longTextsTakeSeveralPages()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is needed to read the printed pages back");
        QTemporaryDir dir;
        QTextDocument text;
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("line%1").arg(i);
        text.setPlainText(lines.join(u'\n'));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("long.pdf")));
        QVERIFY(printDocument(text, printer));
        const QList<QPointF> pages = firstWords(printer.outputFileName());
        QVERIFY(pages.size() >= 2);
        QVERIFY(std::all_of(pages.begin(), pages.end(), atOneInch));
        const QString plain = pdfText(printer.outputFileName());
        QVERIFY(plain.contains(QStringLiteral("line1\n")) && plain.contains(QStringLiteral("line150")));
    }
};

QTEST_MAIN(TestOutsideTools)
#include "tst_outsidetools.moc"
