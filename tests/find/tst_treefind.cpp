// Finding nodes in the tree: what a node's caption, own key name and own value name give, and
// kova-cli tree --find printing the same nodes.
#include "document/templatedocument.h"
#include "find/treefind.h"

#include "programrun.h"
#include "templatefixtures.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kova;

namespace {

// Keys and value names at every level; names inside action lists and item lists belong to the
// entries, and the categories below Desktop inherit its key without naming it.
const QByteArray kTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Kova\Desktop"
POLICY "Hide clock"
KEYNAME "Software\Policies\Clock"
VALUENAME "HideClock"
ACTIONLISTON
KEYNAME "Software\Hidden\Action"
VALUENAME "ActionValue"
VALUE NUMERIC 1
END ACTIONLISTON
PART "Style" DROPDOWNLIST
VALUENAME "WallStyle"
ITEMLIST
NAME "Tiled" VALUE NUMERIC 1
ACTIONLIST
KEYNAME "Software\ItemKey"
VALUENAME "ItemValue"
VALUE NUMERIC 1
END ACTIONLIST
END ITEMLIST
END PART
END POLICY
CATEGORY "Network"
POLICY "Proxy"
VALUENAME "ProxyServer"
END POLICY
END CATEGORY
END CATEGORY
CLASS USER
CATEGORY "Start menu"
KEYNAME Software\Kova\Explorer
POLICY "Remove Run"
VALUENAME "NoRun"
END POLICY
END CATEGORY
)";

} // namespace

class TestTreeFind : public QObject
{
    Q_OBJECT

private slots:
    void finds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const QString clock = QStringLiteral("POLICY\tMachine > Desktop > Hide clock");
        QTest::newRow("caption") << "Hide" << QStringList{clock};
        QTest::newRow("case ignored") << "hIDE cLOCK" << QStringList{clock};
        QTest::newRow("own key name") << "policies\\clock" << QStringList{clock};
        QTest::newRow("own value name") << "ProxyServer" << QStringList{"POLICY\tMachine > Desktop > Network > Proxy"};
        QTest::newRow("part's value name")
            << "wallstyle" << QStringList{"PART\tMachine > Desktop > Hide clock > Style"};
        QTest::newRow("unquoted key, both classes")
            << "Software\\Kova" << QStringList{"CATEGORY\tMachine > Desktop", "CATEGORY\tUser > Start menu"};
        QTest::newRow("inherited key is not the node's own")
            << "Kova\\Desktop" << QStringList{"CATEGORY\tMachine > Desktop"};
        QTest::newRow("action list names are the list's") << "Action" << QStringList{};
        QTest::newRow("item list names are the items'") << "ItemValue" << QStringList{};
        QTest::newRow("keyword is not a name") << "VALUENAME" << QStringList{};
        QTest::newRow("class caption") << "user" << QStringList{"CLASS\tUser"};
        QTest::newRow("the root never") << "Computer" << QStringList{};
        QTest::newRow("nested, in tree order")
            << "o"
            << QStringList{"CATEGORY\tMachine > Desktop",           clock,
                           "CATEGORY\tMachine > Desktop > Network", "POLICY\tMachine > Desktop > Network > Proxy",
                           "CATEGORY\tUser > Start menu",           "POLICY\tUser > Start menu > Remove Run"};
    }
    void finds()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        QStringList lines;
        for (const TemplateNode *node : TreeFind(text).matchingNodes(document))
            lines << node->kind() + u'\t' + CaptionPath(node);
        QCOMPARE(lines, found);

        // kova-cli prints the same nodes, and nothing else; none found is exit status 1.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("find.adm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kTemplate);
        file.close();
        const test::ProgramRun run = test::runKovaCli({QStringLiteral("tree"), path, QStringLiteral("--find"), text});
        QCOMPARE(run.code, found.isEmpty() ? 1 : 0);
        QCOMPARE(run.out, found.isEmpty() ? QString() : found.join(u'\n') + u'\n');
        QCOMPARE(run.err, QString());
    }

    void emptyTextFindsNothing()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        const TreeFind find;
        QVERIFY(find.matchingNodes(document).empty());
        QVERIFY(!find.matches(document, test::findNode(document, "Proxy")));
    }

    // A caption changed by an edit is found at once: the rule reads the template, not a copy.
    void followsEdits()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateNode *proxy = test::findNode(document, "Proxy");
        const TreeFind find(QStringLiteral("gateway"));
        QVERIFY(!find.matches(document, proxy));
        document.commitNodeEdit(proxy, QStringLiteral("Proxy"),
                                u"POLICY \"Proxy\"\r\nVALUENAME \"Gateway\"\r\nEND POLICY\r\n");
        QVERIFY(find.matches(document, proxy));
    }
};

QTEST_MAIN(TestTreeFind)
#include "tst_treefind.moc"
