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

// What one conversion did besides its result.
struct Run
{
    bool converted = false;
    QString path; // the result file on success, else the input unchanged
    QByteArray output;
    QStringList added;
    QStringList removed;
    QList<bool> busy;
    int eventTurns = 0;
    QList<qint64> done; // how far the reading had come at each turn
    qint64 total = -1;
    TempFiles temp;
};

// Records what the conversion tells its host.
class RecordingHost : public ConversionHost
{
public:
    explicit RecordingHost(Run &run) : m_run(run) {}
    void setBusy(bool busy) override { m_run.busy.append(busy); }
    void progress(qint64 done, qint64 total) override
    {
        ++m_run.eventTurns;
        m_run.done.append(done);
        m_run.total = total;
    }
    void addRecentFile(const QString &path) override { m_run.added.append(path); }
    void removeRecentFile(const QString &path) override { m_run.removed.append(path); }

private:
    Run &m_run;
};

const QString kNulReason =
    QStringLiteral(" not converted because value contains a NUL character which cannot be used in templates");

} // namespace

class TestRegConversion : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp; // the temporary folder of every scratch file made here
    QTemporaryDir m_inputs;
    int m_count = 0;

    QString writeInput(const QByteArray &bytes)
    {
        const QString path = m_inputs.filePath(QStringLiteral("export%1.reg").arg(++m_count));
        test::writeBytes(path, bytes);
        return path;
    }

    void convertFile(Run &run, const QString &input, Prompter &prompter)
    {
        RecordingHost host(run);
        run.path = input;
        run.converted = ConvertRegFile(run.path, prompter, run.temp, host);
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
        const QByteArray input = crlf("[HKEY_CLASSES_ROOT\\.adm]\n"
                                      "@=\"ADM.Document\"\n"
                                      "[HKEY_CURRENT_USER\\Software\\Policies\\Demo]\n"
                                      "\"Name\"=\"C:\\\\Temp\"\n"
                                      "\"Count\"=dword:0000000a\n"
                                      "\"Big\"=dword:00002710\n"
                                      "\"Raw\"=hex:01,02\n");
        const QByteArray expected =
            crlf("class user\n"
                 "category \"[HKEY_CURRENT_USER\\Software\\Policies\\Demo]\"\n"
                 "keyname \"Software\\Policies\\Demo\"\n"
                 "policy \"Name\"\n"
                 "part \"Name\" edittext\n"
                 "valuename \"Name\"\n"
                 "default \"C:\\Temp\"\n"
                 "end part\n"
                 "end policy\n"
                 "policy \"Count\"\n"
                 "part \"Count\" numeric\n"
                 "valuename \"Count\"\n"
                 "default 10\n"
                 "end part\n"
                 "end policy\n"
                 "policy \"Big\"\n"
                 "part \"Entry Big not converted because the value for numeric is too large\" text\n"
                 "end part\n"
                 "end policy\n"
                 "policy \"Raw\"\n"
                 "part \"Entry Raw not converted because value is in HEX which cannot be used in "
                 "templates\" text\n"
                 "end part\n"
                 "end policy\n"
                 "end category\n");
        ScriptedPrompter prompter; // no question: the user key already lies under Policies
        Run run;
        const QString input_ = writeInput(input);
        convertFile(run, input_, prompter);
        QVERIFY(run.converted);
        QCOMPARE(run.output, expected);
        QCOMPARE(run.added, QStringList{input_});
        QVERIFY(run.removed.isEmpty());
        QCOMPARE(run.busy, (QList<bool>{true, false}));
        QCOMPARE(run.eventTurns, 7);
        QCOMPARE(run.total, input.size());
        QCOMPARE(run.done.last(), input.size());
        QVERIFY(std::is_sorted(run.done.begin(), run.done.end()));
        // machine, user and discard scratch files, then the result; all temporary, all listed
        const QStringList temp = run.temp.paths();
        QCOMPARE(temp.size(), 4);
        QCOMPARE(temp.last(), run.path);
        for (const QString &t : temp) {
            QVERIFY(QFileInfo(t).fileName().startsWith(QStringLiteral("ADM")));
            QVERIFY(t.endsWith(QStringLiteral(".tmp")));
            QCOMPARE(QFileInfo(t).absolutePath(), QDir(m_tmp.path()).canonicalPath());
        }
        QCOMPARE(test::readBytes(temp.at(0)), QByteArray());
        QCOMPARE(test::readBytes(temp.at(2)), crlf("category \"[HKEY_CLASSES_ROOT\\.adm]\"\nkeyname \".adm\"\n"
                                                   "policy \"(Default)\"\npart \"(Default)\" edittext\n"
                                                   "valuename \"(Default)\"\ndefault \"ADM.Document\"\nend part\n"
                                                   "end policy\nend category\n"));
        KOVA_VERIFY_PROMPTS_DONE(prompter);

        // The same export as regedit writes it today: UTF-16LE with a byte-order mark, blank lines, header.
        const QString unicode =
            QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(input);
        TextEncoding encoding = TextEncoding::Utf16LE;
        Run wide;
        convert(wide, encodeText(unicode, encoding).prepend(QByteArray()), prompter);
        QCOMPARE(encoding, TextEncoding::Utf16LE);
        QVERIFY(wide.converted);
        QCOMPARE(wide.output, expected);
    }

    void conversions_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("answer"); // 0: no question expected, 1: Yes, 2: No
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("loads"); // the loader takes the result

        const QByteArray valueX =
            "policy \"X\"\npart \"X\" edittext\nvaluename \"X\"\ndefault \"1\"\nend part\nend policy\n";
        QTest::newRow("user only") << QByteArray(
                                          "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Policies\\U]\n\"X\"=\"1\"\n")
                                   << 0
                                   << "class user\ncategory \"[HKEY_CURRENT_USER\\Software\\Policies\\U]\"\n"
                                      "keyname \"Software\\Policies\\U\"\n" +
                                          valueX + "end category\n"
                                   << true;
        QTest::newRow("machine only") << QByteArray("[HKEY_LOCAL_MACHINE\\Software\\Policies\\M]\n\"X\"=\"1\"\n") << 0
                                      << "class machine\ncategory \"[HKEY_LOCAL_MACHINE\\Software\\Policies\\M]\"\n"
                                         "keyname \"Software\\Policies\\M\"\n" +
                                             valueX + "end category\n"
                                      << true;
        QTest::newRow("machine after user comes first")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Policies\\U1]\n[HKEY_LOCAL_MACHINE\\Software\\Policies\\M]\n"
                          "\"X\"=\"1\"\n[HKEY_CURRENT_USER\\Software\\Policies\\U2]\n")
            << 0
            << "class machine\ncategory \"[HKEY_LOCAL_MACHINE\\Software\\Policies\\M]\"\nkeyname "
               "\"Software\\Policies\\M\"\n" +
                   valueX +
                   "end category\n"
                   "class user\ncategory \"[HKEY_CURRENT_USER\\Software\\Policies\\U1]\"\nkeyname "
                   "\"Software\\Policies\\U1\"\n"
                   "end category\ncategory \"[HKEY_CURRENT_USER\\Software\\Policies\\U2]\"\nkeyname "
                   "\"Software\\Policies\\U2\"\n"
                   "end category\n"
            << true;
        QTest::newRow("9999 and 10000")
            << QByteArray("[HKEY_CURRENT_USER\\Policies\\N]\n\"A\"=dword:0000270f\n\"B\"=dword:00002710\n") << 0
            << QByteArray(
                   "class user\ncategory \"[HKEY_CURRENT_USER\\Policies\\N]\"\nkeyname \"Policies\\N\"\n"
                   "policy \"A\"\npart \"A\" numeric\nvaluename \"A\"\ndefault 9999\nend part\nend policy\n"
                   "policy \"B\"\npart \"Entry B not converted because the value for numeric is too large\" text\n"
                   "end part\nend policy\nend category\n")
            << true;
        QTest::newRow("DWORD and HEX in any case")
            << QByteArray(
                   "[HKEY_CURRENT_USER\\P]\n\"A\"=DWORD:0000000A\n\"B\"=Dword:0\n\"C\"=HEX:01\n\"D\"=hex(2):41,00\n"
                   "\"E\"=Hex(7):00\n\"F\"=dword:ffffffff\n")
            << 0
            << QByteArray("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
                          "policy \"A\"\npart \"A\" numeric\nvaluename \"A\"\ndefault 10\nend part\nend policy\n"
                          "policy \"B\"\npart \"B\" numeric\nvaluename \"B\"\ndefault 0\nend part\nend policy\n"
                          "policy \"C\"\npart \"Entry C not converted because value is in HEX which cannot be used in "
                          "templates\" text\nend part\nend policy\n"
                          "policy \"D\"\npart \"Entry D not converted because value is in HEX which cannot be used in "
                          "templates\" text\nend part\nend policy\n"
                          "policy \"E\"\npart \"Entry E not converted because value is in HEX which cannot be used in "
                          "templates\" text\nend part\nend policy\n"
                          "policy \"F\"\npart \"Entry F not converted because the value for numeric is too large\" "
                          "text\nend part\nend policy\n"
                          "end category\n")
            << true;
        QTest::newRow("backslash pairs")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"Path\"=\"C:\\\\\\\\Share\"\n\"Three\"=\"a\\\\\\b\"\n") << 0
            << QByteArray("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
                          "policy \"Path\"\npart \"Path\" edittext\nvaluename \"Path\"\ndefault \"C:\\\\Share\"\nend "
                          "part\nend policy\n"
                          "policy \"Three\"\npart \"Three\" edittext\nvaluename \"Three\"\ndefault \"a\\\\b\"\nend "
                          "part\nend policy\n"
                          "end category\n")
            << true;
        QTest::newRow("escaped quotes join the next line")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"A\"=\"x\\\"y\"\n  \"B\"=\"z  \n\"C\"=\"1\"\n") << 0
            << QByteArray("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
                          "policy \"A\"\npart \"Entry A not converted because value contains quotes which cannot be "
                          "used in templates\" text\n"
                          "end part\nend policy\n"
                          "policy \"C\"\npart \"C\" edittext\nvaluename \"C\"\ndefault \"1\"\nend part\nend policy\n"
                          "end category\n")
            << true;
        QTest::newRow("spaced value line") << QByteArray("[HKEY_CURRENT_USER\\P]\n\"Name\" = \"x\"\n") << 0
                                           << QByteArray("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname "
                                                         "\"P\"\npolicy \nend policy\nend category\n")
                                           << false;
        QTest::newRow("deleted key and value")
            << QByteArray("[-HKEY_LOCAL_MACHINE\\Software\\X]\n[HKEY_LOCAL_MACHINE\\Software\\Y]\n\"Gone\"=-\n") << 2
            << QByteArray("class machine\ncategory \"[-HKEY_LOCAL_MACHINE\\Software\\X]\"\nkeyname \"Software\\X\"\n"
                          "end category\ncategory \"[HKEY_LOCAL_MACHINE\\Software\\Y]\"\nkeyname \"Software\\Y\"\n"
                          "policy \"Gone\"\nend policy\nend category\n")
            << true;
        QTest::newRow("Policies on Yes")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Policies\\Before]\n[HKEY_CURRENT_USER\\Software\\Demo]\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\n[HKEY_CURRENT_"
                          "USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n[HKEY_CURRENT_"
                          "USER\\Software\\Policies\\After]\n")
            << 1
            << QByteArray(
                   "class machine\n"
                   "category \"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo]\"\nkeyname \"SOFTWARE\\Demo\"\nend category\n"
                   "category \"[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies]\"\n"
                   "keyname \"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\"\nend category\n"
                   "class user\n"
                   "category \"[HKEY_CURRENT_USER\\Software\\Policies\\Before]\"\nkeyname "
                   "\"Software\\Policies\\Before\"\nend category\n"
                   "category \"[HKEY_CURRENT_USER\\Software\\Policies\\Demo]\"\nkeyname "
                   "\"Software\\Policies\\Demo\"\nend category\n"
                   "category \"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Run]\"\n"
                   "keyname \"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Run\"\nend category\n"
                   "category \"[HKEY_CURRENT_USER\\Software\\Policies\\Policies\\After]\"\n"
                   "keyname \"Software\\Policies\\Policies\\After\"\nend category\n")
            << true;
        QTest::newRow("no rewrite on No, asked once")
            << QByteArray("[HKEY_CURRENT_USER\\Software\\Demo]\n[HKEY_LOCAL_MACHINE\\Software\\Demo]\n") << 2
            << QByteArray("class machine\ncategory \"[HKEY_LOCAL_MACHINE\\Software\\Demo]\"\nkeyname "
                          "\"Software\\Demo\"\nend category\n"
                          "class user\ncategory \"[HKEY_CURRENT_USER\\Software\\Demo]\"\nkeyname "
                          "\"Software\\Demo\"\nend category\n")
            << true;
        QTest::newRow("default value, continuation, skipped lines, other hives")
            << QByteArray(
                   "Windows Registry Editor Version 5.00\n; comment \"odd\n  [HKEY_CURRENT_USER\\Policies\\D]  \n"
                   "@=\"abc\\\n   def\"\n\t\"Tab\"=\"skipped\"\n[HKEY_USERS\\.DEFAULT\\X]\n\"U\"=dword:1\n")
            << 0
            << QByteArray(
                   "class user\ncategory \"[HKEY_CURRENT_USER\\Policies\\D]\"\nkeyname \"Policies\\D\"\n"
                   "policy \"(Default)\"\npart \"(Default)\" edittext\nvaluename \"(Default)\"\ndefault \"abcdef\"\n"
                   "end part\nend policy\nend category\n")
            << true;
        QTest::newRow("hex continuation lines")
            << QByteArray("[HKEY_CURRENT_USER\\P]\n\"H\"=hex(2):25,00,53,00,\\\n  00,00\n") << 0
            << QByteArray("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
                          "policy \"H\"\npart \"Entry H not converted because value is in HEX which cannot be used in "
                          "templates\" text\n"
                          "end part\nend policy\nend category\n")
            << true;
        // <NUL> stands for a NUL byte in the input.
        const QByteArray nulRefusal = "\" text\nend part\nend policy\n";
        QTest::newRow("NUL in a value")
            << QByteArray(
                   "[HKEY_CURRENT_USER\\P]\n\"A\"=\"x<NUL>y\"\n\"N<NUL>m\"=dword:1\n\"H\"=hex:00,<NUL>\n\"C\"=\"1\"\n")
            << 0
            << "class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
               "policy \"A\"\npart \"Entry A" +
                   kNulReason.toLatin1() + nulRefusal + "policy \"Nm\"\npart \"Entry Nm" + kNulReason.toLatin1() +
                   nulRefusal + "policy \"H\"\npart \"Entry H" + kNulReason.toLatin1() + nulRefusal +
                   "policy \"C\"\npart \"C\" edittext\nvaluename \"C\"\ndefault \"1\"\nend part\nend policy\n"
                   "end category\n"
            << true;
        QTest::newRow("NUL in a key name")
            << QByteArray("[HKEY_CURRENT_USER\\P\\K<NUL>ey]\n\"A\"=\"1\"\n\"B\"=dword:2\n[HKEY_CURRENT_USER\\P\\Next]\n"
                          "\"C\"=\"1\"\n")
            << 0
            << "class user\ncategory \"[HKEY_CURRENT_USER\\P\\Key]\"\nkeyname \"P\\Key\"\n"
               "policy \"A\"\npart \"Entry A" +
                   kNulReason.toLatin1() + nulRefusal + "policy \"B\"\npart \"Entry B" + kNulReason.toLatin1() +
                   nulRefusal +
                   "end category\ncategory \"[HKEY_CURRENT_USER\\P\\Next]\"\nkeyname \"P\\Next\"\n"
                   "policy \"C\"\npart \"C\" edittext\nvaluename \"C\"\ndefault \"1\"\nend part\nend policy\n"
                   "end category\n"
            << true;
        QTest::newRow("8-bit text stays byte for byte")
            << QByteArray("[HKEY_CURRENT_USER\\P\\Caf\xe9]\n\"N\xe4me\"=\"\x80 \xff\"\n") << 0
            << QByteArray(
                   "class user\ncategory \"[HKEY_CURRENT_USER\\P\\Caf\xe9]\"\nkeyname \"P\\Caf\xe9\"\n"
                   "policy \"N\xe4me\"\npart \"N\xe4me\" edittext\nvaluename \"N\xe4me\"\ndefault \"\x80 \xff\"\n"
                   "end part\nend policy\nend category\n")
            << true;
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

    void failures_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("value before any key") << QByteArray("REGEDIT4\n\"A\"=\"b\"\n[HKEY_CURRENT_USER\\P]\n")
                                              << QStringLiteral("Line 2: a value comes before the first key.");
        QTest::newRow("no key at all") << QByteArray("Windows Registry Editor Version 5.00\n\n; nothing\n")
                                       << QStringLiteral("The file holds no registry key.");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("The file holds no registry key.");
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
    }
    void failures()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        ScriptedPrompter prompter;
        prompter.expect(message, Message::Icon::Exclamation);
        Run run;
        const QString path = writeInput(crlf(input));
        convertFile(run, path, prompter);
        QVERIFY(!run.converted);
        QCOMPARE(run.path, path);
        QCOMPARE(run.removed, QStringList{path});
        QVERIFY(run.added.isEmpty());
        QCOMPARE(run.busy, (QList<bool>{true, false}));
        KOVA_VERIFY_PROMPTS_DONE(prompter);
    }

    void missingFile()
    {
        const QString path = m_inputs.filePath(QStringLiteral("nowhere.reg"));
        ScriptedPrompter prompter;
        prompter.expect(QStringLiteral("Cannot open %1: No such file or directory").arg(path),
                        Message::Icon::Exclamation);
        Run run;
        convertFile(run, path, prompter);
        QVERIFY(!run.converted);
        QCOMPARE(run.removed, QStringList{path});
        QVERIFY(run.temp.paths().isEmpty()); // no scratch file made
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
        QCOMPARE(
            decodeText(run.output, &read),
            QStringLiteral(
                "class user\r\ncategory \"[HKEY_CURRENT_USER\\Policies\\\u4e2d]\"\r\nkeyname \"Policies\\\u4e2d\"\r\n"
                "policy \"\u00e9\"\r\npart \"\u00e9\" edittext\r\nvaluename \"\u00e9\"\r\ndefault \"\u20ac \u4e2d\"\r\n"
                "end part\r\nend policy\r\nend category\r\n"));
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
        const auto at = [](int line, int offset) {
            return QStringLiteral("Line %1: the file ends in half a character; its last byte (at offset %2) is "
                                  "left out.")
                .arg(line)
                .arg(offset);
        };
        QTest::newRow("UTF-16LE, ends after a line end") << text << int(TextEncoding::Utf16LE) << at(5, size) << true;
        QTest::newRow("UTF-16BE, ends after a line end") << text << int(TextEncoding::Utf16BE) << at(5, size) << true;
        QTest::newRow("ends inside the last line")
            << text + QStringLiteral("; x") << int(TextEncoding::Utf16LE) << at(5, size + 6) << true;
        QTest::newRow("a character beyond 8 bits keeps UTF-16")
            << text + QStringLiteral("\"B\"=\"\u4e2d\"") << int(TextEncoding::Utf16LE) << at(5, size + 14) << false;
        QTest::newRow("intact: no message") << text << int(TextEncoding::Utf16LE) << QString() << true;
    }
    void halfCharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, encoding);
        QFETCH(QString, message);
        QFETCH(bool, eightBitOutput);
        TextEncoding chosen = TextEncoding(encoding);
        QByteArray bytes = encodeText(text, chosen);
        QCOMPARE(chosen, TextEncoding(encoding));
        if (!message.isEmpty())
            bytes += encoding == int(TextEncoding::Utf16LE) ? '\x41' : '\0'; // half of an "A"
        ScriptedPrompter prompter;
        if (!message.isEmpty())
            prompter.expect(message, Message::Icon::Exclamation);
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

    // Every export of the corpus converts, raw and written as Save As writes it, to what kova-cli
    // wrote before (data/corpus-reg-outputs.tsv holds the outputs' SHA-256).
    void corpusOutputsAsBefore_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("recorded"); // raw, raw-policies, saveas, saveas-policies-strings
        const QStringList files = test::corpusFiles(QStringLiteral("reg"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not there");
        QHash<QString, QStringList> recorded;
        const QList<QByteArray> lines =
            test::readBytes(QStringLiteral(KOVA_TEST_DATA "/corpus-reg-outputs.tsv")).split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 3)
                recorded[QString::fromUtf8(fields.at(0))].append(QString::fromLatin1(fields.at(2)));
        }
        for (const QString &f : files)
            QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f << recorded.value(QFileInfo(f).fileName());
    }
    void corpusOutputsAsBefore()
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
            run.temp.removeAll();
        }
        QCOMPARE(outputs, (QStringList{recorded.at(0), recorded.at(2), recorded.at(1), recorded.at(3)}));
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
        QByteArray input = "[HKEY_CURRENT_USER\\P]\n\"A\"=\"1\"\n\n\"B\"=dword:2\n";
        input.replace("\n", ending);
        ScriptedPrompter prompter;
        Run run;
        convert(run, input, prompter);
        QVERIFY(run.converted);
        QCOMPARE(run.output,
                 crlf("class user\ncategory \"[HKEY_CURRENT_USER\\P]\"\nkeyname \"P\"\n"
                      "policy \"A\"\npart \"A\" edittext\nvaluename \"A\"\ndefault \"1\"\nend part\nend policy\n"
                      "policy \"B\"\npart \"B\" numeric\nvaluename \"B\"\ndefault 2\nend part\nend policy\n"
                      "end category\n"));
        QCOMPARE(run.eventTurns, 4);
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
        Run eight;
        convert(eight, ansi, prompter);
        QVERIFY(eight.converted);
        TextEncoding encoding = TextEncoding::Utf16LE;
        Run wide;
        convert(wide, encodeText(fromWindows1252(ansi), encoding), prompter);
        QVERIFY(wide.converted);
        QCOMPARE(eight.eventTurns, wide.eventTurns);
        QVERIFY(eight.output == wide.output);
        QVERIFY(
            eight.output.contains("policy \"Euro \x80\"\r\npart \"Euro \x80\" edittext\r\nvaluename \"Euro \x80\"\r\n"
                                  "default \"\x80 \xe9 C:\\x\"\r\n"));
    }

    void throttleIsDueAtMostOncePerInterval()
    {
        Throttle throttle(40);
        int due = 0;
        due += throttle.due();
        QCOMPARE(due, 1); // the first turn runs at once
        for (int i = 0; i < 1000; ++i)
            due += throttle.due();
        QCOMPARE(due, 1);
        QTest::qSleep(60);
        for (int i = 0; i < 64; ++i) // the clock is looked at every 64 turns
            due += throttle.due();
        QCOMPARE(due, 2);
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        const QStringList files = test::corpusFiles(QStringLiteral("reg"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not there");
        for (const QString &f : files)
            QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f;
    }
    void corpus()
    {
        QFETCH(QString, file);
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            ScriptedPrompter prompter;
            prompter.allowAnything(answer);
            Run run;
            convertFile(run, file, prompter);
            if (!run.converted) {
                // a failure shows exactly one message, with the exclamation icon
                QVERIFY(!prompter.messages().isEmpty());
                QCOMPARE(prompter.messages().last().icon, Message::Icon::Exclamation);
                QCOMPARE(run.removed, QStringList{file});
                continue;
            }
            QCOMPARE(run.added, QStringList{file});
            for (const Message &m : prompter.messages())
                QCOMPARE(m.text, kQuestion); // nothing else is asked or told
            TemplateDocument document;
            ScriptedPrompter loaderPrompter;
            loaderPrompter.allowAnything(Answer::No);
            const LoadResult loaded = Vullen(document, run.path, loaderPrompter);
            if (loaded.loaded()) {
                QVERIFY(loaderPrompter.messages().isEmpty());
            } else {
                // The one way a conversion yields what the loader refuses: a value line with spaces
                // around its "=" becomes a policy without a name. Opening it then fails with the
                // loader's message, and the program goes on.
                QCOMPARE(loaded.status, LoadResult::Status::Failed);
                QVERIFY(!loaderPrompter.messages().isEmpty());
                QVERIFY(run.output.contains("\r\npolicy \r\n"));
                qInfo("%s: converted, not loadable: %s", qPrintable(QFileInfo(file).fileName()),
                      qPrintable(loaderPrompter.messages().first().text));
            }
            run.temp.removeAll();
        }
    }
};

QTEST_GUILESS_MAIN(TestRegConversion)
#include "tst_regconversion.moc"
