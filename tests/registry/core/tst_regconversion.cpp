// Converting registry exports into templates.
#include "document/encoding.h"
#include "document/loader.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "registry/core/regconversion.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace kova;
using kova::test::crlf;
using kova::test::ScriptedPrompter;

namespace {

const QString kQuestion =
    QStringLiteral("KOVA can convert (some) entries into managable entries for use with GPO.\r\n\r\n"
                   "Do you want to convert those entries?");
const QByteArray kHex = "value is in HEX which cannot be used in templates";
const QByteArray kLarge = "the value for numeric is too large";
const QByteArray kNul = "value contains a NUL character which cannot be used in templates";

// The expected template, piece by piece: a key's category, a string or number value, a refused one.
QByteArray category(const QByteArray &key)
{
    return "category \"[" + key + "]\"\nkeyname \"" + key.mid(key.indexOf('\\') + 1) + "\"\n";
}
QByteArray edit(const QByteArray &name, const QByteArray &value)
{
    return "policy \"" + name + "\"\npart \"" + name + "\" edittext\nvaluename \"" + name + "\"\ndefault \"" + value +
           "\"\nend part\nend policy\n";
}
QByteArray numeric(const QByteArray &name, int value)
{
    return "policy \"" + name + "\"\npart \"" + name + "\" numeric\nvaluename \"" + name + "\"\ndefault " +
           QByteArray::number(value) + "\nend part\nend policy\n";
}
QByteArray refused(const QByteArray &name, const QByteArray &reason)
{
    return "policy \"" + name + "\"\npart \"Entry " + name + " not converted because " + reason +
           "\" text\nend part\nend policy\n";
}
const QByteArray kEnd = "end category\n";

// What one conversion did besides its result; records what the conversion tells its host.
struct Run : ConversionHost
{
    bool converted = false;
    QString path; // the result file on success, else the input unchanged
    QByteArray output;
    QStringList added, removed;
    QList<bool> busy;
    QList<qint64> done; // how far the reading had come at each turn
    qint64 total = -1;
    TempFiles temp;

    void setBusy(bool b) override { busy.append(b); }
    void progress(qint64 d, qint64 t) override
    {
        done.append(d);
        total = t;
    }
    void addRecentFile(const QString &p) override { added.append(p); }
    void removeRecentFile(const QString &p) override { removed.append(p); }
    int eventTurns() const { return int(done.size()); }
};

} // namespace

class TestRegConversion : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp; // the temporary folder of every scratch file made here
    QTemporaryDir m_inputs;
    int m_count = 0;

    QString writeInput(const QByteArray &bytes)
    {
        const QString path = m_inputs.filePath(QStringLiteral("export%1.reg").arg(++m_count));
        test::writeBytes(path, bytes);
        return path;
    }
    static void convertFile(Run &run, const QString &input, Prompter &prompter)
    {
        run.path = input;
        run.converted = ConvertRegFile(run.path, prompter, run.temp, run);
        if (run.converted)
            run.output = test::readBytes(run.path);
    }
    void convert(Run &run, const QByteArray &bytes, Prompter &prompter)
    {
        convertFile(run, writeInput(bytes), prompter);
    }

    // What Save As writes for the converted template (strings: the "Strings" option); nothing when
    // the loader refuses it.
    std::optional<QByteArray> saveAs(const QString &converted, bool strings)
    {
        TemplateDocument document;
        ScriptedPrompter quiet;
        quiet.allowAnything(Answer::No);
        if (!Vullen(document, converted, quiet).loaded())
            return std::nullopt;
        const QString out = m_inputs.filePath(QStringLiteral("saved.adm"));
        QFile::remove(out);
        document.setPath(out);
        document.setStringsOption(strings);
        if (!WriteTemplate(document, quiet))
            return std::nullopt;
        return test::readBytes(out);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
        QCOMPARE(QDir::tempPath(), QDir(m_tmp.path()).canonicalPath());
    }

    void workedExample()
    {
        const QByteArray input = crlf("[HKEY_CLASSES_ROOT\\.adm]\n@=\"ADM.Document\"\n"
                                      "[HKEY_CURRENT_USER\\Software\\Policies\\Demo]\n\"Name\"=\"C:\\\\Temp\"\n"
                                      "\"Count\"=dword:0000000a\n\"Big\"=dword:00002710\n\"Raw\"=hex:01,02\n");
        const QByteArray expected =
            crlf("class user\n" + category("HKEY_CURRENT_USER\\Software\\Policies\\Demo") + edit("Name", "C:\\Temp") +
                 numeric("Count", 10) + refused("Big", kLarge) + refused("Raw", kHex) + kEnd);
        ScriptedPrompter prompter; // no question: the user key already lies under Policies
        Run run;
        const QString inputPath = writeInput(input);
        convertFile(run, inputPath, prompter);
        QVERIFY(run.converted);
        QCOMPARE(run.output, expected);
        QCOMPARE(run.added, QStringList{inputPath});
        QVERIFY(run.removed.isEmpty());
        QCOMPARE(run.busy, (QList<bool>{true, false}));
        QCOMPARE(run.eventTurns(), 7);
        QCOMPARE(run.total, input.size());
        QCOMPARE(run.done.last(), input.size());
        QVERIFY(std::is_sorted(run.done.begin(), run.done.end()));
        // machine, user and discard scratch files, then the result; all temporary, all listed
        const QStringList temp = run.temp.paths();
        QCOMPARE(temp.size(), 4);
        QCOMPARE(temp.last(), run.path);
        for (const QString &t : temp) {
            QVERIFY(QFileInfo(t).fileName().startsWith(QStringLiteral("ADM")) && t.endsWith(QStringLiteral(".tmp")));
            QCOMPARE(QFileInfo(t).absolutePath(), QDir(m_tmp.path()).canonicalPath());
        }
        QCOMPARE(test::readBytes(temp.at(0)), QByteArray());
        QCOMPARE(test::readBytes(temp.at(2)),
                 crlf(category("HKEY_CLASSES_ROOT\\.adm") + edit("(Default)", "ADM.Document") + kEnd));
        KOVA_VERIFY_PROMPTS_DONE(prompter);

        // The same export as regedit writes it today: UTF-16LE with a byte-order mark, blank lines, header.
        TextEncoding encoding = TextEncoding::Utf16LE;
        Run wide;
        convert(wide,
                encodeText(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(input),
                           encoding),
                prompter);
        QVERIFY(wide.converted);
        QCOMPARE(wide.output, expected);
    }

    // Inputs and outputs are written with \n (made CR LF); <NUL> stands for a NUL byte in the input.
    void conversions_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("answer"); // 0: no question expected, 1: Yes, 2: No
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("loads"); // the loader takes the result

        const QByteArray x = edit("X", "1");
        const QByteArray p = "class user\n" + category("HKEY_CURRENT_USER\\P");
        QTest::newRow("user only") << QByteArray(
                                          "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Policies\\U]\n\"X\"=\"1\"\n")
                                   << 0
                                   << "class user\n" + category("HKEY_CURRENT_USER\\Software\\Policies\\U") + x + kEnd
                                   << true;
        QTest::newRow("machine after user comes first")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Policies\\U1]\n[HKEY_LOCAL_MACHINE\\Software\\Policies\\M]\n"
                          "\"X\"=\"1\"\n[HKEY_CURRENT_USER\\Software\\Policies\\U2]\n")
            << 0
            << "class machine\n" + category("HKEY_LOCAL_MACHINE\\Software\\Policies\\M") + x + kEnd + "class user\n" +
                   category("HKEY_CURRENT_USER\\Software\\Policies\\U1") + kEnd +
                   category("HKEY_CURRENT_USER\\Software\\Policies\\U2") + kEnd
            << true;
        QTest::newRow("9999 and 10000") << QByteArray(
                                               "[HKEY_CURRENT_USER\\P]\n\"A\"=dword:0000270f\n\"B\"=dword:00002710\n")
                                        << 0 << p + numeric("A", 9999) + refused("B", kLarge) + kEnd << true;
        QTest::newRow("DWORD and HEX in any case")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=DWORD:0000000A\n\"B\"=Dword:0\n\"C\"=HEX:01\n"
                          "\"D\"=hex(2):41,00\n\"E\"=Hex(7):00\n\"F\"=dword:ffffffff\n")
            << 0
            << p + numeric("A", 10) + numeric("B", 0) + refused("C", kHex) + refused("D", kHex) + refused("E", kHex) +
                   refused("F", kLarge) + kEnd
            << true;
        QTest::newRow("backslash pairs")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"Path\"=\"C:\\\\\\\\Share\"\n\"Three\"=\"a\\\\\\b\"\n") << 0
            << p + edit("Path", "C:\\\\Share") + edit("Three", "a\\\\b") + kEnd << true;
        QTest::newRow("escaped quotes join the next line")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=\"x\\\"y\"\n  \"B\"=\"z  \n\"C\"=\"1\"\n") << 0
            << p + refused("A", "value contains quotes which cannot be used in templates") + edit("C", "1") + kEnd
            << true;
        // The name ends with the first "= of the joined line, also where one line ends in its quote
        // and the next begins with the =.
        QTest::newRow("names joined over lines")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"B\"\n=\"v\n\"C\n\"=\"1\"\n") << 0
            << p + "policy \"A\"B\"\npart \"A\"B\" edittext\nvaluename \"A\"B\"\ndefault \"v\nend part\nend policy\n" +
                   edit("C", "1") + kEnd
            << false;
        QTest::newRow("spaced value line") << QByteArray("[HKEY_CURRENT_USER\\P]\n\"Name\" = \"x\"\n") << 0
                                           << p + "policy \nend policy\n" + kEnd << false;
        QTest::newRow("deleted key and value")
            << QByteArray("[-HKEY_LOCAL_MACHINE\\Software\\X]\n[HKEY_LOCAL_MACHINE\\Software\\Y]\n\"Gone\"=-\n") << 2
            << "class machine\n" + category("-HKEY_LOCAL_MACHINE\\Software\\X") + kEnd +
                   category("HKEY_LOCAL_MACHINE\\Software\\Y") + "policy \"Gone\"\nend policy\n" + kEnd
            << true;
        QTest::newRow("Policies on Yes")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Policies\\Before]\n[HKEY_CURRENT_USER\\Software\\Demo]\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\n"
                          "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n"
                          "[HKEY_CURRENT_USER\\Software\\Policies\\After]\n")
            << 1
            << "class machine\n" + category("HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo") + kEnd +
                   category("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies") + kEnd +
                   "class user\n" + category("HKEY_CURRENT_USER\\Software\\Policies\\Before") + kEnd +
                   category("HKEY_CURRENT_USER\\Software\\Policies\\Demo") + kEnd +
                   category("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Run") + kEnd +
                   category("HKEY_CURRENT_USER\\Software\\Policies\\Policies\\After") + kEnd
            << true;
        QTest::newRow("no rewrite on No, asked once")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Demo]\n[HKEY_LOCAL_MACHINE\\Software\\Demo]\n") << 2
            << "class machine\n" + category("HKEY_LOCAL_MACHINE\\Software\\Demo") + kEnd + "class user\n" +
                   category("HKEY_CURRENT_USER\\Software\\Demo") + kEnd
            << true;
        QTest::newRow("default value, continuation, skipped lines, other hives")
            << QByteArray(
                   "Windows Registry Editor Version 5.00\n; comment \"odd\n  [HKEY_CURRENT_USER\\Policies\\D]  \n"
                   "@=\"abc\\\n   def\"\n\t\"Tab\"=\"skipped\"\n[HKEY_USERS\\.DEFAULT\\X]\n\"U\"=dword:1\n")
            << 0 << "class user\n" + category("HKEY_CURRENT_USER\\Policies\\D") + edit("(Default)", "abcdef") + kEnd
            << true;
        QTest::newRow("hex continuation lines")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"H\"=hex(2):25,00,53,00,\\\n  00,00\n") << 0
            << p + refused("H", kHex) + kEnd << true;
        QTest::newRow("NUL in a value")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=\"x<NUL>y\"\n\"N<NUL>m\"=dword:1\n\"H\"=hex:00,<NUL>\n"
                          "\"C\"=\"1\"\n")
            << 0 << p + refused("A", kNul) + refused("Nm", kNul) + refused("H", kNul) + edit("C", "1") + kEnd << true;
        QTest::newRow("NUL in a key name")
            << QByteArray("[HKEY_CURRENT_USER\\P\\K<NUL>ey]\n\"A\"=\"1\"\n\"B\"=dword:2\n[HKEY_CURRENT_USER\\P\\Next]\n"
                          "\"C\"=\"1\"\n")
            << 0
            << "class user\n" + category("HKEY_CURRENT_USER\\P\\Key") + refused("A", kNul) + refused("B", kNul) + kEnd +
                   category("HKEY_CURRENT_USER\\P\\Next") + edit("C", "1") + kEnd
            << true;
        QTest::newRow("8-bit text stays byte for byte")
            << QByteArray("[HKEY_CURRENT_USER\\P\\Caf\xe9]\n\"N\xe4me\"=\"\x80 \xff\"\n") << 0
            << "class user\n" + category("HKEY_CURRENT_USER\\P\\Caf\xe9") + edit("N\xe4me", "\x80 \xff") + kEnd << true;
    }
    void conversions()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, answer);
        QFETCH(QByteArray, expected);
        QFETCH(bool, loads);
        ScriptedPrompter prompter;
        if (answer)
            prompter.expect(kQuestion, Message::Icon::Exclamation, Message::Buttons::YesNo,
                            answer == 1 ? Answer::Yes : Answer::No);
        Run run;
        convert(run, crlf(input).replace("<NUL>", QByteArray(1, '\0')), prompter);
        QVERIFY(run.converted);
        QCOMPARE(run.output, crlf(expected));
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        // and the loader takes what the conversion wrote
        TemplateDocument document;
        ScriptedPrompter quiet;
        if (!loads)
            quiet.allowAnything(Answer::No); // a policy without a name: the loader says which line
        QCOMPARE(Vullen(document, run.path, quiet).loaded(), loads);
    }

    // A missing file is named by a path of its own (<missing>): no scratch file is made for it.
    void failures_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("value before any key") << QByteArray("REGEDIT4\n\"A\"=\"b\"\n[HKEY_CURRENT_USER\\P]\n")
                                              << QStringLiteral("Line 2: a value comes before the first key.");
        QTest::newRow("no key at all") << QByteArray("Windows Registry Editor Version 5.00\n\n; nothing\n")
                                       << QStringLiteral("The file holds no registry key.");
        QTest::newRow("empty file") << QByteArray("") << QStringLiteral("The file holds no registry key.");
        QTest::newRow("ends inside a continuation")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=hex:01,\\\n")
            << QStringLiteral("Line 2: the file ends where a continued line is expected.");
        QTest::newRow("ends inside a quoted value")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=\"x\\\"y\"\n\"B\"=\"z\"\n")
            << QStringLiteral("Line 2: the file ends inside a quoted value.");
        QTest::newRow("dword digits not hexadecimal")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=dword:0000000g\n")
            << QStringLiteral("Line 2: \"0000000g\" is not a hexadecimal DWORD value.");
        QTest::newRow("dword without digits") << QByteArray("[HKEY_CURRENT_USER\\P]\n\n\"A\"=dword:\n")
                                              << QStringLiteral("Line 3: \"\" is not a hexadecimal DWORD value.");
        QTest::newRow("missing file") << QByteArray() << QStringLiteral("Cannot open %1: No such file or directory");
    }
    void failures()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const QString path =
            input.isNull() ? m_inputs.filePath(QStringLiteral("nowhere.reg")) : writeInput(crlf(input));
        ScriptedPrompter prompter;
        prompter.expect(input.isNull() ? message.arg(path) : message, Message::Icon::Exclamation);
        Run run;
        convertFile(run, path, prompter);
        QVERIFY(!run.converted);
        QCOMPARE(run.path, path);
        QCOMPARE(run.removed, QStringList{path});
        QVERIFY(run.added.isEmpty());
        QCOMPARE(run.busy, (QList<bool>{true, false}));
        if (input.isNull())
            QVERIFY(run.temp.paths().isEmpty());
        KOVA_VERIFY_PROMPTS_DONE(prompter);
    }

    void unicodeThatDoesNotFitEightBits()
    {
        const QString text =
            QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Policies\\\u4e2d]\r\n"
                           "\"\u00e9\"=\"\u20ac \u4e2d\"\r\n");
        TextEncoding encoding = TextEncoding::Utf16LE;
        ScriptedPrompter prompter;
        Run run;
        convert(run, encodeText(text, encoding), prompter);
        QVERIFY(run.converted);
        QVERIFY(run.output.startsWith("\xff\xfe"));
        TextEncoding read = TextEncoding::Windows1252;
        const QString expected =
            QString::fromUtf8(crlf("class user\n" + category("HKEY_CURRENT_USER\\Policies\\\xe4\xb8\xad") +
                                   edit("\xc3\xa9", "\xe2\x82\xac \xe4\xb8\xad") + kEnd));
        QCOMPARE(decodeText(run.output, &read), expected);
        QCOMPARE(read, TextEncoding::Utf16LE);
        TemplateDocument document;
        QVERIFY(Vullen(document, run.path, prompter).loaded());
    }

    // A UTF-16 export cut after an odd number of bytes: the user is told where, the half character is
    // left out, and the output is 8-bit when the rest fits, as for an intact file.
    void halfCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("encoding"); // TextEncoding of the export
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("eightBitOutput");
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\P]\r\n"
                                            "\"A\"=\"caf\u00e9\"\r\n");
        const int size = 2 + 2 * int(text.size()); // with the byte-order mark
        const auto at = [](int offset) {
            return QStringLiteral("Line 5: the file ends in half a character; its last byte (at offset %1) is "
                                  "left out.")
                .arg(offset);
        };
        const int le = int(TextEncoding::Utf16LE);
        QTest::newRow("UTF-16LE, ends after a line end") << text << le << at(size) << true;
        QTest::newRow("UTF-16BE, ends after a line end") << text << int(TextEncoding::Utf16BE) << at(size) << true;
        QTest::newRow("ends inside the last line") << text + QStringLiteral("; x") << le << at(size + 6) << true;
        QTest::newRow("a character beyond 8 bits keeps UTF-16")
            << text + QStringLiteral("\"B\"=\"\u4e2d\"") << le << at(size + 14) << false;
        QTest::newRow("intact: no message") << text << le << QString() << true;
    }
    void halfCharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, encoding);
        QFETCH(QString, message);
        QFETCH(bool, eightBitOutput);
        TextEncoding chosen = TextEncoding(encoding);
        QByteArray bytes = encodeText(text, chosen);
        ScriptedPrompter prompter;
        if (!message.isEmpty()) {
            bytes += encoding == int(TextEncoding::Utf16LE) ? '\x41' : '\0'; // half of an "A"
            prompter.expect(message, Message::Icon::Exclamation);
        }
        Run run;
        convert(run, bytes, prompter);
        QVERIFY(run.converted);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(!run.output.startsWith("\xff\xfe"), eightBitOutput);
        TextEncoding read = TextEncoding::Windows1252;
        const QString output = decodeText(run.output, &read);
        QVERIFY(output.contains(QStringLiteral("default \"caf\u00e9\"\r\nend part\r\nend policy\r\n")));
        QVERIFY(!output.contains(QChar(0xFFFD)));
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void lineEnds()
    {
        QFETCH(QByteArray, ending);
        ScriptedPrompter prompter;
        Run run;
        convert(run, QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=\"1\"\n\n\"B\"=dword:2\n").replace("\n", ending),
                prompter);
        QVERIFY(run.converted);
        QCOMPARE(run.output,
                 crlf("class user\n" + category("HKEY_CURRENT_USER\\P") + edit("A", "1") + numeric("B", 2) + kEnd));
        QCOMPARE(run.eventTurns(), 4);
    }

    // A large 8-bit export is read a block at a time; a Unicode one is decoded whole. Both give the same
    // template, whatever the line ends and wherever the blocks are cut.
    void largeExportsAgree()
    {
        QByteArray ansi;
        for (int key = 0; ansi.size() < 3 * 1024 * 1024; ++key) {
            ansi += "[HKEY_LOCAL_MACHINE\\Software\\Policies\\K" + QByteArray::number(key) + "]\r\n";
            ansi += "\"Euro \x80\"=\"\x80 \xe9 C:\\\\x\"\r"; // a lone CR ends this one
            ansi += "\"N\"=dword:" + QByteArray::number(key % 20000, 16) + "\n";
            ansi += "\"H\"=hex:01,\\\r\n  02\r\n";
        }
        ScriptedPrompter prompter;
        Run eight, wide;
        convert(eight, ansi, prompter);
        TextEncoding encoding = TextEncoding::Utf16LE;
        convert(wide, encodeText(fromWindows1252(ansi), encoding), prompter);
        QVERIFY(eight.converted && wide.converted);
        QCOMPARE(eight.eventTurns(), wide.eventTurns());
        QVERIFY(eight.output == wide.output);
        QVERIFY(eight.output.contains(crlf(edit("Euro \x80", "\x80 \xe9 C:\\x"))));
    }

    void throttleIsDueAtMostOncePerInterval()
    {
        Throttle throttle(40);
        int due = throttle.due();
        QCOMPARE(due, 1); // the first turn runs at once
        for (int i = 0; i < 1000; ++i)
            due += throttle.due();
        QCOMPARE(due, 1);
        QTest::qSleep(60);
        for (int i = 0; i < 64; ++i) // the clock is looked at every 64 turns
            due += throttle.due();
        QCOMPARE(due, 2);
    }

    // Every export of the corpus converts, raw and written as Save As writes it, to what kova-cli
    // wrote before (data/corpus-reg-outputs.tsv holds the outputs' SHA-256), asking nothing but the
    // Policies question, and telling a failure with one exclamation.
    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("recorded"); // raw, raw-policies, saveas, saveas-policies-strings
        const QStringList files = test::corpusFiles(QStringLiteral("reg"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not there");
        QHash<QString, QStringList> recorded;
        for (const QByteArray &line :
             test::readBytes(QStringLiteral(KOVA_TEST_DATA "/corpus-reg-outputs.tsv")).split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 3)
                recorded[QString::fromUtf8(fields.at(0))].append(QString::fromLatin1(fields.at(2)));
        }
        for (const QString &f : files)
            QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f << recorded.value(QFileInfo(f).fileName());
    }
    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, recorded);
        QVERIFY2(recorded.size() == 4, "no recorded outputs for this export");
        const auto hash = [](const std::optional<QByteArray> &bytes) {
            return bytes ? QString::fromLatin1(QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex())
                         : QStringLiteral("-");
        };
        QStringList outputs;
        for (const bool move : {false, true}) {
            ScriptedPrompter prompter;
            prompter.allowAnything(move ? Answer::Yes : Answer::No);
            Run run;
            convertFile(run, file, prompter);
            outputs.append(hash(run.converted ? std::optional(run.output) : std::nullopt));
            outputs.append(hash(run.converted ? saveAs(run.path, move) : std::nullopt));
            ScriptedPrompter inMemory; // the fuzzer's entry gives the same bytes
            inMemory.allowAnything(move ? Answer::Yes : Answer::No);
            QCOMPARE(hash(ConvertRegExport(test::readBytes(file), inMemory)), outputs.at(outputs.size() - 2));
            if (run.converted) {
                QCOMPARE(run.added, QStringList{file});
                for (const Message &m : prompter.messages())
                    QCOMPARE(m.text, kQuestion);
            } else {
                QCOMPARE(prompter.messages().last().icon, Message::Icon::Exclamation);
                QCOMPARE(run.removed, QStringList{file});
            }
            run.temp.removeAll();
        }
        QCOMPARE(outputs, (QStringList{recorded.at(0), recorded.at(2), recorded.at(1), recorded.at(3)}));
    }
};

KOVA_CORPUS_TEST_MAIN(QCoreApplication, TestRegConversion)
#include "tst_regconversion.moc"
