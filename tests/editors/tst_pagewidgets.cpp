// Each page's own widgets on the real window, what a form cannot see: the Policy and CheckBox pages'
// enabling and reactions, their action lists with the item editor, the pickers' answers in the fields;
// the suggestion list's two states, the Dropdown page's entry editor for items and action entries with
// its guards, and a number as the locale writes it.
#include "pagefixture.h"
#include "scriptedpickers.h"

#include "editors/actionlisteditor.h"
#include "editors/dropdownpage.h"
#include "editors/switchpage.h"
#include "editors/textpartpage.h"

#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>

using namespace kova;
using kova::test::kPressUpdate;
using kova::test::PageFixture;
using kova::test::ScriptedPickers;

class TestPageWidgets : public QObject
{
    Q_OBJECT

    static bool enabled(EditorPage *page, const char *name)
    {
        return page->findChild<QWidget *>(QString::fromLatin1(name))->isEnabled();
    }
    static QCheckBox *box(EditorPage *page, const char *name)
    {
        return page->findChild<QCheckBox *>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // What the loader enables, then the boxes' reactions to clicks.
    void reactionsFollowTheBoxes()
    {
        PageFixture f;
        EditorPage *page = f.edit("Plain");
        QVERIFY(enabled(page, "ValueOn") && !enabled(page, "ValueName") && !enabled(page, "OnValue"));
        QVERIFY(!enabled(page, "ListFrame"));
        box(page, "ValueOn")->click();
        QVERIFY(enabled(page, "OnValue") && enabled(page, "OnNumeric") && enabled(page, "OnDelete"));
        box(page, "OnDelete")->click();
        QVERIFY(!enabled(page, "OnValue") && !enabled(page, "OnNumeric"));
        box(page, "OnDelete")->click();
        QVERIFY(enabled(page, "OnValue") && enabled(page, "OnNumeric"));
        box(page, "OnNumeric")->click();
        QVERIFY(!enabled(page, "OnDelete"));
        box(page, "ValueOn")->click(); // cleared: its fields go grey but keep their state
        QVERIFY(!enabled(page, "OnValue") && !enabled(page, "OnNumeric"));
        QVERIFY(box(page, "OnNumeric")->isChecked());
        box(page, "DefaultName")->click();
        QVERIFY(enabled(page, "ValueName"));
        box(page, "ActionListOff")->click();
        QVERIFY(enabled(page, "EditOff"));
        box(page, "ValueOn")->click();
        f.field<QLineEdit>(page, "OnValue")->setText(QStringLiteral("12"));
        f.field<QLineEdit>(page, "ValueName")->setText(QStringLiteral("V"));
        box(page, "ActionListOff")->click();
        page->okButton()->click();
        QCOMPARE(f.slot("Plain"),
                 test::crlfText("POLICY \"Plain\"\nVALUENAME \"V\"\nVALUEON NUMERIC 12\nEND POLICY\n"));
    }

    // The item editor: Add from the list's menu (Ctrl+Alt+M, opened when the keys are let go) with
    // Update, Add with No Update, Edit with No Update, the guards of Ok and Cancel while it is active,
    // a refused Update, and the composed node.
    void itemEditorStateMachine()
    {
        PageFixture f;
        auto *page = static_cast<SwitchPage *>(f.edit("Hide clock"));
        ActionListEditor *lists = page->actionLists();
        QListWidget *on = lists->list(0);
        for (const char *name : {"OnValue", "OffValue", "ValueName", "OnList", "OnNumeric"})
            QVERIFY2(enabled(page, name), name);
        for (const char *name : {"OnDelete", "OffDelete", "EditOn", "EditOff", "ItemEditor"})
            QVERIFY2(!enabled(page, name), name);
        on->setFocus();
        QTest::keyRelease(on, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
        QTRY_VERIFY(lists->itemMenu()->isVisible());
        lists->itemMenu()->actions().at(1)->trigger();
        lists->itemMenu()->hide();
        QVERIFY(lists->itemEditorActive());
        QCOMPARE(itemTexts(on).last(), QStringLiteral("<new>"));
        QVERIFY(!on->isEnabled() && !lists->onBox()->isEnabled() && !enabled(page, "EditOff"));
        f.prompter.expect(kPressUpdate);
        page->okButton()->click();
        f.prompter.expect(kPressUpdate);
        page->cancelButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);

        f.field<QRadioButton>(page, "OptionValuename")->click();
        QVERIFY(enabled(page, "ItemValue"));
        QTest::keyClicks(f.field(page, "ItemName"), QStringLiteral("Level"));
        box(page, "ItemNumeric")->click();
        QVERIFY(!enabled(page, "ItemDelete"));
        QTest::keyClicks(f.field(page, "ItemValue"), QStringLiteral("high"));
        f.prompter.expect(QStringLiteral("Value is not numeric"), Message::Icon::None);
        f.field<QPushButton>(page, "Update")->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(lists->itemEditorActive());
        QCOMPARE(QApplication::focusWidget(), f.field(page, "ItemValue"));
        f.field<QLineEdit>(page, "ItemValue")->setText(QStringLiteral("3"));
        QTest::keyClick(f.field(page, "ItemValue"), Qt::Key_Return); // Enter in the item editor is Update
        QVERIFY(!lists->itemEditorActive());
        QCOMPARE(itemTexts(on).last(), QStringLiteral("VALUENAME \"Level\" VALUE NUMERIC 3"));
        QVERIFY(on->selectedItems().isEmpty());
        QVERIFY(on->isEnabled() && !enabled(page, "EditOn"));

        lists->addEntry();
        f.field<QPushButton>(page, "NoUpdate")->click();
        QCOMPARE(on->count(), 3);
        on->setCurrentRow(0);
        lists->editEntry();
        QCOMPARE(f.field<QLineEdit>(page, "ItemName")->text(), QStringLiteral("Software\\Policies\\Clock\\Extra"));
        QVERIFY(!enabled(page, "ItemValue"));
        f.field<QLineEdit>(page, "ItemName")->setText(QStringLiteral("Elsewhere"));
        QTest::keyClick(f.field(page, "ItemName"), Qt::Key_Escape); // Esc in the item editor is No Update
        QVERIFY(!lists->itemEditorActive());
        QVERIFY(f.w.editors().isOpen());
        QCOMPARE(on->item(0)->text(), QStringLiteral("KEYNAME \"Software\\Policies\\Clock\\Extra\""));

        on->setCurrentRow(1);
        QTest::keyClick(on, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(on->currentRow(), 2);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(
            f.slot("Hide clock"),
            test::crlfText("POLICY \"Hide clock\"\nKEYNAME \"Software\\Policies\\Clock\"\nVALUENAME \"HideClock\"\n"
                           "VALUEON NUMERIC 1\nVALUEOFF NUMERIC 0\nACTIONLISTON\n"
                           "KEYNAME \"Software\\Policies\\Clock\\Extra\"\nVALUENAME \"Level\"\nVALUE NUMERIC 3\n"
                           "VALUENAME \"Mode\"\nVALUE \"quiet\"\nEND ACTIONLISTON\nEND POLICY\n"));
        QVERIFY(!lists->list(0)->isEnabled()); // the page closed: the lists wait for the next loader
    }

    // The pickers get the page's key or the inherited one, and their answers land in the fields; the off
    // list takes the on list's place.
    void pickersFillTheFields()
    {
        PageFixture f;
        ScriptedPickers pickers;
        f.w.editors().setPickers(&pickers, &pickers);
        auto *page = static_cast<SwitchPage *>(f.edit("Plain"));
        QVERIFY(enabled(page, "KeySelect") && enabled(page, "ValueSelect"));
        pickers.answer = QStringLiteral("Software\\Picked");
        f.field<QPushButton>(page, "KeySelect")->click();
        QCOMPARE(f.field<QLineEdit>(page, "Keyname")->text(), QStringLiteral("Software\\Picked"));
        pickers.answer = QStringLiteral("Chosen");
        f.field<QPushButton>(page, "ValueSelect")->click();
        QCOMPARE(f.field<QLineEdit>(page, "ValueName")->text(), QStringLiteral("Chosen"));
        QVERIFY(!box(page, "DefaultName")->isChecked());
        QVERIFY(enabled(page, "ValueName"));
        pickers.answer = QStringLiteral("(Default)");
        f.field<QPushButton>(page, "ValueSelect")->click();
        QVERIFY(f.field<QLineEdit>(page, "ValueName")->text().isEmpty());
        QVERIFY(box(page, "DefaultName")->isChecked());
        QVERIFY(!enabled(page, "ValueName"));
        // The off list, shown in the place of the on list.
        ActionListEditor *lists = page->actionLists();
        lists->offBox()->click();
        f.field<QPushButton>(page, "EditOff")->click();
        QCOMPARE(f.w.editors().session().CurrentActionList, 1);
        QVERIFY(lists->list(1)->isVisible() && !lists->list(0)->isVisible());
        QVERIFY(!enabled(page, "EditOn") && !enabled(page, "EditOff")); // the on list is not in use here
        QCOMPARE(f.field<QGroupBox>(page, "ListFrame")->title(), QStringLiteral("Action list off"));
        lists->addEntry();
        QVERIFY(enabled(page, "ItemSelect"));
        pickers.answer = QStringLiteral("Sw\\Item");
        f.field<QPushButton>(page, "ItemSelect")->click();
        QCOMPARE(f.field<QLineEdit>(page, "ItemName")->text(), QStringLiteral("Sw\\Item"));
        lists->update();
        page->okButton()->click();
        QVERIFY(f.slot("Plain").contains(test::crlfText("ACTIONLISTOFF\nKEYNAME \"Sw\\Item\"\nEND ACTIONLISTOFF\n")));
        QCOMPARE(pickers.calls, (QStringList{"key HKEY_LOCAL_MACHINE [Software\\Desktop]",
                                             "value HKEY_LOCAL_MACHINE [] [Software\\Picked]",
                                             "value HKEY_LOCAL_MACHINE [Chosen] [Software\\Picked]",
                                             "key HKEY_LOCAL_MACHINE [Software\\Picked]"}));
    }

    void suggestionListBrowsingAndEditing()
    {
        PageFixture f;
        auto *page = static_cast<TextPartPage *>(f.edit("Colour"));
        QListWidget *list = page->suggestions();
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

    // A number typed the way the user's locale writes it goes into the template with a point.
    void numberIsWrittenWithoutLocaleMarks()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        PageFixture f;
        EditorPage *page = f.edit("Timeout");
        f.field<QLineEdit>(page, "Default")->setText(QStringLiteral("2,5"));
        page->okButton()->click();
        QLocale::setDefault(before);
        QVERIFY(f.slot("Timeout").contains(QStringLiteral("DEFAULT 2.5\r\n")));
    }

    void dropdownItemEditing()
    {
        PageFixture f;
        auto *page = static_cast<DropdownPage *>(f.edit("Style"));
        QListWidget *items = page->itemList();
        items->setCurrentRow(0);
        page->editItem();
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
        PageFixture f;
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
};

QTEST_MAIN(TestPageWidgets)
#include "tst_pagewidgets.moc"
