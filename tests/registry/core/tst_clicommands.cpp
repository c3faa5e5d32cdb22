// kova-cli from the outside where the cases under tests/data/cli cannot reach: ended by a signal while it
// converts, and associate with kova-cli laid out in folders of its own.
#include "testfiles.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <signal.h>

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray err;
};

Result runCli(const QStringList &args, const QString &tmp, const QString &program = QStringLiteral(KOVA_CLI))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), p.readAllStandardError()};
}

// The conversion's temporary files in dir.
QStringList tempFilesIn(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("ADM*.tmp")}, QDir::Files);
}

// A copy of kova-cli at dir/relative (an installed or a build-tree layout), beside a stand-in editor at
// dir/editor when editor is not empty.
bool layOut(const QString &dir, const QString &relative, const QString &editor)
{
    const QString cli = dir + u'/' + relative;
    if (!QDir().mkpath(QFileInfo(cli).path()) || !QFile::copy(QStringLiteral(KOVA_CLI), cli))
        return false;
    if (editor.isEmpty())
        return true;
    const QString program = dir + u'/' + editor;
    return QDir().mkpath(QFileInfo(program).path()) && kova::test::writeBytes(program, "#!/bin/sh\n") &&
           QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QDir().mkpath(path("tmp"));
    }

    // Ended by a signal while it works, kova-cli removes its temporary files, and the caller sees it
    // ended by that signal.
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
        // Large enough that converting, loading and writing take a good while.
        QByteArray big = "REGEDIT4\r\n";
        for (int key = 0; big.size() < 8 * 1024 * 1024; ++key)
            big += "[HKEY_LOCAL_MACHINE\\Software\\Policies\\K" + QByteArray::number(key) +
                   "]\r\n\"A\"=\"text\"\r\n\"B\"=dword:00000010\r\n\"C\"=hex:01,02\r\n";
        QVERIFY(kova::test::writeBytes(path("big.reg"), big));
        const QString tmp = path(QStringLiteral("sig%1").arg(signal).toLatin1().constData());
        QVERIFY(QDir().mkpath(tmp));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KOVA_CLI), {"convert", path("big.reg"), path("big.adm")});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!tempFilesIn(tmp).isEmpty() || p.state() == QProcess::NotRunning, 20000);
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(tempFilesIn(tmp), QStringList());
        QVERIFY(!QFile::exists(path("big.adm")));
    }

    void associateWritesTheChosenStore()
    {
        QVERIFY(layOut(path("chosen"), QStringLiteral("kova-cli"), QStringLiteral("kova")));
        const Result r =
            runCli({"--registry", path("store"), "associate", "--editor", path("chosen/kova")}, path("tmp"));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        QVERIFY(kova::test::readBytes(path("store/system.reg"))
                    .contains("[Software\\\\Classes\\\\ADM.Document\\\\shell\\\\open\\\\command]"));
        // an unreadable store: every call fails, the program says which and exits 1
        QVERIFY(QDir().mkpath(path("broken")));
        QVERIFY(kova::test::writeBytes(path("broken/system.reg"), "not a store\n"));
        const Result broken =
            runCli({"associate", "--registry", path("broken"), "--editor", path("chosen/kova")}, path("tmp"));
        QCOMPARE(broken.exitCode, 1);
        QVERIFY(broken.err.contains("system.reg cannot be read: line 1"));
        QCOMPARE(kova::test::readBytes(path("broken/system.reg")), QByteArray("not a store\n"));
    }

    // The editor the associations name, wherever kova-cli lies; with none to be found nothing is written.
    void associateNamesTheEditor_data()
    {
        QTest::addColumn<QString>("cli");      // where kova-cli lies in a fresh folder
        QTest::addColumn<QString>("editor");   // where a program named kova lies there ("": none)
        QTest::addColumn<QString>("option");   // --editor's value, in the folder ("": not given)
        QTest::addColumn<QString>("expected"); // the program registered ("": kova-cli fails, writes nothing)
        const auto row = [](const char *name, const char *cli, const char *editor, const char *option,
                            const char *expected) {
            QTest::newRow(name) << QString(cli) << QString(editor) << QString(option) << QString(expected);
        };
        row("installed: beside kova-cli", "bin/kova-cli", "bin/kova", "", "bin/kova");
        row("build tree: the editor's own folder", "src/cli/kova-cli", "src/app/kova", "", "src/app/kova");
        row("--editor chooses", "bin/kova-cli", "opt/kova", "opt/kova", "opt/kova");
        row("none found", "bin/kova-cli", "", "", "");
        row("a folder named kova is no editor", "bin/kova-cli", "bin/kova/x", "", "");
        row("--editor names no program", "bin/kova-cli", "bin/kova", "opt/nothing", "");
    }
    void associateNamesTheEditor()
    {
        QFETCH(QString, cli);
        QFETCH(QString, editor);
        QFETCH(QString, option);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(layOut(prefix.path(), cli, editor));
        QStringList args{"associate", "--registry", prefix.filePath("store")};
        if (!option.isEmpty())
            args << "--editor" << prefix.filePath(option);
        const Result r = runCli(args, path("tmp"), prefix.filePath(cli));
        if (expected.isEmpty()) {
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.startsWith("kova-cli: "), r.err.constData());
            QVERIFY(!QFile::exists(prefix.filePath("store")));
            return;
        }
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QCOMPARE(r.exitCode, 0);
        const QByteArray program = QFile::encodeName(QFileInfo(prefix.filePath(expected)).canonicalFilePath());
        QVERIFY2(kova::test::readBytes(prefix.filePath("store/system.reg")).contains("\"" + program + " %1\""),
                 program.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
