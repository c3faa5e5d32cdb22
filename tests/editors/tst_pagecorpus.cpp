// Templates through the real pages: for every node a page edits, "Cancel" leaves it byte for
// byte, and "Ok" without edits refuses or stores just what the page's form alone does, a text that a
// second "Ok" leaves as it is.
#include "pagefixture.h"

#include "../forms/okunchanged.h"
#include "document/nodekeys.h"

#include "testfiles.h"

#include <QFileInfo>

using namespace kova;
using kova::test::PageFixture;

class TestPageCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void okTwiceChangesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("every statement a page edits") << QStringLiteral(KOVA_TEST_DATA "/everystatement.adm");
        // One of each family of real templates, the largest among them, when the corpus is there.
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        for (const char *name : {"eladkarako__MicrosoftEdgePolicyTemplates__windows_adm_en-US_msedge.adm",
                                 "p0w3rsh3ll__SEC505__Day2-Hardening_ADM_Templates_Firefox-FrontMotion.ADM",
                                 "openfin__runtime-group-policy-template__openfin.adm",
                                 "p0w3rsh3ll__SEC505__Day2_ADM_Templates_SANS_Windows_Explorer_Annoyances.ADM"})
            for (const QString &f : files)
                if (QFileInfo(f).fileName() == QLatin1String(name))
                    QTest::newRow(name) << f;
    }
    void okTwiceChangesNothing()
    {
        QFETCH(QString, path);
        PageFixture f;
        f.prompter.allowAnything(Answer::Yes);
        f.w.controller().setNewerStatements(true);
        QVERIFY(f.w.controller().LoadDocument(path, false).loaded());
        QList<TemplateNode *> nodes;
        f.w.document().root()->forEach([&](TemplateNode *n) { nodes.append(n); });
        QSet<EditorKind> committed;
        for (TemplateNode *node : std::as_const(nodes)) {
            const QString before = f.w.document().nodeText(node);
            f.w.treePanel()->selectNode(node);
            f.w.editors().EditNode(node);
            if (!f.w.editors().isOpen())
                continue;
            const EditorKind kind = f.w.editors().session().kind();
            EditorPage *page = f.w.editors().page(kind);
            page->cancelButton()->click();
            QCOMPARE(f.w.document().nodeText(node), before);
            const test::Composed form =
                test::okUnchanged(kind, makeEditLines(before), ActiveKeyPath(f.w.document(), node));
            f.w.editors().EditNode(node);
            const int messages = int(f.prompter.messages().size());
            page->okButton()->click();
            QVERIFY2(f.w.editors().isOpen() != form.valid, qPrintable(before));
            if (!form.valid) { // refused: the node must be as it was
                QVERIFY(f.prompter.messages().size() > messages);
                page->cancelButton()->click();
                QCOMPARE(f.w.document().nodeText(node), before);
                continue;
            }
            const QString first = f.w.document().nodeText(node);
            QCOMPARE(first, form.text);
            QCOMPARE(node->text, form.caption);
            f.w.editors().EditNode(node);
            page->okButton()->click();
            QVERIFY(!f.w.editors().isOpen());
            QCOMPARE(f.w.document().nodeText(node), first);
            committed.insert(kind);
        }
        QVERIFY(!committed.isEmpty());
        if (path.startsWith(QStringLiteral(KOVA_TEST_DATA)))
            QCOMPARE(committed.size(), 9); // every page
    }
};

KOVA_CORPUS_TEST_MAIN(QApplication, TestPageCorpus)
#include "tst_pagecorpus.moc"
