// The key and value pickers over a store of each test's own, driven without a modal loop: their
// answers, the walk to the start key, the preselected row and the copy to the clipboard.
#include "regstorefixture.h"

#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/modalrunner.h"
#include "registry/browser/registryimages.h"
#include "registry/browser/registrytree.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace kova;
using kova::test::RegStoreFixture;

namespace {

const QByteArray kMachine = R"([Software\\Policies\\X] 0
@="x default"
"Name"="Some text"
"Count"=dword:00000007

[Software\\Policies\\X\\Sub] 0

[Software\\Other] 0
)";

// Runs the picker by calling act on the window it fills, as the user would act in it.
struct DriveRunner : ModalRunner
{
    std::function<void(QDialog &)> act;
    int runs = 0;
    int run(QDialog &dialog) override
    {
        ++runs;
        dialog.show();
        if (act)
            act(dialog);
        dialog.hide();
        return dialog.result();
    }
};

QTreeWidgetItem *findItem(QTreeWidget *tree, const QString &text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestRegPickers : public QObject
{
    Q_OBJECT

private slots:
    void keyPickerAnswers_data()
    {
        QTest::addColumn<QString>("startKey");
        QTest::addColumn<QString>("opensAt"); // the text of the node selected on opening
        QTest::addColumn<QString>("choose");  // the node the user selects; "" keeps the opening one
        QTest::addColumn<bool>("select");     // "Select", else "Cancel"
        QTest::addColumn<QString>("answer");
        const auto row = [](const char *name, const char *startKey, const char *opensAt, const char *choose,
                            bool select, const char *answer) {
            QTest::newRow(name) << QString(startKey) << QString(opensAt) << QString(choose) << select
                                << QString(answer);
        };
        row("start key, kept", "Software\\Policies\\X", "X", "", true, "Software\\Policies\\X");
        row("start key other case", "software\\POLICIES", "Policies", "", true, "Software\\Policies");
        row("missing part ends above it", "Software\\Policies\\Missing\\Deeper", "Policies", "", true,
            "Software\\Policies");
        row("other key chosen", "Software\\Policies\\X", "X", "Sub", true, "Software\\Policies\\X\\Sub");
        row("hive chosen", "", "HKEY_LOCAL_MACHINE", "", true, "");
        row("cancel", "Software\\Policies\\X", "X", "", false, "");
    }
    void keyPickerAnswers()
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
            QCOMPARE(form.KeyNames()->topLevelItem(0)->text(0), QStringLiteral("HKEY_LOCAL_MACHINE"));
            seen = form.KeyNames()->currentItem()->text(0);
            if (!choose.isEmpty()) {
                QTreeWidgetItem *item = findItem(form.KeyNames(), choose);
                QVERIFY(item);
                form.KeyNames()->setCurrentItem(item);
            }
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
        frmRegKey form(*store.reg, images, nullptr);
        form.setRegistryClass(QStringLiteral("HKEY_CURRENT_USER"));
        form.setRegistryKey(QStringLiteral("Software\\Mine"));
        QCOMPARE(form.GetSectionClassKey(runner), QStringLiteral("Software\\Mine"));
        QCOMPARE(RegistryTree::nodeKey(form.KeyNames()->topLevelItem(0)), QStringLiteral("K-2147483647"));
        // The hive's children carry expand marks only where there is more to read.
        QTreeWidgetItem *software = findItem(form.KeyNames(), QStringLiteral("Software"));
        QCOMPARE(software->childCount(), 1);
        QCOMPARE(findItem(form.KeyNames(), QStringLiteral("Mine"))->childCount(), 0);
    }

    void valuePickerAnswers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("preselect");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<QString>("choose");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char *name, const char *key, const char *preselect, const char *preselected,
                            const char *choose, bool select, const char *answer) {
            QTest::newRow(name) << QString(key) << QString(preselect) << QString(preselected) << QString(choose)
                                << select << QString(answer);
        };
        const char *x = "Software\\Policies\\X";
        row("named value kept", x, "Name", "Name", "", true, "Name");
        row("empty preselects the default", x, "", "(Default)", "", true, "(Default)");
        row("other value chosen", x, "Name", "Name", "Count", true, "Count");
        row("default chosen", x, "Count", "Count", "(Default)", true, "(Default)");
        row("added default row", "Software\\Other", "", "(Default)", "", true, "(Default)");
        row("name compared with case", x, "name", "", "", false, "");
        row("cancel", x, "Name", "Name", "", false, "");
    }
    void valuePickerAnswers()
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
            QCOMPARE(form.ValueNames()->toolTip(), QStringLiteral("Right click on entry to copy value to clipboard"));
            QCOMPARE(form.ValueNames()->headerItem()->text(0), QStringLiteral("Value name"));
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
        DriveRunner runner;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            QTreeWidget *list = form.ValueNames();
            QTreeWidgetItem *item = findItem(list, row);
            list->setCurrentItem(item);
            QVERIFY(!form.CopyMenu()->isVisible());
            if (byKey) {
                form.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&form));
                list->setFocus();
                QTest::keyClick(list, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
            } else {
                const QPoint at = list->visualItemRect(item).center();
                QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
                QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
                QCoreApplication::sendEvent(list->viewport(), &menu);
            }
            QTRY_VERIFY(form.CopyMenu()->isVisible());
            QCOMPARE(form.CopyMenu()->actions(), QList<QAction *>{form.Copy2Clipboard()});
            QCOMPARE(form.Copy2Clipboard()->text(), QStringLiteral("Copy value to clipboard"));
            form.Copy2Clipboard()->trigger();
            form.CopyMenu()->hide();
            form.cancelButton()->click();
        };
        frmRegVal form(*store.reg, images, nullptr);
        form.setRegistryClass(QStringLiteral("HKEY_LOCAL_MACHINE"));
        form.setRegistryKeyName(QStringLiteral("Software\\Policies\\X"));
        QCOMPARE(form.RegistryValueName(runner), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    void noMenuWithoutASelectedRow()
    {
        RegStoreFixture store(kMachine);
        RegistryImages images;
        frmRegVal form(*store.reg, images, nullptr);
        form.show();
        form.ValueNames()->clearSelection();
        form.ValueNames()->setCurrentItem(nullptr);
        form.openCopyMenu(QPoint(5, 5));
        QVERIFY(!form.CopyMenu()->isVisible());
    }

    void unreadableStoreLeavesThePickersEmpty()
    {
        RegStoreFixture store("[Software\\\\Good] 0\n\"broken\n");
        RegistryImages images;
        DriveRunner runner;
        QString problem;
        int rows = -1;
        runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            problem = form.problemLine()->text();
            rows = form.ValueNames()->topLevelItemCount();
            form.selectButton()->click();
        };
        RegistryValuePicker picker(*store.reg, images, nullptr, runner);
        QCOMPARE(picker.pickValue(QStringLiteral("HKEY_LOCAL_MACHINE"), QString(), QStringLiteral("Software\\Good")),
                 QStringLiteral("(Default)"));
        QCOMPARE(rows, 1);
        QVERIFY2(problem.contains(QStringLiteral("system.reg")), qPrintable(problem));
    }
};

QTEST_MAIN(TestRegPickers)
#include "tst_regpickers.moc"
