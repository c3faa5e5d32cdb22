// The "&Registry" page and the key and value pickers over a store of each test's own: the tree and
// its expansion, the walk to a key, the value rows and their sorting, Refresh, the pickers' answers,
// the copy to the clipboard, and a store that cannot be read. The pickers run without a modal loop.
#include "driverunner.h"
#include "regstorefixture.h"

#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"
#include "registry/browser/registrytree.h"
#include "registry/browser/valuelist.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace kova;
using namespace kova::test;

namespace {

const QByteArray kMachine = R"([Software\\Policies] 0
"Name"="Policy text"

[Software\\Policies\\X] 0
@="x default"
"Name"="Some text"
"Count"=dword:00000007

[Software\\Policies\\X\\Sub] 0

[Software\\Values] 0
@="the default"
"Text"="abc"
"Number"=dword:0000002a
"Path"=str(2):"%KOVA_BROWSER_TEST%\\x"

[Software\\Empty] 0
)";

const QByteArray kUser = R"([Control Panel\\Desktop] 0
"Wallpaper"="none"
)";

struct KeySource : ActiveKeySource
{
    QString text;
    QString activeKeyText() const override { return text; }
};

QTreeWidgetItem *findItem(QTreeWidget *tree, const QString &text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList texts(QTreeWidgetItem *parent, int column = 0)
{
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i)
        out << parent->child(i)->text(column);
    return out;
}

QString image(const QTreeWidgetItem *item)
{
    return item->data(0, RegistryTree::ImageRole).toString();
}

// A browser shown over a store, refreshed as at start-up.
struct Browser
{
    RegStoreFixture store;
    KeySource key;
    RegistryImages images;
    RegistryBrowser page;

    explicit Browser(const QByteArray &machine = kMachine) : store(machine, kUser), page(*store.reg, key, images)
    {
        page.resize(800, 500);
        page.show();
        page.RefreshRegistryBrowser();
    }
    QTreeWidgetItem *hive(int i) const { return page.TreeReg()->topLevelItem(i); }
    // The node at a path below the machine hive, expanding on the way.
    QTreeWidgetItem *machineNode(const QStringList &path) const
    {
        QTreeWidgetItem *at = hive(0);
        for (const QString &part : path) {
            at->setExpanded(true);
            at = findItem(page.TreeReg(), part);
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
    QStringList rows(int column) const { return texts(page.ListReg()->invisibleRootItem(), column); }
};

} // namespace

class TestRegistryBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KOVA_BROWSER_TEST", "C:\\Expanded"); }

    void hivesAfterRefresh()
    {
        Browser b;
        QCOMPARE(texts(b.page.TreeReg()->invisibleRootItem()),
                 (QStringList{"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}));
        QCOMPARE(RegistryTree::nodeKey(b.hive(0)), QStringLiteral("K-2147483646"));
        QCOMPARE(RegistryTree::nodeKey(b.hive(1)), QStringLiteral("K-2147483647"));
        QCOMPARE(image(b.hive(0)) + image(b.hive(1)), QStringLiteral("machineuser"));
        QCOMPARE(texts(b.hive(1)), QStringList{"Control Panel"});
        // The machine hive is selected, its (empty) values shown, the path line names it.
        QCOMPARE(b.page.TreeReg()->currentItem(), b.hive(0));
        QCOMPARE(b.page.Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        QCOMPARE(b.rows(0), QStringList{"(Default)"});
        QCOMPARE(b.page.ListReg()->headerItem()->text(1), QStringLiteral("Value data"));
    }

    // A key is read when opened, one level; only keys with subkeys get the expand mark.
    void expansionReadsOneLevel()
    {
        Browser b;
        QTreeWidgetItem *software = b.machineNode({"Software"});
        QCOMPARE(texts(software), QStringList{"Unexpanded"});
        QCOMPARE(image(software), QStringLiteral("closedfolder"));
        software->setExpanded(true);
        QCOMPARE(texts(software), (QStringList{"Empty", "Policies", "Values"}));
        QCOMPARE(image(software), QStringLiteral("openfolder"));
        QCOMPARE(RegistryTree::nodeKey(findItem(b.page.TreeReg(), "Values")),
                 QStringLiteral("K-2147483646,\\Software\\Values"));
        QCOMPARE(findItem(b.page.TreeReg(), "Policies")->childCount(), 1);
        QCOMPARE(findItem(b.page.TreeReg(), "Empty")->childCount(), 0);
        software->setExpanded(false);
        QCOMPARE(image(software), QStringLiteral("closedfolder"));
        QCOMPARE(software->childCount(), 3); // what was read stays
    }

    void walkToTheActiveKey_data()
    {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QString>("shown");
        QTest::newRow("existing, other case") << "hkey_local_machine\\SOFTWARE\\policies\\x"
                                              << "HKEY_LOCAL_MACHINE\\Software\\Policies\\X";
        QTest::newRow("missing part: ends above it") << "HKEY_LOCAL_MACHINE\\Software\\Policies\\Missing\\X"
                                                     << "HKEY_LOCAL_MACHINE\\Software\\Policies";
        QTest::newRow("user hive") << "HKEY_CURRENT_USER\\Control Panel\\Desktop\\"
                                   << "HKEY_CURRENT_USER\\Control Panel\\Desktop";
        QTest::newRow("no active key") << ""
                                       << "HKEY_LOCAL_MACHINE";
    }
    void walkToTheActiveKey()
    {
        QFETCH(QString, active);
        QFETCH(QString, shown);
        Browser b;
        b.key.text = active;
        b.page.pageEntered();
        QCOMPARE(b.page.Label10()->text(), shown);
        QCOMPARE(b.page.RegistryNodePath(), shown);
        // A second visit without a new active key does not walk: a node chosen in between stays.
        b.page.TreeReg()->setCurrentItem(b.hive(1));
        b.page.pageEntered();
        QCOMPARE(b.page.TreeReg()->currentItem(), b.hive(1));
    }

    // A key's rows: its values, or one empty (Default) row; binary data shows its first 256 bytes.
    void valueRows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("row"); // name, data, image and tag
        QTest::newRow("default") << "Values"
                                 << "(Default)|\"the default\"|standaard|0";
        QTest::newRow("string") << "Values"
                                << "Text|\"abc\"|standaard|0";
        QTest::newRow("number") << "Values"
                                << "Number|42|binair|1";
        QTest::newRow("expanded string") << "Values"
                                         << "Path|C:\\Expanded\\x|binair|1";
        QTest::newRow("no values") << "Empty"
                                   << "(Default)|\"\"|standaard|0";
        QString bytes;
        for (int i = 0; i < 256; ++i)
            bytes += QStringLiteral("%1 ").arg(i, 2, 16, QLatin1Char('0')).toUpper();
        QTest::newRow("binary") << "Bin"
                                << "Blob|" + bytes + "|binair|2";
    }
    void valueRows()
    {
        QFETCH(QString, key);
        QFETCH(QString, row);
        Browser b(kMachine + "\n[Software\\\\Bin] 0\n\"Blob\"=" + hexBytes300() + "\n");
        b.click(b.machineNode({"Software", key}));
        QCOMPARE(b.page.Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\") + key);
        QCOMPARE(b.rows(0).count(QStringLiteral("(Default)")), 1);
        const QStringList want = row.split(u'|');
        QTreeWidgetItem *item = findItem(b.page.ListReg(), want.at(0));
        QVERIFY(item);
        QCOMPARE((QStringList{item->text(0), item->text(1), item->data(0, ValueList::ImageRole).toString(),
                              item->data(0, ValueList::TagRole).toString()}),
                 want);
    }

    void headerClicksSort()
    {
        Browser b;
        b.click(b.machineNode({"Software", "Values"}));
        QCOMPARE(b.rows(0), (QStringList{"(Default)", "Number", "Path", "Text"}));
        QHeaderView *header = b.page.ListReg()->header();
        const auto clickHeader = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(0);
        QCOMPARE(b.rows(0), (QStringList{"Text", "Path", "Number", "(Default)"}));
        clickHeader(1);
        QCOMPARE(b.rows(1), (QStringList{"\"abc\"", "\"the default\"", "42", "C:\\Expanded\\x"}));
        clickHeader(1);
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
        QVERIFY(findItem(b.page.TreeReg(), "Added"));
        QCOMPARE(b.page.PB10()->value(), 0);
    }

    // A store that cannot be read: its hive and the pickers stay empty, the page says so once, and
    // nothing is written.
    void unreadableStore()
    {
        Browser b("[Software\\\\Good] 0\n\"unterminated=\"x\n");
        const auto before = b.store.files();
        QCOMPARE(b.hive(0)->childCount(), 0);
        QCOMPARE(b.hive(1)->childCount(), 1); // the other hive is read as usual
        const QString said = b.page.problemLine()->text();
        QVERIFY2(said.contains(QStringLiteral("system.reg")) && said.contains(QStringLiteral("line 4")),
                 qPrintable(said));
        b.click(b.hive(0));
        b.click(b.hive(0));
        QCOMPARE(b.page.problemLine()->text(), said); // said once, not at every click
        QCOMPARE(b.store.files(), before);

        DriveRunner runner;
        QString problem;
        runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            problem = form.problemLine()->text();
            QCOMPARE(form.ValueNames()->topLevelItemCount(), 1);
            form.selectButton()->click();
        };
        RegistryValuePicker picker(*b.store.reg, b.images, nullptr, runner);
        QCOMPARE(picker.pickValue(QStringLiteral("HKEY_LOCAL_MACHINE"), QString(), QStringLiteral("Software\\Good")),
                 QStringLiteral("(Default)"));
        QVERIFY2(problem.contains(QStringLiteral("system.reg")), qPrintable(problem));
    }

    void keyPicker_data()
    {
        QTest::addColumn<QString>("startKey");
        QTest::addColumn<QString>("opensAt"); // the text of the node selected on opening
        QTest::addColumn<QString>("choose");  // the node the user selects; "" keeps the opening one
        QTest::addColumn<bool>("select");     // "Select", else "Cancel"
        QTest::addColumn<QString>("answer");
        const QString x = QStringLiteral("Software\\Policies\\X");
        QTest::newRow("start key, kept") << x << "X"
                                         << "" << true << x;
        QTest::newRow("start key other case") << "software\\POLICIES"
                                              << "Policies"
                                              << "" << true << "Software\\Policies";
        QTest::newRow("missing part ends above it") << "Software\\Policies\\Missing\\Deeper"
                                                    << "Policies"
                                                    << "" << true << "Software\\Policies";
        QTest::newRow("other key chosen") << x << "X"
                                          << "Sub" << true << x + "\\Sub";
        QTest::newRow("hive chosen") << ""
                                     << "HKEY_LOCAL_MACHINE"
                                     << "" << true << "";
        QTest::newRow("cancel") << x << "X"
                                << "" << false << "";
    }
    void keyPicker()
    {
        QFETCH(QString, startKey);
        QFETCH(QString, opensAt);
        QFETCH(QString, choose);
        QFETCH(bool, select);
        QFETCH(QString, answer);
        RegStoreFixture store(kMachine);
        RegistryImages images;
        DriveRunner runner;
        QString seen;
        runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegKey &>(dialog);
            QCOMPARE(form.windowTitle(), QStringLiteral("Select key name"));
            QCOMPARE(form.KeyNames()->topLevelItemCount(), 1);
            seen = form.KeyNames()->currentItem()->text(0);
            if (!choose.isEmpty())
                form.KeyNames()->setCurrentItem(findItem(form.KeyNames(), choose));
            (select ? form.selectButton() : form.cancelButton())->click();
        };
        RegistryKeyPicker picker(*store.reg, images, nullptr, runner);
        QCOMPARE(picker.pickKey(QStringLiteral("HKEY_LOCAL_MACHINE"), startKey), answer);
        QCOMPARE(seen, opensAt);
        QCOMPARE(runner.runs, 1);
    }

    void keyPickerShowsTheUserHive()
    {
        RegStoreFixture store(kMachine, "[Software\\\\Mine] 0\n");
        RegistryImages images;
        DriveRunner runner;
        runner.act = [](QDialog &dialog) { static_cast<frmRegKey &>(dialog).selectButton()->click(); };
        RegistryKeyPicker picker(*store.reg, images, nullptr, runner);
        QCOMPARE(picker.pickKey(QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("Software\\Mine")),
                 QStringLiteral("Software\\Mine"));
    }

    void valuePicker_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("preselect");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<QString>("choose");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("answer");
        const QString x = QStringLiteral("Software\\Policies\\X");
        QTest::newRow("named value kept") << x << "Name"
                                          << "Name"
                                          << "" << true << "Name";
        QTest::newRow("empty preselects the default") << x << ""
                                                      << "(Default)"
                                                      << "" << true << "(Default)";
        QTest::newRow("other value chosen") << x << "Name"
                                            << "Name"
                                            << "Count" << true << "Count";
        QTest::newRow("added default row") << "Software\\Empty"
                                           << ""
                                           << "(Default)"
                                           << "" << true << "(Default)";
        QTest::newRow("name compared with case") << x << "name"
                                                 << ""
                                                 << "" << false << "";
        QTest::newRow("cancel") << x << "Name"
                                << "Name"
                                << "" << false << "";
    }
    void valuePicker()
    {
        QFETCH(QString, key);
        QFETCH(QString, preselect);
        QFETCH(QString, preselected);
        QFETCH(QString, choose);
        QFETCH(bool, select);
        QFETCH(QString, answer);
        RegStoreFixture store(kMachine);
        RegistryImages images;
        DriveRunner runner;
        QString seen;
        runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            QCOMPARE(form.windowTitle(), QStringLiteral("Select value name/value"));
            const QList<QTreeWidgetItem *> selected = form.ValueNames()->selectedItems();
            seen = selected.isEmpty() ? QString() : selected.first()->text(0);
            if (!choose.isEmpty())
                form.ValueNames()->setCurrentItem(findItem(form.ValueNames(), choose));
            (select ? form.selectButton() : form.cancelButton())->click();
        };
        RegistryValuePicker picker(*store.reg, images, nullptr, runner);
        QCOMPARE(picker.pickValue(QStringLiteral("HKEY_LOCAL_MACHINE"), preselect, key), answer);
        QCOMPARE(seen, preselected);
    }

    // A right click or Ctrl+Alt+M on a row offers "Copy value to clipboard", which copies its data
    // without quotes; without a selected row there is no menu.
    void copyPutsTheUnquotedDataOnTheClipboard_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("byKey"); // Ctrl+Alt+M, else a right click
        QTest::addColumn<QString>("copied");
        QTest::newRow("string, right click") << "Name" << false << "Some text";
        QTest::newRow("default, keys") << "(Default)" << true << "x default";
        QTest::newRow("number, keys") << "Count" << true << "7";
    }
    void copyPutsTheUnquotedDataOnTheClipboard()
    {
        QFETCH(QString, row);
        QFETCH(bool, byKey);
        QFETCH(QString, copied);
        RegStoreFixture store(kMachine);
        RegistryImages images;
        frmRegVal form(*store.reg, images, nullptr);
        form.setRegistryClass(QStringLiteral("HKEY_LOCAL_MACHINE"));
        form.setRegistryKeyName(QStringLiteral("Software\\Policies\\X"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        DriveRunner runner;
        runner.act = [&](QDialog &) {
            QTreeWidget *list = form.ValueNames();
            list->clearSelection();
            list->setCurrentItem(nullptr);
            form.openCopyMenu(QPoint(5, 5));
            QVERIFY(!form.CopyMenu()->isVisible());
            QTreeWidgetItem *item = findItem(list, row);
            list->setCurrentItem(item);
            if (byKey) {
                form.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&form));
                list->setFocus();
                QTest::keyClick(list, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
            } else {
                const QPoint at = list->visualItemRect(item).center();
                QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
                QCoreApplication::sendEvent(list->viewport(), &menu);
            }
            QTRY_VERIFY(form.CopyMenu()->isVisible());
            QCOMPARE(form.Copy2Clipboard()->text(), QStringLiteral("Copy value to clipboard"));
            form.Copy2Clipboard()->trigger();
            form.CopyMenu()->hide();
            form.cancelButton()->click();
        };
        QCOMPARE(form.RegistryValueName(runner), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }
};

QTEST_MAIN(TestRegistryBrowser)
#include "tst_registrybrowser.moc"
