// The frame every page shares, on the real window: opening a page from the tree, the tabs and the
// tree while it is open, the field rules, the commit with its messages and its focus, Cancel, and
// the keys.
#include "pagefixture.h"

#include "editors/editorfield.h"

#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
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

    // Each kind opens its own tab; the root, a class and a kind without a page open nothing.
    void editNodeOpensThePageForItsKind_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("tab");
        QTest::newRow("category") << "Desktop" << 1;
        QTest::newRow("policy") << "Hide clock" << 2;
        QTest::newRow("check box") << "Show seconds" << 3;
        QTest::newRow("text") << "Read the manual" << 9;
        QTest::newRow("drop-down list") << "Style" << 5;
        QTest::newRow("root") << "Computer" << -1;
        QTest::newRow("class") << "Machine" << -1;
    }
    void editNodeOpensThePageForItsKind()
    {
        QFETCH(QString, caption);
        QFETCH(int, tab);
        PageFixture f;
        EditorPage *page = f.edit(qPrintable(caption));
        QTabWidget *tabs = f.w.tabs();
        if (tab < 0) {
            QVERIFY(!page);
            QCOMPARE(tabs->currentIndex(), 0);
            QVERIFY(tabs->isTabEnabled(0));
            QVERIFY(f.w.treePanel()->treeView()->isVisible());
            return;
        }
        QVERIFY(page);
        QCOMPARE(tabs->currentIndex(), tab);
        QCOMPARE(tabs->currentWidget(), page);
        for (int t = 0; t < 10; ++t)
            QCOMPARE(tabs->isTabEnabled(t), t == tab);
        QVERIFY(f.w.treePanel()->treeView()->isHidden());
        QVERIFY(f.w.controller().EditScreenOpen(false));
        QVERIFY(f.field<QLabel>(page, "Heading")->text().contains(caption));
        QCOMPARE(QApplication::focusWidget(), f.field(page, "Description"));
        // While a page is open, the tree's edit commands open nothing else.
        f.w.treePanel()->editSelected();
        QCOMPARE(tabs->currentIndex(), tab);
        page->cancelButton()->click();
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!tabs->isTabEnabled(tab));
        QVERIFY(f.w.treePanel()->treeView()->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.w.treePanel()->treeView());
    }

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

    void fieldIsTrimmedWhenItLosesTheFocus()
    {
        PageFixture f;
        EditorPage *page = f.edit("Desktop");
        auto *keyname = f.field<QLineEdit>(page, "Keyname");
        keyname->setFocus();
        keyname->setText(QStringLiteral("  Software\\Spaced  "));
        f.field(page, "Description")->setFocus();
        QCOMPARE(keyname->text(), QStringLiteral("Software\\Spaced"));
    }

    void commitStoresCaptionSlotAndModifiedFlag()
    {
        PageFixture f;
        EditorPage *page = f.edit("Desktop");
        auto *description = f.field<QLineEdit>(page, "Description");
        auto *keyname = f.field<QLineEdit>(page, "Keyname");
        description->setText(QStringLiteral("Screen"));
        keyname->setText(QStringLiteral("Software\\Screen"));
        page->okButton()->click();
        QCOMPARE(f.node("Screen"), f.w.treePanel()->selectedNode());
        QCOMPARE(f.slot("Screen"), test::crlfText("CATEGORY \"Screen\"\nKEYNAME \"Software\\Screen\"\nEND CATEGORY\n"));
        QVERIFY(f.w.document().isModified());
        QCOMPARE(f.w.tabs()->currentIndex(), 0);
        QCOMPARE(f.w.treePanel()->Inhoud()->toPlainText(),
                 QStringLiteral("CATEGORY \"Screen\"\nKEYNAME \"Software\\Screen\"\nEND CATEGORY\n"));
        QCOMPARE(f.w.treePanel()->keyLabel()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Screen"));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // A refused "Ok": the message, the focus in the field named, nothing stored.
    void failedValidationKeepsThePageOpen_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusFirst");
        // The frame's rules once each: the focus moves before the message, or after it.
        const auto row = [](const char *caption, const char *field, const char *text, const char *message,
                            bool focusFirst) {
            QTest::newRow(caption) << QString(caption) << QString(field) << QString(text) << QString(message)
                                   << focusFirst;
        };
        row("Desktop", "Description", "  ", "Name is required", true);
        row("Hide clock", "ValueName", "", "Valuename is empty", false);
    }
    void failedValidationKeepsThePageOpen()
    {
        QFETCH(QString, caption);
        QFETCH(QString, fieldName);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, focusFirst);
        PageFixture f;
        const QString before = f.slot(qPrintable(caption));
        EditorPage *page = f.edit(qPrintable(caption));
        QWidget *field = f.field(page, qPrintable(fieldName));
        static_cast<QLineEdit *>(field)->setText(text);
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

    void enterIsOkAndEscapeIsCancel()
    {
        PageFixture f;
        EditorPage *page = f.edit("Read the manual");
        auto *description = f.field<QLineEdit>(page, "Description");
        QTest::keyClicks(description, QStringLiteral("Read it"));
        QTest::keyClick(description, Qt::Key_Return);
        QVERIFY(f.node("Read it"));
        QCOMPARE(f.slot("Read it"), test::crlfText("PART \"Read it\" TEXT\nEND PART\n"));
        f.w.document().setModified(false);
        page = f.edit("Read it");
        QTest::keyClicks(f.field(page, "Description"), QStringLiteral("Other"));
        QTest::keyClick(f.field(page, "Description"), Qt::Key_Escape);
        QVERIFY(!f.w.editors().isOpen());
        QCOMPARE(f.slot("Read it"), test::crlfText("PART \"Read it\" TEXT\nEND PART\n"));
        QCOMPARE(f.w.treePanel()->selectedNode()->text, QStringLiteral("Read it"));
        QVERIFY(!f.w.document().isModified());
    }

    // Keyboard focus follows the fields' visual order, Ok and Cancel last.
    void tabOrderFollowsTheFields()
    {
        PageFixture f;
        EditorPage *page = f.edit("Desktop");
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // "Select" is disabled without a registry browser, so it is passed over.
        QCOMPARE(order, (QStringList{"Description", "Keyname", "Ok", "Cancel"}));
        QVERIFY(!f.field(page, "KeySelect")->isEnabled());
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
            QList<QWidget *> controls;
            for (QWidget *w : page->findChildren<QWidget *>()) {
                const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                                     qobject_cast<QAbstractItemView *>(w) || qobject_cast<QPlainTextEdit *>(w);
                if (!control || !shownWith(w, page))
                    continue;
                controls.append(w);
                const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(where + w->objectName() + QStringLiteral(" has no name")));
                QVERIFY2(!names.contains(name), qPrintable(where + QStringLiteral("two controls named ") + name));
                names.append(name);
            }
            QVERIFY(controls.size() >= 3); // a name field, Ok and Cancel at least
            QString mnemonics;
            for (QWidget *w : page->findChildren<QWidget *>()) {
                auto *label = qobject_cast<QLabel *>(w);
                auto *button = qobject_cast<QAbstractButton *>(w);
                const QString text = label ? label->text() : button ? button->text() : QString();
                const qsizetype amp = text.indexOf(u'&');
                if (amp < 0 || amp + 1 >= text.size() || !shownWith(w, page))
                    continue;
                QVERIFY2(!label || label->buddy(), qPrintable(where + text + QStringLiteral(" leads nowhere")));
                const QChar key = text.at(amp + 1).toLower();
                QVERIFY2(!mnemonics.contains(key), qPrintable(where + QStringLiteral("mnemonic clash at ") + text));
                mnemonics.append(key);
            }
            // The tab chain: from the page on, every control comes before Ok, and Cancel right after it.
            QList<QWidget *> chain;
            for (QWidget *w = page->nextInFocusChain(); w != page && chain.size() < 5000; w = w->nextInFocusChain())
                chain.append(w);
            const qsizetype ok = chain.indexOf(page->okButton());
            QCOMPARE(chain.value(ok + 1), static_cast<QWidget *>(page->cancelButton()));
            for (QWidget *w : std::as_const(controls)) {
                if (w != page->okButton() && w != page->cancelButton() && (w->focusPolicy() & Qt::TabFocus))
                    QVERIFY2(chain.indexOf(w) < ok, qPrintable(where + w->objectName() + QStringLiteral(" after Ok")));
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
};

QTEST_MAIN(TestEditorFrame)
#include "tst_editorframe.moc"
