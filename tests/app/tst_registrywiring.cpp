// The registry wired into the real window: the associations written at start-up, and a registry
// export opened through File, Open.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "document/documentcontroller.h"
#include "document/templatedocument.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace kova;
using kova::test::AppFixture;

class TestRegistryWiring : public QObject
{
    Q_OBJECT

    // A window with a registry store of its own (in folder, or a file there when blocked), connected
    // before its start-up runs.
    struct Wired : AppFixture
    {
        RegistryFileStore store;
        clsReg reg{store};
        explicit Wired(const QString &folder = QStringLiteral("registry")) : store(dir.filePath(folder)) {}
        MainWindow &start(qint64 progressBarFrom = qint64(4) << 20)
        {
            window = std::make_unique<MainWindow>(prompter, chooser, preferences);
            connectRegistry(*window, reg, progressBarFrom);
            window->show();
            window->StartUp(QString());
            return *window;
        }
    };

    QString readDefault(clsReg &reg, qint32 hive, const QString &key)
    {
        reg.setClassKey(hive);
        reg.setSectionKey(key);
        reg.setValueKey(QString());
        reg.setDEFAULT(QStringLiteral("<missing>"));
        return reg.Value().toString();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The table itself is the registry's own; here: it is written at start-up, naming this program.
    void startUpWritesTheAssociations()
    {
        Wired f;
        f.start();
        clsReg &reg = f.reg;
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        const QString open = readDefault(reg, Hive::ClassesRoot, QStringLiteral("ADM.Document\\shell\\open\\command"));
        QVERIFY2(open.contains(QCoreApplication::applicationFilePath()), qPrintable(open));
    }

    void startsWhenTheAssociationsCannotBeWritten()
    {
        // A file where the store's folder should be: every write fails.
        Wired f(QStringLiteral("blocked"));
        QVERIFY(QFileInfo(f.file(QStringLiteral("blocked"), "not a folder")).isFile());
        for (int call = 0; call < 4; ++call) // all four association calls fail
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^File association not written: ")));
        QVERIFY(f.start().isVisible());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter); // no box at start-up
    }

    void openingARegistryExportConvertsIt()
    {
        Wired f;
        MainWindow &w = f.start();
        const QString export_ =
            f.file(QStringLiteral("tweak.reg"), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                                                "\"Wallpaper\"=\"C:\\\\w.bmp\"\n");
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, export_);
        w.controller().open();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        TemplateDocument &doc = w.document();
        QVERIFY(doc.root());
        QVERIFY(doc.isModified());
        QVERIFY(doc.path().isEmpty());
        QVERIFY(test::findNode(doc, QStringLiteral("[HKEY_CURRENT_USER\\Control Panel\\Desktop]")));
        QVERIFY(w.isEnabled()); // input is blocked only while the conversion runs
        QCOMPARE(w.controller().recentFiles().items().value(0), export_);
    }

    // While an export converts the window shows the wait cursor, and for a large one a progress bar;
    // both go when it ends, and no status bar is left behind.
    void conversionShowsItsProgress_data()
    {
        QTest::addColumn<qint64>("margin"); // the size that shows a bar, less the export's size
        QTest::addColumn<bool>("bar");
        QTest::newRow("at the size for a bar") << qint64(0) << true;
        QTest::newRow("below the size for a bar") << qint64(1) << false;
    }
    void conversionShowsItsProgress()
    {
        QFETCH(qint64, margin);
        QFETCH(bool, bar);
        Wired f;
        const QByteArray text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Policies\\P]\n\"A\"=\"1\"\n\"B\"=\"2\"\n";
        MainWindow &w = f.start(test::crlf(text).size() + margin);
        const QString export_ = f.file(QStringLiteral("export.reg"), text);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, export_);
        // Runs at the first turn the conversion gives the event loop.
        bool ran = false;
        bool waitCursor = false;
        bool barShown = false;
        QTimer::singleShot(0, &w, [&] {
            ran = true;
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            const QProgressBar *b = w.findChild<QProgressBar *>();
            barShown = b && b->isVisible();
        });
        const QStatusBar *statusBar = w.findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
        w.controller().open();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(ran);
        QVERIFY(waitCursor);
        QCOMPARE(barShown, bar);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!w.findChild<QProgressBar *>());
        QCOMPARE(w.findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly), statusBar);
        QVERIFY(w.isEnabled());
    }

    // A UTF-16 export that ends in half a character: said once, and opened without it.
    void halfCharacterIsSaidOnce()
    {
        Wired f;
        MainWindow &w = f.start();
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_CURRENT_USER\\Policies\\P]\r\n\"A\"=\"1\"\r\n");
        QByteArray bytes = "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2) + "x";
        const QString export_ = f.dir.filePath(QStringLiteral("cut.reg"));
        QVERIFY(test::writeBytes(export_, bytes));
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, export_);
        f.prompter.expect(QStringLiteral("Line 5: the file ends in half a character; its last byte (at offset %1) is "
                                         "left out.")
                              .arg(bytes.size() - 1),
                          Message::Icon::Exclamation);
        w.controller().open();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(test::findNode(w.document(), QStringLiteral("[HKEY_CURRENT_USER\\Policies\\P]")));
    }
};

QTEST_MAIN(TestRegistryWiring)
#include "tst_registrywiring.moc"
