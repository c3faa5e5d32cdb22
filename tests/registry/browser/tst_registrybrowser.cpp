// The "&Registry" page and the key and value pickers, one case a folder under tests/data/regbrowser.
// The case's system.reg and user.reg are the store; the page is shown over it, refreshed as at
// start-up. Each step writes a line to `log` (a key path is the page's: "HKEY_LOCAL_MACHINE\Software"):
//   tree               the tree as shown: each node read so far, its picture, + when open
//   expand PATH, collapse PATH, click PATH, select PATH (a node made current without a click)
//   rows               the value rows: name, data, picture and tag
//   sort N             a click on the header of column N
//   walk KEY           the page is entered with KEY as the active key ("" for none)
//   refresh, enter     the Refresh button; Enter, the page's default
//   write FROM TO      copies the case's file FROM over the store's file TO
//   pickkey ROOT START [CHOOSE] [cancel]          the key picker at START; the user picks CHOOSE
//   pickvalue ROOT KEY PRESELECT [CHOOSE] [cancel] the value picker on KEY
//   copy KEY ROW menu|keys                         "Copy value to clipboard" on ROW of KEY's values
// After each step the path line of the page follows ("= HKEY_LOCAL_MACHINE\Software", and the node
// selected when it is another one), and the problem line when it says something new. The store is never written: every file it holds must be as it was.
#include "casefolders.h"
#include "driverunner.h"

#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"
#include "registry/browser/registrytree.h"
#include "registry/browser/valuelist.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace kova;
using namespace kova::test;

namespace {

struct KeySource : ActiveKeySource
{
    QString text;
    QString activeKeyText() const override { return text; }
};

QByteArray treeOf(QTreeWidgetItem *item, int depth)
{
    QByteArray out;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *c = item->child(i);
        out += QByteArray(depth * 2, ' ') + c->text(0).toUtf8() + " [" +
               c->data(0, RegistryTree::ImageRole).toString().toUtf8() + ']' + (c->isExpanded() ? " +" : "") + '\n' +
               treeOf(c, depth + 1);
    }
    return out;
}

// The page over the store, and the pickers over the same registry.
struct Browser
{
    RegistryFileStore store;
    clsReg reg{store, QStringLiteral("kova.cRegistry")};
    KeySource key;
    RegistryImages images;
    RegistryBrowser page{reg, key, images};
    DriveRunner runner;
    QString said;

    explicit Browser(const QString &dir) : store(dir)
    {
        page.resize(800, 500);
        page.show();
        page.RefreshRegistryBrowser();
    }
    // The node at PATH, opening the nodes above it.
    QTreeWidgetItem *node(const QString &path)
    {
        QTreeWidgetItem *at = page.TreeReg()->invisibleRootItem();
        for (const QString &part : path.split(u'\\', Qt::SkipEmptyParts)) {
            if (at != page.TreeReg()->invisibleRootItem())
                at->setExpanded(true);
            QTreeWidgetItem *next = nullptr;
            for (int i = 0; at && i < at->childCount(); ++i)
                if (at->child(i)->text(0) == part)
                    next = at->child(i);
            at = next;
        }
        return at;
    }
    QByteArray rows()
    {
        QByteArray out;
        for (int i = 0; i < page.ListReg()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *r = page.ListReg()->topLevelItem(i);
            out += "  " + r->text(0).toUtf8() + " | " + r->text(1).toUtf8() + " | " +
                   r->data(0, ValueList::ImageRole).toString().toUtf8() + ' ' +
                   r->data(0, ValueList::TagRole).toString().toUtf8() + '\n';
        }
        return out;
    }
    QString pick(const QStringList &args, bool key)
    {
        const bool cancel = args.contains(QStringLiteral("cancel"));
        const QString choose = key ? args.value(2) : args.value(3);
        QString seen, problem;
        runner.act = [&](QDialog &dialog) {
            QTreeWidget *list =
                key ? static_cast<frmRegKey &>(dialog).KeyNames() : static_cast<frmRegVal &>(dialog).ValueNames();
            const QList<QTreeWidgetItem *> selected = list->selectedItems();
            seen = dialog.windowTitle() + QStringLiteral(": opens at ") +
                   (selected.isEmpty() ? QStringLiteral("nothing") : selected.first()->text(0));
            if (!key)
                problem = static_cast<frmRegVal &>(dialog).problemLine()->text();
            if (!choose.isEmpty() && choose != u"cancel")
                list->setCurrentItem(list->findItems(choose, Qt::MatchExactly | Qt::MatchRecursive).value(0));
            QPushButton *button = key ? (cancel ? static_cast<frmRegKey &>(dialog).cancelButton()
                                                : static_cast<frmRegKey &>(dialog).selectButton())
                                      : (cancel ? static_cast<frmRegVal &>(dialog).cancelButton()
                                                : static_cast<frmRegVal &>(dialog).selectButton());
            button->click();
        };
        const QString answer =
            key ? RegistryKeyPicker(reg, images, nullptr, runner).pickKey(args.value(0), args.value(1))
                : RegistryValuePicker(reg, images, nullptr, runner)
                      .pickValue(args.value(0), args.value(2), args.value(1));
        return seen + QStringLiteral(", answers \"") + answer + u'"' +
               (problem.isEmpty() ? QString() : QStringLiteral("\n  ") + problem);
    }
    // "Copy value to clipboard" on row of key's values, from a right click or Ctrl+Alt+M.
    QString copy(const QString &keyName, const QString &row, bool byKeys)
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        frmRegVal form(reg, images, nullptr);
        form.setRegistryClass(QStringLiteral("HKEY_LOCAL_MACHINE"));
        form.setRegistryKeyName(keyName);
        runner.act = [&](QDialog &) {
            QTreeWidget *list = form.ValueNames();
            list->setCurrentItem(nullptr);
            form.openCopyMenu(QPoint(5, 5)); // no row: no menu
            QTreeWidgetItem *item = list->findItems(row, Qt::MatchExactly).value(0);
            list->setCurrentItem(item);
            if (byKeys) {
                form.activateWindow();
                if (QTest::qWaitForWindowActive(&form))
                    list->setFocus();
                QTest::keyClick(list, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
            } else {
                const QPoint at = list->visualItemRect(item).center();
                QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
                QCoreApplication::sendEvent(list->viewport(), &menu);
            }
            if (QTest::qWaitFor([&] { return form.CopyMenu()->isVisible(); }, 2000))
                for (QAction *action : form.CopyMenu()->actions())
                    if (action->text() == u"Copy value to clipboard")
                        action->trigger();
            form.CopyMenu()->hide();
            form.cancelButton()->click();
        };
        form.RegistryValueName(runner);
        return QStringLiteral("clipboard: ") + QGuiApplication::clipboard()->text();
    }
};

} // namespace

class TestRegistryBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KOVA_BROWSER_TEST", "C:\\Expanded"); }

    void run_data() { addCaseRows(QStringLiteral("regbrowser")); }
    void run()
    {
        QFETCH(CaseFolder, testCase);
        QTemporaryDir scratch;
        QVERIFY(testCase.copyInputs(scratch.path()));
        Browser b(scratch.path());
        QByteArray log;
        for (const QStringList &step : testCase.steps()) {
            log += "> " + step.join(u' ').toUtf8() + '\n';
            const QString &name = step.first();
            const QStringList args = step.mid(1);
            const bool onNode = name == u"expand" || name == u"collapse" || name == u"click" || name == u"select";
            QTreeWidgetItem *node = onNode ? b.node(args.value(0)) : nullptr;
            QVERIFY2(node || !onNode, qPrintable(args.value(0)));
            if (name == u"tree") {
                log += treeOf(b.page.TreeReg()->invisibleRootItem(), 0);
            } else if (name == u"expand" || name == u"collapse") {
                node->setExpanded(name == u"expand");
            } else if (name == u"click") {
                QTreeWidget *tree = b.page.TreeReg();
                tree->scrollToItem(node);
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
            } else if (name == u"select") {
                b.page.TreeReg()->setCurrentItem(node);
            } else if (name == u"rows") {
                log += b.rows();
            } else if (name == u"sort") {
                QHeaderView *header = b.page.ListReg()->header();
                QTest::mouseClick(
                    header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(args.first().toInt()) + 5, header->height() / 2));
            } else if (name == u"walk") {
                b.key.text = args.value(0);
                b.page.pageEntered();
            } else if (name == u"refresh") {
                b.page.Command10()->click();
            } else if (name == u"enter") {
                b.page.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&b.page));
                b.page.TreeReg()->setFocus();
                QTest::keyClick(b.page.TreeReg(), Qt::Key_Return);
            } else if (name == u"write") {
                QFile::remove(scratch.filePath(args.value(1)));
                QVERIFY(QFile::copy(testCase.path + u'/' + args.value(0), scratch.filePath(args.value(1))));
            } else if (name == u"pickkey" || name == u"pickvalue") {
                log += b.pick(args, name == u"pickkey").toUtf8() + '\n';
            } else if (name == u"copy") {
                log += b.copy(args.value(0), args.value(1), args.value(2) == u"keys").toUtf8() + '\n';
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step: ") + name));
            }
            log += "= " + b.page.Label10()->text().toUtf8();
            if (b.page.RegistryNodePath() != b.page.Label10()->text())
                log += " (selected: " + b.page.RegistryNodePath().toUtf8() + ')';
            log += '\n';
            if (b.page.problemLine()->text() != b.said) {
                b.said = b.page.problemLine()->text();
                log += "! " + b.said.toUtf8() + '\n';
            }
            QCOMPARE(b.page.PB10()->value(), 0); // no progress left over
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log.replace(scratch.path().toUtf8(), "{dir}"));
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_MAIN(TestRegistryBrowser)
#include "tst_registrybrowser.moc"
