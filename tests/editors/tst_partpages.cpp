// The Combobox, Edittext, Dropdown, Listbox and Numeric pages on the real window: the suggestion
// list's two states, the Dropdown page's entry editor for items and for action entries with its
// guards, and a commit through each page.
#include "pagefixture.h"

#include "editors/dropdownpage.h"
#include "editors/textpartpage.h"

#include <QListWidget>
#include <QMenu>
#include <QRadioButton>

using namespace kova;
using kova::test::kPressUpdate;
using kova::test::PageFixture;

namespace {

// Parts of every kind under one policy that inherits the category's key.
const QByteArray kParts = R"(CLASS MACHINE
CATEGORY "Apps"
KEYNAME "Software\Apps"
POLICY "Settings"
PART "Colour" COMBOBOX
VALUENAME "Col"
SUGGESTIONS
"red"
"blue"
END SUGGESTIONS
END PART
PART "Path" EDITTEXT
VALUENAME "Path"
EXPANDABLETEXT
END PART
PART "Style" DROPDOWNLIST
VALUENAME "Style"
ITEMLIST
NAME "Centered"
VALUE NUMERIC 0 DEFAULT
NAME "Tiled"
VALUE NUMERIC 1
ACTIONLIST
KEYNAME "Software\Apps\Tiles"
VALUENAME "Count"
VALUE NUMERIC 4
END ACTIONLIST
END ITEMLIST
END PART
PART "Servers" LISTBOX
END PART
PART "Timeout" NUMERIC
VALUENAME "Secs"
MIN 1
MAX 600
DEFAULT 5
END PART
END POLICY
END CATEGORY
)";

// The parts template opened in a window of its own.
struct PartsFixture : PageFixture
{
    PartsFixture()
    {
        QVERIFY(w.controller().LoadDocument(file(QStringLiteral("parts.adm"), kParts), false).loaded());
        w.document().setModified(false);
    }
};

} // namespace

class TestPartPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void suggestionListBrowsingAndEditing()
    {
        PartsFixture f;
        auto *page = static_cast<TextPartPage *>(f.edit("Colour"));
        QListWidget *list = page->suggestions();
        QCOMPARE(itemTexts(list), (QStringList{"red", "blue"}));
        QVERIFY(!f.field(page, "SuggestionEntry")->isEnabled());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Insert);
        QVERIFY(page->isEditingSuggestion());
        QVERIFY(!list->isEnabled());
        QCOMPARE(QApplication::focusWidget(), f.field(page, "SuggestionEntry"));
        QVERIFY(f.field<QLineEdit>(page, "SuggestionEntry")->text().isEmpty()); // "<new>" starts empty
        f.prompter.expect(kPressUpdate);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QTest::keyClicks(f.field(page, "SuggestionEntry"), QStringLiteral("  green "));
        QTest::keyClick(f.field(page, "SuggestionEntry"), Qt::Key_Return); // Update
        QCOMPARE(itemTexts(list), (QStringList{"red", "blue", "green"}));
        page->addEntry();
        QTest::keyClick(f.field(page, "SuggestionEntry"), Qt::Key_Escape); // No update drops "<new>"
        QCOMPARE(list->count(), 3);
        QVERIFY(f.w.editors().isOpen());
        list->setCurrentRow(0);
        page->editEntry();
        QCOMPARE(f.field<QLineEdit>(page, "SuggestionEntry")->text(), QStringLiteral("red"));
        page->noUpdateSuggestion();
        QCOMPARE(list->item(0)->text(), QStringLiteral("red"));
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(itemTexts(list), (QStringList{"red", "blue"}).mid(0, 1) + QStringList{"blue"});
        f.field<QCheckBox>(page, "NoSort")->click();
        page->okButton()->click();
        QCOMPARE(f.slot("Colour"), test::crlfText("PART \"Colour\" COMBOBOX\nVALUENAME \"Col\"\nSUGGESTIONS\n"
                                                  "\"red\"\n\"blue\"\nEND SUGGESTIONS\nNOSORT\nEND PART\n"));
    }

    // Each page's checks on the real fields: the message and where the focus goes.
    void pageChecks_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        // One field of each page: the rules themselves are the forms' own.
        const auto row = [](const char *caption, const char *field, const char *text, const char *message) {
            QTest::newRow(caption) << QString(caption) << QString(field) << QString(text) << QString(message);
        };
        row("Colour", "MaxLength", "ten", "Value is not numeric");
        row("Timeout", "Default", "0", "Default value is not within range");
        row("Style", "Description", "", "Dropdownlist name is empty");
        row("Servers", "Description", " ", "Description name is empty");
    }
    void pageChecks()
    {
        QFETCH(QString, caption);
        QFETCH(QString, fieldName);
        QFETCH(QString, text);
        QFETCH(QString, message);
        PartsFixture f;
        const QString before = f.slot(qPrintable(caption));
        EditorPage *page = f.edit(qPrintable(caption));
        QVERIFY(page);
        f.field<QLineEdit>(page, qPrintable(fieldName))->setText(text);
        f.prompter.expect(message, Message::Icon::Exclamation);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(QApplication::focusWidget(), f.field(page, qPrintable(fieldName)));
        QCOMPARE(f.slot(qPrintable(caption)), before);
        page->cancelButton()->click();
        QVERIFY(!f.w.editors().isOpen());
    }

    // A number typed the way the user's locale writes it goes into the template with a point.
    void numberIsWrittenWithoutLocaleMarks()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PartsFixture f;
        EditorPage *page = f.edit("Timeout");
        f.field<QLineEdit>(page, "Default")->setText(QStringLiteral("2,5"));
        page->okButton()->click();
        QLocale::setDefault(before);
        QVERIFY(f.slot("Timeout").contains(QStringLiteral("DEFAULT 2.5\r\n")));
    }

    void dropdownItemEditing()
    {
        PartsFixture f;
        auto *page = static_cast<DropdownPage *>(f.edit("Style"));
        QListWidget *items = page->itemList();
        QCOMPARE(items->currentRow(), 0);
        QVERIFY(page->actionList()->count() == 0);
        items->setCurrentRow(1);
        QCOMPARE(itemTexts(page->actionList()),
                 (QStringList{"KEYNAME \"Software\\Apps\\Tiles\"", "VALUENAME \"Count\" VALUE NUMERIC 4"}));
        items->setCurrentRow(0);
        page->editItem();
        QVERIFY(page->isEditingEntry());
        QCOMPARE(f.field<QLineEdit>(page, "EntryName")->text(), QStringLiteral("Centered"));
        QVERIFY(f.field<QCheckBox>(page, "NumericValue")->isChecked());
        QVERIFY(f.field<QCheckBox>(page, "DefaultMark")->isChecked());
        QVERIFY(!f.field(page, "OptionKeyname")->isEnabled());
        f.prompter.expect(kPressUpdate);
        page->cancelButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!f.field(page, "DeleteValue")->isEnabled()); // a number cannot be deleted
        f.field<QCheckBox>(page, "NumericValue")->click();
        f.field<QCheckBox>(page, "DeleteValue")->click();
        QVERIFY(!f.field(page, "NumericValue")->isEnabled());
        QVERIFY(!f.field(page, "DefaultMark")->isEnabled() && !f.field(page, "EntryValue")->isEnabled());
        QVERIFY(page->update());
        QCOMPARE(items->item(0)->text(), QStringLiteral("NAME \"Centered\" VALUE DELETE "));

        // A new item needs a name and a value.
        QTest::keyClick(items, Qt::Key_Insert);
        QTest::keyClicks(f.field(page, "EntryName"), QStringLiteral("Stretched"));
        f.prompter.expect(QStringLiteral("Field is empty"), Message::Icon::Exclamation);
        f.field<QPushButton>(page, "Update")->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(QApplication::focusWidget(), f.field(page, "EntryValue"));
        QTest::keyClicks(f.field(page, "EntryValue"), QStringLiteral("2"));
        f.field<QCheckBox>(page, "NumericValue")->click();
        QTest::keyClick(f.field(page, "EntryValue"), Qt::Key_Return);
        QCOMPARE(items->count(), 3);
        QCOMPARE(items->item(2)->text(), QStringLiteral("NAME \"Stretched\" VALUE NUMERIC 2"));

        // Moving an item keeps its action list with it; deleting one drops it.
        items->setCurrentRow(1);
        QTest::keyClick(items, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(items->currentRow(), 0);
        QCOMPARE(page->actionList()->count(), 2);
        QTest::keyClick(items, Qt::Key_Delete);
        QCOMPARE(items->count(), 2);
        QCOMPARE(items->currentRow(), 0);
        QCOMPARE(page->actionList()->count(), 0);
        page->okButton()->click();
        QCOMPARE(f.slot("Style"), test::crlfText("PART \"Style\" DROPDOWNLIST\nVALUENAME \"Style\"\nITEMLIST\n"
                                                 "NAME \"Centered\"\nVALUE DELETE\nNAME \"Stretched\"\n"
                                                 "VALUE NUMERIC 2\nEND ITEMLIST\nEND PART\n"));
    }

    void dropdownActionEditing()
    {
        PartsFixture f;
        auto *page = static_cast<DropdownPage *>(f.edit("Style"));
        QListWidget *actions = page->actionList();
        page->itemList()->setCurrentRow(1);
        actions->setCurrentRow(1);
        page->editAction();
        QVERIFY(f.field<QRadioButton>(page, "OptionValuename")->isChecked());
        QCOMPARE(f.field<QLineEdit>(page, "EntryName")->text(), QStringLiteral("Count"));
        QCOMPARE(f.field<QLineEdit>(page, "EntryValue")->text(), QStringLiteral("4"));
        QVERIFY(!f.field(page, "DefaultMark")->isEnabled()); // only items are marked as default
        f.field<QLineEdit>(page, "EntryValue")->setText(QStringLiteral("6"));
        QVERIFY(page->update());
        QCOMPARE(actions->item(1)->text(), QStringLiteral("VALUENAME \"Count\" VALUE NUMERIC 6"));

        // A new action entry: the kind comes first.
        page->addAction();
        QCOMPARE(QApplication::focusWidget(), f.field(page, "OptionKeyname"));
        f.prompter.expect(QStringLiteral("Choose Keyname or Valuename for this entry first."), Message::Icon::None);
        QVERIFY(!page->update());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        f.field<QRadioButton>(page, "OptionKeyname")->click();
        QVERIFY(f.field(page, "EntryName")->isEnabled() && !f.field(page, "EntryValue")->isEnabled());
        QTest::keyClicks(f.field(page, "EntryName"), QStringLiteral("Software\\Apps\\More"));
        QVERIFY(page->update());
        page->addAction();
        page->noUpdate();
        QCOMPARE(itemTexts(actions).size(), 3);
        // The item's own list changed: it comes back when the item is selected again.
        page->itemList()->setCurrentRow(0);
        page->itemList()->setCurrentRow(1);
        QCOMPARE(itemTexts(actions).last(), QStringLiteral("KEYNAME \"Software\\Apps\\More\""));
        page->okButton()->click();
        QVERIFY(f.slot("Style").contains(test::crlfText("ACTIONLIST\nKEYNAME \"Software\\Apps\\Tiles\"\n"
                                                        "VALUENAME \"Count\"\nVALUE NUMERIC 6\n"
                                                        "KEYNAME \"Software\\Apps\\More\"\nEND ACTIONLIST\n")));
    }

    void dropdownNeedsAnItem()
    {
        PartsFixture f;
        auto *page = static_cast<DropdownPage *>(f.edit("Style"));
        page->itemList()->setCurrentRow(0);
        page->deleteItem();
        page->deleteItem();
        QCOMPARE(page->itemList()->count(), 0);
        page->addAction(); // no item selected: nothing to add to
        QVERIFY(!page->isEditingEntry());
        f.prompter.expect(QStringLiteral("Minimum of one item required in list"), Message::Icon::Exclamation);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(QApplication::focusWidget(), page->itemList());
    }
};

QTEST_MAIN(TestPartPages)
#include "tst_partpages.moc"
