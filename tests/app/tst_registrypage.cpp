// The registry browser and the pickers in the real window: the "&Registry" page walks to the
// selected node's key, and the pages' "Select" buttons fill their fields from the real pickers.
#include "appfixture.h"
#include "regstorefixture.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "editors/editorpage.h"
#include "editors/editorpages.h"
#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/modalrunner.h"
#include "registry/browser/registrybrowser.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace kova;
using kova::test::AppFixture;
using kova::test::RegStoreFixture;

namespace {

const QByteArray kStore = R"([Software\\Policies\\X] 0
"Name"="Some text"

[Software\\Policies\\X\\Sub] 0
)";

const QByteArray kTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Policies\X"
POLICY "P"
VALUENAME "Name"
END POLICY
END CATEGORY
)";

struct DriveRunner : ModalRunner
{
    std::function<void(QDialog &)> act;
    int run(QDialog &dialog) override
    {
        dialog.show();
        if (act)
            act(dialog);
        dialog.hide();
        return dialog.result();
    }
};

// A window on kTemplate with the browser and the pickers over a store of its own.
struct Wired : AppFixture
{
    RegStoreFixture store{kStore};
    DriveRunner runner;
    RegistryBrowser *browser = nullptr;

    Wired()
    {
        window = std::make_unique<MainWindow>(prompter, chooser, preferences);
        browser = connectRegistryBrowser(*window, *store.reg, &runner);
        window->show();
        window->StartUp(file(QStringLiteral("t.adm"), kTemplate));
    }
    EditorPage *edit(const char *caption)
    {
        window->treePanel()->selectNode(test::findNode(window->document(), QString::fromLatin1(caption)));
        window->treePanel()->editSelected();
        return window->editors().isOpen() ? window->editors().page(window->editors().session().kind()) : nullptr;
    }
    template<typename T = QWidget>
    static T *field(QWidget *page, const char *name)
    {
        return page->findChild<T *>(QString::fromLatin1(name));
    }
};

} // namespace

class TestRegistryPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void registryPageWalksToTheSelectedNodesKey()
    {
        Wired f;
        QCOMPARE(f.window->page(MainWindow::RegistryTab), f.browser);
        QVERIFY(f.window->tabs()->isTabEnabled(MainWindow::RegistryTab));
        QCOMPARE(f.browser->TreeReg()->topLevelItemCount(), 2); // shown at start-up
        f.window->treePanel()->selectNode(test::findNode(f.window->document(), QStringLiteral("P")));
        f.window->tabs()->setCurrentIndex(MainWindow::RegistryTab);
        QCOMPARE(f.browser->Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies\\X"));
        QCOMPARE(f.browser->ListReg()->topLevelItemCount(), 2);
        QVERIFY(f.browser->TreeReg()->hasFocus() || !f.window->isActiveWindow());
        f.window->tabs()->setCurrentIndex(MainWindow::Overview);
        QVERIFY(!f.browser->TreeReg()->isVisibleTo(f.browser));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void keySelectFillsTheKeyname()
    {
        Wired f;
        EditorPage *page = f.edit("Desktop");
        QVERIFY(page);
        auto *select = Wired::field<QPushButton>(page, "KeySelect");
        QVERIFY(select->isEnabled());
        QString openedAt;
        f.runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegKey &>(dialog);
            openedAt = form.KeyNames()->currentItem()->text(0);
            QTreeWidgetItem *sub = form.KeyNames()->currentItem()->child(0);
            form.KeyNames()->setCurrentItem(sub);
            form.selectButton()->click();
        };
        select->click();
        QCOMPARE(openedAt, QStringLiteral("X"));
        QCOMPARE(Wired::field<QLineEdit>(page, "Keyname")->text(), QStringLiteral("Software\\Policies\\X\\Sub"));
    }

    void valueSelectAnswersDefault()
    {
        Wired f;
        EditorPage *page = f.edit("P");
        QVERIFY(page);
        auto *valueName = Wired::field<QLineEdit>(page, "ValueName");
        QCOMPARE(valueName->text(), QStringLiteral("Name"));
        QString preselected;
        f.runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            preselected = form.ValueNames()->currentItem()->text(0);
            const auto rows = form.ValueNames()->findItems(QStringLiteral("(Default)"), Qt::MatchExactly);
            QCOMPARE(rows.size(), 1);
            form.ValueNames()->setCurrentItem(rows.first());
            form.selectButton()->click();
        };
        Wired::field<QPushButton>(page, "ValueSelect")->click();
        QCOMPARE(preselected, QStringLiteral("Name")); // listed from the inherited key
        QVERIFY(valueName->text().isEmpty());
        QVERIFY(Wired::field<QCheckBox>(page, "DefaultName")->isChecked());
        QVERIFY(!valueName->isEnabled());

        f.runner.act = [](QDialog &dialog) { static_cast<frmRegVal &>(dialog).cancelButton()->click(); };
        Wired::field<QPushButton>(page, "ValueSelect")->click();
        QVERIFY(Wired::field<QCheckBox>(page, "DefaultName")->isChecked()); // a cancel changes nothing
    }
};

QTEST_MAIN(TestRegistryPage)
#include "tst_registrypage.moc"
