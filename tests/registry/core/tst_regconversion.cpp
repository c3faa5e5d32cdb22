// Converting registry exports into templates where data cases cannot reach: a large export read a block
// at a time, the event throttle, and the whole corpus. The cases are data under tests/data/registry.
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
        QVERIFY(eight.output.contains(
            crlf("part \"Euro \x80\" edittext\nvaluename \"Euro \x80\"\ndefault \"\x80 \xe9 C:\\x\"\n")));
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
