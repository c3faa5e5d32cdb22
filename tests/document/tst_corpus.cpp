// Real templates written by others: every one loads (newer statements and conditional removal
// accepted), and load, write, load, write gives the same bytes twice.
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using kova::test::ScriptedPrompter;

namespace {

QByteArray loadAndWrite(const QString &input, const QString &output, bool strings, TextEncoding *encoding = nullptr)
{
    ScriptedPrompter prompter;
    prompter.allowAnything(Answer::Yes);
    TemplateDocument doc;
    if (!Vullen(doc, input, prompter, {false, true}).loaded())
        return {};
    if (encoding)
        *encoding = doc.encoding();
    doc.setPath(output);
    doc.setStringsOption(strings);
    if (!WriteTemplate(doc, prompter))
        return {};
    return test::readBytes(output);
}

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("strings");
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not beside this checkout");
        for (const QString &f : files) {
            QTest::newRow(qPrintable(QFileInfo(f).fileName() + " plain")) << f << false;
            QTest::newRow(qPrintable(QFileInfo(f).fileName() + " strings")) << f << true;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, path);
        QFETCH(bool, strings);
        QTemporaryDir dir;
        TextEncoding encoding = TextEncoding::Windows1252;
        const QByteArray first = loadAndWrite(path, dir.filePath("1.adm"), strings, &encoding);
        QVERIFY2(!first.isEmpty(), "the template did not load or write");
        const QByteArray second = loadAndWrite(dir.filePath("1.adm"), dir.filePath("2.adm"), strings);
        const QByteArray third = loadAndWrite(dir.filePath("2.adm"), dir.filePath("3.adm"), strings);
        QCOMPARE(third, second);
        if (!strings)
            QCOMPARE(second, first); // nothing to trim in plain mode: stable from the first write
        const QByteArray source = test::readBytes(path);
        if (source.startsWith("\xFF\xFE")) {
            QCOMPARE(encoding, TextEncoding::Utf16LE);
            QVERIFY(first.startsWith("\xFF\xFE"));
        } else {
            QVERIFY(!first.startsWith("\xFF\xFE"));
        }
    }

    void withoutNewerStatementsTheyStop()
    {
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not beside this checkout");
        int refused = 0;
        for (const QString &f : files) {
            ScriptedPrompter prompter;
            prompter.allowAnything(Answer::Yes);
            TemplateDocument doc;
            if (Vullen(doc, f, prompter).status == LoadResult::Status::Failed) {
                ++refused;
                QVERIFY(prompter.messages().last().text == QStringLiteral("File not loaded"));
            }
        }
        QCOMPARE(refused, files.size());
    }
};

KOVA_CORPUS_TEST_MAIN(QCoreApplication, TestCorpus)
#include "tst_corpus.moc"
