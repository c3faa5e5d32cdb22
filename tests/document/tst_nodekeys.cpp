#include "document/loader.h"
#include "document/nodekeys.h"
#include "document/templatedocument.h"

#include "scriptedprompter.h"
#include "templatefixtures.h"

#include <QTest>

using namespace kova;

namespace {

const QByteArray kTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\X"
POLICY "Inherits"
VALUENAME "A"
END POLICY
POLICY "Own"
KEYNAME \Other
END POLICY
POLICY "Action list only"
ACTIONLISTON
KEYNAME "Software\InList"
VALUENAME "B" VALUE 1
END ACTIONLISTON
END POLICY
END CATEGORY
CATEGORY "Bare"
POLICY "Nothing"
END POLICY
END CATEGORY
CLASS USER
CATEGORY "Start"
KEYNAME "Software\Y"
POLICY "Two keys"
KEYNAME "Software\First"
KEYNAME "Software\Second"
PART "Text" TEXT
END PART
END POLICY
END CATEGORY
)";

} // namespace

class TestNodeKeys : public QObject
{
    Q_OBJECT

    TemplateDocument document; // kTemplate, loaded afresh for every test

private slots:
    void init()
    {
        document.clear();
        QVERIFY(test::loadText(document, kTemplate));
    }
    void quote_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("blanks around") << "  Hide icons \t" << QStringLiteral("\"Hide icons\"");
        QTest::newRow("empty") << "" << QStringLiteral("\"\"");
        QTest::newRow("inner blanks kept") << "a  b" << QStringLiteral("\"a  b\"");
    }
    void quote()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(Quote(text), quoted);
    }

    void unquote_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *text, const char *result) {
            QTest::newRow(name) << QString(text) << QString(result);
        };
        row("quoted name then a word", "\"Name\" NUMERIC", "Name");
        row("no quotes: unchanged", "Software\\X", "Software\\X");
        row("one quote: the part before it", "abc\"def", "abc");
        row("two adjacent quotes: empty", "\"\"", "");
        row("text before the first quote dropped", "x \"a b\" y \"c\"", "a b");
        row("command line with switch", "\"C:\\Policies\\test.adm\" /x", "C:\\Policies\\test.adm");
    }
    void unquote()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(Unquote(text), result);
    }

    void ownKeyName_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("key");
        const auto row = [](const char *name, const char *slot, const char *key) {
            QTest::newRow(name) << QString(slot) << QString(key);
        };
        row("quoted", "POLICY \"P\"\r\nKEYNAME \"Software\\X\"\r\n", "\\Software\\X");
        row("leading backslash kept", "KEYNAME \"\\Other\"\r\n", "\\Other");
        row("unquoted", "KEYNAME Software\\Y\r\n", "\\Software\\Y");
        row("last one wins", "KEYNAME \"A\"\r\nKEYNAME \"B\"\r\n", "\\B");
        row("none", "POLICY \"P\"\r\nVALUENAME \"V\"\r\n", "");
        row("inside action list ignored", "POLICY \"P\"\r\nACTIONLISTON\r\nKEYNAME \"In\"\r\nEND ACTIONLISTON\r\n", "");
        row("after action list counts", "ACTIONLISTOFF\r\nKEYNAME \"In\"\r\nEND ACTIONLISTOFF\r\nKEYNAME \"Out\"\r\n",
            "\\Out");
        row("line without CR LF is not read", "KEYNAME \"A\"", "");
    }
    void ownKeyName()
    {
        QFETCH(QString, slot);
        QFETCH(QString, key);
        QCOMPARE(NodeOwnKeyName(slot), key);
    }

    void hiveAndActiveKey_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("hive");
        QTest::addColumn<QString>("key");
        const auto row = [](const char *name, const char *node, const char *hive, const char *key) {
            QTest::newRow(name) << QString(node) << QString(hive) << QString(key);
        };
        const char *m = "HKEY_LOCAL_MACHINE";
        row("root", "Computer", "", "");
        row("machine class", "Machine", m, "");
        row("category names the key", "Desktop", m, "HKEY_LOCAL_MACHINE\\Software\\X");
        row("policy inherits", "Inherits", m, "HKEY_LOCAL_MACHINE\\Software\\X");
        row("own key hides inherited", "Own", m, "HKEY_LOCAL_MACHINE\\Other");
        row("action list key is not own", "Action list only", m, "HKEY_LOCAL_MACHINE\\Software\\X");
        row("no key anywhere", "Nothing", m, "");
        row("user class", "Two keys", "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\Software\\Second");
        row("part inherits from policy", "Text", "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\Software\\Second");
    }
    void hiveAndActiveKey()
    {
        QFETCH(QString, node);
        QFETCH(QString, hive);
        QFETCH(QString, key);
        const TemplateNode *n = test::findNode(document, node);
        QVERIFY(n);
        QCOMPARE(NodeHiveName(n), hive);
        QCOMPARE(ActiveKeyPath(document, n), key);
    }

    void hiveValues()
    {
        QCOMPARE(NodeHive(test::findNode(document, "Desktop")), 0x80000002u);
        QCOMPARE(NodeHive(test::findNode(document, "Start")), 0x80000001u);
        QCOMPARE(NodeHive(document.root()), 0u);
        QCOMPARE(NodeHive(nullptr), 0u);
        QCOMPARE(ActiveKeyPath(document, nullptr), QString());
    }

    void classWithOtherCaptionIsPassedOver()
    {
        TemplateNode *machine = test::findNode(document, "Machine");
        machine->text = QStringLiteral("Elsewhere");
        QCOMPARE(NodeHive(test::findNode(document, "Desktop")), 0u);
        QCOMPARE(ActiveKeyPath(document, test::findNode(document, "Desktop")), QStringLiteral("\\Software\\X"));
    }
};

QTEST_GUILESS_MAIN(TestNodeKeys)
#include "tst_nodekeys.moc"
