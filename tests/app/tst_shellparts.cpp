#include "app/aboutpanel.h"
#include "app/commandline.h"
#include "app/dialogfilechooser.h"
#include "app/icons.h"
#include "app/singleinstance.h"

#include "document/nodekeys.h"

#include "recordingoutsidetools.h"
#include "scriptedprompter.h"

#include <QEnterEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

class TestShellParts : public QObject
{
    Q_OBJECT

private slots:
    // The editor's command line: a row is the arguments after "kova", then the file it loads or, after
    // "error:", the bad usage it reports.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("plain path") << QStringList{"/tmp/x.adm"} << "/tmp/x.adm";
        QTest::newRow("path with blanks as the shell passes it") << QStringList{"/home/a b/t.adm"} << "/home/a b/t.adm";
        QTest::newRow("a file named like an option") << QStringList{"./-x"} << "./-x";
        QTest::newRow("registry store and file") << QStringList{"--registry", "/r", "t.adm"} << "t.adm";
        QTest::newRow("unknown short option") << QStringList{"-x"} << "error:unknown option -x";
        QTest::newRow("unknown long option") << QStringList{"t.adm", "--bogus"} << "error:unknown option --bogus";
        QTest::newRow("a lone dash") << QStringList{"-"} << "error:unknown option -";
        QTest::newRow("two files") << QStringList{"a.adm", "b.adm"} << "error:one file at most";
        QTest::newRow("registry without its directory")
            << QStringList{"--registry"} << "error:--registry needs a directory";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);
        const EditorCommandLine given = readEditorCommandLine(QStringList{"kova"} + arguments);
        QCOMPARE(given.error.isEmpty() ? Unquote(given.commandLine) : QStringLiteral("error:") + given.error, outcome);
    }

    void singleInstance()
    {
        QTemporaryDir dir;
        const QString lock = dir.filePath(QStringLiteral("kova.lock"));
        test::ScriptedPrompter prompter;
        auto first = std::make_unique<SingleInstance>(lock);
        QVERIFY(first->CheckSingleInstance(prompter));
        SingleInstance second(lock);
        prompter.expect(QStringLiteral("You can have only one active session\r\nwith the Kova"),
                        Message::Icon::Critical);
        QVERIFY(!second.CheckSingleInstance(prompter));
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        first.reset(); // the first copy ends
        SingleInstance third(lock);
        QVERIFY(third.CheckSingleInstance(prompter));
    }

    void filters()
    {
        QCOMPARE(DialogFileChooser::filtersFor(FileRequest::Mode::Open),
                 (QStringList{"Policy Template Files (*.adm)", "Registry files (*.reg)", "ADMX files (*.admx)"}));
        QCOMPARE(DialogFileChooser::filtersFor(FileRequest::Mode::Save),
                 (QStringList{"Policy Template Files (*.adm)"}));
    }

    // The program icon is drawn sharp at each theme size (no scaled-down 256 px picture).
    void programIconSizes()
    {
        const QIcon icon = programIcon();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
    }

    void linkLines_data()
    {
        QTest::addColumn<bool>("comment");
        QTest::newRow("comment line mails") << true;
        QTest::newRow("copyright line opens the web site") << false;
    }
    void linkLines()
    {
        QFETCH(bool, comment);
        AboutPanel about; // its icon, tool tips and the lines' texts are plain settings
        QVERIFY(!about.iconLabel()->pixmap().isNull());
        QCOMPARE(about.commentLine()->toolTip(), QStringLiteral("Click to e-mail author"));
        kova::test::RecordingOutsideTools tools;
        about.setOutsideTools(&tools);
        about.show();
        LinkLabel *line = comment ? about.commentLine() : about.copyrightLine();
        QVERIFY(!line->isUnderlined());
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(line, &enter);
        QVERIFY(line->isUnderlined());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(line, &leave);
        QVERIFY(!line->isUnderlined());
        QTest::mouseClick(line, Qt::LeftButton);
        QCOMPARE(tools.calls, QStringList{comment ? "mail" : "web"});
    }

    void iconsNeverBlank_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"new",  "open-file", "save", "saveas", "print",   "expand", "collapse", "strings", "poledit", "editor",
              "help", "mail",      "web",  "root",   "machine", "user",   "category", "open",    "policy",  "part"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void iconsNeverBlank()
    {
        QFETCH(QString, name);
        setUpIconTheme();
        const QIcon icon = kovaIcon(name);
        QVERIFY(!icon.pixmap(16).isNull());
        QVERIFY(!QIcon(QStringLiteral(":/kova/icons/") + name + QStringLiteral(".png")).pixmap(16).isNull());
    }
};

QTEST_MAIN(TestShellParts)
#include "tst_shellparts.moc"
