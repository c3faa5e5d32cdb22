// What only a large template shows: the body is cut into tokens, its statements' text kept in blocks and
// its bytes encoded a run of lines at a time; the results are those of a small template. A failed write
// and the file writer's commit complete it. The rest is data under tests/data/document.
#include "document/encoding.h"
#include "document/filesave.h"
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "scriptedprompter.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

using namespace kova;
using kova::test::ScriptedPrompter;

class TestLargeTemplates : public QObject
{
    Q_OBJECT

private slots:
    // A fatal fault late in a large body still comes before anything said about the statements.
    void lateSplitterFaultComesFirst_data()
    {
        QTest::addColumn<QByteArray>("early");
        QTest::addColumn<QByteArray>("late");
        QTest::addColumn<QString>("fatal");
        const QString openQuote = QStringLiteral("Error in function Splitter in modFill");
        const QString undefined =
            QStringLiteral("String !!gone is not defined in string table.\r\nCheck you template manually");
        QTest::newRow("syntax error") << QByteArray("CLASS MACHINE\nPOLICY 5\n") << QByteArray("KEYNAME \"open\n")
                                      << openQuote;
        QTest::newRow("conditional") << QByteArray("CLASS MACHINE\n#if version >= 4\n")
                                     << QByteArray("#endif\nKEYNAME \"open\n") << openQuote;
        QTest::newRow("class of another kind")
            << QByteArray("CLASS SYSTEM\n") << QByteArray("KEYNAME !!gone\n") << undefined;
        QTest::newRow("missing argument at the end")
            << QByteArray("CLASS USER\n") << QByteArray("KEYNAME !!gone\nKEYNAME\n") << undefined;
    }
    void lateSplitterFaultComesFirst()
    {
        QFETCH(QByteArray, early);
        QFETCH(QByteArray, late);
        QFETCH(QString, fatal);
        ScriptedPrompter prompter;
        prompter.expect({fatal, Message::Icon::Critical, Message::Buttons::Ok}, Answer::Ok);
        TemplateDocument doc;
        const QByteArray text = early + QByteArray("KEYNAME \"k\"\n").repeated(50000) + late;
        QCOMPARE(loadTemplateBytes(doc, text, prompter).status, LoadResult::Status::Fatal);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QVERIFY(!doc.root());
    }

    // Classes taking turns, names from the strings, a statement longer than a block: every class's
    // categories in file order, machine first, every policy with its own lines.
    void classesTakingTurns_data()
    {
        QTest::addColumn<int>("longDefault"); // characters of a DEFAULT in the last policy; 0 for none
        QTest::newRow("several blocks") << 0;
        QTest::newRow("one statement longer than a block") << (3 << 19);
    }
    void classesTakingTurns()
    {
        QFETCH(int, longDefault);
        const int sections = 5, policies = 10000;
        QByteArray text;
        QByteArray strings = "[strings]\n";
        for (int c = 0; c < sections; ++c) {
            const QByteArray cat = QByteArray::number(c);
            text += QByteArray(c % 2 ? "CLASS MACHINE\n" : "CLASS USER\n") + "CATEGORY \"C" + cat + "\"\n";
            for (int i = 0; i < policies; ++i) {
                const QByteArray pol = cat + '_' + QByteArray::number(i);
                text += "  POLICY !!P" + pol + "\n    KEYNAME \"K" + pol + "\"\n";
                if (longDefault > 0 && i == policies - 1)
                    text += "    PART \"Long\" EDITTEXT DEFAULT \"" + QByteArray(longDefault, 'x') + "\" END PART\n";
                text += "  END POLICY\n";
                strings += "P" + pol + "=\"Policy " + pol + "\"\n";
            }
            text += "END CATEGORY\n";
        }
        TemplateDocument doc;
        QVERIFY(test::loadText(doc, text + strings));
        QCOMPARE(doc.root()->childCount(), sections);
        for (int c = 0; c < sections; ++c) {
            const TemplateNode *cls = doc.root()->child(c % 2 ? c / 2 : sections / 2 + c / 2);
            QCOMPARE(cls->text, c % 2 ? QStringLiteral("Machine") : QStringLiteral("User"));
            const TemplateNode *category = cls->child(0);
            QCOMPARE(category->text, QStringLiteral("C%1").arg(c));
            QCOMPARE(category->childCount(), policies);
            for (const int i : {0, policies - 1}) {
                const QString pol = QStringLiteral("%1_%2").arg(c).arg(i);
                QCOMPARE(category->child(i)->text, QStringLiteral("Policy ") + pol);
                QCOMPARE(doc.nodeText(category->child(i)),
                         QStringLiteral("POLICY \"Policy %1\"\r\nKEYNAME \"K%1\"\r\nEND POLICY\r\n").arg(pol));
            }
        }
        if (longDefault > 0) {
            const TemplateNode *part = doc.root()->child(0)->child(0)->child(policies - 1)->child(0);
            QVERIFY(doc.nodeText(part) == QStringLiteral("PART \"Long\" EDITTEXT\r\nDEFAULT \"%1\"\r\nEND PART\r\n")
                                              .arg(QString(longDefault, u'x')));
        }
    }

    // The bytes are those of the whole text encoded at once, mark first; a character far into the text
    // that Windows-1252 cannot hold still makes the file UTF-16LE, one a chosen code page cannot hold
    // still stops the save.
    void encodedAsWholeText_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("late");      // the name of a policy far into the text
        QTest::addColumn<QString>("writtenAs"); // empty: nothing saved
        QTest::newRow("windows-1252") << "windows-1252" << QStringLiteral("caf\u00E9") << "windows-1252";
        QTest::newRow("windows-1252 to utf-16le") << "windows-1252" << QStringLiteral("\u65E5") << "utf-16le";
        QTest::newRow("windows-1252 euro") << "windows-1252" << QStringLiteral("\u20AC5") << "windows-1252";
        QTest::newRow("windows-1252 control to utf-16le") << "windows-1252" << QStringLiteral("a\u0080") << "utf-16le";
        QTest::newRow("utf-8") << "utf-8" << QStringLiteral("\U0001F600") << "utf-8";
        QTest::newRow("utf-16be") << "utf-16be" << QStringLiteral("\u65E5") << "utf-16be";
        QTest::newRow("cp1251 refused") << "cp1251" << QStringLiteral("\u4E2D") << "";
    }
    void encodedAsWholeText()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, late);
        QFETCH(QString, writtenAs);
        const std::optional<TextEncoding> chosen = encodingFromName(encoding);
        if (!chosen)
            QSKIP("the encoding is not convertible on this machine");
        QByteArray text = "CLASS MACHINE\nCATEGORY \"Big\"\n";
        for (int i = 0; i < 20000; ++i)
            text += "POLICY \"P" + QByteArray::number(i) + "\"\nPART \"P" + QByteArray::number(i) +
                    "\" EDITTEXT\nEND PART\nEND POLICY\n";
        TemplateDocument doc;
        QVERIFY(test::loadText(doc, text + "END CATEGORY\n"));
        TemplateNode *policy = doc.root()->child(0)->child(0)->child(19000);
        doc.commitNodeEdit(policy, late, QStringLiteral("POLICY \"") + late + QStringLiteral("\"\r\nEND POLICY\r\n"));
        doc.setEncoding(*chosen);
        TextEncoding expected = *chosen;
        const QByteArray whole = encodeText(renderTemplate(doc, false), expected);
        QTemporaryDir dir;
        doc.setPath(dir.filePath("out.adm"));
        ScriptedPrompter prompter;
        if (writtenAs.isEmpty())
            prompter.expect(QStringLiteral("The character \"") + late + QStringLiteral("\" cannot be written in ") +
                                encodingLabel(*chosen) + QStringLiteral(".\r\nNothing was saved."),
                            Message::Icon::Exclamation);
        QCOMPARE(WriteTemplate(doc, prompter), !writtenAs.isEmpty());
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(QFile::exists(doc.path()), !writtenAs.isEmpty());
        if (writtenAs.isEmpty())
            return;
        QCOMPARE(encodingName(doc.encoding()), writtenAs);
        QVERIFY(whole.size() > 1 << 19); // more than one run of lines
        QVERIFY(test::readBytes(doc.path()) == whole);
    }

    // Past 9999 entries the names grow a digit.
    void tenThousandStrings()
    {
        QByteArray text = "CLASS MACHINE\nCATEGORY \"c\"\nPOLICY \"p\"\nPART \"d\" DROPDOWNLIST\nITEMLIST\n";
        for (int i = 0; i < 10001; ++i)
            text += "NAME \"n" + QByteArray::number(100000 + i) + "\" VALUE NUMERIC 1\n";
        TemplateDocument doc;
        QVERIFY(test::loadText(doc, text + "END ITEMLIST\nEND PART\nEND POLICY\nEND CATEGORY\n"));
        const QString out = renderTemplate(doc, true);
        // C entries: c, d, p; then 10001 W entries: the last of them is number 10004.
        QVERIFY(out.contains(QStringLiteral("\r\nW9999=\"n109995\"\r\n")));
        QVERIFY(out.contains(QStringLiteral("\r\nW10004=\"n110000\"\r\n")));
        QVERIFY(out.contains(QStringLiteral("NAME !!W10004\r\n")));
    }

    // A write that fails half-way (past 4 KiB, as on a full device) leaves the old file, no scratch
    // file and the document as it was.
    void failedWriteKeepsEverything()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.adm");
        const QByteArray old = "old contents that must survive\r\n";
        QVERIFY(test::writeBytes(path, old));
        TemplateDocument doc;
        QByteArray big = "CLASS MACHINE\nCATEGORY \"c\"\n";
        for (int i = 0; i < 2000; ++i)
            big += "KEYNAME \"Software\\Some\\Fairly\\Long\\Key\\Name\\Number" + QByteArray::number(i) + "\"\n";
        QVERIFY(test::loadText(doc, big + "END CATEGORY\n"));
        doc.setModified(true);
        const NodeTextTable before = doc.texts();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        doc.setPath(path);
        ScriptedPrompter prompter;
        prompter.allowAnything(Answer::Ok);
        const bool ok = WriteTemplate(doc, prompter);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!ok);
        QCOMPARE(prompter.messages().size(), 1);
        const Message m = prompter.messages().first();
        QCOMPARE(m.icon, Message::Icon::Exclamation);
        QVERIFY2(m.text.endsWith(QStringLiteral("\r\nTry to save your file with a different name")),
                 qPrintable(m.text));
        QVERIFY(m.text.size() > 46); // the system's description comes first
        QCOMPARE(test::readBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.adm"});
        QVERIFY(doc.isModified());
        QCOMPARE(doc.texts(), before);
    }

    // The file holds the pieces one after the other once committed, and is left as it was (with no
    // temporary file beside it) by a writer that ends without commit.
    void piecesReplaceTheFileOnCommitOnly_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("commit");
        QTest::newRow("none") << QList<QByteArray>{} << true;
        QTest::newRow("one") << QList<QByteArray>{"CLASS MACHINE\r\n"} << true;
        QTest::newRow("several") << QList<QByteArray>{"CLASS ", "", "MACHINE\r\n", QByteArray(300000, 'x')} << true;
        QTest::newRow("dropped") << QList<QByteArray>{"CLASS ", "USER\r\n"} << false;
    }
    void piecesReplaceTheFileOnCommitOnly()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, commit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.adm"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        {
            AtomicFileWriter file(path);
            for (const QByteArray &piece : pieces)
                file.write(piece);
            QCOMPARE(test::readBytes(path), QByteArray("old"));
            QString error;
            if (commit)
                QVERIFY2(file.commit(&error), qPrintable(error));
        }
        QCOMPARE(test::readBytes(path), commit ? pieces.join() : QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.adm")});
    }

    // A file that cannot be written is reported by commit, with the system's words or the read-only
    // refusal, and is left as it was.
    void failureReportedByCommit_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("missing folder") << false;
        QTest::newRow("read-only file") << true;
    }
    void failureReportedByCommit()
    {
        QFETCH(bool, readOnly);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("missing/out.adm"));
        if (readOnly) {
            path = dir.filePath(QStringLiteral("out.adm"));
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            QVERIFY(old.setPermissions(QFileDevice::ReadOwner));
        }
        AtomicFileWriter file(path);
        file.write("CLASS USER\r\n");
        file.write("END");
        QString error;
        QVERIFY(!file.commit(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(error.startsWith(QStringLiteral("Permission denied: ")), readOnly);
        QCOMPARE(test::readBytes(path), readOnly ? QByteArray("old") : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestLargeTemplates)
#include "tst_largetemplates.moc"
