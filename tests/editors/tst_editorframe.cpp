// The frame every page shares, on the real window: opening a page from the tree, the tabs and the
// tree while it is open, the fields' own rules, the commit and the Edit menu's undo of it, a refused
// Ok with its message and focus, Cancel, and the keys. Then walks over every page (names, mnemonics,
// the tab chain) and over every node of real templates (Cancel leaves it, Ok stores what its form does).
#include "pagefixture.h"

#include "../forms/okunchanged.h"
#include "document/nodekeys.h"
#include "editors/editorfield.h"

#include "app/historyactions.h"
#include "app/templatetreeview.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

#include <QAccessible>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>

using namespace kova;
using kova::test::PageFixture;

namespace {

// Whether w shows when page does: nothing between them was hidden on purpose. (isVisibleTo tells
// this only once page has been shown.)
bool shownWith(const QWidget *w, const QWidget *page)
{
    for (; w && w != page; w = w->parentWidget())
        if (w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            return false;
    return true;
}

} // namespace

class TestEditorFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void treeKeysAndMenuOpenThePage()
    {
        PageFixture f;
        QVERIFY(f.active);
        TemplateTreeView *tree = f.w.treePanel()->treeView();
        f.w.treePanel()->selectNode(f.node("Desktop"));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f.w.tabs()->currentIndex(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(f.w.tabs()->currentIndex(), 0);
        f.treeItem("M_EditNode")->trigger();
        QCOMPARE(f.w.tabs()->currentIndex(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        f.w.treePanel()->selectNode(f.node("Start"));
        const QModelIndex index = tree->currentIndex();
        // As the platform delivers a double click: press, release, double-click, release.
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &dbl);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(f.w.tabs()->currentIndex(), 1);
        QCOMPARE(f.w.editors().session().node(), f.node("Start"));
    }

    void quoteIsRefusedInEveryField()
    {
        PageFixture f;
        EditorPage *page = f.edit("Hide clock");
        const QList<EditorField *> fields = page->findChildren<EditorField *>();
        QVERIFY(fields.size() >= 7);
        for (EditorField *field : fields) {
            if (!field->isEnabled())
                continue;
            const QString before = field->text();
            field->setFocus();
            field->end(false);
            f.prompter.expect(QStringLiteral("Quote is not allowed in this field"), Message::Icon::None);
            QTest::keyClick(field, '"');
            QCOMPARE(field->text(), before);
            QTest::keyClicks(field, QStringLiteral("x"));
            QCOMPARE(field->text(), before + u'x');
        }
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // Escape is Cancel: nothing stored. A field is trimmed when it loses the focus. Enter is Ok: the node
    // stored and shown; the Edit menu names the step, refuses while a page is open, and its keys undo
    // and redo it.
    void commitThenUndoAndRedo()
    {
        PageFixture f;
        HistoryActions &menu = f.w.historyActions();
        const QString before = f.slot("Desktop");
        EditorPage *page = f.edit("Desktop");
        auto *description = f.field<QLineEdit>(page, "Description");
        QTest::keyClicks(description, QStringLiteral("Other"));
        QTest::keyClick(description, Qt::Key_Escape);
        QVERIFY(!f.w.editors().isOpen() && !f.w.document().isModified());
        QCOMPARE(f.slot("Desktop"), before);
        page = f.edit("Desktop");
        description->setText(QStringLiteral("Screen"));
        auto *keyname = f.field<QLineEdit>(page, "Keyname");
        keyname->setFocus();
        keyname->setText(QStringLiteral("  Software\\Screen  "));
        description->setFocus();
        QCOMPARE(keyname->text(), QStringLiteral("Software\\Screen"));
        QTest::keyClick(description, Qt::Key_Return);
        QCOMPARE(f.node("Screen"), f.w.treePanel()->selectedNode());
        QCOMPARE(f.slot("Screen"), test::crlfText("CATEGORY \"Screen\"\nKEYNAME \"Software\\Screen\"\nEND CATEGORY\n"));
        QVERIFY(f.w.document().isModified());
        QCOMPARE(f.w.tabs()->currentIndex(), 0);
        QCOMPARE(f.w.treePanel()->Inhoud()->toPlainText(),
                 QStringLiteral("CATEGORY \"Screen\"\nKEYNAME \"Software\\Screen\"\nEND CATEGORY\n"));
        QCOMPARE(f.w.treePanel()->keyLabel()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Screen"));
        QCOMPARE(menu.undoAction()->text(), QStringLiteral("Undo Edit category 'Screen'"));
        f.edit("Hide clock");
        QVERIFY(!menu.undoAction()->isEnabled()); // not while a page is open
        f.w.editors().session().cancel();
        QVERIFY(menu.undoAction()->isEnabled());
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.slot("Desktop"), before);
        QVERIFY(!f.w.document().isModified());
        QCOMPARE(f.w.treePanel()->selectedNode(), f.node("Desktop"));
        QCOMPARE(menu.redoAction()->text(), QStringLiteral("Redo Edit category 'Screen'"));
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(f.node("Screen"));
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(f.node("Screen"));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // Text mode, where undo waits, left with Update after an edit: one step after the commit before it.
    void textModeUpdateIsOneStep()
    {
        PageFixture f;
        HistoryActions &menu = f.w.historyActions();
        EditorPage *page = f.edit("Desktop");
        f.field<QLineEdit>(page, "Description")->setText(QStringLiteral("Screen"));
        page->okButton()->click();
        f.w.actions().item(QStringLiteral("M_TEdit"))->trigger();
        AdmTextEditor *editor = f.w.textMode()->editor();
        const QString text = editor->toPlainText().replace(QStringLiteral("Hide clock"), QStringLiteral("Show clock"));
        editor->selectAll();
        editor->insertPlainText(text); // as typed: an edit of the user's
        QVERIFY(!menu.undoAction()->isEnabled());
        QVERIFY(f.w.textMode()->TextModeUpdate());
        QCOMPARE(menu.undoAction()->text(), QStringLiteral("Undo Update from the text editor"));
        menu.undoAction()->trigger();
        QVERIFY(f.node("Hide clock") && f.node("Screen"));
        menu.redoAction()->trigger();
        QVERIFY(f.node("Show clock") && f.w.document().isModified());
    }

    // A refused Ok, once for each page's way of naming a field: the message, the focus in the field
    // named (moved before the message, or after it), nothing stored. The checks are the forms' own.
    void refusedOkKeepsThePageOpen_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("input"); // "Field=text" sets a field, "List" empties one, "Box" clicks one
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusFirst");
        const auto row = [](const char *caption, QStringList input, const char *message, bool focusFirst = true) {
            QTest::addRow("%s %s", caption, qPrintable(input.last()))
                << QString(caption) << input << QString(message) << focusFirst;
        };
        row("Desktop", {"Description=  "}, "Name is required");
        row("Hide clock", {"ValueName="}, "Valuename is empty", false);
        row("Plain", {"DefaultName", "ValueName=V", "ActionListOff"},
            "Action list has no actions. Uncheck this item or add actions");
        row("Colour", {"MaxLength=ten"}, "Value is not numeric");
        row("Timeout", {"Default=0"}, "Default value is not within range");
        row("Style", {"Description="}, "Dropdownlist name is empty");
        row("Style", {"Items"}, "Minimum of one item required in list");
        row("Servers", {"Description= "}, "Description name is empty");
    }
    void refusedOkKeepsThePageOpen()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, input);
        QFETCH(QString, message);
        QFETCH(bool, focusFirst);
        PageFixture f;
        const QString before = f.slot(qPrintable(caption));
        EditorPage *page = f.edit(qPrintable(caption));
        QWidget *field = nullptr;
        for (const QString &in : std::as_const(input)) {
            field = f.field(page, qPrintable(in.section(u'=', 0, 0)));
            if (in.contains(u'='))
                static_cast<QLineEdit *>(field)->setText(in.section(u'=', 1));
            else if (auto *list = qobject_cast<QListWidget *>(field))
                list->clear();
            else
                static_cast<QAbstractButton *>(field)->click();
        }
        QWidget *focusAtMessage = nullptr;
        f.prompter.whenAsked([&] { focusAtMessage = QApplication::focusWidget(); });
        f.prompter.expect(message, Message::Icon::Exclamation);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(focusAtMessage == field, focusFirst);
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(f.w.tabs()->currentWidget(), page);
        QCOMPARE(f.slot(qPrintable(caption)), before);
        QVERIFY(!f.w.document().isModified());
    }

    // Every page, for a screen reader and the keyboard: each control has a name of its own on the
    // page, each caption with a mnemonic leads to its field, no two mnemonics clash, and Tab reaches
    // every control before "Ok".
    void everyPageIsNamedAndReachable()
    {
        PageFixture f;
        for (int tab = kFirstEditorTab; tab <= kLastEditorTab; ++tab) {
            EditorPage *page = f.w.editors().page(EditorKind(tab));
            QVERIFY(page);
            const QString where = kindNoun(EditorKind(tab)) + QStringLiteral(" page: ");
            QStringList names;
            QString mnemonics;
            QList<QWidget *> controls;
            for (QWidget *w : page->findChildren<QWidget *>()) {
                if (!shownWith(w, page))
                    continue;
                auto *label = qobject_cast<QLabel *>(w);
                auto *button = qobject_cast<QAbstractButton *>(w);
                const QString text = label ? label->text() : button ? button->text() : QString();
                if (const qsizetype amp = text.indexOf(u'&'); amp >= 0 && amp + 1 < text.size()) {
                    QVERIFY2(!label || label->buddy(), qPrintable(where + text + QStringLiteral(" leads nowhere")));
                    const QChar key = text.at(amp + 1).toLower();
                    QVERIFY2(!mnemonics.contains(key), qPrintable(where + QStringLiteral("mnemonic clash at ") + text));
                    mnemonics.append(key);
                }
                if (!button && !qobject_cast<QLineEdit *>(w) && !qobject_cast<QAbstractItemView *>(w) &&
                    !qobject_cast<QPlainTextEdit *>(w))
                    continue;
                controls.append(w);
                const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(where + w->objectName() + QStringLiteral(" has no name")));
                QVERIFY2(!names.contains(name), qPrintable(where + QStringLiteral("two controls named ") + name));
                names.append(name);
            }
            // The tab chain: from the page on, Description first, every control before Ok, Cancel right after it.
            QList<QWidget *> chain;
            for (QWidget *w = page->nextInFocusChain(); w != page && chain.size() < 5000; w = w->nextInFocusChain())
                chain.append(w);
            const qsizetype first = chain.indexOf(f.field(page, "Description")), ok = chain.indexOf(page->okButton());
            QVERIFY(first >= 0);
            QCOMPARE(chain.value(ok + 1), static_cast<QWidget *>(page->cancelButton()));
            for (QWidget *w : std::as_const(controls)) {
                const qsizetype at = chain.indexOf(w);
                if (w != page->okButton() && w != page->cancelButton() && (w->focusPolicy() & Qt::TabFocus))
                    QVERIFY2(first <= at && at < ok, qPrintable(where + w->objectName() + QLatin1String(" misplaced")));
            }
        }
    }

    void pageFitsASmallScreen()
    {
        PageFixture f;
        f.w.resize(1024, 768);
        EditorPage *page = f.edit("Hide clock");
        QVERIFY(page->findChild<QScrollArea *>(QStringLiteral("PageScroll")));
        QVERIFY(f.w.minimumSizeHint().width() <= 1024);
        QVERIFY(f.w.minimumSizeHint().height() <= 768);
        QVERIFY(page->okButton()->isVisible());
    }

    // Every node a page edits, of a file holding every statement the pages edit and of real templates:
    // Cancel leaves it byte for byte; Ok without edits refuses, or stores just what the page's form
    // alone stores, a text that a second Ok leaves as it is.
    void everyNodeThroughItsPage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("every statement a page edits") << QStringLiteral(KOVA_TEST_DATA "/everystatement.adm");
        // One of each family of real templates, the largest among them, when the corpus is there.
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        for (const char *name : {"eladkarako__MicrosoftEdgePolicyTemplates__windows_adm_en-US_msedge.adm",
                                 "p0w3rsh3ll__SEC505__Day2-Hardening_ADM_Templates_Firefox-FrontMotion.ADM",
                                 "openfin__runtime-group-policy-template__openfin.adm",
                                 "p0w3rsh3ll__SEC505__Day2_ADM_Templates_SANS_Windows_Explorer_Annoyances.ADM"})
            for (const QString &file : files)
                if (QFileInfo(file).fileName() == QLatin1String(name))
                    QTest::newRow(name) << file;
    }
    void everyNodeThroughItsPage()
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
            QTabWidget *tabs = f.w.tabs();
            if (!f.w.editors().isOpen()) { // the root, a class: the tree stays
                QVERIFY(tabs->currentIndex() == 0 && f.w.treePanel()->treeView()->isVisible());
                continue;
            }
            const EditorKind kind = f.w.editors().session().kind();
            EditorPage *page = f.w.editors().page(kind);
            QCOMPARE(tabs->currentWidget(), page);
            for (int t = 0; t < 10; ++t)
                QCOMPARE(tabs->isTabEnabled(t), tabs->widget(t) == page);
            QVERIFY(f.w.treePanel()->treeView()->isHidden() && f.w.controller().EditScreenOpen(false));
            QVERIFY(f.field<QLabel>(page, "Heading")->text().contains(node->text));
            QCOMPARE(QApplication::focusWidget(), f.field(page, "Description"));
            f.w.treePanel()->editSelected(); // opens nothing else while a page is open
            page->cancelButton()->click();
            QCOMPARE(f.w.document().nodeText(node), before);
            QVERIFY(tabs->currentIndex() == 0 && f.w.treePanel()->treeView()->isVisible());
            QCOMPARE(QApplication::focusWidget(), f.w.treePanel()->treeView());
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

KOVA_CORPUS_TEST_MAIN(QApplication, TestEditorFrame)
#include "tst_editorframe.moc"
