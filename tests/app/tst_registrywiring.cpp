// The registry wired into the real window: the associations written at start-up, a registry export
// opened through File, Open, the "&Registry" page walking to the selected node's key, and the pages'
// "Select" buttons filling their fields from the real pickers.
#include "appfixture.h"
#include "driverunner.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "editors/editorpage.h"
#include "editors/editorpages.h"
#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/registrybrowser.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace kova;
using namespace kova::test;

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

// A window with the registry, its page and the pickers over a store of its own holding kStore, connected
// before its start-up runs.
struct Wired : AppFixture
{
    RegistryFileStore store;
    clsReg reg{store};
    DriveRunner runner;
    RegistryBrowser *browser = nullptr;

    // blocked: a file where the store's folder should be, so that every write fails.
    explicit Wired(bool blocked = false) : store(storeIn(dir.filePath(QStringLiteral("registry")), blocked)) {}
    static QString storeIn(const QString &folder, bool blocked)
    {
        if (blocked)
            writeBytes(folder, "not a folder");
        else if (QDir().mkpath(folder))
            writeBytes(folder + QStringLiteral("/system.reg"), "WINE REGISTRY Version 2\n\n" + kStore);
        return folder;
    }
    // The progress bar of a conversion (the registry page has one of its own).
    QProgressBar *conversionBar() const
    {
        for (QProgressBar *bar : window->findChildren<QProgressBar *>())
            if (!browser->isAncestorOf(bar))
                return bar;
        return nullptr;
    }
    MainWindow &start(const QString &commandLine = QString(), qint64 progressBarFrom = qint64(4) << 20)
    {
        window = std::make_unique<MainWindow>(prompter, chooser, preferences);
        connectRegistry(*window, reg, progressBarFrom);
        browser = connectRegistryBrowser(*window, reg, &runner);
        window->show();
        window->StartUp(commandLine);
        return *window;
    }
    // Opens the edit page of the node with that caption.
    EditorPage *edit(const char *caption)
    {
        window->treePanel()->selectNode(findNode(window->document(), QString::fromLatin1(caption)));
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

class TestRegistryWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The table itself is the registry's own; here: it is written at start-up, naming this program.
    void startUpWritesTheAssociations()
    {
        Wired f;
        f.start();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        f.reg.setClassKey(Hive::ClassesRoot);
        f.reg.setSectionKey(QStringLiteral("ADM.Document\\shell\\open\\command"));
        f.reg.setValueKey(QString());
        f.reg.setDEFAULT(QStringLiteral("<missing>"));
        const QString open = f.reg.Value().toString();
        QVERIFY2(open.contains(QCoreApplication::applicationFilePath()), qPrintable(open));
    }

    void startsWhenTheAssociationsCannotBeWritten()
    {
        Wired f(true);
        for (int call = 0; call < 4; ++call)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^File association not written: ")));
        QVERIFY(f.start().isVisible());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter); // no box at start-up
    }

    // An export opens converted, unsaved and without a name; the wait cursor, and for a large one a
    // progress bar, show while it converts and go when it ends; the converter's messages reach the
    // window's Prompter.
    void openingARegistryExport_data()
    {
        QTest::addColumn<qint64>("margin"); // the size that shows a bar, less the export's size
        QTest::addColumn<bool>("bar");
        QTest::addColumn<bool>("halfCharacter"); // UTF-16 that ends in half a character
        QTest::newRow("at the size for a bar") << qint64(0) << true << false;
        QTest::newRow("below the size for a bar") << qint64(1) << false << false;
        QTest::newRow("half a character") << qint64(1000) << false << true;
    }
    void openingARegistryExport()
    {
        QFETCH(qint64, margin);
        QFETCH(bool, bar);
        QFETCH(bool, halfCharacter);
        Wired f;
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_CURRENT_USER\\Policies\\P]\r\n\"A\"=\"1\"\r\n");
        const QByteArray bytes = halfCharacter ? "\xff\xfe" + wideText(text).chopped(2) + "x" : text.toLatin1();
        MainWindow &w = f.start(QString(), bytes.size() + margin);
        const QString export_ = f.dir.filePath(QStringLiteral("export.reg"));
        QVERIFY(writeBytes(export_, bytes));
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, export_);
        if (halfCharacter)
            f.prompter.expect(QStringLiteral("Line 5: the file ends in half a character; its last byte (at offset %1) "
                                             "is left out.")
                                  .arg(bytes.size() - 1),
                              Message::Icon::Exclamation);
        bool waitCursor = false, barShown = false;
        QTimer::singleShot(0, &w, [&] { // the first turn the conversion gives the event loop
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            const QProgressBar *b = f.conversionBar();
            barShown = b && b->isVisible();
        });
        const QStatusBar *statusBar = w.findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
        w.controller().open();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(waitCursor);
        QCOMPARE(barShown, bar);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.conversionBar());
        QCOMPARE(w.findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly), statusBar);
        QVERIFY(w.isEnabled());
        QVERIFY(findNode(w.document(), QStringLiteral("[HKEY_CURRENT_USER\\Policies\\P]")));
        QVERIFY(w.document().isModified());
        QVERIFY(w.document().path().isEmpty());
        QCOMPARE(w.controller().recentFiles().items().value(0), export_);
    }

    void registryPageWalksToTheSelectedNodesKey()
    {
        Wired f;
        MainWindow &w = f.start(f.file(QStringLiteral("t.adm"), kTemplate));
        QCOMPARE(w.page(MainWindow::RegistryTab), f.browser);
        QVERIFY(w.tabs()->isTabEnabled(MainWindow::RegistryTab));
        QCOMPARE(f.browser->TreeReg()->topLevelItemCount(), 2); // shown at start-up
        w.treePanel()->selectNode(findNode(w.document(), QStringLiteral("P")));
        w.tabs()->setCurrentIndex(MainWindow::RegistryTab);
        QCOMPARE(f.browser->Label10()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies\\X"));
        QCOMPARE(f.browser->ListReg()->topLevelItemCount(), 2);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // The category page's key "Select": the picker opens at the page's key, its answer fills Keyname.
    void keySelectFillsTheKeyname()
    {
        Wired f;
        f.start(f.file(QStringLiteral("t.adm"), kTemplate));
        EditorPage *page = f.edit("Desktop");
        QVERIFY(page);
        QString openedAt;
        f.runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegKey &>(dialog);
            openedAt = form.KeyNames()->currentItem()->text(0);
            form.KeyNames()->setCurrentItem(form.KeyNames()->currentItem()->child(0));
            form.selectButton()->click();
        };
        Wired::field<QPushButton>(page, "KeySelect")->click();
        QCOMPARE(openedAt, QStringLiteral("X"));
        QCOMPARE(Wired::field<QLineEdit>(page, "Keyname")->text(), QStringLiteral("Software\\Policies\\X\\Sub"));
    }

    // The policy page's value "Select" lists the inherited key's values; "(Default)" ticks the default
    // name, a cancel changes nothing.
    void valueSelectAnswersDefault()
    {
        Wired f;
        f.start(f.file(QStringLiteral("t.adm"), kTemplate));
        EditorPage *page = f.edit("P");
        QVERIFY(page);
        auto *valueName = Wired::field<QLineEdit>(page, "ValueName");
        QString preselected;
        f.runner.act = [&](QDialog &dialog) {
            auto &form = static_cast<frmRegVal &>(dialog);
            preselected = form.ValueNames()->currentItem()->text(0);
            form.ValueNames()->setCurrentItem(
                form.ValueNames()->findItems(QStringLiteral("(Default)"), Qt::MatchExactly).value(0));
            form.selectButton()->click();
        };
        Wired::field<QPushButton>(page, "ValueSelect")->click();
        QCOMPARE(preselected, QStringLiteral("Name"));
        QVERIFY(valueName->text().isEmpty());
        QVERIFY(Wired::field<QCheckBox>(page, "DefaultName")->isChecked());
        QVERIFY(!valueName->isEnabled());
        f.runner.act = [](QDialog &dialog) { static_cast<frmRegVal &>(dialog).cancelButton()->click(); };
        Wired::field<QPushButton>(page, "ValueSelect")->click();
        QVERIFY(Wired::field<QCheckBox>(page, "DefaultName")->isChecked());
    }
};

QTEST_MAIN(TestRegistryWiring)
#include "tst_registrywiring.moc"
