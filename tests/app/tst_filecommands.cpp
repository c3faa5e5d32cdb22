// The File menu's own commands in the real window: "Reopen with Encoding", Save As with an encoding and
// the encoding in the status bar; "Export as ADMX...": the folder question, the files and the one message.
#include "appfixture.h"
#include "templatefixtures.h"

#include "admx/admxexport.h"
#include "app/admxexportcommand.h"
#include "app/admxlanguagemenu.h"
#include "app/encodingmenu.h"

#include "document/documentcontroller.h"
#include "document/encoding.h"
#include "document/templatedocument.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace kova;
using kova::test::AppFixture;

namespace {

// The item of menu whose data is the encoding name.
QAction *itemFor(QMenu *menu, const QString &name)
{
    for (QAction *a : menu->actions())
        if (a->data().toString() == name)
            return a;
    return nullptr;
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    // The status bar names the encoding the file was read in, once the load is done.
    void statusAfterLoad()
    {
        AppFixture f;
        f.start();
        auto *menu = new EncodingMenu(*f.window, f.preferences);
        QString text = QStringLiteral("CLASS MACHINE\r\nCLASS USER\r\n");
        TextEncoding utf16 = TextEncoding::Utf16LE;
        const QString path = f.dir.filePath(QStringLiteral("wide.adm"));
        QVERIFY(test::writeBytes(path, encodeText(text, utf16)));
        QVERIFY(f.window->controller().LoadDocument(path, false).loaded());
        QCOMPARE(menu->statusLabel()->text(), encodingLabel(TextEncoding::Utf16LE));
    }

    void reopenWithEncoding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("status");
        QTest::newRow("cp1251") << "cp1251" << QStringLiteral("\u041F\u0440\u0438") << "Cyrillic (cp1251)";
        QTest::newRow("cp1253") << "cp1253" << QStringLiteral("\u039F\u03C0\u03B8") << "Greek (cp1253)";
        QTest::newRow("back to windows-1252")
            << "windows-1252" << QStringLiteral("\u00CF\u00F0\u00E8") << "Western (Windows-1252)";
    }
    void reopenWithEncoding()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, status);
        if (!encodingFromName(name))
            QSKIP("not convertible on this machine");
        AppFixture f;
        const QByteArray bytes = "CLASS MACHINE\r\n\tCATEGORY \"\xCF\xF0\xE8\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n";
        const QString path = f.dir.filePath(QStringLiteral("cyr.adm"));
        QVERIFY(test::writeBytes(path, bytes));
        f.start(path);
        auto *menu = new EncodingMenu(*f.window, f.preferences);
        QCOMPARE(menu->statusLabel()->text(), QStringLiteral("Western (Windows-1252)"));
        QAction *item = itemFor(menu->menu(), name);
        QVERIFY(item);
        QVERIFY(menu->menu()->isEnabled());
        item->trigger();
        const TemplateDocument &doc = f.window->document();
        QCOMPARE(test::childTexts(doc.root()->child(0)), QStringList{caption});
        QCOMPARE(menu->statusLabel()->text(), status);
        QCOMPARE(f.preferences.encodingFor(path), name);

        // Remembered for the file: opened again, it is read the same way, and saved byte for byte.
        QVERIFY(f.window->controller().LoadDocument(path, false).loaded());
        QCOMPARE(test::childTexts(doc.root()->child(0)), QStringList{caption});
        QVERIFY(f.window->controller().save());
        QCOMPARE(test::readBytes(path), bytes);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void saveAsWithEncoding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QString text =
            QStringLiteral("CLASS MACHINE\r\n\tCATEGORY \"Caf\u00E9\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n");
        QTest::newRow("utf-16le") << "utf-16le"
                                  << QByteArray("\xFF\xFE") +
                                         QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QTest::newRow("utf-8") << "utf-8" << text.toUtf8();
        QTest::newRow("8-bit") << "windows-1252" << text.toLatin1();
    }
    void saveAsWithEncoding()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        AppFixture f;
        const QString source = f.dir.filePath(QStringLiteral("in.adm"));
        QVERIFY(test::writeBytes(
            source, QByteArray("CLASS MACHINE\r\n\tCATEGORY \"Caf\xE9\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n")));
        f.start(source);
        auto *menu = new EncodingMenu(*f.window, f.preferences);
        const QString target = f.dir.filePath(QStringLiteral("out.adm"));
        f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, target);
        QAction *item = itemFor(menu->saveMenu(), name);
        QVERIFY(item);
        item->trigger();
        QCOMPARE(test::readBytes(target), bytes);
        QCOMPARE(encodingName(f.window->document().encoding()), name);
        QCOMPARE(menu->statusLabel()->text(), encodingLabel(f.window->document().encoding()));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

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
        const QString adm =
            app.file(QStringLiteral("demo.adm"), "CLASS MACHINE\nCATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\n"
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

    // Options: "ADMX Language" lists the languages beside the open ADMX and reads it again in the one
    // chosen; the newer statements an ADMX read turns on show in their item.
    void admxLanguage()
    {
        AppFixture app;
        app.start();
        auto *menu = new AdmxLanguageMenu(*app.window);
        const auto choices = [&] {
            menu->refresh();
            QStringList out;
            for (QAction *a : menu->menu()->actions())
                if (!a->isSeparator())
                    out << (a->isChecked() ? QStringLiteral("* ") : QString()) + a->text();
            return out;
        };
        const QString automatic = QStringLiteral("&Automatic (your language, else en-US)");
        QCOMPARE(choices(), (QStringList{QStringLiteral("* ") + automatic,
                                         QStringLiteral("Open an ADMX file to list its languages")}));
        app.preferences.setAdmxLanguage(QStringLiteral("en-US")); // not the machine's language
        QVERIFY(app.window->controller()
                    .LoadDocument(QStringLiteral(KOVA_SOURCE_DIR "/tests/data/admx/import/languages/input.admx"), false)
                    .loaded());
        QVERIFY(app.item("M_NewerStatements")->isChecked());
        QCOMPARE(choices(),
                 (QStringList{automatic, QStringLiteral("de-DE"), QStringLiteral("* en-US"), QStringLiteral("fr-FR")}));
        menu->menu()->actions().at(2)->trigger(); // de-DE
        QVERIFY(test::findNode(app.window->document(), "Startseite"));
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

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
