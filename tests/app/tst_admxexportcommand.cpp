// File, "Export as ADMX...": the folder question, the files, and the one message afterwards.
#include "appfixture.h"

#include "admx/admxexport.h"
#include "app/admxexportcommand.h"

#include <QDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

class TestAdmxExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void exportFromTheMenu_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("warningLines");
        // A template without SUPPORTED texts gets the file's own definition, said in one line.
        const QString fallback = QStringLiteral("demo: 1 of 1 policies name no SUPPORTED text; they refer to the "
                                                "definition SUPPORTED_NotStated (\"Not stated in the template\").");
        QTest::newRow("one warning") << QByteArray("PART \"Host\" EDITTEXT\nVALUENAME \"H\"\nEND PART\n") << false
                                     << "\r\n\r\nADMX cannot hold everything of this template (1 warnings):\r\n" +
                                            fallback;
        QTest::newRow("two warnings")
            << QByteArray("PART \"Host\" EDITTEXT\nVALUENAME \"H\"\nOEMCONVERT\nEND PART\n") << false
            << "\r\n\r\nADMX cannot hold everything of this template (2 warnings):\r\n"
               "Pol: Host: The statement OEMCONVERT has no ADMX equivalent and was left out.\r\n" +
                   fallback;
        QTest::newRow("cancelled") << QByteArray() << true << QString();
    }
    void exportFromTheMenu()
    {
        QFETCH(QByteArray, part);
        QFETCH(bool, cancel);
        QFETCH(QString, warningLines);
        AppFixture app;
        const QString adm = app.file("demo.adm", "CLASS MACHINE\nCATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\n"
                                                 "POLICY \"Pol\"\n" +
                                                     part + "END POLICY\nEND CATEGORY\n");
        app.start(adm);
        const QString out = app.dir.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(out));
        app.chooser.expect(QStringLiteral("Export as ADMX"), FileRequest::Mode::Folder, cancel ? QString() : out);
        const QString admx = QDir(out).filePath(QStringLiteral("demo.admx"));
        const QString adml = QDir(out).filePath(QStringLiteral("en-US/demo.adml"));
        if (!cancel)
            app.prompter.expect(QStringLiteral("The template was exported as\r\n") + admx + QStringLiteral("\r\n") +
                                    adml + warningLines,
                                warningLines.isEmpty() ? Message::Icon::None : Message::Icon::Exclamation);
        QVERIFY(app.item("M_ExportAdmx")->isEnabled());
        app.item("M_ExportAdmx")->trigger();
        QCOMPARE(app.chooser.pending(), 0);
        QCOMPARE(app.chooser.requests().constLast().proposedName, app.dir.path());
        KOVA_VERIFY_PROMPTS_DONE(app.prompter);
        QCOMPARE(QFile::exists(admx), !cancel);
        QCOMPARE(QFile::exists(adml), !cancel);
    }

    void longWarningListsAreCut_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("more");
        QTest::newRow("twenty") << 20 << 20 << false;
        QTest::newRow("twenty-one") << 21 << 20 << true;
    }
    void longWarningListsAreCut()
    {
        QFETCH(int, count);
        QFETCH(int, listed);
        QFETCH(bool, more);
        admx::WriteResult result;
        result.ok = true;
        for (int i = 0; i < count; ++i)
            result.warnings.append({QStringLiteral("P%1").arg(i), QStringLiteral("w")});
        const QString text = AdmxExportCommand::report(result);
        QCOMPARE(text.count(QStringLiteral(": w")), listed);
        QCOMPARE(text.endsWith(QStringLiteral("\r\n... and 1 more.")), more);
    }
};

QTEST_MAIN(TestAdmxExportCommand)
#include "tst_admxexportcommand.moc"
