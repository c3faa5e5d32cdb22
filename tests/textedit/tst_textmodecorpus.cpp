#include "document/loader.h"
#include "document/writer.h"
#include "fakehost.h"
#include "testfiles.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

// Real templates through text mode: entering and choosing Update without touching the text gives
// back the same template, the same modified flag, and an editor that counts the written file's lines.
class TestTextModeCorpus : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tempDir;

    static QString savedAndReopened(const TemplateDocument &doc)
    {
        TemplateDocument copy;
        ScriptedPrompter quiet;
        quiet.allowAnything(Answer::Yes);
        const QString text = renderTemplate(doc, doc.stringsOption());
        if (!loadTemplateBytes(copy, text.toUtf8().prepend("\xef\xbb\xbf"), quiet, LoadOptions{false, true}).loaded())
            return QStringLiteral("(does not load again)");
        return renderTemplate(copy, false);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_tempDir.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
    }

    void untouchedUpdateGivesTheSameTemplate_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("no corpus");
        for (const QString &path : files) {
            if (path.endsWith(QStringLiteral(".adm"), Qt::CaseInsensitive))
                QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
        }
    }
    void untouchedUpdateGivesTheSameTemplate()
    {
        QFETCH(QString, path);
        FakeTextModeHost host;
        host.m_newerStatements = true;
        host.scripted().allowAnything(Answer::Yes); // remove conditional statements
        if (!host.open(path))
            QSKIP("does not load");
        for (const bool strings : {false, true}) {
            TemplateDocument &doc = host.document();
            doc.setStringsOption(strings);
            doc.setModified(strings);
            // What Save followed by Open gives: with the string table on, texts that differ only in
            // case share one entry, so the template may come back with one spelling for both.
            const QString before = savedAndReopened(doc);
            const int messages = int(host.scripted().messages().size());
            const int expectedLines = int(renderTemplate(doc, strings).count(QStringLiteral("\r\n"))) + 1;

            QVERIFY(host.controller().EnterTextMode());
            QCOMPARE(host.controller().LineCount(), expectedLines);
            QVERIFY(host.controller().TextModeUpdate());

            QCOMPARE(int(host.scripted().messages().size()), messages);
            const QString after = renderTemplate(doc, false);
            if (after != before) {
                qsizetype i = 0;
                while (i < after.size() && i < before.size() && after[i] == before[i])
                    ++i;
                const qsizetype from = qMax<qsizetype>(0, before.lastIndexOf(u'\n', i - 1) - 200);
                QFAIL(qPrintable(QStringLiteral("first difference at %1:\nbefore: %2\nafter:  %3")
                                     .arg(i)
                                     .arg(before.mid(from, i - from + 120), after.mid(from, i - from + 120))));
            }
            QCOMPARE(doc.isModified(), strings);
            QCOMPARE(doc.path(), path);
        }
    }
};

KOVA_CORPUS_TEST_MAIN(QApplication, TestTextModeCorpus)
#include "tst_textmodecorpus.moc"
