// kova-cli as a black box: exit statuses, messages on standard error, no output file on failure.
#include "programrun.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using kova::test::ProgramRun;
using kova::test::runKovaCli;

class TestKovaCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &text)
    {
        return kova::test::writeText(m_dir.filePath(name), text);
    }

private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        const QByteArray conditional = "CLASS MACHINE\n#if version >= 4\nCATEGORY \"c\"\n#endif\n";
        const QString question = QStringLiteral(
            "kova-cli: conditional statements found (#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION); "
            "--remove-conditionals removes them, --evaluate-conditionals reads them as Group Policy does\n");
        QTest::newRow("good") << QByteArray("CLASS USER\n") << QStringList{} << 0 << "";
        QTest::newRow("syntax error") << QByteArray("CLASS USER\nPOLICY 3\n") << QStringList{} << 1
                                      << "Error in line 2\nFile not loaded\n";
        QTest::newRow("fatal") << QByteArray("CLASS NOBODY\n") << QStringList{} << 2
                               << "Error in procedure Vullen in module modFill in line 1\n";
        QTest::newRow("conditionals kept: one line, exit 1") << conditional << QStringList{} << 1 << question;
        QTest::newRow("conditionals removed: Yes, answered silently")
            << conditional << QStringList{"--remove-conditionals"} << 0 << "";
        QTest::newRow("explain refused") << QByteArray("CLASS USER\nEXPLAIN \"x\"\n") << QStringList{} << 1
                                         << "Error in line  2\nFile not loaded\n";
        QTest::newRow("explain accepted")
            << QByteArray("CLASS USER\nEXPLAIN \"x\"\n") << QStringList{"--newer-statements"} << 0 << "";
    }
    void check()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, flags);
        QFETCH(int, code);
        QFETCH(QString, err);
        const ProgramRun r = runKovaCli(QStringList{"check", file("c.adm", text)} + flags);
        QCOMPARE(r.err, err);
        QCOMPARE(r.code, code);
    }

    void tree_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("indented lines") << QStringList{} << 0
                                        << QStringLiteral(
                                               "ROOT\tComputer\n"
                                               "  CLASS\tMachine\n"
                                               "    CATEGORY\tDesktop\tHKEY_LOCAL_MACHINE\\Software\\X\n"
                                               "      POLICY\tIcons\tHKEY_LOCAL_MACHINE\\Software\\X\n"
                                               "        PART\tGr\u00F6\u00DFe\tHKEY_LOCAL_MACHINE\\Software\\Y\n"
                                               "  CLASS\tUser\n");
        QTest::newRow("json, one object a node")
            << QStringList{"--json"} << 0
            << QStringLiteral(
                   "{\"caption\":\"Computer\",\"key\":\"\",\"kind\":\"ROOT\",\"line\":null,\"valueName\":\"\"}\n"
                   "{\"caption\":\"Machine\",\"key\":\"\",\"kind\":\"CLASS\",\"line\":2,\"valueName\":\"\"}\n"
                   "{\"caption\":\"Desktop\",\"key\":\"HKEY_LOCAL_MACHINE\\\\Software\\\\X\",\"kind\":\"CATEGORY\","
                   "\"line\":3,\"valueName\":\"\"}\n"
                   "{\"caption\":\"Icons\",\"key\":\"HKEY_LOCAL_MACHINE\\\\Software\\\\X\",\"kind\":\"POLICY\","
                   "\"line\":5,\"valueName\":\"Hide\"}\n"
                   "{\"caption\":\"Gr\u00F6\u00DFe\",\"key\":\"HKEY_LOCAL_MACHINE\\\\Software\\\\Y\",\"kind\":\"PART\","
                   "\"line\":10,\"valueName\":\"Size\"}\n"
                   "{\"caption\":\"User\",\"key\":\"\",\"kind\":\"CLASS\",\"line\":null,\"valueName\":\"\"}\n");
        QTest::newRow("conditionals refused") << QStringList{"--json", "--newer-statements"} << 1 << QString();
    }
    void tree()
    {
        QFETCH(QStringList, flags);
        QFETCH(int, code);
        QFETCH(QString, out);
        QByteArray text =
            "; listing\nCLASS MACHINE\nCATEGORY \"Desktop\"\nKEYNAME \"Software\\X\"\nPOLICY \"Icons\"\n"
            "VALUENAME \"Hide\"\nACTIONLISTON\nVALUENAME \"Other\" VALUE NUMERIC 1\nEND ACTIONLISTON\n"
            "PART \"Gr\xC3\xB6\xC3\x9F"
            "e\" NUMERIC\nKEYNAME \"Software\\Y\"\nVALUENAME \"Size\"\nEND PART\nEND POLICY\nEND CATEGORY\n";
        if (code != 0)
            text += "#if version >= 4\n#endif\n";
        const ProgramRun r = runKovaCli(QStringList{"tree", file("t.adm", text)} + flags);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
    }

    void encodingOption_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // the tree's first category line
        QTest::newRow("cp1251") << "cp1251" << 0 << "    CATEGORY\t\u041F\u0440\u0438";
        QTest::newRow("default reads Windows-1252") << QString() << 0 << "    CATEGORY\t\u00CF\u00F0\u00E8";
        QTest::newRow("unknown name") << "klingon" << 64 << QString();
    }
    void encodingOption()
    {
        QFETCH(QString, encoding);
        QFETCH(int, code);
        QFETCH(QString, out);
        const QByteArray text = "CLASS MACHINE\r\n\tCATEGORY \"\xCF\xF0\xE8\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n";
        const QString in = m_dir.filePath("cyr.adm");
        QVERIFY(kova::test::writeBytes(in, text));
        const QStringList option = encoding.isEmpty() ? QStringList{} : QStringList{"--encoding", encoding};
        const ProgramRun tree = runKovaCli(QStringList{"tree", in} + option);
        QCOMPARE(tree.code, code);
        if (code != 0) {
            QVERIFY(tree.err.startsWith("kova-cli: unknown encoding 'klingon'; known: windows-1252, utf-8"));
            return;
        }
        QCOMPARE(tree.out.split(u'\n').value(2), out);
        // Written back in the encoding it was read in, byte for byte.
        const QString written = m_dir.filePath("cyr.out.adm");
        QCOMPARE(runKovaCli(QStringList{"normalize", in, written} + option).code, 0);
        QCOMPARE(kova::test::readBytes(written), text);
    }

    void normalizeWritesTheSaveAsResult()
    {
        const QString in = QStringLiteral(KOVA_SOURCE_DIR "/tests/document/data/golden/statements.adm");
        const QString out = m_dir.filePath("n.adm");
        const ProgramRun r = runKovaCli({"normalize", in, out, "--strings"});
        QCOMPARE(r.code, 0);
        QCOMPARE(kova::test::readBytes(out),
                 kova::test::readBytes(KOVA_SOURCE_DIR "/tests/document/data/golden/statements.strings.adm"));
    }

    void failureLeavesNoOutput_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("syntax error") << QByteArray("POLICY 1\n") << 1;
        QTest::newRow("fatal") << QByteArray("[strings]\nno equals\n") << 2;
    }
    void failureLeavesNoOutput()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, code);
        const QString out = m_dir.filePath("never.adm");
        QCOMPARE(runKovaCli({"normalize", file("bad.adm", text), out}).code, code);
        QVERIFY(!QFile::exists(out));
    }

    void unwritableOutput()
    {
        const ProgramRun r =
            runKovaCli({"normalize", file("ok.adm", "CLASS USER\n"), m_dir.filePath("missing/dir/o.adm")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.endsWith(QStringLiteral("\nTry to save your file with a different name\n")));
    }

    void exportAdmx_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("adml");
        const QByteArray host = "PART \"Host\" EDITTEXT\nVALUENAME \"H\"\nEND PART\n";
        const QString fallback = QStringLiteral("warning: x: 1 of 1 policies name no SUPPORTED text; they refer to the "
                                                "definition SUPPORTED_NotStated (\"Not stated in the template\").\n");
        QTest::newRow("defaults") << host << QStringList{} << 0 << fallback << "en-US/x.adml";
        QTest::newRow("names and language")
            << host << QStringList{"--namespace", "Kova.Test", "--prefix=kt", "--language", "de-DE"} << 0 << fallback
            << "de-DE/x.adml";
        QTest::newRow("warning on standard error")
            << QByteArray("PART \"Host\" EDITTEXT\nVALUENAME \"H\"\nOEMCONVERT\nEND PART\n") << QStringList{} << 0
            << "warning: Pol: Host: The statement OEMCONVERT has no ADMX equivalent and was left out.\n" + fallback
            << "en-US/x.adml";
        QTest::newRow("newer statement refused")
            << QByteArray("EXPLAIN \"x\"\n") << QStringList{} << 1 << "Error in line  5\nFile not loaded\n"
            << QString();
        QTest::newRow("newer statement accepted")
            << QByteArray("EXPLAIN \"x\"\n") << QStringList{"--newer-statements"} << 0 << fallback << "en-US/x.adml";
        QTest::newRow("prefix without value")
            << host << QStringList{"--prefix"} << 64 << "kova-cli: option '--prefix' needs a value\n"
            << QString();
        QTest::newRow("bad prefix") << host << QStringList{"--prefix", "a b"} << 64
                                    << "kova-cli: the prefix 'a b' must be a name of letters, digits, '_', '-' and "
                                       "'.'\n"
                                    << QString();
    }
    void exportAdmx()
    {
        QFETCH(QByteArray, part);
        QFETCH(QStringList, flags);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(QString, adml);
        QTemporaryDir out;
        const QString in = file("x.adm", "CLASS MACHINE\nCATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\nPOLICY "
                                         "\"Pol\"\n" +
                                             part + "END POLICY\nEND CATEGORY\n");
        const ProgramRun r = runKovaCli(QStringList{"export-admx", in, out.path()} + flags);
        QCOMPARE(r.code, code);
        // A usage fault names its cause first.
        QVERIFY2(code == 64 ? r.err.startsWith(err) : r.err == err, qPrintable(r.err));
        QCOMPARE(QDir(out.path()).isEmpty(), adml.isEmpty());
        if (!adml.isEmpty()) {
            QVERIFY(QFile::exists(out.filePath("x.admx")));
            QVERIFY(QFile::exists(out.filePath(adml)));
        }
        if (flags.contains(QStringLiteral("--prefix=kt")))
            QVERIFY(kova::test::readBytes(out.filePath("x.admx")).contains("prefix=\"kt\" namespace=\"Kova.Test\""));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("missing output") << QStringList{"normalize", "in.adm"};
        QTest::newRow("unknown flag") << QStringList{"check", "in.adm", "--fast"};
        QTest::newRow("flag of another command") << QStringList{"check", "in.adm", "--strings"};
    }
    void usage()
    {
        QFETCH(QStringList, args);
        const ProgramRun r = runKovaCli(args);
        QCOMPARE(r.code, 64);
        QVERIFY(r.err.contains(QStringLiteral("usage:")));
    }
};

QTEST_GUILESS_MAIN(TestKovaCli)
#include "tst_kovacli.moc"
