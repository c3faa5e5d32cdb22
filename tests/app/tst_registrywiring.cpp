// The registry wired into the real window: the associations written at start-up, and a registry
// export opened through File, Open.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "document/documentcontroller.h"
#include "document/templatedocument.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace kova;
using kova::test::AppFixture;

class TestRegistryWiring : public QObject
{
    Q_OBJECT

    // The window of f, connected to reg before its start-up runs.
    MainWindow &startWired(AppFixture &f, clsReg &reg)
    {
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        connectRegistry(*f.window, reg);
        f.window->show();
        f.window->StartUp(QString());
        return *f.window;
    }

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

    void startUpWritesTheAssociations()
    {
        AppFixture f;
        RegistryFileStore store(f.dir.filePath(QStringLiteral("registry")));
        clsReg reg(store);
        startWired(f, reg);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(readDefault(reg, Hive::ClassesRoot, QStringLiteral(".adm")), QStringLiteral("ADM.Document"));
        QCOMPARE(readDefault(reg, Hive::ClassesRoot, QStringLiteral("ADM.Document")),
                 QStringLiteral("Policy Template File"));
        QCOMPARE(readDefault(reg, Hive::ClassesRoot, QStringLiteral(".pol")), QStringLiteral("POL.Document"));
        const QString open = readDefault(reg, Hive::ClassesRoot, QStringLiteral("ADM.Document\\shell\\open\\command"));
        QVERIFY2(open.contains(QCoreApplication::applicationFilePath()), qPrintable(open));
    }

    void startsWhenTheAssociationsCannotBeWritten()
    {
        AppFixture f;
        // A file where the store's folder should be: every write fails.
        const QString blocked = f.file(QStringLiteral("blocked"), "not a folder");
        RegistryFileStore store(blocked);
        clsReg reg(store);
        for (int call = 0; call < 4; ++call) // all four association calls fail
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^File association not written: ")));
        MainWindow &w = startWired(f, reg);
        QVERIFY(w.isVisible());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter); // no box at start-up
    }

    void openingARegistryExportConvertsIt()
    {
        AppFixture f;
        RegistryFileStore store(f.dir.filePath(QStringLiteral("registry")));
        clsReg reg(store);
        MainWindow &w = startWired(f, reg);
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
};

QTEST_MAIN(TestRegistryWiring)
#include "tst_registrywiring.moc"
