#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "scriptedprompter.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using kova::test::ScriptedPrompter;

namespace {

// "caption<slot text>" of every node, depth first, indented by depth.
QStringList treeOf(const TemplateDocument &doc)
{
    QStringList out;
    if (!doc.root())
        return out;
    doc.root()->forEach([&](TemplateNode *n) {
        out.append(QString(n->depth() * 2, u' ') + n->key() + u' ' + n->kind() + u' ' + n->text + " <" +
                   doc.nodeText(n).replace(QStringLiteral("\r\n"), QStringLiteral("|")) + u'>');
    });
    return out;
}

} // namespace

class TestLoader : public QObject
{
    Q_OBJECT

private slots:
    // A large body is cut into tokens as its statements are read, yet a fatal fault in its lines
    // still comes before anything said about the statements: no question, no syntax error, only it.
    void lateSplitterFaultComesFirst_data()
    {
        QTest::addColumn<QByteArray>("early");
        QTest::addColumn<int>("filler"); // lines of two tokens between the two
        QTest::addColumn<QByteArray>("late");
        QTest::addColumn<QString>("fatal");
        const QString openQuote = QStringLiteral("Error in function Splitter in modFill");
        const QString undefined =
            QStringLiteral("String !!gone is not defined in string table.\r\nCheck you template manually");
        for (const int filler : {10, 50000}) {
            const auto row = [&](const char *name, const char *early, const char *late, const QString &fatal) {
                QTest::addRow("%s, %d lines apart", name, filler)
                    << QByteArray(early) << filler << QByteArray(late) << fatal;
            };
            row("syntax error, then an open quote", "CLASS MACHINE\nPOLICY 5\n", "KEYNAME \"open\n", openQuote);
            row("conditional, then an open quote", "CLASS MACHINE\n#if version >= 4\n", "#endif\nKEYNAME \"open\n",
                openQuote);
            row("class of another kind, then an undefined string", "CLASS SYSTEM\n", "KEYNAME !!gone\n", undefined);
            row("missing argument at the end, after an undefined string", "CLASS USER\n", "KEYNAME !!gone\nKEYNAME\n",
                undefined);
        }
    }
    void lateSplitterFaultComesFirst()
    {
        QFETCH(QByteArray, early);
        QFETCH(int, filler);
        QFETCH(QByteArray, late);
        QFETCH(QString, fatal);
        ScriptedPrompter prompter;
        prompter.expect({fatal, Message::Icon::Critical, Message::Buttons::Ok}, Answer::Ok);
        TemplateDocument doc;
        const QByteArray text = early + QByteArray("KEYNAME \"k\"\n").repeated(filler) + late;
        QCOMPARE(loadTemplateBytes(doc, text, prompter).status, LoadResult::Status::Fatal);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QVERIFY(!doc.root());
    }

    void trees_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("tree");
        QTest::newRow("no class: categories under Machine, empty User")
            << QByteArray("CATEGORY \"A\"\nKEYNAME \"k\"\nEND CATEGORY\n")
            << QStringList{"K1 ROOT Computer <>", "  K2 CLASS Machine <CLASS MACHINE|>",
                           "    K3 CATEGORY A <CATEGORY \"A\"|KEYNAME \"k\"|END CATEGORY|>",
                           "  K4 CLASS User <CLASS USER|>"};
        QTest::newRow("user written first loads with Machine first")
            << QByteArray("CLASS USER\nCATEGORY \"U\"\nEND CATEGORY\nCLASS MACHINE\n")
            << QStringList{"K1 ROOT Computer <>", "  K2 CLASS Machine <CLASS MACHINE|>",
                           "  K3 CLASS User <CLASS USER|>", "    K4 CATEGORY U <CATEGORY \"U\"|END CATEGORY|>"};
        QTest::newRow("lines after END PART stay with the part; blank and comment lines vanish")
            << QByteArray("CLASS MACHINE\n\n; note\nCATEGORY \"C\"\nPOLICY \"P\"\nKEYNAME \"k\"\nPART \"A\" TEXT\nEND "
                          "PART\nVALUENAME \"after\"\nEND POLICY\nEND CATEGORY\n")
            << QStringList{"K1 ROOT Computer <>",
                           "  K2 CLASS Machine <CLASS MACHINE|>",
                           "    K3 CATEGORY C <CATEGORY \"C\"|END CATEGORY|>",
                           "      K4 POLICY P <POLICY \"P\"|KEYNAME \"k\"|END POLICY|>",
                           "        K5 PART A <PART \"A\" TEXT|END PART|VALUENAME \"after\"|>",
                           "  K6 CLASS User <CLASS USER|>"};
        QTest::newRow("sub-categories nest; a bare word becomes the name")
            << QByteArray("CLASS USER\nCATEGORY Outer\nCATEGORY \"Inner\"\nEND CATEGORY\nEND CATEGORY\n")
            << QStringList{"K1 ROOT Computer <>", "  K2 CLASS Machine <CLASS MACHINE|>",
                           "  K3 CLASS User <CLASS USER|>", "    K4 CATEGORY Outer <CATEGORY \"Outer\"|END CATEGORY|>",
                           "      K5 CATEGORY Inner <CATEGORY \"Inner\"|END CATEGORY|>"};
    }
    void trees()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, tree);
        ScriptedPrompter prompter;
        TemplateDocument doc;
        QVERIFY(loadTemplateBytes(doc, test::crlf(text), prompter).loaded());
        QCOMPARE(treeOf(doc), tree);
        QVERIFY(doc.root()->expanded);
        QVERIFY(doc.root()->child(0)->expanded);
        QCOMPARE(NodeImage(doc.root()->child(0)), QStringLiteral("machine"));
    }

    void keptSections()
    {
        ScriptedPrompter prompter;
        TemplateDocument doc;
        const QByteArray text = "CLASS USER\n[Strings]\n; c\nIEAK_Title = \" T \"\nother=x\n[Custom]\n  raw line \n\n"
                                "[strings]\nieak_more=y\n";
        QVERIFY(loadTemplateBytes(doc, test::crlf(text), prompter).loaded());
        QCOMPARE(doc.keptStringEntries(), (QStringList{"IEAK_Title=\"T\"", "ieak_more=\"y\""}));
        QCOMPARE(doc.keptSectionLines(), (QStringList{"[Custom]", "  raw line ", ""}));
    }

    // The body ends at the first line that begins with '[' after blanks, whatever line ends the file
    // uses; a '[' anywhere else on a line is the body's.
    void bodyEndsAtFirstSectionLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("categories"); // of the body, in order
        QTest::addColumn<QStringList>("kept");       // the lines of the section kept as they are
        QTest::newRow("brackets inside body lines")
            << QByteArray("CLASS USER\r\nCATEGORY \"[a]\"\r\nEND CATEGORY\r\nCATEGORY x[y ;[z]\r\nEND CATEGORY\r\n")
            << QStringList{"[a]", "x[y"} << QStringList{};
        QTest::newRow("indented section line")
            << QByteArray("CLASS USER\r\nCATEGORY \"a\"\r\nEND CATEGORY\r\n \t[Other]\r\nCATEGORY \"b\"\r\n")
            << QStringList{"a"} << QStringList{" \t[Other]", "CATEGORY \"b\""};
        QTest::newRow("lone CR line ends") << QByteArray("CLASS USER\rCATEGORY \"a\"\rEND CATEGORY\r[Other]\rx\r")
                                           << QStringList{"a"} << QStringList{"[Other]", "x"};
        QTest::newRow("LF line ends, a bracket earlier on the line before")
            << QByteArray("CLASS USER\nCATEGORY \"a\" ; [no]\nEND CATEGORY\n[Other]\n") << QStringList{"a"}
            << QStringList{"[Other]"};
        QTest::newRow("section first") << QByteArray("[Other]\r\nCATEGORY \"a\"\r\n") << QStringList{}
                                       << QStringList{"[Other]", "CATEGORY \"a\""};
    }
    void bodyEndsAtFirstSectionLine()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, categories);
        QFETCH(QStringList, kept);
        ScriptedPrompter prompter;
        TemplateDocument doc;
        QVERIFY(loadTemplateBytes(doc, text, prompter).loaded());
        QStringList found;
        doc.root()->forEach([&](TemplateNode *n) {
            if (n->kind() == NodeKind::Category)
                found.append(n->text);
        });
        QCOMPARE(found, categories);
        QCOMPARE(doc.keptSectionLines(), kept);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        const QString text = QStringLiteral("CLASS USER\r\nCATEGORY \"Caf\u00e9 \u20ac\"\r\nEND CATEGORY\r\n");
        QTest::newRow("utf-16le") << QByteArray("\xFF\xFE") +
                                         QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
                                  << TextEncoding::Utf16LE;
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << TextEncoding::Utf8;
        QTest::newRow("utf-8 without mark") << text.toUtf8() << TextEncoding::Utf8WithoutMark;
        QTest::newRow("windows-1252") << QByteArray("CLASS USER\nCATEGORY \"Caf\xE9 \x80\"\rEND CATEGORY")
                                      << TextEncoding::Windows1252;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        ScriptedPrompter prompter;
        TemplateDocument doc;
        QVERIFY(loadTemplateBytes(doc, bytes, prompter).loaded());
        QCOMPARE(doc.encoding(), encoding);
        QCOMPARE(doc.root()->child(1)->child(0)->text, QStringLiteral("Caf\u00e9 \u20ac"));
    }

    void unreadableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing.adm"));
        ScriptedPrompter prompter;
        prompter.allowAnything(Answer::No);
        TemplateDocument doc;
        doc.newTemplate();
        QSignalSpy unreadable(&doc, &TemplateDocument::unreadable);
        const LoadResult result = Vullen(doc, path, prompter);
        QCOMPARE(result.status, LoadResult::Status::Failed);
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.messages().first().icon, Message::Icon::Exclamation);
        QVERIFY(!prompter.messages().first().text.isEmpty());
        QCOMPARE(unreadable.size(), 1);
        QCOMPARE(unreadable.first().first().toString(), path);
        QVERIFY(!doc.root());
    }

    // A [strings] value ending in a backslash goes on in the next, indented line under the newer
    // statements: the backslash and the next line's leading blanks go.
    void continuedStrings_data()
    {
        QTest::addColumn<QByteArray>("strings");
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QString>("caption"); // empty: the load is fatal
        QTest::newRow("two pieces") << QByteArray("N=\"one \\\n    two\"\n") << true << "one two";
        QTest::newRow("three pieces, TAB indent") << QByteArray("N=\"a\\\n\tb\\\n  c\"\n") << true << "abc";
        QTest::newRow("closing quote alone") << QByteArray("N=\"a\\\n    \"\n") << true << "a";
        QTest::newRow("next line not indented: no continuation")
            << QByteArray("N=Software\\X\\\nM=\"m\"\n") << true << "Software\\X\\";
        QTest::newRow("last line of the file") << QByteArray("N=a\\") << true << "a\\";
        QTest::newRow("blank line ends it") << QByteArray("N=a b\\\n\n    M=\"m\"\n") << true << "a b\\";
        QTest::newRow("classic: the continuation line is an invalid entry")
            << QByteArray("N=\"one \\\n    two\"\n") << false << QString();
    }
    void continuedStrings()
    {
        QFETCH(QByteArray, strings);
        QFETCH(bool, newer);
        QFETCH(QString, caption);
        ScriptedPrompter prompter;
        if (caption.isEmpty())
            prompter.expect({QStringLiteral("The [strings] section contains invalid entries\r\nThe program could "
                                            "not evaluate the following line:\r\ntwo\""),
                             Message::Icon::Critical, Message::Buttons::Ok});
        TemplateDocument doc;
        LoadOptions options;
        options.newerStatements = newer;
        const LoadResult result = loadTemplateBytes(
            doc, test::crlf("CLASS USER\nCATEGORY !!N\nEND CATEGORY\n[strings]\n" + strings), prompter, options);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(result.status, caption.isEmpty() ? LoadResult::Status::Fatal : LoadResult::Status::Loaded);
        if (!caption.isEmpty())
            QCOMPARE(doc.root()->child(1)->child(0)->text, caption);
    }

    void generatedTemplateWithContinuedStrings()
    {
        ScriptedPrompter prompter;
        TemplateDocument doc;
        LoadOptions options;
        options.newerStatements = true;
        QVERIFY(Vullen(doc, QStringLiteral(KOVA_TEST_DATA "/generated/continued.adm"), prompter, options).loaded());
        const TemplateNode *category = doc.root()->child(0)->child(0);
        QCOMPARE(category->text, QStringLiteral("Vendor Browser"));
        QCOMPARE(test::childTexts(category), (QStringList{"Configure the home page URL", "Proxy server mode"}));
        QVERIFY(doc.nodeText(category->child(0))
                    .contains(QStringLiteral("EXPLAIN \"Sets the default home page URL. \\n\\nAn updated template will "
                                             "list newer options.\\n\\nIf you disable this setting, users choose "
                                             "their own home page.\"\r\n")));
        QVERIFY(
            doc.nodeText(category->child(1))
                .contains(QStringLiteral("EXPLAIN \"Chooses how the browser connects:\\ndirect or system proxy.\"\r\n"
                                         "KEYNAME \"Software\\Vendor\\\"\r\n")));
    }

    // The statements' text is kept in blocks of about a megabyte: a template much larger than that
    // loads as a small one does, every policy with its own name and lines, machine before user, and
    // a part named as its policy keeps its name when the policy is renamed.
    void largeTemplateAcrossBlocks_data()
    {
        QTest::addColumn<int>("policies");
        QTest::newRow("small") << 3;
        QTest::newRow("several blocks") << 30000;
    }
    void largeTemplateAcrossBlocks()
    {
        QFETCH(int, policies);
        QByteArray user = "CLASS USER\nCATEGORY \"U\"\nEND CATEGORY\n";
        QByteArray text = user + "CLASS MACHINE\nCATEGORY \"Big\"\n";
        for (int i = 0; i < policies; ++i)
            text += QByteArray("POLICY \"P") + QByteArray::number(i) + "\"\nKEYNAME \"Software\\Key " +
                    QByteArray::number(i) + "\"\nPART \"P" + QByteArray::number(i) +
                    "\" EDITTEXT\nEND PART\nEND POLICY\n";
        text += "END CATEGORY\n";
        TemplateDocument doc;
        QVERIFY(test::loadText(doc, text));
        QCOMPARE(doc.root()->childCount(), 2);
        QCOMPARE(doc.root()->child(1)->child(0)->text, QStringLiteral("U"));
        const TemplateNode *big = doc.root()->child(0)->child(0);
        QCOMPARE(big->childCount(), policies);
        for (int i = 0; i < policies; ++i) {
            const TemplateNode *policy = big->child(i);
            const QString name = QStringLiteral("P%1").arg(i);
            QCOMPARE(policy->text, name);
            QCOMPARE(policy->child(0)->text, name);
            QCOMPARE(
                doc.nodeText(policy),
                QStringLiteral("POLICY \"%1\"\r\nKEYNAME \"Software\\Key %2\"\r\nEND POLICY\r\n").arg(name).arg(i));
        }
        TemplateNode *last = big->child(policies - 1);
        doc.setNodeCaption(last, QStringLiteral("Renamed"));
        QCOMPARE(last->child(0)->text, QStringLiteral("P%1").arg(policies - 1));
    }

    // The text is read once, front to back, and let go of as the statements are written: a large
    // template whose classes take turns, whose names come from its strings and that holds a statement
    // longer than a block still loads every class's categories in file order, machine first.
    void classesTakingTurnsInALargeTemplate_data()
    {
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("policies");    // in each section's category
        QTest::addColumn<int>("longDefault"); // characters of a DEFAULT in the last policy; 0 for none
        QTest::newRow("small") << 3 << 2 << 0;
        QTest::newRow("large") << 6 << 10000 << 0;
        QTest::newRow("large, one long statement") << 4 << 10000 << (3 << 19);
    }
    void classesTakingTurnsInALargeTemplate()
    {
        QFETCH(int, sections);
        QFETCH(int, policies);
        QFETCH(int, longDefault);
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
        // Every CLASS line makes a class node: the machine's (odd sections) first, then the user's.
        QCOMPARE(doc.root()->childCount(), sections);
        const int machines = sections / 2;
        for (int c = 0; c < sections; ++c) {
            const TemplateNode *cls = doc.root()->child(c % 2 ? c / 2 : machines + c / 2);
            QCOMPARE(cls->text, c % 2 ? QStringLiteral("Machine") : QStringLiteral("User"));
            const TemplateNode *category = cls->child(0);
            QCOMPARE(category->text, QStringLiteral("C%1").arg(c));
            QCOMPARE(category->childCount(), policies);
            for (const int i : {0, policies - 1}) {
                const TemplateNode *policy = category->child(i);
                const QString pol = QStringLiteral("%1_%2").arg(c).arg(i);
                QCOMPARE(policy->text, QStringLiteral("Policy ") + pol);
                QCOMPARE(doc.nodeText(policy),
                         QStringLiteral("POLICY \"Policy %1\"\r\nKEYNAME \"K%1\"\r\nEND POLICY\r\n").arg(pol));
            }
        }
        if (longDefault > 0) {
            const TemplateNode *part = doc.root()->child(0)->child(0)->child(policies - 1)->child(0);
            QVERIFY(doc.nodeText(part) == QStringLiteral("PART \"Long\" EDITTEXT\r\nDEFAULT \"%1\"\r\nEND PART\r\n")
                                              .arg(QString(longDefault, u'x')));
        }
    }
};

QTEST_GUILESS_MAIN(TestLoader)
#include "tst_loader.moc"
