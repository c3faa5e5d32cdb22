#include "app/aboutpanel.h"
#include "app/commandline.h"
#include "app/dialogfilechooser.h"
#include "app/icons.h"
#include "app/singleinstance.h"

#include "editors/core/nodekeys.h"

#include "recordingoutsidetools.h"
#include "scriptedprompter.h"

#include <QEnterEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

class TestShellParts : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList{"kova"} << "";
        QTest::newRow("quoted path then a switch")
            << QStringList{"kova", "\"C:\\Policies\\test.adm\"", "/x"} << "C:\\Policies\\test.adm";
        QTest::newRow("no quotes: the whole line")
            << QStringList{"kova", "C:\\Policies\\test.adm", "/x"} << "C:\\Policies\\test.adm /x";
        QTest::newRow("path with blanks as the shell passes it")
            << QStringList{"kova", "/home/a b/t.adm"} << "/home/a b/t.adm";
        QTest::newRow("plain path") << QStringList{"kova", "/tmp/x.adm"} << "/tmp/x.adm";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(Unquote(joinCommandLine(arguments)), file);
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

    void aboutLines()
    {
        AboutPanel about;
        QCOMPARE(about.lines().size(), 5);
        QCOMPARE(about.commentLine()->toolTip(), QStringLiteral("Click to e-mail author"));
        QCOMPARE(about.copyrightLine()->toolTip(), QStringLiteral("Click to go to webpage"));
        QCOMPARE(about.exitButton()->text(), QStringLiteral("Exit"));
        QVERIFY(about.lines().at(2)->text().contains(QStringLiteral("Windows 95/98/ME/NT/2000/XP/7/8/10 && 11")));
    }

    // The program icon is drawn sharp at each theme size (no scaled-down 256 px picture), and the about
    // panel shows it.
    void programIconSizes()
    {
        const QIcon icon = programIcon();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
            QCOMPARE(icon.pixmap(size).size(), QSize(size, size));
        }
        AboutPanel about;
        QVERIFY(!about.iconLabel()->pixmap().isNull());
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
        AboutPanel about;
        kova::test::RecordingOutsideTools tools;
        about.setOutsideTools(&tools);
        about.show();
        LinkLabel *line = comment ? about.commentLine() : about.copyrightLine();
        QSignalSpy mail(&about, &AboutPanel::mailRequested);
        QSignalSpy web(&about, &AboutPanel::webRequested);
        QVERIFY(!line->isUnderlined());
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(line, &enter);
        QVERIFY(line->isUnderlined());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(line, &leave);
        QVERIFY(!line->isUnderlined());
        QTest::mouseClick(line, Qt::LeftButton);
        QCOMPARE(mail.count(), comment ? 1 : 0);
        QCOMPARE(web.count(), comment ? 0 : 1);
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
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(16).isNull());
        QVERIFY(!QIcon(QStringLiteral(":/kova/icons/") + name + QStringLiteral(".png")).pixmap(16).isNull());
    }
};

QTEST_MAIN(TestShellParts)
#include "tst_shellparts.moc"
