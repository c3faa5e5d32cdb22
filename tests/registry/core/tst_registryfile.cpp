// The registry store's file format: parsing, writing back, and the errors that name a line.
#include "registry/core/registryfile.h"

#include "testfiles.h"

#include <QTest>

using namespace kova;

class TestRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void parsesWineFile()
    {
        const QByteArray file = "WINE REGISTRY Version 2\n"
                                ";; All keys relative to \\\\Machine\n"
                                "#arch=win64\n"
                                "\n"
                                "[Software\\\\Classes\\\\.adm] 1733412345\n"
                                "#time=1db4f0e2a6e1c3c\n"
                                "@=\"ADM.Document\"\n"
                                "\"Path\"=str(2):\"%WinDir%\\\\x \\\"q\\\"\"\n"
                                "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                                "\"Count\"=dword:0000000a\n"
                                "\"Bin\"=hex:01,02,\\\n"
                                "  ff\n"
                                "\"Big\"=hex(5):00,00,01,02\n"
                                "\"Uni\"=\"\\x00e9t\\x00e9\"\n"
                                "\n"
                                "[Software\\\\Empty] 1733412346\n";
        RegistryFileContents c;
        const auto error = parseRegistryFile(file, c);
        QVERIFY2(!error, error ? qPrintable(error->reason) : "");
        QCOMPARE(c.headerLines,
                 (QStringList{"WINE REGISTRY Version 2", ";; All keys relative to \\\\Machine", "#arch=win64"}));
        QCOMPARE(c.keys().size(), 2);
        const StoredKey *k = c.find(QStringLiteral("SOFTWARE\\classes\\.ADM"));
        QVERIFY(k);
        QCOMPARE(k->path, QStringLiteral("Software\\Classes\\.adm"));
        QCOMPARE(k->stamp, QStringLiteral("1733412345"));
        QCOMPARE(k->extraLines, QStringList{"#time=1db4f0e2a6e1c3c"});
        QCOMPARE(k->values.size(), 7);
        QCOMPARE(k->values.at(0).name, QString());
        QCOMPARE(k->values.at(0).value, (RegistryValue{1, test::wideText("ADM.Document")}));
        QCOMPARE(k->values.at(1).value, (RegistryValue{2, test::wideText("%WinDir%\\x \"q\"")}));
        QCOMPARE(k->values.at(2).value,
                 (RegistryValue{7, test::wideText(QStringLiteral("a") + QChar(0) + u'b' + QChar(0))}));
        QCOMPARE(k->values.at(3).value, (RegistryValue{4, QByteArray("\x0a\0\0\0", 4)}));
        QCOMPARE(k->values.at(4).value, (RegistryValue{3, QByteArray("\x01\x02\xff")}));
        QCOMPARE(k->values.at(5).value, (RegistryValue{5, QByteArray("\0\0\x01\x02", 4)}));
        QCOMPARE(k->values.at(6).value, (RegistryValue{1, test::wideText(QStringLiteral("\u00e9t\u00e9"))}));
        QCOMPARE(k->valueIndex(QStringLiteral("count")), 3);

        // Written back and read again, nothing is lost.
        const QByteArray rendered = renderRegistryFile(c);
        RegistryFileContents again;
        QVERIFY(!parseRegistryFile(rendered, again));
        QCOMPARE(renderRegistryFile(again), rendered);
        QCOMPARE(again.keys().size(), 2);
        QCOMPARE(again.keys().at(0).values.size(), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(again.keys().at(0).values.at(i).value, k->values.at(i).value);
        QVERIFY(
            rendered.contains("[Software\\\\Classes\\\\.adm] 1733412345\n#time=1db4f0e2a6e1c3c\n@=\"ADM.Document\"\n"));
        QVERIFY(rendered.contains("\"Count\"=dword:0000000a\n"));
        QVERIFY(rendered.contains("\"Big\"=hex(5):00,00,01,02\n"));
    }

    void emptyFileIsEmptyStore()
    {
        RegistryFileContents c;
        QVERIFY(!parseRegistryFile(QByteArray(), c));
        QVERIFY(c.isEmpty());
    }

    void errorsNameTheLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");
        QTest::newRow("not a store") << QByteArray("REGEDIT4\n") << 1;
        QTest::newRow("value before key") << QByteArray("WINE REGISTRY Version 2\n\"a\"=\"b\"\n") << 2;
        QTest::newRow("open bracket") << QByteArray("WINE REGISTRY Version 2\n\n[Software\\\\X 123\n") << 3;
        QTest::newRow("unterminated string") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\"=\"b\n") << 3;
        QTest::newRow("bad dword") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\"=dword:xyz\n") << 3;
        QTest::newRow("long dword") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\"=dword:123456789\n") << 3;
        QTest::newRow("bad hex") << QByteArray("WINE REGISTRY Version 2\n[K]\n@=hex:01,zz\n") << 3;
        QTest::newRow("hex continued at end") << QByteArray("WINE REGISTRY Version 2\n[K]\n@=hex:01,\\\n") << 3;
        QTest::newRow("stray text") << QByteArray("WINE REGISTRY Version 2\n[K]\nhello\n") << 3;
        QTest::newRow("no equals") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\" \"b\"\n") << 3;
        QTest::newRow("unknown data") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\"=qword:1\n") << 3;
        QTest::newRow("junk after string") << QByteArray("WINE REGISTRY Version 2\n[K]\n\"a\"=\"b\" c\n") << 3;
    }
    void errorsNameTheLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        RegistryFileContents c;
        const auto error = parseRegistryFile(file, c);
        QVERIFY(error);
        QCOMPARE(error->line, line);
        QVERIFY(!error->reason.isEmpty());
    }

    void escapesRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and backslashes") << QStringLiteral("a\"b\\c");
        QTest::newRow("controls") << QStringLiteral("\t\n\r") + QChar(1) + QChar(27) + QStringLiteral("7");
        QTest::newRow("non-ASCII followed by hex digit") << QStringLiteral("\u00e9a1\u4e2d");
        QTest::newRow("brackets") << QStringLiteral("[x]");
        QTest::newRow("NUL then digits") << QChar(0) + QStringLiteral("12");
    }
    void escapesRoundTrip()
    {
        QFETCH(QString, text);
        RegistryFileContents c;
        c.headerLines = QStringList{RegistryFileContents::Signature};
        StoredKey &k = c.obtain(QStringLiteral("Key ") + text);
        k.values.append(StoredKey::Value{text, RegistryValue{1, test::wideText(text)}});
        k.values.append(
            StoredKey::Value{QStringLiteral("odd"), RegistryValue{1, QByteArray("abc")}}); // not a whole string
        RegistryFileContents again;
        const auto error = parseRegistryFile(renderRegistryFile(c), again);
        QVERIFY2(!error, error ? qPrintable(error->reason) : "");
        QCOMPARE(again.keys().size(), 1);
        QCOMPARE(again.keys().at(0).path, QStringLiteral("Key ") + text);
        QCOMPARE(again.keys().at(0).values.at(0).name, text);
        QCOMPARE(again.keys().at(0).values.at(0).value, (RegistryValue{1, test::wideText(text)}));
        QCOMPARE(again.keys().at(0).values.at(1).value, (RegistryValue{1, QByteArray("abc")}));
    }

    void keysMetTwiceMerge()
    {
        RegistryFileContents c;
        QVERIFY(!parseRegistryFile("WINE REGISTRY Version 2\n[A]\n\"x\"=\"1\"\n[a]\n\"X\"=\"2\"\n\"y\"=\"3\"\n", c));
        QCOMPARE(c.keys().size(), 1);
        QCOMPARE(c.keys().at(0).path, QStringLiteral("A"));
        QCOMPARE(c.keys().at(0).values.size(), 2);
        QCOMPARE(c.keys().at(0).values.at(0).name, QStringLiteral("x"));
        QCOMPARE(c.keys().at(0).values.at(0).value.data, test::wideText("2"));
    }
};

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
