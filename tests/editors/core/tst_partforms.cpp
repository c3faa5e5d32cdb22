// The forms of the Combobox, Edittext, Dropdown, Listbox and Numeric pages without widgets: their
// worked examples byte for byte, what their loaders keep and drop, and their checks in order.
#include "editors/core/dropdownform.h"
#include "editors/core/editsession.h"
#include "editors/core/listboxform.h"
#include "editors/core/numericform.h"
#include "editors/core/textpartform.h"

#include <QTest>

using namespace kova;

Q_DECLARE_METATYPE(kova::NumericForm)
Q_DECLARE_METATYPE(kova::DropdownEntryForm)

namespace {

QString node(const char *text)
{
    QString s = QString::fromUtf8(text);
    s.replace(u'\n', QStringLiteral("\r\n"));
    return s;
}

const QString kInherited = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Up");

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

class TestPartForms : public QObject
{
    Q_OBJECT

private slots:
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
        const QString expected = node("PART \"Colour\" COMBOBOX\nKEYNAME \"Software\\Demo\"\nVALUENAME \"Col\"\n"
                                      "DEFAULT \"red\"\nMAXLEN 20\nREQUIRED\nSUGGESTIONS\n\"red\"\n\"blue\"\n"
                                      "END SUGGESTIONS\nNOSORT\nEND PART\n");
        QVERIFY(!f.validate(QString()));
        QCOMPARE(f.compose(), expected);
        const TextPartForm loaded = TextPartForm::load(TextPartForm::Kind::Combobox, makeEditLines(expected));
        QCOMPARE(loaded.compose(), expected);
    }

    // Combobox and Edittext nodes read and written again.
    void textPartLoadCompose_data()
    {
        QTest::addColumn<bool>("combobox");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("(Default) wins over a name") << true << node("PART \"X\" COMBOBOX\nVALUENAME \"\"\nEND PART\n")
                                                    << node("PART \"X\" COMBOBOX\nVALUENAME \"\"\nEND PART\n");
        QTest::newRow("NOSORT alone") << true << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nNOSORT\nEND PART\n")
                                      << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nNOSORT\nEND PART\n");
        QTest::newRow("one empty suggestion")
            << true << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"\"\nEND SUGGESTIONS\nEND PART\n")
            << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"\"\nEND SUGGESTIONS\nEND PART\n");
        QTest::newRow("suggestions without an end")
            << true << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\nb\nEND PART\n")
            << node("PART \"X\" COMBOBOX\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\n\"b\"\n\"END PART\"\nEND SUGGESTIONS\n"
                    "END PART\n");
        QTest::newRow("edittext flags in their order")
            << false
            << node("PART \" X \" EDITTEXT\nOEMCONVERT\nEXPANDABLETEXT\nREQUIRED\nMAXLEN 5\nDEFAULT \"d\"\n"
                    "VALUENAME \"V\"\nKEYNAME \"K\"\nEND PART\n")
            << node("PART \"X\" EDITTEXT\nKEYNAME \"K\"\nVALUENAME \"V\"\nDEFAULT \"d\"\nMAXLEN 5\nREQUIRED\n"
                    "EXPANDABLETEXT\nOEMCONVERT\nEND PART\n");
        QTest::newRow("edittext has no suggestions")
            << false
            << node("PART \"X\" EDITTEXT\nVALUENAME \"V\"\nSUGGESTIONS\n\"a\"\nEND SUGGESTIONS\nNOSORT\nEND PART\n")
            << node("PART \"X\" EDITTEXT\nVALUENAME \"V\"\nEND PART\n");
    }
    void textPartLoadCompose()
    {
        QFETCH(bool, combobox);
        QFETCH(QString, input);
        QFETCH(QString, output);
        const auto kind = combobox ? TextPartForm::Kind::Combobox : TextPartForm::Kind::Edittext;
        const TextPartForm f = TextPartForm::load(kind, makeEditLines(input));
        QVERIFY(!f.validate(kInherited));
        QCOMPARE(f.compose(), output);
    }

    void comboboxKeepsTheDefaultBoxWithoutAValueNameLine()
    {
        const QStringList lines = makeEditLines(node("PART \"X\" COMBOBOX\nEND PART\n"));
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
        QTest::newRow("name") << " "
                              << ""
                              << ""
                              << ""
                              << "x"
                              << "Description name is empty";
        QTest::newRow("no key anywhere") << "D"
                                         << ""
                                         << ""
                                         << ""
                                         << "x"
                                         << "Keyname not defined on this or a higher level";
        QTest::newRow("inherited key will do") << "D"
                                               << "" << kInherited << "V"
                                               << ""
                                               << "";
        QTest::newRow("value name") << "D"
                                    << "K"
                                    << ""
                                    << "  "
                                    << "x"
                                    << "Value name empty";
        QTest::newRow("length") << "D"
                                << "K"
                                << ""
                                << "V"
                                << "abc"
                                << "Value is not numeric";
        QTest::newRow("length with blanks") << "D"
                                            << "K"
                                            << ""
                                            << "V"
                                            << " 12 "
                                            << "";
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

    void listboxExampleAndEdges_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("example")
            << node("PART \"Servers\" LISTBOX\nKEYNAME \"Software\\Demo\\List\"\nADDITIVE\nEND PART\n")
            << node("PART \"Servers\" LISTBOX\nKEYNAME \"Software\\Demo\\List\"\nVALUEPREFIX \"\"\n"
                    "ADDITIVE\nEND PART\n");
        QTest::newRow("unquoted prefix, flags in order")
            << node("PART \"L\" LISTBOX\nADDITIVE\nVALUEPREFIX pre fix\nEXPLICITVALUE\nEND PART\n")
            << node("PART \"L\" LISTBOX\nVALUEPREFIX \"pre fix\"\nEXPLICITVALUE\nADDITIVE\nEND PART\n");
    }
    void listboxExampleAndEdges()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const ListboxForm f = ListboxForm::load(makeEditLines(input));
        QVERIFY(!f.validate(kInherited));
        QCOMPARE(f.compose(), output);
    }

    void listboxNeedsAKey()
    {
        const ListboxForm f{QStringLiteral("L"), QString(), QString(), false, false};
        QCOMPARE(f.validate(QString())->message, QStringLiteral("Keyname not defined on this or a higher level"));
        QVERIFY(!f.validate(kInherited));
    }

    void numericExample()
    {
        NumericForm f = numeric("1", "600", "5", "30");
        f.description = QStringLiteral("Timeout");
        f.keyname = QStringLiteral("Software\\Demo");
        f.valueName = QStringLiteral("Secs");
        f.required = true;
        QVERIFY(!f.validate(QString()));
        const QString expected = node("PART \"Timeout\" NUMERIC\nKEYNAME \"Software\\Demo\"\nVALUENAME \"Secs\"\n"
                                      "REQUIRED\nMIN 1\nMAX 600\nSPIN 5\nDEFAULT 30\nEND PART\n");
        QCOMPARE(f.compose(), expected);
        QCOMPARE(NumericForm::load(makeEditLines(expected)).compose(), expected);
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

    void numericWritesNumbersAsTyped()
    {
        const QString text = node("PART \"N\" NUMERIC\nVALUENAME \"V\"\nTXTCONVERT\nREQUIRED\nDEFAULT 2.5\n"
                                  "MAX 2\nMIN 0\nEND PART\n");
        const NumericForm f = NumericForm::load(makeEditLines(text));
        QCOMPARE(f.compose(), node("PART \"N\" NUMERIC\nVALUENAME \"V\"\nREQUIRED\nTXTCONVERT\nMIN 0\nMAX 2\n"
                                   "DEFAULT 2.5\nEND PART\n"));
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
            node("PART \"Colour\" DROPDOWNLIST\nREQUIRED\nKEYNAME \"Software\\Demo\"\n"
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

    void dropdownLoadSkipsWhatFitsNoForm()
    {
        const DropdownForm f = DropdownForm::load(makeEditLines(
            node("PART \"D\" DROPDOWNLIST\nVALUENAME \"V\"\nITEMLIST\nSTRAY\nNAME \"A\"\nVALUE NUMERIC 1\nACTIONLIST\n"
                 "KEYNAME \"K\"\nJUNK\nVALUENAME \"F\"\nVALUE DELETE\nEND ACTIONLIST\nNAME \"B\"\nEND ITEMLIST\nEND "
                 "PART\n")));
        QCOMPARE(f.items.size(), 1);
        QCOMPARE(f.items.at(0).text, QStringLiteral("NAME \"A\" VALUE NUMERIC 1"));
        QCOMPARE(f.items.at(0).actions, (QStringList{"KEYNAME \"K\"", "VALUENAME \"F\" VALUE DELETE"}));
        DropdownForm empty = f;
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
        QTest::newRow("numeric default item")
            << true << "NAME \"Blue\" VALUE NUMERIC 2 DEFAULT"
            << "Blue"
            << "2" << true << false << true << "NAME \"Blue\" VALUE NUMERIC 2 DEFAULT";
        QTest::newRow("NODEFAULT inside quotes")
            << true << "NAME \"N\" VALUE \"NODEFAULT\""
            << "N"
            << "NODEFAULT" << false << false << false << "NAME \"N\" VALUE \"NODEFAULT\"";
        QTest::newRow("delete item") << true << "NAME \"Off\" VALUE DELETE"
                                     << "Off"
                                     << "" << false << true << false << "NAME \"Off\" VALUE DELETE ";
        QTest::newRow("numeric action unquoted") << false << "VALUENAME \"F\" VALUE NUMERIC \"3\""
                                                 << "F"
                                                 << "3" << true << false << false << "VALUENAME \"F\" VALUE NUMERIC 3";
        QTest::newRow("key action") << false << "KEYNAME \"Software\\K\""
                                    << "Software\\K"
                                    << "" << false << false << false << "KEYNAME \"Software\\K\"";
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

QTEST_GUILESS_MAIN(TestPartForms)
#include "tst_partforms.moc"
