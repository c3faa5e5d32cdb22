// Action list items and blocks, the item editor's reading and writing of one item, the number test,
// list moves, and what the pickers are given and what their answers do; the entry form of a drop-down
// item. The pages' forms are data under tests/data/forms.
#include "forms/actionlist.h"
#include "forms/dropdownform.h"
#include "forms/editsession.h"
#include "forms/listmoves.h"
#include "forms/pickerglue.h"
#include "forms/pickers.h"
#include "forms/policyform.h"

#include "scriptedpickers.h"
#include "testfiles.h"

#include <QTest>

using namespace kova;

using kova::test::crlfText;
using kova::test::ScriptedPickers;

Q_DECLARE_METATYPE(kova::DropdownEntryForm)

namespace {

const QString kMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

} // namespace

class TestActionList : public QObject
{
    Q_OBJECT

private slots:
    void itemForm_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("checkBoxPage");
        QTest::addColumn<bool>("keyname");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<bool>("deleteValue");
        QTest::addColumn<bool>("defaultName");
        QTest::addColumn<QString>("composed");
        QTest::newRow("new") << "<new>" << false << true << ""
                             << "" << false << false << false << "KEYNAME \"\"";
        QTest::newRow("key") << "KEYNAME \"Software\\X\"" << false << true << "Software\\X"
                             << "" << false << false << false << "KEYNAME \"Software\\X\"";
        QTest::newRow("text") << "VALUENAME \"A\" VALUE \"x y\"" << false << false << "A"
                              << "x y" << false << false << false << "VALUENAME \"A\" VALUE \"x y\"";
        QTest::newRow("default name") << "VALUENAME \"\" VALUE \"x\"" << false << false << ""
                                      << "x" << false << false << true << "VALUENAME \"\" VALUE \"x\"";
        QTest::newRow("delete") << "VALUENAME \"D\" VALUE DELETE " << false << false << "D"
                                << "" << false << true << false << "VALUENAME \"D\" VALUE DELETE ";
        QTest::newRow("numeric") << "VALUENAME \"N\" VALUE NUMERIC 5" << false << false << "N"
                                 << "5" << true << false << false << "VALUENAME \"N\" VALUE NUMERIC 5";
        QTest::newRow("quoted number, policy page keeps quotes")
            << "VALUENAME \"N\" VALUE NUMERIC \"5\"" << false << false << "N"
            << "\"5\"" << true << false << false << "VALUENAME \"N\" VALUE NUMERIC \"5\"";
        QTest::newRow("quoted number, check box page unquotes")
            << "VALUENAME \"N\" VALUE NUMERIC \"5\"" << true << false << "N"
            << "5" << true << false << false << "VALUENAME \"N\" VALUE NUMERIC 5";
    }
    void itemForm()
    {
        QFETCH(QString, item);
        QFETCH(bool, checkBoxPage);
        QFETCH(bool, keyname);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(bool, numeric);
        QFETCH(bool, deleteValue);
        QFETCH(bool, defaultName);
        QFETCH(QString, composed);
        const ActionItemForm f =
            ActionItemForm::fromItem(item, checkBoxPage ? NumericItemValue::Unquoted : NumericItemValue::AsStored);
        QCOMPARE(f.keyname, keyname);
        QCOMPARE(f.name, name);
        QCOMPARE(f.value, value);
        QCOMPARE(f.numericValue, numeric);
        QCOMPARE(f.deleteValue, deleteValue);
        QCOMPARE(f.defaultName, defaultName);
        if (!numeric || checkBoxPage)
            QVERIFY(!f.validate());
        QCOMPARE(f.compose(), composed);
    }

    void itemNumberIsChecked()
    {
        ActionItemForm f;
        f.keyname = false;
        f.name = QStringLiteral("N");
        f.numericValue = true;
        f.value = QStringLiteral("five");
        const std::optional<FieldError> error = f.validate();
        QVERIFY(error);
        QCOMPARE(error->message, QStringLiteral("Value is not numeric"));
        QCOMPARE(error->icon, Message::Icon::None); // the item editor's message is a plain box
        QCOMPARE(error->field, int(ActionItemForm::Value));
        f.keyname = true; // the numeric box does not count for a key
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), QStringLiteral("KEYNAME \"N\""));
    }

    void isNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("number");
        const auto row = [](const char *name, const QString &text, const char *locale, bool number) {
            QTest::newRow(name) << text << QString(locale) << number;
        };
        row("plain", "42", "C", true);
        row("blanks and sign", "  -7 ", "C", true);
        row("plus", "+7", "C", true);
        row("decimal", "2.5", "C", true);
        row("decimal comma in German", "2,5", "de_DE", true);
        row("point in German", "2.5", "de_DE", false);
        row("empty", "", "C", false);
        row("blank", "  ", "C", false);
        row("sign alone", "-", "C", false);
        row("group separator", "1,000", "en_US", false);
        row("exponent", "1e3", "C", false);
        row("hexadecimal", "0x10", "C", false);
        row("inner blank", "1 2", "C", false);
        row("quoted", "\"5\"", "C", false);
        row("two separators", "1.2.3", "C", false);
        row("Arabic-Indic digits", QString::fromUtf8("\u0663"), "C", false);
    }
    void isNumber()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(bool, number);
        QCOMPARE(kova::isNumber(text, QLocale(locale)), number);
    }

    void moveTarget_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("target");
        QTest::newRow("down") << 3 << 0 << 1 << 1;
        QTest::newRow("up") << 3 << 2 << 0 << 1;
        QTest::newRow("last down") << 3 << 2 << 1 << -1;
        QTest::newRow("first up") << 3 << 0 << 0 << -1;
        QTest::newRow("one item") << 1 << 0 << 1 << -1;
        QTest::newRow("no selection") << 3 << -1 << 1 << -1;
        QTest::newRow("bad direction") << 3 << 1 << 2 << -1;
    }
    void moveTarget()
    {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(int, direction);
        QFETCH(int, target);
        QCOMPARE(kova::moveTarget(count, selected, direction), target);
    }

    void startKey_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("startKey");
        const auto row = [](const char *display, const char *startKey) {
            QTest::newRow(display) << QString(display) << QString(startKey);
        };
        row("HKEY_LOCAL_MACHINE\\Software\\X", "Software\\X");
        row("HKEY_CURRENT_USER\\Software\\Y", "Software\\Y");
        row("\\Software\\Z", ""); // a key without a hive
        row("", "");
    }
    void startKey()
    {
        QFETCH(QString, display);
        QFETCH(QString, startKey);
        QCOMPARE(startKeyFromDisplay(display), startKey);
    }

    // PickKeyName: what the key picker is given, and what stays in the field.
    void pickKey_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *field, const char *answer, const char *call,
                            const char *result) {
            QTest::newRow(name) << QString(field) << QString(answer) << QString(call) << QString(result);
        };
        row("empty field starts at the display", "", "Software\\New", "key HKEY_LOCAL_MACHINE [Software\\Inherited]",
            "Software\\New");
        row("field starts at itself", "Software\\Own", "Software\\Own\\Sub", "key HKEY_LOCAL_MACHINE [Software\\Own]",
            "Software\\Own\\Sub");
        row("nothing chosen keeps the field", "Software\\Own", "", "key HKEY_LOCAL_MACHINE [Software\\Own]",
            "Software\\Own");
    }
    void pickKey()
    {
        QFETCH(QString, field);
        QFETCH(QString, answer);
        QFETCH(QString, call);
        QFETCH(QString, result);
        ScriptedPickers pickers;
        pickers.answer = answer;
        QCOMPARE(PickKeyName(pickers, kMachine, field, QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Inherited")),
                 result);
        QCOMPARE(pickers.calls, QStringList{call});
    }

    void pickValue_data()
    {
        QTest::addColumn<QString>("keyField");
        QTest::addColumn<QString>("valueField");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("defaultName");
        const auto row = [](const char *name, const char *keyField, const char *valueField, const char *answer,
                            const char *call, const char *result, bool answered, bool defaultName) {
            QTest::newRow(name) << QString(keyField) << QString(valueField) << QString(answer) << QString(call)
                                << QString(result) << answered << defaultName;
        };
        row("name", "Software\\K", "Old", "New", "value HKEY_LOCAL_MACHINE [Old] [Software\\K]", "New", true, false);
        row("(Default) empties the field", "Software\\K", "Old", "(Default)",
            "value HKEY_LOCAL_MACHINE [Old] [Software\\K]", "", true, true);
        row("no key: the display's", "", "", "", "value HKEY_LOCAL_MACHINE [] [Software\\Inherited]", "", false, false);
        row("nothing chosen keeps the old name", "K", "Old", "", "value HKEY_LOCAL_MACHINE [Old] [K]", "Old", true,
            false);
    }
    void pickValue()
    {
        QFETCH(QString, keyField);
        QFETCH(QString, valueField);
        QFETCH(QString, answer);
        QFETCH(QString, call);
        QFETCH(QString, result);
        QFETCH(bool, answered);
        QFETCH(bool, defaultName);
        ScriptedPickers pickers;
        pickers.answer = answer;
        const ValuePick pick = PickValueName(pickers, kMachine, keyField, valueField,
                                             QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Inherited"));
        QCOMPARE(pickers.calls, QStringList{call});
        QCOMPARE(pick.field, result);
        QCOMPARE(pick.answered, answered);
        QCOMPARE(pick.defaultName, defaultName);
    }

    // The item pickers look for the nearest KEYNAME item above the selected one first.
    void pickItem_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("itemField");
        QTest::addColumn<QString>("keyCall");
        QTest::addColumn<QString>("valueCall");
        const auto row = [](const char *name, int selected, const char *itemField, const char *key) {
            QTest::newRow(name) << selected << QString(itemField)
                                << QStringLiteral("key HKEY_CURRENT_USER [%1]").arg(*itemField ? itemField : key)
                                << QStringLiteral("value HKEY_CURRENT_USER [%1] [%2]").arg(itemField, key);
        };
        row("nearest key above", 3, "", "Second");
        row("the item's own name for a key", 3, "Mine", "Second");
        row("none above: the page's key", 0, "", "PageKey");
    }
    void pickItem()
    {
        QFETCH(int, selected);
        QFETCH(QString, itemField);
        QFETCH(QString, keyCall);
        QFETCH(QString, valueCall);
        const QStringList items{"VALUENAME \"A\" VALUE \"1\"", "KEYNAME \"First\"", "KEYNAME \"Second\"",
                                "VALUENAME \"B\" VALUE \"2\""};
        const QString user = QStringLiteral("HKEY_CURRENT_USER");
        ScriptedPickers pickers;
        QCOMPARE(PickItemKeyName(pickers, user, items, selected, QStringLiteral("PageKey"), itemField, QString()),
                 itemField);
        PickItemValueName(pickers, user, items, selected, QStringLiteral("PageKey"), itemField, QString());
        QCOMPARE(pickers.calls, (QStringList{keyCall, valueCall}));
    }

    void clearedListBoxKeepsItemsButWritesNoBlock()
    {
        PolicyForm f = PolicyForm::load(makeEditLines(crlfText("POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTON\nVALUENAME "
                                                               "\"A\"\nVALUE \"x\"\nEND ACTIONLISTON\nEND POLICY\n")));
        f.listOn = false;
        QVERIFY(!f.validate());
        QVERIFY(!f.compose().contains(u"ACTIONLIST"));
    }

    // The entry editor reading an item or an action entry, and what Update makes of it.
    void entryForms_data()
    {
        QTest::addColumn<bool>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<bool>("deleteValue");
        QTest::addColumn<bool>("defaultMark");
        QTest::addColumn<QString>("composed");
        const auto row = [](const char *name, bool item, const char *text, const char *entryName, const char *value,
                            bool numeric, bool deleteValue, bool defaultMark, const char *composed) {
            QTest::newRow(name) << item << QString(text) << QString(entryName) << QString(value) << numeric
                                << deleteValue << defaultMark << QString(composed);
        };
        row("numeric default item", true, "NAME \"Blue\" VALUE NUMERIC 2 DEFAULT", "Blue", "2", true, false, true,
            "NAME \"Blue\" VALUE NUMERIC 2 DEFAULT");
        row("NODEFAULT inside quotes", true, "NAME \"N\" VALUE \"NODEFAULT\"", "N", "NODEFAULT", false, false, false,
            "NAME \"N\" VALUE \"NODEFAULT\"");
        row("delete item", true, "NAME \"Off\" VALUE DELETE", "Off", "", false, true, false,
            "NAME \"Off\" VALUE DELETE ");
        row("numeric action unquoted", false, "VALUENAME \"F\" VALUE NUMERIC \"3\"", "F", "3", true, false, false,
            "VALUENAME \"F\" VALUE NUMERIC 3");
        row("key action", false, "KEYNAME \"Software\\K\"", "Software\\K", "", false, false, false,
            "KEYNAME \"Software\\K\"");
    }
    void entryForms()
    {
        QFETCH(bool, item);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(bool, numeric);
        QFETCH(bool, deleteValue);
        QFETCH(bool, defaultMark);
        QFETCH(QString, composed);
        const DropdownEntryForm f = item ? DropdownEntryForm::fromItem(text) : DropdownEntryForm::fromAction(text);
        QCOMPARE(f.name, name);
        QCOMPARE(f.value, value);
        QCOMPARE(f.numericValue, numeric);
        QCOMPARE(f.deleteValue, deleteValue);
        QCOMPARE(f.defaultMark, defaultMark);
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), composed);
    }

    void entryRefusals_data()
    {
        QTest::addColumn<DropdownEntryForm>("form");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("exclamation");
        DropdownEntryForm item;
        QTest::newRow("item without name") << item << int(DropdownEntryForm::Name) << "Field is empty" << true;
        item.name = QStringLiteral("A");
        QTest::newRow("item without value") << item << int(DropdownEntryForm::Value) << "Field is empty" << true;
        item.numericValue = true;
        item.value = QStringLiteral("x");
        QTest::newRow("item number") << item << int(DropdownEntryForm::Value) << "Value is not numeric" << false;
        DropdownEntryForm action;
        action.target = DropdownEntryForm::Target::Action;
        QTest::newRow("action of no kind")
            << action << int(DropdownEntryForm::Name) << "Choose Keyname or Valuename for this entry first." << false;
        action.option = DropdownEntryForm::Option::Valuename;
        action.numericValue = true;
        QTest::newRow("action number") << action << int(DropdownEntryForm::Value) << "Value is not numeric" << false;
    }
    void entryRefusals()
    {
        QFETCH(DropdownEntryForm, form);
        QFETCH(int, field);
        QFETCH(QString, message);
        QFETCH(bool, exclamation);
        const std::optional<FieldError> error = form.validate();
        QVERIFY(error);
        QCOMPARE(error->field, field);
        QCOMPARE(error->message, message);
        QCOMPARE(error->icon, exclamation ? Message::Icon::Exclamation : Message::Icon::None);
    }
};

QTEST_GUILESS_MAIN(TestActionList)
#include "tst_actionlist.moc"
