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

    // An ADMX read turns on the newer statements its template holds. Options, "ADMX Language": the
    // languages beside the open ADMX; choosing one reads the ADMX again in it, asking first when the
    // template was changed since, and is remembered.
    void admxLanguage()
    {
        AppFixture app;
        app.start();
        auto *menu = new AdmxLanguageMenu(*app.window);
        TemplateDocument &doc = app.window->document();
        const auto choices = [&] {
            menu->refresh();
            QStringList out;
            for (QAction *a : menu->menu()->actions())
                if (!a->isSeparator())
                    out << (a->isChecked() ? QStringLiteral("* ") : QString()) + a->text();
            return out;
        };
        const auto choose = [&](const char *language) {
            for (QAction *a : menu->menu()->actions())
                if (a->text() == QLatin1String(language))
                    a->trigger();
        };
        const QString automatic = QStringLiteral("&Automatic (your language, else en-US)");
        QCOMPARE(choices(), (QStringList{QStringLiteral("* ") + automatic,
                                         QStringLiteral("Open an ADMX file to list its languages")}));
        const QString admx = QStringLiteral(KOVA_SOURCE_DIR "/tests/data/admx/import/languages/input.admx");
        app.preferences.setAdmxLanguage(QStringLiteral("en-US")); // not the machine's language
        QVERIFY(!app.item("M_NewerStatements")->isChecked());
        QVERIFY(app.window->controller().LoadDocument(admx, false).loaded());
        QVERIFY(app.item("M_NewerStatements")->isChecked()); // text mode and the recovered copy read it so
        QCOMPARE(choices(),
                 (QStringList{automatic, QStringLiteral("de-DE"), QStringLiteral("* en-US"), QStringLiteral("fr-FR")}));

        choose("de-DE"); // read as it was: no question
        QVERIFY(test::findNode(doc, "Startseite"));
        QCOMPARE(app.preferences.admxLanguage(), QStringLiteral("de-DE"));
        QVERIFY(doc.path().isEmpty() && doc.isModified());

        TemplateNode *policy = test::findNode(doc, "Startseite");
        doc.commitNodeEdit(policy, QStringLiteral("Mine"),
                           doc.nodeText(policy).replace(QStringLiteral("Startseite"), QStringLiteral("Mine")));
        app.prompter.expect(QStringLiteral("Save changes in current file?"), Message::Icon::Exclamation,
                            Message::Buttons::YesNoCancel, Answer::Cancel);
        choose("fr-FR");
        QVERIFY(test::findNode(doc, "Mine"));
        QCOMPARE(app.preferences.admxLanguage(), QStringLiteral("de-DE"));
        app.prompter.expect(QStringLiteral("Save changes in current file?"), Message::Icon::Exclamation,
                            Message::Buttons::YesNoCancel, Answer::No);
        choose("fr-FR");
        QVERIFY(test::findNode(doc, "Page d'accueil"));
        KOVA_VERIFY_PROMPTS_DONE(app.prompter);
        QCOMPARE(choices().value(3), QStringLiteral("* fr-FR"));
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
