// The "&Registry" page over a store of each test's own: the tree and its expansion, the walk to the
// active key, the value rows and their sorting, Refresh, and a store that cannot be read.
#include "regstorefixture.h"

#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"
#include "registry/browser/registrytree.h"
#include "registry/browser/valuelist.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace kova;
using kova::test::RegStoreFixture;

namespace {

const QByteArray kMachine = R"([Software\\Policies] 0
"Name"="Policy text"

[Software\\Policies\\Leaf1] 0

[Software\\Policies\\Leaf2] 0

[Software\\Values] 0
@="the default"
"Text"="abc"
"Number"=dword:0000002a
"Path"=str(2):"%KOVA_BROWSER_TEST%\\x"

[Software\\Empty] 0

[Software\\Deep\\A\\B] 0
)";

const QByteArray kUser = R"([Control Panel\\Desktop] 0
"Wallpaper"="none"
)";

struct KeySource : ActiveKeySource
{
    QString text;
    QString activeKeyText() const override { return text; }
};

// A browser shown over a store, refreshed as at start-up.
struct Browser
{
    RegStoreFixture store;
    KeySource key;
    RegistryImages images;
    RegistryBrowser page;

    explicit Browser(const QByteArray &machine = kMachine, const QByteArray &user = kUser)
        : store(machine, user), page(*store.reg, key, images)
    {
        page.resize(800, 500);
        page.show();
        page.RefreshRegistryBrowser();
    }
    QTreeWidgetItem *hive(int i) const { return page.TreeReg()->topLevelItem(i); }
    static QTreeWidgetItem *child(QTreeWidgetItem *parent, const QString &text)
    {
        for (int i = 0; parent && i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        return nullptr;
    }
    // The node at a path below the machine hive, expanding on the way.
    QTreeWidgetItem *machineNode(const QStringList &path) const
    {
        QTreeWidgetItem *at = hive(0);
        for (const QString &part : path) {
            at->setExpanded(true);
            at = child(at, part);
        }
        return at;
    }
    // Clicks a node, as the user shows its values.
    void click(QTreeWidgetItem *item)
    {
        QTreeWidget *tree = page.TreeReg();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    QStringList childTexts(QTreeWidgetItem *parent) const
    {
        QStringList out;
        for (int i = 0; i < parent->childCount(); ++i)
            out << parent->child(i)->text(0);
        return out;
    }
    QStringList rows(int column) const
    {
        QStringList out;
        for (int i = 0; i < page.ListReg()->topLevelItemCount(); ++i)
            out << page.ListReg()->topLevelItem(i)->text(column);
        return out;
    }
    QTreeWidgetItem *row(const QString &name) const
    {
        const auto found = page.ListReg()->findItems(name, Qt::MatchExactly, 0);
        return found.size() == 1 ? found.first() : nullptr;
    }
};

QString image(const QTreeWidgetItem *item)
{
    return item->data(0, RegistryTree::ImageRole).toString();
}

} // namespace

class TestRegistryBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KOVA_BROWSER_TEST", "C:\\Expanded"); }

    void hivesAfterRefresh()
    {
        Browser b;
        QCOMPARE(b.page.TreeReg()->topLevelItemCount(), 2);
        QCOMPARE(b.hive(0)->text(0), QStringLiteral("HKEY_LOCAL_MACHINE"));
        QCOMPARE(RegistryTree::nodeKey(b.hive(0)), QStringLiteral("K-2147483646"));
        QCOMPARE(image(b.hive(0)), QStringLiteral("machine"));
        QCOMPARE(b.hive(1)->text(0), QStringLiteral("HKEY_CURRENT_USER"));
        QCOMPARE(RegistryTree::nodeKey(b.hive(1)), QStringLiteral("K-2147483647"));
        QCOMPARE(image(b.hive(1)), QStringLiteral("user"));
        QVERIFY(b.hive(0)->isExpanded() && b.hive(1)->isExpanded());
        QCOMPARE(b.childTexts(b.hive(1)), QStringList{"Control Panel"});
        // The machine hive is selected, its (empty) values shown, the path line names it.
        QCOMPARE(b.page.TreeReg()->currentItem(), b.hive(0));
        QCOMPARE(b.page.Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        QCOMPARE(b.rows(0), QStringList{"(Default)"});
        QCOMPARE(b.page.ListReg()->headerItem()->text(0), QStringLiteral("Value name"));
        QCOMPARE(b.page.ListReg()->headerItem()->text(1), QStringLiteral("Value data"));
        QCOMPARE(b.page.Command10()->text(), QStringLiteral("Refresh"));
    }

    void expansionReadsOneLevel()
    {
        Browser b;
        QTreeWidgetItem *software = b.machineNode({"Software"});
        QCOMPARE(RegistryTree::nodeKey(software), QStringLiteral("K-2147483646,\\Software"));
        QCOMPARE(software->childCount(), 1);
        QCOMPARE(software->child(0)->text(0), QStringLiteral("Unexpanded"));
        QCOMPARE(image(software), QStringLiteral("closedfolder"));

        software->setExpanded(true);
        QCOMPARE(b.childTexts(software), (QStringList{"Deep", "Empty", "Policies", "Values"}));
        QCOMPARE(image(software), QStringLiteral("openfolder"));
        QCOMPARE(RegistryTree::nodeKey(b.child(software, "Deep")), QStringLiteral("K-2147483646,\\Software\\Deep"));
        // Only keys with subkeys get the expand mark.
        QCOMPARE(b.child(software, "Deep")->childCount(), 1);
        QCOMPARE(b.child(software, "Empty")->childCount(), 0);

        QTreeWidgetItem *policies = b.child(software, "Policies");
        policies->setExpanded(true);
        QCOMPARE(b.childTexts(policies), (QStringList{"Leaf1", "Leaf2"}));
        for (QTreeWidgetItem *leaf : {policies->child(0), policies->child(1)}) {
            QCOMPARE(leaf->childCount(), 0);
            b.page.tree().ExpandRegistryNode(leaf); // reads nothing more
            QCOMPARE(leaf->childCount(), 0);
        }

        software->setExpanded(false);
        QCOMPARE(image(software), QStringLiteral("closedfolder"));
        QCOMPARE(software->childCount(), 4); // what was read stays
        b.hive(0)->setExpanded(false);
        QCOMPARE(image(b.hive(0)), QStringLiteral("machine")); // hives keep their picture
    }

    void walkToTheActiveKey_data()
    {
        QTest::addColumn<QString>("active");
        QTest::addColumn<bool>("missingExists");
        QTest::addColumn<QString>("shown");
        QTest::newRow("existing, other case")
            << "hkey_local_machine\\SOFTWARE\\policies" << false << "HKEY_LOCAL_MACHINE\\Software\\Policies";
        QTest::newRow("ends on Policies") << "HKEY_LOCAL_MACHINE\\Software\\Policies\\Missing\\Deeper" << false
                                          << "HKEY_LOCAL_MACHINE\\Software\\Policies";
        QTest::newRow("ends on Missing") << "HKEY_LOCAL_MACHINE\\Software\\Policies\\Missing\\Deeper" << true
                                         << "HKEY_LOCAL_MACHINE\\Software\\Policies\\Missing";
        QTest::newRow("user hive") << "HKEY_CURRENT_USER\\Control Panel\\Desktop\\" << false
                                   << "HKEY_CURRENT_USER\\Control Panel\\Desktop";
        QTest::newRow("no active key") << "" << false << "HKEY_LOCAL_MACHINE";
    }
    void walkToTheActiveKey()
    {
        QFETCH(QString, active);
        QFETCH(bool, missingExists);
        QFETCH(QString, shown);
        Browser b(missingExists ? kMachine + "\n[Software\\\\Policies\\\\Missing] 0\n" : kMachine);
        b.key.text = active;
        b.page.pageEntered();
        QCOMPARE(b.page.Label10()->text(), shown);
        QCOMPARE(b.page.RegistryNodePath(), shown);
        // A second visit without a new active key does not walk: a node chosen in between stays.
        b.page.TreeReg()->setCurrentItem(b.hive(1));
        b.page.pageEntered();
        QCOMPARE(b.page.TreeReg()->currentItem(), b.hive(1));
        // reset walks again.
        b.page.GotoRegistryKey(true);
        if (!active.isEmpty())
            QCOMPARE(b.page.RegistryNodePath(), shown);
    }

    // A key's rows: its values, or one empty (Default) row; binary data shows its first 256 bytes.
    void valueRows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("tag");
        const auto row = [](const char *key, const char *name, const QString &data, const char *image,
                            const char *tag) {
            QTest::addRow("%s %s", key, name)
                << QString(key) << QString(name) << data << QString(image) << QString(tag);
        };
        row("Values", "(Default)", "\"the default\"", "standaard", "0");
        row("Values", "Text", "\"abc\"", "standaard", "0");
        row("Values", "Number", "42", "binair", "1");
        row("Values", "Path", "C:\\Expanded\\x", "binair", "1");
        row("Empty", "(Default)", "\"\"", "standaard", "0");
        QString bytes;
        for (int i = 0; i < 256; ++i)
            bytes += QStringLiteral("%1 ").arg(i, 2, 16, QLatin1Char('0')).toUpper();
        row("Bin", "Blob", bytes, "binair", "2");
    }
    void valueRows()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, data);
        QFETCH(QString, image);
        QFETCH(QString, tag);
        Browser b(kMachine + "\n[Software\\\\Bin] 0\n\"Blob\"=" + test::hexBytes300() + "\n");
        b.click(b.machineNode({"Software", key}));
        QCOMPARE(b.page.Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\") + key);
        QCOMPARE(b.rows(0).count(QStringLiteral("(Default)")), 1);
        QTreeWidgetItem *row = b.row(name);
        QVERIFY(row);
        QCOMPARE(row->text(1), data);
        QCOMPARE(row->data(0, ValueList::ImageRole).toString(), image);
        QCOMPARE(row->data(0, ValueList::TagRole).toString(), tag);
    }

    void headerClicksSort()
    {
        Browser b;
        b.click(b.machineNode({"Software", "Values"}));
        QCOMPARE(b.rows(0), (QStringList{"(Default)", "Number", "Path", "Text"}));
        QCOMPARE(b.page.values().sortTag(0), QStringLiteral("ASC"));
        QHeaderView *header = b.page.ListReg()->header();
        const auto clickHeader = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(0);
        QCOMPARE(b.page.values().sortTag(0), QStringLiteral("DESC"));
        QCOMPARE(b.rows(0), (QStringList{"Text", "Path", "Number", "(Default)"}));
        clickHeader(1);
        QCOMPARE(b.page.values().sortTag(0), QString());
        QCOMPARE(b.page.values().sortTag(1), QStringLiteral("ASC"));
        QCOMPARE(b.rows(1), (QStringList{"\"abc\"", "\"the default\"", "42", "C:\\Expanded\\x"}));
        clickHeader(1);
        QCOMPARE(b.page.values().sortTag(1), QStringLiteral("DESC"));
        QCOMPARE(b.rows(1).first(), QStringLiteral("C:\\Expanded\\x"));
    }

    void refreshWalksBackAndSeesNewKeys_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("Refresh button") << false;
        QTest::newRow("Enter, the page's default") << true;
    }
    void refreshWalksBackAndSeesNewKeys()
    {
        QFETCH(bool, byEnter);
        Browser b;
        b.click(b.machineNode({"Software", "Policies"}));
        b.store.writeHive(QStringLiteral("system.reg"), kMachine + "\n[Software\\\\Added] 0\n");
        if (byEnter) {
            b.page.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&b.page));
            b.page.TreeReg()->setFocus();
            QTest::keyClick(b.page.TreeReg(), Qt::Key_Return);
        } else {
            b.page.Command10()->click();
        }
        QCOMPARE(b.page.Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies"));
        QVERIFY(b.child(b.machineNode({"Software"}), "Added"));
        QCOMPARE(b.page.PB10()->value(), 0);
    }

    void unreadableStoreShowsEmptyHivesAndSaysSoOnce()
    {
        Browser b("[Software\\\\Good] 0\n\"unterminated=\"x\n", kUser);
        const auto before = b.store.files();
        QCOMPARE(b.hive(0)->childCount(), 0);
        QCOMPARE(b.hive(1)->childCount(), 1); // the other hive is read as usual
        QVERIFY(b.page.problemLine()->isVisible());
        const QString said = b.page.problemLine()->text();
        QVERIFY2(said.contains(QStringLiteral("system.reg")) && said.contains(QStringLiteral("line 4")),
                 qPrintable(said));
        b.click(b.hive(0));
        b.click(b.hive(0));
        QCOMPARE(b.page.problemLine()->text(), said); // said once, not at every click
        QCOMPARE(b.rows(0), QStringList{"(Default)"});
        QCOMPARE(b.store.files(), before); // the browser never writes
    }
};

QTEST_MAIN(TestRegistryBrowser)
#include "tst_registrybrowser.moc"
