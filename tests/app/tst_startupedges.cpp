// The editor from the outside: a file named on the command line, and the signals that end it.
#include "appfixture.h"
#include "programrun.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "app/templatetreeview.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

#include <signal.h>

using namespace kova;
using kova::test::AppFixture;

class TestStartUpEdges : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A file opened from the command line leaves the keyboard in the tree, as Open does.
    void commandLineFileTakesTheFocusToTheTree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("template") << "t.adm" << test::kSample;
        QTest::newRow("registry export") << "e.reg"
                                         << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Policies\\P]\n\"A\"=\"1\"\n");
    }
    void commandLineFileTakesTheFocusToTheTree()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        AppFixture f;
        RegistryFileStore store(f.dir.filePath(QStringLiteral("registry")));
        clsReg reg(store);
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        connectRegistry(*f.window, reg);
        f.window->show();
        f.window->StartUp(f.file(name, text));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(f.window->document().root());
        // The widget that takes the keyboard when the window is active (whenever the desktop makes it so).
        QCOMPARE(f.window->focusWidget(), static_cast<QWidget *>(f.window->treePanel()->treeView()));
    }

    // Bad usage ends the editor before any window (exit status 64); so does a missing display, with
    // the way to start it without one (exit status 1).
    void refusedBeforeTheWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "offscreen" << 64
                                        << "kova: unknown option --bogus";
        QTest::newRow("unknown option, no display") << QStringList{"-x"} << "" << 64 << "kova: unknown option -x";
        QTest::newRow("no display") << QStringList{"t.adm"} << "" << 1 << "xvfb-run -a kova t.adm";
    }
    void refusedBeforeTheWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, platform);
        QFETCH(int, code);
        QFETCH(QString, message);
        const test::ProgramRun run =
            test::runProgram(QStringLiteral(KOVA_EDITOR), arguments, {},
                             {"DISPLAY=", "WAYLAND_DISPLAY=", QStringLiteral("QT_QPA_PLATFORM=") + platform});
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // Ended by a signal while its Policies question waits for an answer (the scratch files of the
    // conversion made), the editor removes its temporary files and ends by that signal.
    void signalRemovesTempFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalRemovesTempFiles()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString tmp = dir.filePath(QStringLiteral("tmp"));
        const QString runtime = dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(tmp));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString export_ = test::writeText(dir.filePath(QStringLiteral("e.reg")),
                                                "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Demo]\n\"A\"=\"1\"\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KOVA_EDITOR), {"--registry", dir.filePath(QStringLiteral("registry")), export_});
        QVERIFY(p.waitForStarted());
        const auto tempFiles = [&] { return QDir(tmp).entryList({QStringLiteral("ADM*.tmp")}, QDir::Files); };
        QTRY_VERIFY_WITH_TIMEOUT(tempFiles().size() == 3 || p.state() == QProcess::NotRunning, 30000);
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(tempFiles(), QStringList());
    }
};

QTEST_MAIN(TestStartUpEdges)
#include "tst_startupedges.moc"
