// The page forms without widgets: what each page reads from a node's lines and writes back, the
// worked examples byte for byte, and which check fails first.
#include "editors/core/categoryform.h"
#include "editors/core/checkboxform.h"
#include "editors/core/dropdownform.h"
#include "editors/core/editsession.h"
#include "editors/core/listboxform.h"
#include "editors/core/numericform.h"
#include "editors/core/policyform.h"
#include "editors/core/textform.h"
#include "editors/core/textpartform.h"
#include "okunchanged.h"
#include "testfiles.h"

#include <QTest>

using namespace kova;
using kova::test::crlfText;

Q_DECLARE_METATYPE(kova::PolicyForm)
Q_DECLARE_METATYPE(kova::CheckBoxForm)
Q_DECLARE_METATYPE(kova::NumericForm)
Q_DECLARE_METATYPE(kova::DropdownEntryForm)

namespace {

QStringList lines(const char *text)
{
    return makeEditLines(crlfText(text));
}

const QString kInherited = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Up");

const char *const kHideClock = R"(POLICY "Hide clock"
KEYNAME "Software\Policies\Clock"
VALUENAME "HideClock"
VALUEON NUMERIC 1
VALUEOFF NUMERIC 0
ACTIONLISTON
KEYNAME "Software\Policies\Clock\Extra"
VALUENAME "Mode"
VALUE "quiet"
END ACTIONLISTON
END POLICY
)";

PolicyForm hideClockForm()
{
    PolicyForm f;
    f.description = QStringLiteral("Hide clock");
    f.keyname = QStringLiteral("Software\\Policies\\Clock");
    f.valueName = QStringLiteral("HideClock");
    f.on = {true, QStringLiteral("1"), true, false};
    f.off = {true, QStringLiteral("0"), true, false};
    f.listOn = true;
    f.onItems = {QStringLiteral("KEYNAME \"Software\\Policies\\Clock\\Extra\""),
                 QStringLiteral("VALUENAME \"Mode\" VALUE \"quiet\"")};
    return f;
}

const QString kNumeric = QStringLiteral("Value is not numeric");
const QString kNoActions = QStringLiteral("Action list has no actions. Uncheck this item or add actions");

NumericForm numeric(const char *min, const char *max, const char *spin, const char *def)
{
    NumericForm f;
    f.description = QStringLiteral("N");
    f.keyname = QStringLiteral("K");
    f.valueName = QStringLiteral("V");
    f.min = QString::fromLatin1(min);
    f.max = QString::fromLatin1(max);
    f.spin = QString::fromLatin1(spin);
    f.defaultValue = QString::fromLatin1(def);
    return f;
}

} // namespace

class TestForms : public QObject
{
    Q_OBJECT

private slots:
    void hideClockComposesInTheDocumentedOrder()
    {
        const PolicyForm f = hideClockForm();
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), crlfText(kHideClock));
        const PolicyForm loaded = PolicyForm::load(lines(kHideClock));
        QCOMPARE(loaded.compose(), crlfText(kHideClock));
        QCOMPARE(loaded.onItems, f.onItems);
        QCOMPARE(loaded.caption(), QStringLiteral("Hide clock"));
    }

    void comboboxExample()
    {
        TextPartForm f;
        f.kind = TextPartForm::Kind::Combobox;
        f.description = QStringLiteral("Colour");
        f.keyname = QStringLiteral("Software\\Demo");
        f.valueName = QStringLiteral("Col");
        f.defaultText = QStringLiteral("red");
        f.maxLength = QStringLiteral(" 20 ");
        f.required = true;
        f.suggestions = {QStringLiteral("red"), QStringLiteral("blue")};
        f.noSort = true;
        const QString expected = crlfText("PART \"Colour\" COMBOBOX\nKEYNAME \"Software\\Demo\"\nVALUENAME \"Col\"\n"
                                          "DEFAULT \"red\"\nMAXLEN 20\nREQUIRED\nSUGGESTIONS\n\"red\"\n\"blue\"\n"
                                          "END SUGGESTIONS\nNOSORT\nEND PART\n");
        QVERIFY(!f.validate(QString()));
        QCOMPARE(f.compose(), expected);
        const TextPartForm loaded = TextPartForm::load(TextPartForm::Kind::Combobox, makeEditLines(expected));
        QCOMPARE(loaded.compose(), expected);
    }

    void numericExample()
    {
        NumericForm f = numeric("1", "600", "5", "30");
        f.description = QStringLiteral("Timeout");
        f.keyname = QStringLiteral("Software\\Demo");
        f.valueName = QStringLiteral("Secs");
        f.required = true;
        QVERIFY(!f.validate(QString()));
        const QString expected = crlfText("PART \"Timeout\" NUMERIC\nKEYNAME \"Software\\Demo\"\nVALUENAME \"Secs\"\n"
                                          "REQUIRED\nMIN 1\nMAX 600\nSPIN 5\nDEFAULT 30\nEND PART\n");
        QCOMPARE(f.compose(), expected);
        QCOMPARE(NumericForm::load(makeEditLines(expected)).compose(), expected);
    }

    void dropdownExample()
    {
        DropdownForm f;
        f.description = QStringLiteral("Colour");
        f.keyname = QStringLiteral("Software\\Demo");
        f.valueName = QStringLiteral("Col");
        f.required = true;
        f.items = {{QStringLiteral("NAME \"Red\" VALUE \"R\" DEFAULT"),
                    {QStringLiteral("VALUENAME \"Flag\" VALUE NUMERIC 1")}},
                   {QStringLiteral("NAME \"Off\" VALUE DELETE "), {}}};
        const QString expected =
            crlfText("PART \"Colour\" DROPDOWNLIST\nREQUIRED\nKEYNAME \"Software\\Demo\"\n"
                     "VALUENAME \"Col\"\nITEMLIST\nNAME \"Red\"\nVALUE \"R\" DEFAULT\nACTIONLIST\n"
                     "VALUENAME \"Flag\"\nVALUE NUMERIC 1\nEND ACTIONLIST\nNAME \"Off\"\nVALUE DELETE\n"
                     "END ITEMLIST\nEND PART\n");
        QVERIFY(!f.validate(QString()));
        QCOMPARE(f.compose(), expected);
        const DropdownForm loaded = DropdownForm::load(makeEditLines(expected));
        QCOMPARE(loaded.items.size(), 2);
        QCOMPARE(loaded.items.at(0).actions, f.items.at(0).actions);
        QCOMPARE(loaded.compose(), expected);
    }

    // A node's lines read by its page and written again: what the page keeps, normalises, orders and
    // drops. An empty output: written back as read.
    void loadCompose_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        const auto row = [](const char *name, EditorKind kind, const char *input, const char *output = "") {
            QTest::newRow(name) << int(kind) << crlfText(input) << crlfText(output);
        };
        row("policy: default value name", EditorKind::Policy,
            "POLICY \"P\"\nVALUENAME \"\"\nVALUEON \"1\"\nEND POLICY\n");
        row("policy: delete on", EditorKind::Policy,
            "POLICY \"P\"\nVALUENAME \"V\"\nVALUEON DELETE\nVALUEOFF \"x\"\nEND POLICY\n");
        row("policy: blanks trimmed", EditorKind::Policy,
            "POLICY \"  P \"\nKEYNAME \" Software\\X \"\nVALUENAME \"V\"\nVALUEON \" on \"\nEND POLICY\n",
            "POLICY \"P\"\nKEYNAME \"Software\\X\"\nVALUENAME \"V\"\nVALUEON \"on\"\nEND POLICY\n");
        row("policy: statements without a field dropped", EditorKind::Policy,
            "POLICY \"P\"\nEXPLAIN \"why\"\nSUPPORTED \"XP\"\nKEYNAME \"K\"\nEND POLICY\n",
            "POLICY \"P\"\nKEYNAME \"K\"\nEND POLICY\n");
        row("policy: KEYNAME in a block is not the policy's key", EditorKind::Policy,
            "POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTOFF\nKEYNAME \"Inner\"\nVALUENAME \"A\"\nVALUE DELETE\n"
            "END ACTIONLISTOFF\nEND POLICY\n");
        row("policy: later KEYNAME wins", EditorKind::Policy,
            "POLICY \"P\"\nKEYNAME \"A\"\nKEYNAME \"B\"\nEND POLICY\n", "POLICY \"P\"\nKEYNAME \"B\"\nEND POLICY\n");
        row("policy: numeric written unquoted", EditorKind::Policy,
            "POLICY \"P\"\nVALUENAME \"V\"\nVALUEON NUMERIC \"7\"\nEND POLICY\n",
            "POLICY \"P\"\nVALUENAME \"V\"\nVALUEON NUMERIC 7\nEND POLICY\n");
        row("policy: both blocks, OFF before ON in the node", EditorKind::Policy,
            "POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTOFF\nVALUENAME \"B\"\nVALUE NUMERIC 2\nEND ACTIONLISTOFF\n"
            "ACTIONLISTON\nVALUENAME \"A\"\nVALUE \"x\"\nEND ACTIONLISTON\nEND POLICY\n",
            "POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTON\nVALUENAME \"A\"\nVALUE \"x\"\nEND ACTIONLISTON\n"
            "ACTIONLISTOFF\nVALUENAME \"B\"\nVALUE NUMERIC 2\nEND ACTIONLISTOFF\nEND POLICY\n");
        row("checkbox: bare part", EditorKind::CheckBox, "PART \"C\" CHECKBOX\nEND PART\n");
        row("checkbox: DEFCHECKED right after PART", EditorKind::CheckBox,
            "PART \"C\" CHECKBOX\nKEYNAME \"K\"\nVALUENAME \"V\"\nDEFCHECKED\nVALUEON NUMERIC 1\nEND PART\n",
            "PART \"C\" CHECKBOX\nDEFCHECKED\nKEYNAME \"K\"\nVALUENAME \"V\"\nVALUEON NUMERIC 1\nEND PART\n");
        row("checkbox: default value name and lists", EditorKind::CheckBox,
            "PART \"C\" CHECKBOX\nVALUENAME \"\"\nVALUEOFF DELETE\nACTIONLISTON\nVALUENAME \"\"\nVALUE \"x\"\n"
            "END ACTIONLISTON\nEND PART\n");
        row("category: two lines stay two", EditorKind::Category, "CATEGORY \"Desktop\"\nEND CATEGORY\n");
        row("category: key kept, other lines dropped", EditorKind::Category,
            "CATEGORY \"Desktop\"\nEXPLAIN \"x\"\nKEYNAME \"Software\\D\"\nEND CATEGORY\n",
            "CATEGORY \"Desktop\"\nKEYNAME \"Software\\D\"\nEND CATEGORY\n");
        row("category: blank key writes no KEYNAME", EditorKind::Category,
            "CATEGORY \"D\"\nKEYNAME \"  \"\nEND CATEGORY\n", "CATEGORY \"D\"\nEND CATEGORY\n");
        row("text: only two lines kept", EditorKind::Text, "PART \"Note\" TEXT\nKEYNAME \"K\"\nEND PART\n",
            "PART \"Note\" TEXT\nEND PART\n");
        row("text: empty name", EditorKind::Text, "PART \"\" TEXT\nEND PART\n");
        row("text: blanks trimmed", EditorKind::Text, "PART \" a b \" TEXT\nEND PART\n",
            "PART \"a b\" TEXT\nEND PART\n");
        row("combobox: (Default) wins over a name", EditorKind::Combobox,
            "PART \"X\" COMBOBOX\nVALUENAME \"\"\nEND PART\n");
        row("combobox: NOSORT alone", EditorKind::Combobox, "PART \"X\" COMBOBOX\nVALUENAME \"V\"\nNOSORT\nEND PART\n");
        row("combobox: one empty suggestion", EditorKind::Combobox,
            "PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"\"\nEND SUGGESTIONS\nEND PART\n");
        row("combobox: suggestions without an end", EditorKind::Combobox,
            "PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\nb\nEND PART\n",
            "PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\n\"b\"\n\"END PART\"\nEND SUGGESTIONS\nEND "
            "PART\n");
        row("edittext: flags in their order", EditorKind::Edittext,
            "PART \" X \" EDITTEXT\nOEMCONVERT\nEXPANDABLETEXT\nREQUIRED\nMAXLEN 5\nDEFAULT \"d\"\nVALUENAME \"V\"\n"
            "KEYNAME \"K\"\nEND PART\n",
            "PART \"X\" EDITTEXT\nKEYNAME \"K\"\nVALUENAME \"V\"\nDEFAULT \"d\"\nMAXLEN 5\nREQUIRED\nEXPANDABLETEXT\n"
            "OEMCONVERT\nEND PART\n");
        row("edittext: no suggestions", EditorKind::Edittext,
            "PART \"X\" EDITTEXT\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\nEND SUGGESTIONS\nNOSORT\nEND PART\n",
            "PART \"X\" EDITTEXT\nVALUENAME \"V\"\nEND PART\n");
        row("listbox: example", EditorKind::Listbox,
            "PART \"Servers\" LISTBOX\nKEYNAME \"Software\\Demo\\List\"\nADDITIVE\nEND PART\n",
            "PART \"Servers\" LISTBOX\nKEYNAME \"Software\\Demo\\List\"\nVALUEPREFIX \"\"\nADDITIVE\nEND PART\n");
        row("listbox: unquoted prefix, flags in order", EditorKind::Listbox,
            "PART \"L\" LISTBOX\nADDITIVE\nVALUEPREFIX pre fix\nEXPLICITVALUE\nEND PART\n",
            "PART \"L\" LISTBOX\nVALUEPREFIX \"pre fix\"\nEXPLICITVALUE\nADDITIVE\nEND PART\n");
        row("numeric: numbers written as typed", EditorKind::Numeric,
            "PART \"N\" NUMERIC\nVALUENAME \"V\"\nTXTCONVERT\nREQUIRED\nDEFAULT 2.5\nMAX 2\nMIN 0\nEND PART\n",
            "PART \"N\" NUMERIC\nVALUENAME \"V\"\nREQUIRED\nTXTCONVERT\nMIN 0\nMAX 2\nDEFAULT 2.5\nEND PART\n");
        row("dropdown: what fits no form is skipped", EditorKind::Dropdown,
            "PART \"D\" DROPDOWNLIST\nVALUENAME \"V\"\nITEMLIST\nSTRAY\nNAME \"A\"\nVALUE NUMERIC 1\nACTIONLIST\n"
            "KEYNAME \"K\"\nJUNK\nVALUENAME \"F\"\nVALUE DELETE\nEND ACTIONLIST\nNAME \"B\"\nEND ITEMLIST\nEND PART\n",
            "PART \"D\" DROPDOWNLIST\nVALUENAME \"V\"\nITEMLIST\nNAME \"A\"\nVALUE NUMERIC 1\nACTIONLIST\n"
            "KEYNAME \"K\"\nVALUENAME \"F\"\nVALUE DELETE\nEND ACTIONLIST\nEND ITEMLIST\nEND PART\n");
    }
    void loadCompose()
    {
        QFETCH(int, kind);
        QFETCH(QString, input);
        QFETCH(QString, output);
        const test::Composed ok = test::okUnchanged(EditorKind(kind), makeEditLines(input), kInherited);
        QVERIFY(ok.valid);
        QCOMPARE(ok.text, output.isEmpty() ? input : output);
    }

    void deleteLoadsWithItsBoxes()
    {
        const PolicyForm f = PolicyForm::load(lines("POLICY \"P\"\nVALUENAME \"V\"\nVALUEON DELETE\nEND POLICY\n"));
        QCOMPARE(f.on, (ValueSwitch{true, QString(), false, true}));
        QVERIFY(!f.off.set);
        const PolicyForm d = PolicyForm::load(lines("POLICY \"P\"\nVALUENAME \"\"\nEND POLICY\n"));
        QVERIFY(d.defaultName);
        QVERIFY(d.valueName.isEmpty());
    }

    // The first failing check of the Policy page, in its order, with its focus rule.
    void policyValidation_data()
    {
        QTest::addColumn<PolicyForm>("form");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusAfter");

        PolicyForm noValueName = hideClockForm();
        noValueName.valueName.clear();
        noValueName.description.clear();
        QTest::newRow("value name before name")
            << noValueName << int(SwitchForm::ValueName) << QStringLiteral("Valuename is empty") << true;
        PolicyForm defaultName = noValueName;
        defaultName.defaultName = true;
        QTest::newRow("(Default) stands for a name")
            << defaultName << int(SwitchForm::Description) << QStringLiteral("Policy name is empty") << false;
        PolicyForm offOnly = hideClockForm();
        offOnly.on = {};
        offOnly.off = {};
        offOnly.off.numeric = true; // the box counts even with Value OFF cleared
        offOnly.off.value = QStringLiteral("ten");
        QTest::newRow("numeric box alone") << offOnly << int(SwitchForm::OffValue) << kNumeric << false;
        PolicyForm onFirst = offOnly;
        onFirst.on.numeric = true;
        onFirst.on.value = QString();
        QTest::newRow("on checked before off") << onFirst << int(SwitchForm::OnValue) << kNumeric << false;
        PolicyForm emptyOn = hideClockForm();
        emptyOn.onItems.clear();
        emptyOn.listOff = true;
        QTest::newRow("empty ON list") << emptyOn << int(SwitchForm::ActionListOn) << kNoActions << false;
        PolicyForm emptyOff = hideClockForm();
        emptyOff.listOff = true;
        QTest::newRow("empty OFF list") << emptyOff << int(SwitchForm::ActionListOff) << kNoActions << false;
    }
    void policyValidation()
    {
        QFETCH(PolicyForm, form);
        QFETCH(int, field);
        QFETCH(QString, message);
        QFETCH(bool, focusAfter);
        const std::optional<FieldError> error = form.validate();
        QVERIFY(error);
        QCOMPARE(error->field, field);
        QCOMPARE(error->message, message);
        QCOMPARE(error->focus == FieldError::Focus::AfterMessage, focusAfter);
        QCOMPARE(error->icon, Message::Icon::Exclamation);
    }

    void clearedListBoxKeepsItemsButWritesNoBlock()
    {
        PolicyForm f = hideClockForm();
        f.listOn = false;
        QVERIFY(!f.validate());
        QVERIFY(!f.compose().contains(u"ACTIONLIST"));
    }

    void checkBoxChecksItsNameFirst_data()
    {
        QTest::addColumn<CheckBoxForm>("form");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        CheckBoxForm both;
        both.on.set = true; // Value ON without a value name, and no name either
        QTest::newRow("name before value name")
            << both << int(SwitchForm::Description) << QStringLiteral("Checkbox name is empty");
        CheckBoxForm named = both;
        named.description = QStringLiteral("C");
        QTest::newRow("then value name") << named << int(SwitchForm::ValueName) << QStringLiteral("Valuename is empty");
        named.valueName = QStringLiteral("V");
        named.on.numeric = true;
        named.on.value = QStringLiteral("1 2");
        QTest::newRow("then numbers") << named << int(SwitchForm::OnValue) << kNumeric;
    }
    void checkBoxChecksItsNameFirst()
    {
        QFETCH(CheckBoxForm, form);
        QFETCH(int, field);
        QFETCH(QString, message);
        const std::optional<FieldError> error = form.validate();
        QVERIFY(error);
        QCOMPARE(error->field, field);
        QCOMPARE(error->message, message);
    }

    void categoryNeedsAName()
    {
        const CategoryForm f{QStringLiteral("   "), QStringLiteral("K")};
        const std::optional<FieldError> error = f.validate();
        QVERIFY(error);
        QCOMPARE(error->message, QStringLiteral("Name is required"));
        QCOMPARE(error->field, int(CategoryForm::Description));
        QCOMPARE(error->icon, Message::Icon::Exclamation);
    }

    void textCaption()
    {
        QCOMPARE(TextForm::load(lines("PART \" a b \" TEXT\nEND PART\n")).caption(), QStringLiteral("a b"));
        QCOMPARE(TextForm::load(lines("PART \"\" TEXT\nEND PART\n")).caption(), QString());
    }

    void comboboxKeepsTheDefaultBoxWithoutAValueNameLine()
    {
        const QStringList lines = makeEditLines(crlfText("PART \"X\" COMBOBOX\nEND PART\n"));
        QVERIFY(!TextPartForm::load(TextPartForm::Kind::Combobox, lines).defaultName.has_value());
        QCOMPARE(TextPartForm::load(TextPartForm::Kind::Edittext, lines).defaultName, std::optional<bool>(false));
    }

    void textPartValidation_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("keyname");
        QTest::addColumn<QString>("inherited");
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("maxLength");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *description, const char *keyname, const QString &inherited,
                            const char *valueName, const char *maxLength, const char *message) {
            QTest::newRow(name) << QString(description) << QString(keyname) << inherited << QString(valueName)
                                << QString(maxLength) << QString(message);
        };
        row("name", " ", "", "", "", "x", "Description name is empty");
        row("no key anywhere", "D", "", "", "", "x", "Keyname not defined on this or a higher level");
        row("inherited key will do", "D", "", kInherited, "V", "", "");
        row("value name", "D", "K", "", "  ", "x", "Value name empty");
        row("length", "D", "K", "", "V", "abc", "Value is not numeric");
        row("length with blanks", "D", "K", "", "V", " 12 ", "");
    }
    void textPartValidation()
    {
        QFETCH(QString, description);
        QFETCH(QString, keyname);
        QFETCH(QString, inherited);
        QFETCH(QString, valueName);
        QFETCH(QString, maxLength);
        QFETCH(QString, message);
        TextPartForm f;
        f.description = description;
        f.keyname = keyname;
        f.valueName = valueName;
        f.maxLength = maxLength;
        const std::optional<FieldError> error = f.validate(inherited);
        QCOMPARE(error ? error->message : QString(), message);
        if (error)
            QCOMPARE(error->icon, Message::Icon::Exclamation);
    }

    void listboxNeedsAKey()
    {
        const ListboxForm f{QStringLiteral("L"), QString(), QString(), false, false};
        QCOMPARE(f.validate(QString())->message, QStringLiteral("Keyname not defined on this or a higher level"));
        QVERIFY(!f.validate(kInherited));
    }

    // The number checks in their order, with the empty-field values and whole-number rounding.
    void numericChecks_data()
    {
        QTest::addColumn<NumericForm>("form");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Value must be within range 0 - 9999");
        QTest::newRow("all empty") << numeric("", "", "", "") << 0 << "";
        QTest::newRow("min 10, max empty, default 20") << numeric("10", "", "", "20") << 0 << "";
        QTest::newRow("min 10, default empty")
            << numeric("10", "", "", "") << int(NumericForm::Default) << "Default value is not within range";
        QTest::newRow("max 10000") << numeric("", "10000", "", "") << int(NumericForm::Max) << range;
        QTest::newRow("negative spin") << numeric("", "", "-1", "") << int(NumericForm::Spin) << range;
        QTest::newRow("spin 0 passes") << numeric("", "", "0", "") << 0 << "";
        QTest::newRow("beyond 32 bits") << numeric("99999999999", "", "", "") << int(NumericForm::Min) << range;
        QTest::newRow("min above max") << numeric("5", "3", "", "4") << int(NumericForm::Min)
                                       << "Min value is greater than Max value";
        QTest::newRow("2.5 rounds to 2") << numeric("0", "2", "", "2.5") << 0 << "";
        QTest::newRow("3.5 rounds to 4") << numeric("0", "3", "", "3.5") << int(NumericForm::Default)
                                         << "Default value is not within range";
        QTest::newRow("quoted default") << numeric("", "", "", "\"5\"") << int(NumericForm::Default)
                                        << "Value is not numeric";
        QTest::newRow("text checked before range")
            << numeric("10000", "x", "", "") << int(NumericForm::Max) << "Value is not numeric";
        NumericForm noValue = numeric("", "", "", "");
        noValue.valueName.clear();
        QTest::newRow("value name, this page's wording")
            << noValue << int(NumericForm::ValueName) << "Value name is empty";
    }
    void numericChecks()
    {
        QFETCH(NumericForm, form);
        QFETCH(int, field);
        QFETCH(QString, message);
        const std::optional<FieldError> error = form.validate(QString(), QLocale::c());
        QCOMPARE(error ? error->message : QString(), message);
        if (error) {
            QCOMPARE(error->field, field);
            QCOMPARE(error->icon, Message::Icon::Exclamation);
        }
    }

    void dropdownNeedsAnItem()
    {
        DropdownForm empty = DropdownForm::load(lines("PART \"D\" DROPDOWNLIST\nVALUENAME \"V\"\nITEMLIST\nNAME "
                                                      "\"A\"\nVALUE NUMERIC 1\nEND ITEMLIST\nEND PART\n"));
        QCOMPARE(empty.items.size(), 1);
        empty.items.clear();
        QCOMPARE(empty.validate(kInherited)->message, QStringLiteral("Minimum of one item required in list"));
        QCOMPARE(empty.validate(kInherited)->field, int(DropdownForm::ItemList));
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

QTEST_GUILESS_MAIN(TestForms)
#include "tst_forms.moc"
