#include "document/encoding.h"
#include "document/loader.h"
#include "document/nodetext.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "scriptedprompter.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>
#include <map>

using namespace kova;
using kova::test::ScriptedPrompter;

namespace {

void load(TemplateDocument &doc, const QByteArray &text)
{
    QVERIFY(test::loadText(doc, text));
}

// A template made at random from a pool of texts that differ by case only, begin one another, share
// long beginnings, or are not ASCII (with unicode on, also beyond Latin-1).
QString randomTemplate(quint32 seed, bool unicode)
{
    QStringList pool{"Alpha", "alpha", "ALPHA", "Alph", "Beta Gamma", "beta gamma", "", "x", "X", "a b"};
    const QString shared = QStringLiteral("Software\\Policies\\Vendor\\Product\\Component\\Settings\\Group");
    for (const char *tail : {"", "1", "10", "2", "A", "a", "1\\Sub", "1\\sub"})
        pool.append(shared + QLatin1String(tail));
    pool.append({QStringLiteral("caf\u00E9"), QStringLiteral("CAF\u00C9"), QStringLiteral("\u00DEber"),
                 QStringLiteral("\u00FEBER"), QStringLiteral("stra\u00DFe")});
    if (unicode)
        pool.append({QStringLiteral("\u0130stanbul"), QStringLiteral("istanbul"), QStringLiteral("\u212A"),
                     QStringLiteral("k"), QStringLiteral("\u0178"), QStringLiteral("\u03A9mega"),
                     QStringLiteral("\u03C9mega"), QStringLiteral("\u65E5\u672C"), QStringLiteral("\U0001F600 smile"),
                     QStringLiteral("\u0100")});
    QRandomGenerator random(seed);
    const auto pick = [&] { return QLatin1Char('"') + pool.at(int(random.bounded(pool.size()))) + QLatin1Char('"'); };
    QString text;
    for (const char *cls : {"MACHINE", "USER"}) {
        text += QStringLiteral("CLASS %1\n").arg(QLatin1String(cls));
        for (int c = 0; c < 6; ++c) {
            text += "CATEGORY " + pick() + "\nKEYNAME " + pick() + "\n";
            for (int p = 0; p < 4; ++p) {
                text += "POLICY " + pick() + "\nKEYNAME " + pick() + "\nVALUENAME " + pick() + "\n";
                text += "PART " + pick() + " EDITTEXT\nVALUENAME " + pick() + "\nDEFAULT " + pick() + "\n";
                text += "END PART\nEND POLICY\n";
            }
            text += "END CATEGORY\n";
        }
    }
    return text;
}

// The generated [STRINGS] entries as a plain reading of the rules gives them: every line's first
// quoted text with the line's prefix letter, kept once as first met (case ignored) and ordered by
// the lower-cased entries; an empty text stays in its line.
QStringList modelStringTable(const TemplateDocument &doc)
{
    std::map<std::u16string, QString> firstMet; // lower-cased entry -> entry as first met
    const NodeTextTable &texts = doc.texts();
    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        forEachStoredLine(texts.text(slot), [&](QStringView line) {
            const qsizetype q1 = line.indexOf(u'"');
            const qsizetype q2 = q1 < 0 ? -1 : line.indexOf(u'"', q1 + 1);
            if (q2 < 0 || q2 == q1 + 1)
                return;
            const QString entry = StringPrefixOf(line) + line.mid(q1, q2 - q1 + 1).toString();
            firstMet.try_emplace(entry.toLower().toStdU16String(), entry);
        });
    }
    QStringList table;
    for (const auto &[key, entry] : firstMet) // named by prefix letter and position, at least four digits
        table.append(entry.front() + QString::number(table.size() + 1).rightJustified(4, u'0') + u'=' + entry.mid(1));
    return table;
}

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    // Each golden input is written with Strings off and on and compared with the stored results.
    void golden_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("strings");
        const QDir dir(QStringLiteral(KOVA_TEST_DATA "/golden"));
        const QStringList inputs =
            dir.entryList({"*.adm"}, QDir::Files, QDir::Name).filter(QRegularExpression("^[a-z]+\\.adm$"));
        QVERIFY(inputs.size() >= 4);
        for (const QString &name : inputs) {
            const QString base = dir.filePath(name.chopped(4));
            QTest::newRow(qPrintable(name + " plain")) << dir.filePath(name) << base + ".expected.adm" << false;
            QTest::newRow(qPrintable(name + " strings")) << dir.filePath(name) << base + ".strings.adm" << true;
        }
    }
    void golden()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(bool, strings);
        ScriptedPrompter prompter;
        TemplateDocument doc;
        QVERIFY(Vullen(doc, input, prompter).loaded());
        QTemporaryDir dir;
        doc.setPath(dir.filePath("out.adm"));
        doc.setStringsOption(strings);
        const NodeTextTable before = doc.texts();
        QVERIFY(WriteTemplate(doc, prompter));
        QCOMPARE(QString::fromLatin1(test::readBytes(doc.path())), QString::fromLatin1(test::readBytes(expected)));
        QCOMPARE(doc.texts(), before); // the model keeps its literal texts
    }

    // A code page the user chose is kept on writing; a character it cannot hold stops the save
    // with a message and nothing written.
    void codePageKeptOrSaveRefused_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("saved");
        QTest::newRow("fits") << QStringLiteral("\u0416\u0443\u043A") << true;
        QTest::newRow("does not fit") << QStringLiteral("\u0416\u4E2D") << false;
    }
    void codePageKeptOrSaveRefused()
    {
        QFETCH(QString, caption);
        QFETCH(bool, saved);
        const std::optional<TextEncoding> cp1251 = encodingFromName(u"cp1251");
        if (!cp1251)
            QSKIP("cp1251 is not convertible on this machine");
        ScriptedPrompter prompter;
        TemplateDocument doc;
        LoadOptions options;
        options.encoding = cp1251;
        QVERIFY(loadTemplateBytes(doc,
                                  "CLASS MACHINE\r\n\tCATEGORY \"\xCF\xF0\xE8\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n",
                                  prompter, options)
                    .loaded());
        TemplateNode *category = doc.root()->child(0)->child(0);
        QCOMPARE(category->text, QStringLiteral("\u041F\u0440\u0438"));
        doc.commitNodeEdit(category, caption,
                           QStringLiteral("CATEGORY \"") + caption + QStringLiteral("\"\r\nEND CATEGORY\r\n"));
        QTemporaryDir dir;
        doc.setPath(dir.filePath("out.adm"));
        if (!saved)
            prompter.expect(QStringLiteral("The character \"\u4E2D\" cannot be written in Cyrillic (cp1251).\r\n"
                                           "Nothing was saved."),
                            Message::Icon::Exclamation);
        QCOMPARE(WriteTemplate(doc, prompter), saved);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(QFile::exists(doc.path()), saved);
        QCOMPARE(doc.isModified(), !saved);
        QCOMPARE(doc.encoding(), *cp1251);
        if (saved)
            QCOMPARE(test::readBytes(doc.path()),
                     QByteArray("CLASS MACHINE\r\n\tCATEGORY \"\xC6\xF3\xEA\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n"));
    }

    // A large template is encoded a run of lines at a time: the bytes are those of the whole text
    // encoded at once, byte-order mark first. A character far into the text that Windows-1252 cannot
    // hold still makes the whole file UTF-16LE; one a chosen code page cannot hold still stops the save.
    void largeTemplateAsWholeText_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("late");      // the name of a policy far into the text
        QTest::addColumn<QString>("writtenAs"); // empty: nothing saved
        QTest::newRow("windows-1252") << "windows-1252" << QStringLiteral("caf\u00E9") << "windows-1252";
        QTest::newRow("windows-1252 to utf-16le") << "windows-1252" << QStringLiteral("\u65E5") << "utf-16le";
        // A text kept two bytes a character whose characters all have a byte; a text kept one byte a
        // character holding a control character of 0x80..0x9F that has one and one that has none.
        QTest::newRow("windows-1252 euro") << "windows-1252" << QStringLiteral("\u20AC5") << "windows-1252";
        QTest::newRow("windows-1252 undefined byte") << "windows-1252" << QStringLiteral("a\u0081") << "windows-1252";
        QTest::newRow("windows-1252 control to utf-16le") << "windows-1252" << QStringLiteral("a\u0080") << "utf-16le";
        QTest::newRow("utf-8") << "utf-8" << QStringLiteral("\U0001F600") << "utf-8";
        QTest::newRow("utf-8-bom") << "utf-8-bom" << QStringLiteral("\u65E5") << "utf-8-bom";
        QTest::newRow("utf-16le") << "utf-16le" << QStringLiteral("\U0001F600") << "utf-16le";
        QTest::newRow("utf-16be") << "utf-16be" << QStringLiteral("\u65E5") << "utf-16be";
        QTest::newRow("cp1251") << "cp1251" << QStringLiteral("\u0416") << "cp1251";
        QTest::newRow("cp1251 refused") << "cp1251" << QStringLiteral("\u4E2D") << "";
    }
    void largeTemplateAsWholeText()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, late);
        QFETCH(QString, writtenAs);
        const std::optional<TextEncoding> chosen = encodingFromName(encoding);
        if (!chosen)
            QSKIP("the encoding is not convertible on this machine");
        QByteArray text = "CLASS MACHINE\nCATEGORY \"Big\"\n";
        for (int i = 0; i < 20000; ++i)
            text += "POLICY \"P" + QByteArray::number(i) + "\"\nPART \"P" + QByteArray::number(i) +
                    "\" EDITTEXT\nEND PART\nEND POLICY\n";
        text += "END CATEGORY\n";
        TemplateDocument doc;
        load(doc, text);
        TemplateNode *policy = doc.root()->child(0)->child(0)->child(19000);
        doc.commitNodeEdit(policy, late, QStringLiteral("POLICY \"") + late + QStringLiteral("\"\r\nEND POLICY\r\n"));
        doc.setEncoding(*chosen);
        TextEncoding expected = *chosen;
        const QByteArray whole = encodeText(renderTemplate(doc, false), expected);
        QTemporaryDir dir;
        doc.setPath(dir.filePath("out.adm"));
        ScriptedPrompter prompter;
        if (writtenAs.isEmpty())
            prompter.expect(QStringLiteral("The character \"") + late + QStringLiteral("\" cannot be written in ") +
                                encodingLabel(*chosen) + QStringLiteral(".\r\nNothing was saved."),
                            Message::Icon::Exclamation);
        QCOMPARE(WriteTemplate(doc, prompter), !writtenAs.isEmpty());
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(QFile::exists(doc.path()), !writtenAs.isEmpty());
        if (writtenAs.isEmpty())
            return;
        QCOMPARE(encodingName(doc.encoding()), writtenAs);
        QCOMPARE(encodingName(expected), writtenAs);
        QVERIFY(whole.size() > 1 << 19); // more than one run of lines
        QVERIFY(test::readBytes(doc.path()) == whole);
    }

    // An END does not change the node that takes the following lines, so the KEYNAME after the inner
    // END CATEGORY still belongs to the part and is written with it.
    void indentationAndHeldBackLines()
    {
        TemplateDocument doc;
        load(doc, "CLASS MACHINE\nCATEGORY \"A\"\nCATEGORY \"B\"\nPOLICY \"P\"\nPART \"X\" TEXT\nEND PART\nEND "
                  "POLICY\nEND CATEGORY\nKEYNAME \"late\"\nEND CATEGORY\n");
        QCOMPARE(renderTemplate(doc, false),
                 QStringLiteral("CLASS MACHINE\r\n\tCATEGORY \"A\"\r\n\t\tCATEGORY \"B\"\r\n\t\t\tPOLICY \"P\"\r\n"
                                "\t\t\t\tPART \"X\" TEXT\r\n\t\t\t\tEND PART\r\n\t\t\t\tKEYNAME \"late\"\r\n"
                                "\t\t\tEND POLICY\r\n\t\tEND CATEGORY\r\n\tEND CATEGORY\r\nCLASS USER\r\n"));
    }

    void stringPrefix_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("prefix");
        const auto row = [](const char *line, const char *prefix) {
            QTest::newRow(line) << QString(line) << QString(prefix);
        };
        row("CATEGORY \"a\"", "C");
        row("POLICY \"a\"", "C");
        row("PART \"a\" TEXT", "C");
        row("KEYNAME \"a\"", "K");
        row("VALUENAME \"a\"", "V");
        row("VALUE \"a\"", "W");
        row("VALUEPREFIX \"a\"", "W");
        row("\"a\"", "W"); // a suggestion
        row("keyname \"a\"", "K");
    }
    void stringPrefix()
    {
        QFETCH(QString, line);
        QFETCH(QString, prefix);
        QCOMPARE(QString(StringPrefixOf(line)), prefix);
    }

    void tenThousandStrings()
    {
        QByteArray text = "CLASS MACHINE\nCATEGORY \"c\"\nPOLICY \"p\"\nPART \"d\" DROPDOWNLIST\nITEMLIST\n";
        for (int i = 0; i < 10001; ++i)
            text += "NAME \"n" + QByteArray::number(100000 + i) + "\" VALUE NUMERIC 1\n";
        text += "END ITEMLIST\nEND PART\nEND POLICY\nEND CATEGORY\n";
        TemplateDocument doc;
        load(doc, text);
        const QString out = renderTemplate(doc, true);
        // C entries: c, d, p; then 10001 W entries: the last of them is number 10004.
        QVERIFY(out.contains(QStringLiteral("\r\nW9999=\"n109995\"\r\n")));
        QVERIFY(out.contains(QStringLiteral("\r\nW10004=\"n110000\"\r\n")));
        QVERIFY(out.contains(QStringLiteral("NAME !!W10004\r\n")));
    }

    void noQuotedTextWithIeakEntries()
    {
        TemplateDocument doc;
        load(doc, "CLASS MACHINE\n[strings]\nieak_x=\"kept\"\nplain=\"gone\"\n");
        QCOMPARE(renderTemplate(doc, true),
                 QStringLiteral("CLASS MACHINE\r\nCLASS USER\r\n\r\n[STRINGS]\r\n\r\n; * * * O T H E R S * * *\r\n"
                                "ieak_x=\"kept\"\r\n"));
        TemplateDocument bare;
        load(bare, "CLASS MACHINE\n");
        QCOMPARE(renderTemplate(bare, true), QStringLiteral("CLASS MACHINE\r\nCLASS USER\r\n"));
    }

    // Random templates against the plain model above; the body's references must lead back to the
    // texts they replaced (case aside, as a later spelling gives way to the first).
    void stringTableMatchesAPlainModel_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("unicode");
        for (quint32 seed = 1; seed <= 6; ++seed) {
            QTest::addRow("Latin-1 texts, seed %u", seed) << seed << false;
            QTest::addRow("any texts, seed %u", seed) << seed << true;
        }
    }

    void stringTableMatchesAPlainModel()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, unicode);
        TemplateDocument doc;
        ScriptedPrompter prompter;
        TextEncoding wide = TextEncoding::Utf16LE;
        QVERIFY(loadTemplateBytes(doc, encodeText(randomTemplate(seed, unicode), wide), prompter).loaded());

        const QString withStrings = renderTemplate(doc, true);
        const qsizetype section = withStrings.indexOf(u"\r\n[STRINGS]\r\n");
        QVERIFY(section > 0);
        QStringList table;
        QMap<QString, QString> textOf;
        static const QRegularExpression entryLine(QStringLiteral("^([CKVW]\\d{4,})=(.*)$"));
        for (const QString &line : withStrings.mid(section).split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch m = entryLine.match(line);
            if (m.hasMatch()) {
                table.append(line);
                textOf.insert(m.captured(1), m.captured(2));
            }
        }
        QCOMPARE(table, modelStringTable(doc));

        QString body = withStrings.left(section);
        static const QRegularExpression reference(QStringLiteral("!!([CKVW]\\d{4,})"));
        for (QRegularExpressionMatch m = reference.match(body); m.hasMatch(); m = reference.match(body)) {
            QVERIFY2(textOf.contains(m.captured(1)), qPrintable(m.captured(1)));
            body.replace(m.capturedStart(), m.capturedLength(), textOf.value(m.captured(1)));
        }
        QCOMPARE(body.toLower(), renderTemplate(doc, false).toLower());
    }

    void writeClearsModifiedAndReports()
    {
        TemplateDocument doc;
        load(doc, "CLASS USER\n");
        doc.setModified(true);
        QTemporaryDir dir;
        doc.setPath(dir.filePath("w.adm"));
        QSignalSpy written(&doc, &TemplateDocument::written);
        ScriptedPrompter prompter;
        QVERIFY(WriteTemplate(doc, prompter));
        QVERIFY(!doc.isModified());
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.first().first().toString(), doc.path());
    }

    // A write that fails half-way (here: past 4 KiB, as on a full device) leaves the old file, no
    // scratch file and the document as it was. Read-only and missing targets are the file writer's.
    void failedWriteKeepsEverything()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.adm");
        const QByteArray old = "old contents that must survive\r\n";
        QVERIFY(test::writeBytes(path, old));

        TemplateDocument doc;
        QByteArray big = "CLASS MACHINE\nCATEGORY \"c\"\n";
        for (int i = 0; i < 2000; ++i)
            big += "KEYNAME \"Software\\Some\\Fairly\\Long\\Key\\Name\\Number" + QByteArray::number(i) + "\"\n";
        load(doc, big + "END CATEGORY\n");
        doc.setModified(true);
        const NodeTextTable before = doc.texts();

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        doc.setPath(path);
        ScriptedPrompter prompter;
        prompter.allowAnything(Answer::Ok);
        const bool ok = WriteTemplate(doc, prompter);
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!ok);
        QCOMPARE(prompter.messages().size(), 1);
        const Message m = prompter.messages().first();
        QCOMPARE(m.icon, Message::Icon::Exclamation);
        QCOMPARE(m.buttons, Message::Buttons::Ok);
        QVERIFY2(m.text.endsWith(QStringLiteral("\r\nTry to save your file with a different name")),
                 qPrintable(m.text));
        QVERIFY(m.text.size() > 46); // the system's description comes first
        QCOMPARE(test::readBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.adm"});
        QVERIFY(doc.isModified());
        QCOMPARE(doc.texts(), before);
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
