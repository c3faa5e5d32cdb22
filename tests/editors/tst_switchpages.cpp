// The Policy and CheckBox pages on the real window: the loaders' boxes and their enabling, the
// reactions, the action lists with their item editor, and the pickers' answers in the fields.
#include "pagefixture.h"
#include "scriptedpickers.h"

#include "editors/actionlisteditor.h"
#include "editors/switchpage.h"

#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>

using namespace kova;
using kova::test::kPressUpdate;
using kova::test::PageFixture;
using kova::test::ScriptedPickers;

class TestSwitchPages : public QObject
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

    // What the loaders set and enable, per node.
    void loadedState_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        QTest::newRow("numeric on and off")
            << "Hide clock" << QStringList{"ValueOn", "OnNumeric", "ValueOff", "OffNumeric", "ActionListOn"}
            << QStringList{"OnValue", "OffValue", "ValueName", "OnList", "OnNumeric"}
            << QStringList{"OnDelete", "OffDelete", "EditOn", "EditOff", "ItemEditor"};
        QTest::newRow("delete") << "Show seconds" << QStringList{"DefaultChecked", "ValueOn", "OnDelete"}
                                << QStringList{"OnDelete", "ValueName"}
                                << QStringList{"OnValue", "OnNumeric", "OffValue", "ListFrame", "EditOn"};
        QTest::newRow("(Default)") << "Plain" << QStringList{"DefaultName"} << QStringList{"ValueOn"}
                                   << QStringList{"ValueName", "OnValue", "ListFrame"};
    }
    void loadedState()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        PageFixture f;
        EditorPage *page = f.edit(qPrintable(caption));
        QStringList actuallyChecked;
        for (QCheckBox *b : page->findChildren<QCheckBox *>())
            if (b->isChecked())
                actuallyChecked << b->objectName();
        actuallyChecked.sort();
        checked.sort();
        QCOMPARE(actuallyChecked, checked);
        for (const QString &name : enabled)
            QVERIFY2(TestSwitchPages::enabled(page, qPrintable(name)), qPrintable(name));
        for (const QString &name : disabled)
            QVERIFY2(!TestSwitchPages::enabled(page, qPrintable(name)), qPrintable(name));
    }

    void reactionsFollowTheBoxes()
    {
        PageFixture f;
        EditorPage *page = f.edit("Plain");
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
        // The refusals show the page's wiring, the focus in the field named; the checks are the form's.
        f.prompter.expect(QStringLiteral("Valuename is empty"), Message::Icon::Exclamation);
        page->okButton()->click();
        QCOMPARE(QApplication::focusWidget(), f.field(page, "ValueName"));
        f.field<QLineEdit>(page, "ValueName")->setText(QStringLiteral("V"));
        f.prompter.expect(QStringLiteral("Action list has no actions. Uncheck this item or add actions"),
                          Message::Icon::Exclamation);
        page->okButton()->click();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(QApplication::focusWidget(), f.field(page, "ActionListOff"));
        box(page, "ActionListOff")->click();
        page->okButton()->click();
        QCOMPARE(f.slot("Plain"),
                 test::crlfText("POLICY \"Plain\"\nVALUENAME \"V\"\nVALUEON NUMERIC 12\nEND POLICY\n"));
    }

    // The item editor: Add with Update, Add with No Update, Edit with No Update, the guards of Ok and
    // Cancel while it is active, the numeric check, and the composed node.
    void itemEditorStateMachine()
    {
        PageFixture f;
        auto *page = static_cast<SwitchPage *>(f.edit("Hide clock"));
        ActionListEditor *lists = page->actionLists();
        QListWidget *on = lists->list(0);
        QCOMPARE(itemTexts(on),
                 (QStringList{"KEYNAME \"Software\\Policies\\Clock\\Extra\"", "VALUENAME \"Mode\" VALUE \"quiet\""}));
        on->setFocus();
        QTest::keyClick(on, Qt::Key_Insert);
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

        on->setCurrentRow(2);
        lists->moveEntry(0);
        QCOMPARE(on->currentRow(), 1);
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

    void listKeysAndMenu()
    {
        PageFixture f;
        auto *page = static_cast<SwitchPage *>(f.edit("Hide clock"));
        QListWidget *on = page->actionLists()->list(0);
        on->setFocus();
        on->setCurrentRow(0);
        QTest::keyClick(on, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(itemTexts(on).first(), QStringLiteral("VALUENAME \"Mode\" VALUE \"quiet\""));
        QCOMPARE(on->currentRow(), 1);
        QTest::keyClick(on, Qt::Key_Down, Qt::ControlModifier); // the last stays where it is
        QCOMPARE(on->currentRow(), 1);
        QTest::keyClick(on, Qt::Key_Delete);
        QCOMPARE(on->count(), 1);
        QTest::keyRelease(on, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
        QMenu *menu = page->actionLists()->itemMenu();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Add Entry"));
        menu->actions().at(1)->trigger();
        menu->hide();
        QVERIFY(page->actionLists()->itemEditorActive());
    }

    void showingTheOtherList()
    {
        PageFixture f;
        auto *page = static_cast<SwitchPage *>(f.edit("Hide clock"));
        ActionListEditor *lists = page->actionLists();
        lists->offBox()->click();
        f.field<QPushButton>(page, "EditOff")->click();
        QCOMPARE(f.w.editors().session().CurrentActionList, 1);
        QVERIFY(lists->list(1)->isVisible() && !lists->list(0)->isVisible());
        QVERIFY(enabled(page, "EditOn") && !enabled(page, "EditOff"));
        QCOMPARE(f.field<QGroupBox>(page, "ListFrame")->title(), QStringLiteral("Action list off"));
        lists->addEntry();
        QTest::keyClicks(f.field(page, "ItemName"), QStringLiteral("Software\\Off"));
        lists->update();
        page->okButton()->click();
        QVERIFY(f.slot("Hide clock")
                    .contains(test::crlfText("ACTIONLISTOFF\nKEYNAME \"Software\\Off\"\nEND ACTIONLISTOFF\n")));
    }

    // The pickers get the page's key or the inherited one, and their answers land in the fields.
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
        page->actionLists()->onBox()->click();
        f.field<QPushButton>(page, "EditOn")->click();
        page->actionLists()->addEntry();
        QVERIFY(enabled(page, "ItemSelect"));
        pickers.answer = QStringLiteral("Software\\Item");
        f.field<QPushButton>(page, "ItemSelect")->click();
        QCOMPARE(f.field<QLineEdit>(page, "ItemName")->text(), QStringLiteral("Software\\Item"));
        QCOMPARE(pickers.calls, (QStringList{"key HKEY_LOCAL_MACHINE [Software\\Desktop]",
                                             "value HKEY_LOCAL_MACHINE [] [Software\\Picked]",
                                             "value HKEY_LOCAL_MACHINE [Chosen] [Software\\Picked]",
                                             "key HKEY_LOCAL_MACHINE [Software\\Picked]"}));
    }
};

QTEST_MAIN(TestSwitchPages)
#include "tst_switchpages.moc"
