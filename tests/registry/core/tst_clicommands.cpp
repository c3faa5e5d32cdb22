// kova-cli convert and associate, from the outside: exit status, output file, messages.
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using kova::test::crlf;

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray err;
};

Result runCli(const QStringList &args, const QString &tmp)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KOVA_CLI), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), p.readAllStandardError()};
}

const QByteArray kExport = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Demo]\r\n\"Name\"=\"x\"\r\n";

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
        QVERIFY(kova::test::writeBytes(path("in.reg"), kExport));
    }

    void convertRaw_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QByteArray>("category");
        QTest::newRow("keys kept (default)") << QStringList() << QByteArray("[HKEY_CURRENT_USER\\Software\\Demo]");
        QTest::newRow("--keep-keys") << QStringList{"--keep-keys"} << QByteArray("[HKEY_CURRENT_USER\\Software\\Demo]");
        QTest::newRow("--move-to-policies")
            << QStringList{"--move-to-policies"} << QByteArray("[HKEY_CURRENT_USER\\Software\\Policies\\Demo]");
    }
    void convertRaw()
    {
        QFETCH(QStringList, flags);
        QFETCH(QByteArray, category);
        QFile::remove(path("out.adm"));
        const Result r = runCli(QStringList{"convert", path("in.reg"), path("out.adm"), "--raw"} + flags, path("tmp"));
        QCOMPARE(r.exitCode, 0);
        // the Policies question is printed and answered by the flags
        QCOMPARE(r.err, QByteArray("KOVA can convert (some) entries into managable entries for use with GPO.\n\n"
                                   "Do you want to convert those entries?\n"));
        QVERIFY(kova::test::readBytes(path("out.adm")).startsWith(crlf("class user\ncategory \"" + category + "\"\n")));
        QVERIFY(QDir(path("tmp")).isEmpty()); // no scratch file left behind
    }

    void convertWritesLikeSaveAs()
    {
        QFile::remove(path("out.adm"));
        const Result r = runCli({"convert", path("in.reg"), path("out.adm"), "--strings"}, path("tmp"));
        QCOMPARE(r.exitCode, 0);
        const QByteArray out = kova::test::readBytes(path("out.adm"));
        QVERIFY2(out.startsWith("CLASS MACHINE\r\nCLASS USER\r\n\tCATEGORY !!"), out.constData());
        QVERIFY(out.contains("[STRINGS]"));
        QVERIFY(QDir(path("tmp")).isEmpty());
    }

    void failureLeavesNoOutput()
    {
        QVERIFY(kova::test::writeBytes(path("bad.reg"), "REGEDIT4\r\n\"A\"=\"b\"\r\n"));
        QVERIFY(kova::test::writeBytes(path("keep.adm"), "old"));
        Result r = runCli({"convert", path("bad.reg"), path("new.adm")}, path("tmp"));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, QByteArray("Line 2: a value comes before the first key.\n"));
        QVERIFY(!QFile::exists(path("new.adm")));
        r = runCli({"convert", path("bad.reg"), path("keep.adm"), "--raw"}, path("tmp"));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(kova::test::readBytes(path("keep.adm")), QByteArray("old"));
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("both answers") << QStringList{"convert", "a.reg", "b.adm", "--move-to-policies", "--keep-keys"};
        QTest::newRow("missing output") << QStringList{"convert", "a.reg"};
        QTest::newRow("unknown flag") << QStringList{"convert", "a.reg", "b.adm", "--fast"};
        QTest::newRow("registry without folder") << QStringList{"associate", "--registry"};
    }
    void badUsage()
    {
        QFETCH(QStringList, args);
        QCOMPARE(runCli(args, path("tmp")).exitCode, 64);
    }

    void associateWritesTheChosenStore()
    {
        const Result r = runCli({"--registry", path("store"), "associate"}, path("tmp"));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        const QByteArray system = kova::test::readBytes(path("store/system.reg"));
        QVERIFY(system.contains("[Software\\\\Classes\\\\ADM.Document\\\\shell\\\\open\\\\command]"));
        QVERIFY(system.contains("@=str(2):\"%WinDir%\\\\NOTEPAD.EXE %1\""));
        // an unreadable store: every call fails, the program says which and exits 1
        QVERIFY(QDir().mkpath(path("broken")));
        QVERIFY(kova::test::writeBytes(path("broken/system.reg"), "not a store\n"));
        const Result broken = runCli({"associate", "--registry", path("broken")}, path("tmp"));
        QCOMPARE(broken.exitCode, 1);
        QVERIFY(broken.err.contains("system.reg cannot be read: line 1"));
        QCOMPARE(kova::test::readBytes(path("broken/system.reg")), QByteArray("not a store\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
