// The page forms without widgets: what each page reads from a node's lines, which check fails first,
// and the text it writes back.
#include "editors/core/categoryform.h"
#include "editors/core/checkboxform.h"
#include "editors/core/editsession.h"
#include "editors/core/policyform.h"
#include "editors/core/textform.h"

#include <QTest>

using namespace kova;

Q_DECLARE_METATYPE(kova::PolicyForm)
Q_DECLARE_METATYPE(kova::CheckBoxForm)

namespace {

// Node text written with \n, stored as the table keeps it (CR LF after every line).
QString node(const char *text)
{
    QString s = QString::fromUtf8(text);
    s.replace(u'\n', QStringLiteral("\r\n"));
    return s;
}

QStringList lines(const char *text)
{
    return makeEditLines(node(text));
}

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

} // namespace

class TestForms : public QObject
{
    Q_OBJECT

private slots:
    void hideClockComposesInTheDocumentedOrder()
    {
        const PolicyForm f = hideClockForm();
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), node(kHideClock));
        const PolicyForm loaded = PolicyForm::load(lines(kHideClock));
        QCOMPARE(loaded.compose(), node(kHideClock));
        QCOMPARE(loaded.onItems, f.onItems);
        QCOMPARE(loaded.caption(), QStringLiteral("Hide clock"));
    }

    // A policy's lines read and written again: what the page keeps, normalises and drops.
    void policyLoadCompose_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("default value name") << node("POLICY \"P\"\nVALUENAME \"\"\nVALUEON \"1\"\nEND POLICY\n")
                                            << node("POLICY \"P\"\nVALUENAME \"\"\nVALUEON \"1\"\nEND POLICY\n");
        QTest::newRow("delete on")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nVALUEON DELETE\nVALUEOFF \"x\"\nEND POLICY\n")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nVALUEON DELETE\nVALUEOFF \"x\"\nEND POLICY\n");
        QTest::newRow("blanks trimmed")
            << node("POLICY \"  P \"\nKEYNAME \" Software\\X \"\nVALUENAME \"V\"\nVALUEON \" on \"\nEND POLICY\n")
            << node("POLICY \"P\"\nKEYNAME \"Software\\X\"\nVALUENAME \"V\"\nVALUEON \"on\"\nEND POLICY\n");
        QTest::newRow("statements without a field dropped")
            << node("POLICY \"P\"\nEXPLAIN \"why\"\nSUPPORTED \"XP\"\nKEYNAME \"K\"\nEND POLICY\n")
            << node("POLICY \"P\"\nKEYNAME \"K\"\nEND POLICY\n");
        QTest::newRow("KEYNAME in a block is not the policy's key")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTOFF\nKEYNAME \"Inner\"\nVALUENAME \"A\"\nVALUE DELETE\n"
                    "END ACTIONLISTOFF\nEND POLICY\n")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTOFF\nKEYNAME \"Inner\"\nVALUENAME \"A\"\nVALUE DELETE\n"
                    "END ACTIONLISTOFF\nEND POLICY\n");
        QTest::newRow("later KEYNAME wins") << node("POLICY \"P\"\nKEYNAME \"A\"\nKEYNAME \"B\"\nEND POLICY\n")
                                            << node("POLICY \"P\"\nKEYNAME \"B\"\nEND POLICY\n");
        QTest::newRow("numeric written unquoted")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nVALUEON NUMERIC \"7\"\nEND POLICY\n")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nVALUEON NUMERIC 7\nEND POLICY\n");
        QTest::newRow("both blocks, OFF before ON in the node")
            << node(
                   "POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTOFF\nVALUENAME \"B\"\nVALUE NUMERIC 2\nEND ACTIONLISTOFF\n"
                   "ACTIONLISTON\nVALUENAME \"A\"\nVALUE \"x\"\nEND ACTIONLISTON\nEND POLICY\n")
            << node("POLICY \"P\"\nVALUENAME \"V\"\nACTIONLISTON\nVALUENAME \"A\"\nVALUE \"x\"\nEND ACTIONLISTON\n"
                    "ACTIONLISTOFF\nVALUENAME \"B\"\nVALUE NUMERIC 2\nEND ACTIONLISTOFF\nEND POLICY\n");
    }
    void policyLoadCompose()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const PolicyForm f = PolicyForm::load(makeEditLines(input));
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), output);
        QCOMPARE(PolicyForm::load(makeEditLines(output)).compose(), output);
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

    void checkBoxLoadCompose_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("bare part") << node("PART \"C\" CHECKBOX\nEND PART\n")
                                   << node("PART \"C\" CHECKBOX\nEND PART\n");
        QTest::newRow("DEFCHECKED right after PART")
            << node("PART \"C\" CHECKBOX\nKEYNAME \"K\"\nVALUENAME \"V\"\nDEFCHECKED\nVALUEON NUMERIC 1\nEND PART\n")
            << node("PART \"C\" CHECKBOX\nDEFCHECKED\nKEYNAME \"K\"\nVALUENAME \"V\"\nVALUEON NUMERIC 1\nEND PART\n");
        QTest::newRow("default value name and lists")
            << node("PART \"C\" CHECKBOX\nVALUENAME \"\"\nVALUEOFF DELETE\nACTIONLISTON\nVALUENAME \"\"\n"
                    "VALUE \"x\"\nEND ACTIONLISTON\nEND PART\n")
            << node("PART \"C\" CHECKBOX\nVALUENAME \"\"\nVALUEOFF DELETE\nACTIONLISTON\nVALUENAME \"\"\n"
                    "VALUE \"x\"\nEND ACTIONLISTON\nEND PART\n");
    }
    void checkBoxLoadCompose()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const CheckBoxForm f = CheckBoxForm::load(makeEditLines(input));
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), output);
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

    void category_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("two lines stay two")
            << node("CATEGORY \"Desktop\"\nEND CATEGORY\n") << node("CATEGORY \"Desktop\"\nEND CATEGORY\n");
        QTest::newRow("key kept, other lines dropped")
            << node("CATEGORY \"Desktop\"\nEXPLAIN \"x\"\nKEYNAME \"Software\\D\"\nEND CATEGORY\n")
            << node("CATEGORY \"Desktop\"\nKEYNAME \"Software\\D\"\nEND CATEGORY\n");
        QTest::newRow("blank key writes no KEYNAME")
            << node("CATEGORY \"D\"\nKEYNAME \"  \"\nEND CATEGORY\n") << node("CATEGORY \"D\"\nEND CATEGORY\n");
    }
    void category()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const CategoryForm f = CategoryForm::load(makeEditLines(input));
        QVERIFY(!f.validate());
        QCOMPARE(f.compose(), output);
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

    void text_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("caption");
        QTest::newRow("only two lines kept") << node("PART \"Note\" TEXT\nKEYNAME \"K\"\nEND PART\n")
                                             << node("PART \"Note\" TEXT\nEND PART\n") << QStringLiteral("Note");
        QTest::newRow("empty name") << node("PART \"\" TEXT\nEND PART\n") << node("PART \"\" TEXT\nEND PART\n")
                                    << QString();
        QTest::newRow("blanks trimmed") << node("PART \" a b \" TEXT\nEND PART\n")
                                        << node("PART \"a b\" TEXT\nEND PART\n") << QStringLiteral("a b");
    }
    void text()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, caption);
        const TextForm f = TextForm::load(makeEditLines(input));
        QCOMPARE(f.compose(), output);
        QCOMPARE(f.caption(), caption);
    }
};

QTEST_GUILESS_MAIN(TestForms)
#include "tst_forms.moc"
