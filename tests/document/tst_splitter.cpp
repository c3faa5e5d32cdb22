#include "document/keywordtable.h"
#include "document/splitter.h"
#include "document/stringtable.h"
#include "scriptedprompter.h"

#include <QTest>

using namespace kova;
using kova::test::ScriptedPrompter;

namespace {

// The tokens of one body text, as plain strings.
QStringList tokensOf(const QString &body, const StringTable &strings, Prompter &prompter, bool newer = false,
                     bool *ok = nullptr)
{
    const WordContext context{KeywordTable::standard(), strings, newer};
    const auto stream = Splitter(body, context, prompter);
    if (ok)
        *ok = stream.has_value();
    QStringList out;
    if (stream)
        for (const Token &t : stream->tokens)
            out.append(t.text().toString() + u'@' + QString::number(t.line));
    return out;
}

StringTable sampleStrings()
{
    StringTable table;
    for (QString e : {QStringLiteral("Zeta=\"Last\""), QStringLiteral("KeyRoot=\"Software\\Kova\""),
                      QStringLiteral("alpha=\"First\""), QStringLiteral("alpha_b=\"Second\"")})
        table.append(e);
    table.SortStringTable();
    return table;
}

} // namespace

class TestSplitter : public QObject
{
    Q_OBJECT

private slots:
    void keywordTable()
    {
        const KeywordTable &table = KeywordTable::standard();
        QCOMPARE(table.count(), 47);
        QCOMPARE(table.at(1), QStringLiteral("#ELSE"));
        QCOMPARE(table.at(47), QStringLiteral("VERSION"));
        QVERIFY(table.contains(u"VALUEPREFIX"));
        QVERIFY(!table.contains(u"EXPLAIN"));
        QVERIFY(!table.contains(u"keyname")); // callers upper-case first
        QCOMPARE(KeywordTable::fromResource(QStringLiteral(":/no/such/file")).count(), 0);
    }

    void normaliseStringEntry_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry");
        const auto row = [](const char *line, const char *entry) {
            QTest::newRow(line) << QString(line) << QString(entry);
        };
        row("Name=\"Text\"", "Name=\"Text\"");
        row("  Name   =   \"Text\"  ", "Name=\"Text\""); // blanks around
        row("name = Hello World", "name=\"Hello World\"");
        row("a=\"  padded  \"", "a=\"padded\"");
        row("a=\"x\ty\"", "a=\"x y\"");     // a tab inside
        row("a=abc\"def", "a=\"abc\"");     // one quote keeps the text before it
        row("a=\"one\"two\"", "a=\"one\""); // three quotes: the first pair
        row("a=\"x=y\"", "a=\"x=y\"");
        row("a=", "a=\"\"");
        row("my\tname=v", "my name=\"v\""); // a tab in the name
    }
    void normaliseStringEntry()
    {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        ScriptedPrompter prompter;
        QVERIFY(NormaliseStringEntry(line, prompter));
        QCOMPARE(line, entry);
    }

    void normaliseWithoutEqualsIsFatal()
    {
        ScriptedPrompter prompter;
        prompter.expect("The [strings] section contains invalid entries\r\n"
                        "The program could not evaluate the following line:\r\nno equals here",
                        Message::Icon::Critical);
        QString line = QStringLiteral("no equals here");
        QVERIFY(!NormaliseStringEntry(line, prompter));
        KOVA_VERIFY_PROMPTS_DONE(prompter);
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const char *text) {
            QTest::newRow(name) << QString(name) << QString(text);
        };
        row("alpha", "\"First\"");
        row("KEYROOT", "\"Software\\Kova\""); // any case
        row("alpha_b", "\"Second\"");         // a name that another begins with
        row("zeta", "\"Last\"");
        row("alph", ""); // missing
        row("zz", "");   // missing, after the end
    }
    void lookup()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const StringTable table = sampleStrings();
        const QStringView found = table.lookup(name);
        QCOMPARE(found.isNull(), text.isEmpty());
        QCOMPARE(found.toString(), text);
    }

    void splitter_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("keyword in lower case") << "keyname \"A\"" << false << QStringList{"KEYNAME@1", "\"A\"@1"};
        QTest::newRow("number stays, word quoted")
            << "MAX 12 Software" << false << QStringList{"MAX@1", "12@1", "\"Software\"@1"};
        QTest::newRow("decimal and signed numbers")
            << "-3 1.5 +2e3 1e" << false << QStringList{"-3@1", "1.5@1", "+2e3@1", "\"1e\"@1"};
        QTest::newRow("quoted text with blanks and semicolon")
            << "NAME \"a b; c\"" << false << QStringList{"NAME@1", "\"a b; c\"@1"};
        QTest::newRow("comment after statement")
            << "KEYNAME \"A\" ; note" << false << QStringList{"KEYNAME@1", "\"A\"@1"};
        QTest::newRow("comment glued to a word keeps the word unresolved")
            << "keyname;note" << false << QStringList{"keyname@1"};
        QTest::newRow("whole-line comment and blank line") << "; all comment\n\n  END" << false << QStringList{"END@3"};
        QTest::newRow("tabs are blanks") << "\tPOLICY\t\"x\ty\"" << false << QStringList{"POLICY@1", "\"x y\"@1"};
        QTest::newRow("references in any case")
            << "KEYNAME !!KEYROOT NAME !!Alpha" << false
            << QStringList{"KEYNAME@1", "\"Software\\Kova\"@1", "NAME@1", "\"First\"@1"};
        QTest::newRow("statement over two lines")
            << "VALUENAME\n\"v\"" << false << QStringList{"VALUENAME@1", "\"v\"@2"};
        QTest::newRow("explain is a word without the option")
            << "explain !!zeta" << false << QStringList{"\"explain\"@1", "\"Last\"@1"};
        QTest::newRow("explain is a keyword with the option")
            << "explain !!zeta" << true << QStringList{"EXPLAIN@1", "\"Last\"@1"};
        QTest::newRow("text before a quote on the same word is dropped")
            << "ab\"cd\"" << false << QStringList{"\"cd\"@1"};
        QTest::newRow("conditional keywords")
            << "#if version >= 4" << false << QStringList{"#IF@1", "VERSION@1", "\">=\"@1", "4@1"};
    }
    void splitter()
    {
        QFETCH(QString, body);
        QFETCH(bool, newer);
        QFETCH(QStringList, tokens);
        ScriptedPrompter prompter;
        QCOMPARE(tokensOf(body, sampleStrings(), prompter, newer), tokens);
    }

    void fatalFaults_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        const QString splitter = QStringLiteral("Error in function Splitter in modFill");
        QTest::newRow("unterminated quote") << "KEYNAME \"open ended" << splitter;
        QTest::newRow("unterminated quote on a later line") << "KEYNAME \"fine\"\nNAME \"open" << splitter;
        QTest::newRow("undefined reference")
            << "NAME !!Missing"
            << QStringLiteral("String !!Missing is not defined in string table.\r\nCheck you template manually");
    }
    void fatalFaults()
    {
        QFETCH(QString, body);
        QFETCH(QString, message);
        ScriptedPrompter prompter;
        prompter.expect(message, Message::Icon::Critical);
        bool ok = true;
        tokensOf(body, sampleStrings(), prompter, false, &ok);
        QVERIFY(!ok);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
    }

    void quoteBeforeCommentWithoutClosingIsAComment()
    {
        // "a;b without a closing quote: the ; before the blank makes it a comment, not an open quote.
        ScriptedPrompter prompter;
        QCOMPARE(tokensOf(QStringLiteral("NAME \"a;b"), sampleStrings(), prompter), (QStringList{"NAME@1", "\"a@1"}));
    }
};

QTEST_APPLESS_MAIN(TestSplitter)
#include "tst_splitter.moc"
