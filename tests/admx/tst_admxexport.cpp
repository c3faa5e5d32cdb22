// The ADMX export: each part type and value form in ADMX and ADML terms, the warnings for what ADMX
// cannot hold, the classes, and the whole corpus checked against the schema.
#include "admxcheck.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include "admx/admxexport.h"
#include "admx/admxnames.h"
#include "document/loader.h"
#include "document/templatedocument.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

const QString kSchemas = QStringLiteral(KOVA_SOURCE_DIR "/tests/data/admx/");

// One policy "Pol" in category "Cat" (key Software\Kova) of the machine class.
QByteArray onePolicy(const QByteArray &lines)
{
    return "CLASS MACHINE\nCATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\nPOLICY \"Pol\"\n" + lines +
           "END POLICY\nEND CATEGORY\n";
}

admx::ExportResult exportText(const QByteArray &text)
{
    TemplateDocument document;
    ScriptedPrompter prompter;
    if (!loadTemplateBytes(document, crlf(text), prompter, LoadOptions{false, true}).loaded())
        return {};
    admx::ExportOptions options = admx::defaultOptions(QStringLiteral("t.adm"));
    return admx::exportTemplate(document, options);
}

QStringList formatted(const QList<admx::Warning> &warnings)
{
    QStringList out;
    for (const admx::Warning &w : warnings)
        out.append(admx::formatWarning(w));
    return out;
}

class YesPrompter : public Prompter
{
public:
    Answer ask(const Message &m) override { return m.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::Yes; }
};

void collectPolicies(const TemplateNode *node, const QString &cls, const QString &category,
                     QMultiMap<QString, int> &out)
{
    for (int i = 0; i < node->childCount(); ++i) {
        const TemplateNode *c = node->child(i);
        if (c->kind() == NodeKind::Class)
            collectPolicies(c, c->text, QString(), out);
        else if (c->kind() == NodeKind::Category)
            collectPolicies(c, cls, c->text, out);
        else if (c->kind() == NodeKind::Policy)
            out.insert(cls + u'|' + category + u'|' + c->text, 1);
    }
}

} // namespace

class TestAdmxExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(QStringLiteral(KOVA_XMLLINT)).isExecutable())
            QFAIL("xmllint (Debian package libxml2-utils) is needed to check the exported files");
    }

    void partTypes_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("presentation");
        QTest::newRow("checkbox values")
            << QByteArray("PART \"Show clock\" CHECKBOX\nDEFCHECKED\nVALUENAME \"Clock\"\nVALUEON NUMERIC 1\n"
                          "VALUEOFF \"off\"\nEND PART\n")
            << "elements[boolean{id=ShowClock valueName=Clock}[trueValue[decimal{value=1}] "
               "falseValue[string[\"off\"]]]]"
            << "presentation{id=Pol}[checkBox{refId=ShowClock defaultChecked=true}[\"Show clock\"]]";
        QTest::newRow("checkbox action lists")
            << QByteArray("PART \"Extra\" CHECKBOX\nVALUENAME \"X\"\nACTIONLISTON\nKEYNAME \"Software\\Other\"\n"
                          "VALUENAME \"A\"\nVALUE NUMERIC 2\nEND ACTIONLISTON\nACTIONLISTOFF\nVALUENAME \"A\"\n"
                          "VALUE DELETE\nEND ACTIONLISTOFF\nEND PART\n")
            << "elements[boolean{id=Extra valueName=X}[trueList[item{key=Software\\Other valueName=A}[value["
               "decimal{value=2}]]] falseList[item{key=Software\\Kova valueName=A}[value[delete]]]]]"
            << "presentation{id=Pol}[checkBox{refId=Extra}[\"Extra\"]]";
        QTest::newRow("edittext")
            << QByteArray("PART \"Server\" EDITTEXT\nKEYNAME \"\\Software\\Kova\\Net\\\"\nVALUENAME \"Host\"\n"
                          "DEFAULT \"localhost\"\nMAXLEN 20\nREQUIRED\nEXPANDABLETEXT\nEND PART\n")
            << "elements[text{id=Server key=Software\\Kova\\Net valueName=Host required=true maxLength=20 "
               "expandable=true}]"
            << "presentation{id=Pol}[textBox{refId=Server}[label[\"Server\"] defaultValue[\"localhost\"]]]";
        QTest::newRow("combobox")
            << QByteArray("PART \"Colour\" COMBOBOX\nVALUENAME \"Col\"\nDEFAULT \"red\"\nSUGGESTIONS\n\"red\"\n"
                          "blue\nEND SUGGESTIONS\nNOSORT\nEND PART\n")
            << "elements[text{id=Colour valueName=Col}]"
            << "presentation{id=Pol}[comboBox{refId=Colour noSort=true}[label[\"Colour\"] default[\"red\"] "
               "suggestion[\"red\"] suggestion[\"blue\"]]]";
        QTest::newRow("numeric")
            << QByteArray("PART \"Timeout\" NUMERIC\nVALUENAME \"Secs\"\nREQUIRED\nTXTCONVERT\nMIN 1\nMAX 600\n"
                          "SPIN 5\nDEFAULT 30\nEND PART\n")
            << "elements[decimal{id=Timeout valueName=Secs required=true minValue=1 maxValue=600 storeAsText=true}]"
            << "presentation{id=Pol}[decimalTextBox{refId=Timeout defaultValue=30 spinStep=5}[\"Timeout\"]]";
        QTest::newRow("numeric without spin")
            << QByteArray("PART \"Count\" NUMERIC\nVALUENAME \"N\"\nSPIN 0\nEND PART\n")
            << "elements[decimal{id=Count valueName=N}]"
            << "presentation{id=Pol}[decimalTextBox{refId=Count spin=false}[\"Count\"]]";
        QTest::newRow("dropdownlist")
            << QByteArray("PART \"Mode\" DROPDOWNLIST\nREQUIRED\nVALUENAME \"M\"\nNOSORT\nITEMLIST\nNAME \"Fast\"\n"
                          "VALUE NUMERIC 1\nNAME \"Safe\"\nVALUE \"safe\" DEFAULT\nACTIONLIST\nVALUENAME \"Check\"\n"
                          "VALUE NUMERIC 1\nEND ACTIONLIST\nNAME \"Off\"\nVALUE DELETE\nEND ITEMLIST\nEND PART\n")
            << "elements[enum{id=Mode valueName=M required=true}[item{displayName=$(string.Pol_Mode_Fast)}[value["
               "decimal{value=1}]] item{displayName=$(string.Pol_Mode_Safe)}[value[string[\"safe\"]] valueList["
               "item{key=Software\\Kova valueName=Check}[value[decimal{value=1}]]]] "
               "item{displayName=$(string.Pol_Mode_Off)}[value[delete]]]]"
            << "presentation{id=Pol}[dropdownList{refId=Mode noSort=true defaultItem=1}[\"Mode\"]]";
        QTest::newRow("listbox")
            << QByteArray("PART \"Servers\" LISTBOX\nKEYNAME \"Software\\Kova\\List\"\nVALUEPREFIX \"srv\"\n"
                          "EXPLICITVALUE\nADDITIVE\nEXPANDABLETEXT\nEND PART\n")
            << "elements[list{id=Servers key=Software\\Kova\\List valuePrefix=srv additive=true expandable=true "
               "explicitValue=true}]"
            << "presentation{id=Pol}[listBox{refId=Servers}[\"Servers\"]]";
        QTest::newRow("text label") << QByteArray("PART \"Read this\" TEXT\nEND PART\n") << QString()
                                    << "presentation{id=Pol}[text[\"Read this\"]]";
    }
    void partTypes()
    {
        QFETCH(QByteArray, part);
        QFETCH(QString, elements);
        QFETCH(QString, presentation);
        const admx::ExportResult r = exportText(onePolicy(part));
        QCOMPARE(formatted(r.warnings), QStringList());
        QCOMPARE(compactXml(r.admx, "policyDefinitions/policies/policy/elements"), elements);
        QCOMPARE(compactXml(r.adml, "policyDefinitionResources/resources/presentationTable/presentation"),
                 presentation);
        QTemporaryDir dir;
        writeBytes(dir.filePath("t.admx"), r.admx);
        writeBytes(dir.filePath("t.adml"), r.adml);
        QCOMPARE(schemaErrors(dir.filePath("t.admx"), kSchemas + "PolicyDefinitions.xsd"), QString());
        QCOMPARE(schemaErrors(dir.filePath("t.adml"), kSchemas + "PolicyDefinitionResources.xsd"), QString());
    }

    void valueForms_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("warnings");
        QTest::newRow("number") << QByteArray("VALUENAME \"V\"\nVALUEON NUMERIC 1\n") << "enabledValue"
                                << "enabledValue[decimal{value=1}]" << 0;
        QTest::newRow("text") << QByteArray("VALUENAME \"V\"\nVALUEOFF \"no\"\n") << "disabledValue"
                              << "disabledValue[string[\"no\"]]" << 0;
        QTest::newRow("delete") << QByteArray("VALUENAME \"V\"\nVALUEOFF DELETE\n") << "disabledValue"
                                << "disabledValue[delete]" << 0;
        QTest::newRow("negative number as its DWORD")
            << QByteArray("VALUENAME \"V\"\nVALUEON NUMERIC -1\n") << "enabledValue"
            << "enabledValue[decimal{value=4294967295}]" << 0;
        QTest::newRow("number wider than a DWORD")
            << QByteArray("VALUENAME \"V\"\nVALUEON NUMERIC 5000000000\n") << "enabledValue"
            << "enabledValue[longDecimal{value=5000000000}]" << 0;
        QTest::newRow("no whole number") << QByteArray("VALUENAME \"V\"\nVALUEON NUMERIC 1.5\n") << "enabledValue"
                                         << "enabledValue[string[\"1.5\"]]" << 1;
        QTest::newRow("no value name") << QByteArray("VALUEON NUMERIC 1\n") << "enabledValue" << QString() << 1;
        QTest::newRow("enabled list")
            << QByteArray("ACTIONLISTON\nKEYNAME \"Software\\A\"\nVALUENAME \"x\"\nVALUE \"1\"\nVALUENAME \"\"\n"
                          "VALUE NUMERIC 3\nEND ACTIONLISTON\n")
            << "enabledList"
            << "enabledList[item{key=Software\\A valueName=x}[value[string[\"1\"]]] item{key=Software\\A "
               "valueName=}[value[decimal{value=3}]]]"
            << 0;
        QTest::newRow("disabled list on the policy's key")
            << QByteArray("ACTIONLISTOFF\nVALUENAME \"x\"\nVALUE DELETE\nEND ACTIONLISTOFF\n") << "disabledList"
            << "disabledList[item{key=Software\\Kova valueName=x}[value[delete]]]" << 0;
    }
    void valueForms()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QFETCH(int, warnings);
        const admx::ExportResult r = exportText(onePolicy(lines));
        QCOMPARE(compactXml(r.admx, "policyDefinitions/policies/policy/" + path), expected);
        QCOMPARE(r.warnings.size(), warnings);
    }

    void warnings_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("statement without equivalent")
            << QByteArray("PART \"Name\" EDITTEXT\nVALUENAME \"N\"\nOEMCONVERT\nEND PART\n")
            << QStringList{"Pol: Name: The statement OEMCONVERT has no ADMX equivalent and was left out."};
        QTest::newRow("statement of another part type")
            << QByteArray("PART \"L\" LISTBOX\nVALUENAME \"N\"\nEND PART\n")
            << QStringList{"Pol: L: The statement VALUENAME \"N\" has no ADMX equivalent and was left out."};
        QTest::newRow("bare key in an action list")
            << QByteArray("ACTIONLISTON\nKEYNAME \"Software\\B\"\nEND ACTIONLISTON\n")
            << QStringList{"Pol: The action list names the key Software\\B without a value to write; ADMX cannot "
                           "create a bare key, so it was left out."};
        QTest::newRow("action without value")
            << QByteArray("ACTIONLISTOFF\nVALUENAME \"x\"\nEND ACTIONLISTOFF\n")
            << QStringList{"Pol: The action for the value x has no VALUE and was left out."};
        QTest::newRow("part without value name")
            << QByteArray("PART \"Name\" EDITTEXT\nEND PART\n")
            << QStringList{"Pol: Name: The part has no VALUENAME, which ADMX requires; it was left out."};
        QTest::newRow("item without value")
            << QByteArray("PART \"D\" DROPDOWNLIST\nVALUENAME \"d\"\nITEMLIST\nNAME \"A\"\nNAME \"B\"\nVALUE \"b\"\n"
                          "END ITEMLIST\nEND PART\n")
            << QStringList{"Pol: D: The item A has no VALUE and was left out."};
        QTest::newRow("bare key in a drop-down item's action list")
            << QByteArray("PART \"D\" DROPDOWNLIST\nVALUENAME \"d\"\nITEMLIST\nNAME \"A\"\nVALUE \"a\"\nACTIONLIST\n"
                          "KEYNAME \"Software\\C\"\nEND ACTIONLIST\nEND ITEMLIST\nEND PART\n")
            << QStringList{"Pol: D: The action list names the key Software\\C without a value to write; ADMX "
                           "cannot create a bare key, so it was left out."};
        QTest::newRow("two defaults")
            << QByteArray("PART \"D\" DROPDOWNLIST\nVALUENAME \"d\"\nITEMLIST\nNAME \"A\"\nVALUE \"a\" DEFAULT\n"
                          "NAME \"B\"\nVALUE \"b\" DEFAULT\nEND ITEMLIST\nEND PART\n")
            << QStringList{"Pol: D: More than one item is marked DEFAULT; the first one is the default."};
        QTest::newRow("numeric range below zero")
            << QByteArray("PART \"N\" NUMERIC\nVALUENAME \"n\"\nMIN -5\nEND PART\n")
            << QStringList{"Pol: N: MIN -5 is no whole number from 0 to 4294967295 and was left out."};
    }
    void warnings()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, expected);
        const admx::ExportResult r = exportText(onePolicy(lines));
        QCOMPARE(formatted(r.warnings), expected);
    }

    void classes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("policies");
        const QByteArray a = "CATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\nPOLICY \"Pol\"\nVALUENAME \"v\"\n"
                             "END POLICY\nEND CATEGORY\n";
        const QByteArray b = "CATEGORY \"Cat\"\nKEYNAME \"Software\\Kova\"\nPOLICY \"Pol\"\nVALUENAME \"w\"\n"
                             "END POLICY\nEND CATEGORY\n";
        const QByteArray lone = "POLICY \"Lone\"\nKEYNAME \"Software\\Kova\"\nEND POLICY\n";
        QTest::newRow("same policy in both classes")
            << "CLASS MACHINE\n" + a + "CLASS USER\n" + a << QStringList{"Pol Both Cat"};
        QTest::newRow("different policies of one name")
            << "CLASS MACHINE\n" + a + "CLASS USER\n" + b << QStringList{"Pol Machine Cat", "Pol_2 User Cat"};
        QTest::newRow("user only") << "CLASS USER\n" + a << QStringList{"Pol User Cat"};
        QTest::newRow("twice in one class")
            << "CLASS MACHINE\n" + a + a << QStringList{"Pol Machine Cat", "Pol_2 Machine Cat"};
        QTest::newRow("outside any category") << "CLASS MACHINE\n" + lone << QStringList{"Lone Machine T"};
    }
    void classes()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, policies);
        const admx::ExportResult r = exportText(text);
        const QString all = compactXml(r.admx, "policyDefinitions/policies");
        QStringList found;
        static const QRegularExpression policy(
            QStringLiteral("policy\\{name=(\\S+) class=(\\S+) .*?parentCategory\\{ref=(\\w+)\\}"));
        for (auto it = policy.globalMatch(all); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            found.append(m.captured(1) + u' ' + m.captured(2) + u' ' + m.captured(3));
        }
        QCOMPARE(found, policies);
    }

    void explainAndSupport()
    {
        const admx::ExportResult r =
            exportText(onePolicy("EXPLAIN \"First line.\\nSecond line.\"\nSUPPORTED \"At least Kova 1\"\n"));
        QCOMPARE(compactXml(r.admx, "policyDefinitions/supportedOn"),
                 "supportedOn[definitions[definition{name=SUPPORTED_AtLeastKova1 "
                 "displayName=$(string.SUPPORTED_AtLeastKova1)}]]");
        QCOMPARE(compactXml(r.admx, "policyDefinitions/policies/policy/supportedOn"),
                 "supportedOn{ref=SUPPORTED_AtLeastKova1}");
        QCOMPARE(compactXml(r.adml, "policyDefinitionResources/resources/stringTable"),
                 "stringTable[string{id=SUPPORTED_AtLeastKova1}[\"At least Kova 1\"] string{id=Cat}[\"Cat\"] "
                 "string{id=Pol}[\"Pol\"] string{id=Pol_Explain}[\"First line.\nSecond line.\"]]");
    }

    void readableIds_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("id");
        QTest::newRow("words") << "Allow pop-ups on these sites" << QStringLiteral("AllowPopUpsOnTheseSites");
        QTest::newRow("leading digit") << "3D acceleration" << QStringLiteral("_3DAcceleration");
        QTest::newRow("no ASCII letters") << QString::fromUtf8("默认搜索") << QString();
        QTest::newRow("long") << QString(80, u'a') << u'A' + QString(63, u'a');
    }
    void readableIds()
    {
        QFETCH(QString, caption);
        QFETCH(QString, id);
        QCOMPARE(admx::readableId(caption), id);
    }

    // Every corpus template exports into schema-valid files that hold each of its policies once.
    void corpus_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not there");
        for (const QString &f : files)
            QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f;
    }
    void corpus()
    {
        QFETCH(QString, path);
        TemplateDocument document;
        YesPrompter prompter;
        QVERIFY(Vullen(document, path, prompter, LoadOptions{false, true}).loaded());
        QTemporaryDir dir;
        const admx::ExportOptions options = admx::defaultOptions(path);
        const admx::WriteResult w = admx::writeAdmxFiles(document, dir.path(), options);
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(schemaErrors(w.admxPath, kSchemas + "PolicyDefinitions.xsd"), QString());
        QCOMPARE(schemaErrors(w.admlPath, kSchemas + "PolicyDefinitionResources.xsd"), QString());
        QMultiMap<QString, int> expected;
        collectPolicies(document.root(), QString(), QString(), expected);
        QVERIFY(!expected.isEmpty());
        const QMultiMap<QString, int> exported = exportedPolicies(readBytes(w.admxPath), readBytes(w.admlPath));
        // Compared as lists of what is missing on either side, which says which policy went wrong.
        const auto missingFrom = [](const QMultiMap<QString, int> &a, const QMultiMap<QString, int> &b) {
            QStringList missing;
            for (const QString &k : a.uniqueKeys())
                if (a.count(k) != b.count(k))
                    missing.append(k);
            return missing;
        };
        QCOMPARE(missingFrom(expected, exported).join(u'\n'), QString());
        QCOMPARE(missingFrom(exported, expected).join(u'\n'), QString());
    }
};

KOVA_CORPUS_TEST_MAIN(QCoreApplication, TestAdmxExport)
#include "tst_admxexport.moc"
