// The ADMX layer, one case a folder under tests/data/admx. The steps of `case`:
//   export FILE [--newer-statements] [--remove-conditionals|--evaluate-conditionals] [--encoding NAME]
//       loads the template with those options and writes NAME.admx and en-US/NAME.adml beside it;
//       both must pass the official ADMX schema (xmllint);
//   import FILE.admx [--language xx-XX]
//       reads the ADMX with its ADML (en-US unless named) and writes FILE.adm as UTF-8 text, which
//       must load as a template.
// The warnings of every step go to `log`, the files written to expected/.
#include "admxcheck.h"
#include "casefolders.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include "admx/admxexport.h"
#include "admx/admximport.h"
#include "admx/admxnames.h"
#include "admx/admxreadxml.h"
#include "document/loader.h"
#include "document/nodekeys.h"
#include "document/templatedocument.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

const QString kSchema = QStringLiteral(KOVA_ADMX_SCHEMA);

// The load options a case's flags name.
LoadOptions optionsOf(const QStringList &flags)
{
    LoadOptions options;
    options.newerStatements = flags.contains(QStringLiteral("--newer-statements"));
    if (flags.contains(QStringLiteral("--remove-conditionals")))
        options.conditionals = Conditionals::Remove;
    if (flags.contains(QStringLiteral("--evaluate-conditionals")))
        options.conditionals = Conditionals::Evaluate;
    if (const qsizetype at = flags.indexOf(QStringLiteral("--encoding")); at >= 0)
        options.encoding = encodingFromName(flags.value(at + 1));
    return options;
}

QByteArray warningLines(const QList<admx::Warning> &warnings)
{
    QByteArray out;
    for (const admx::Warning &w : warnings)
        out += admx::formatWarning(w).toUtf8() + '\n';
    return out;
}

// A node's statements in a form where the round trip can be compared: each line with its spaces
// collapsed and the quotes taken off a quoted word ("254", "Name"); its own KEYNAME left out (the
// caller gives the effective key); a block (ITEMLIST ... END ITEMLIST) one unit; the units sorted, as
// their order means nothing to a template.
QStringList canonicalStatements(const QString &nodeText)
{
    static const QRegularExpression quotedWord(QStringLiteral("\"([^\"\\s]*)\""));
    const QStringList lines = nodeText.split(u'\n', Qt::SkipEmptyParts);
    QStringList units;
    QString block, blockWord;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) { // between the node's own first and END lines
        const QString line = lines[i].simplified().replace(quotedWord, QStringLiteral("\\1"));
        const QString word = line.section(u' ', 0, 0);
        if (!block.isEmpty()) {
            block += QStringLiteral(" / ") + line;
            if (word == u"END" && line.section(u' ', 1, 1) == blockWord) {
                units.append(block);
                block.clear();
            }
        } else if (word == u"ITEMLIST" || word == u"SUGGESTIONS" || word.startsWith(u"ACTIONLIST")) {
            block = line;
            blockWord = word;
        } else if (word != u"KEYNAME") {
            units.append(line);
        }
    }
    units.sort();
    return units;
}

// The policies of a template per class and category path ("Machine/Google/Chrome"): each with its effective key and
// statements, and those of its parts. With knownLosses, as they come back from ADMX: a policy without SUPPORTED gets
// the export's own "Not stated in the template".
QMap<QString, QStringList> canonicalPolicies(const TemplateDocument &doc, bool knownLosses)
{
    QMap<QString, QStringList> out;
    doc.root()->forEach([&](TemplateNode *n) {
        if (n->kind() != NodeKind::Policy)
            return;
        QStringList path;
        for (const TemplateNode *up = n->parent(); up && up->kind() != NodeKind::Root; up = up->parent())
            path.prepend(up->text);
        QStringList statements = canonicalStatements(doc.nodeText(n));
        if (knownLosses && !statements.join(u'\n').contains(QStringLiteral("SUPPORTED "))) {
            statements.append(QStringLiteral("SUPPORTED \"Not stated in the template\""));
            statements.sort();
        }
        QString policy = n->text + QStringLiteral(" @") + ActiveKeyPath(doc, n) + u'\n' + statements.join(u'\n');
        for (int i = 0; i < n->childCount(); ++i) {
            const TemplateNode *part = n->child(i);
            policy += QStringLiteral("\nPART ") + part->text + QStringLiteral(" @") + ActiveKeyPath(doc, part) +
                      QStringLiteral("\n  ") + canonicalStatements(doc.nodeText(part)).join(QStringLiteral("\n  "));
        }
        out[path.join(u'/')].append(policy);
    });
    return out;
}

QString valueText(const admx::xml::Value &v)
{
    // A number wider than 32 bits leaves as a text, which ADMX keeps as one. Known loss: an ADM text
    // holds no double quote, so a value's double quotes come back as typographic ones.
    using Kind = admx::xml::Value::Kind;
    const bool number = v.kind == Kind::Decimal || (v.kind == Kind::LongDecimal && v.text.toULongLong() <= 0xffffffffu);
    if (number)
        return QStringLiteral("n") + v.text;
    if (v.kind == Kind::Delete || v.kind == Kind::None)
        return v.kind == Kind::Delete ? QStringLiteral("delete") : QString();
    return u's' + QString(v.text).replace(QChar(0x201C), u'"').replace(QChar(0x201D), u'"');
}

QString listText(const admx::xml::ValueList &list, const QString &key)
{
    QStringList items;
    for (const admx::xml::ListItem &i : list.items)
        items.append((i.key.isEmpty() ? (list.defaultKey.isEmpty() ? key : list.defaultKey) : i.key) + u'=' +
                     i.valueName + u'=' + valueText(i.value));
    return items.join(u';');
}

// Each policy's registry identity, one line a class it is in, sorted.
QStringList registryIdentities(const admx::xml::Definitions &defs)
{
    QStringList out;
    for (const admx::xml::Policy &p : defs.policies) {
        const QString key = p.attributes.value("key");
        QString id = key + u'|' + p.attributes.value("valueName") + u'|' + valueText(p.enabledValue) + u'|' +
                     valueText(p.disabledValue) + u'|' + listText(p.enabledList, key) + u'|' +
                     listText(p.disabledList, key);
        QStringList elements; // in any order: a template's parts follow the presentation
        for (const admx::xml::Element &e : p.elements) {
            const QString kind = e.kind == u"multiText" ? QStringLiteral("text") : e.kind; // written as EDITTEXT
            QString element = kind + u':' + e.attributes.value("key", key) + u':' + e.attributes.value("valueName");
            for (const char *bound : {"minValue", "maxValue", "maxLength"})
                element += u':' + e.attributes.value(QLatin1String(bound));
            for (const admx::xml::EnumItem &item : e.items)
                element +=
                    u':' + valueText(item.value) + u'/' + listText(item.valueList, e.attributes.value("key", key));
            elements.append(element);
        }
        elements.sort();
        id += u'|' + elements.join(u'|');
        const QString cls = p.attributes.value("class");
        for (const QString &c : {QStringLiteral("Machine"), QStringLiteral("User")})
            if (cls == c || cls == u"Both")
                out.append(c + u'|' + id);
    }
    out.sort();
    return out;
}

} // namespace

class TestAdmxCases : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(QStringLiteral(KOVA_XMLLINT)).isExecutable())
            QFAIL("xmllint (Debian package libxml2-utils) is needed to check the exported files");
        if (!QFileInfo::exists(kSchema))
            QFAIL(qPrintable("the ADMX schema is not at " + kSchema + " (set KOVA_ADMX_SCHEMA_DIR)"));
    }

    void run_data() { addCaseRows(QStringLiteral("admx")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        const QDir dir(scratch.path());
        QByteArray log;
        for (const QStringList &step : steps) {
            const QString file = dir.filePath(step.value(1));
            const QStringList flags = step.mid(2);
            if (step.first() == u"import") {
                // As the editor reads it: the language chosen first, else en-US, else the only one.
                admx::ImportOptions options;
                const qsizetype language = flags.indexOf(QStringLiteral("--language"));
                options.userLanguage = language < 0 ? QString() : flags.value(language + 1);
                const admx::ImportResult r = admx::importAdmx(file, options);
                QVERIFY2(r.ok, qPrintable(r.error));
                log += "= " + dir.relativeFilePath(r.admlPath).toUtf8() + " of " +
                       admx::admlLanguages(file).join(u' ').toUtf8() + '\n';
                log += warningLines(r.warnings);
                writeBytes(QFileInfo(file).path() + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".adm"),
                           QStringDecoder(QStringConverter::Utf16)(r.adm).operator QString().toUtf8());
                TemplateDocument document;
                ScriptedPrompter prompter;
                QVERIFY(loadTemplateBytes(document, r.adm, prompter, LoadOptions{false, true}).loaded());
                continue;
            }
            QVERIFY2(step.first() == u"export", "a step is export or import");
            TemplateDocument document;
            ScriptedPrompter prompter;
            QVERIFY(Vullen(document, file, prompter, optionsOf(flags)).loaded());
            const admx::WriteResult w = admx::writeAdmxFiles(document, dir.path(), admx::defaultOptions(file));
            QVERIFY2(w.ok, qPrintable(w.error));
            log += warningLines(w.warnings);
            QCOMPARE(schemaErrors(w.admxPath, kSchema), QString());
            QCOMPARE(schemaErrors(w.admlPath, kSchema), QString());
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log);
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }

    // Every ADMX set of the corpus read as a template and exported again keeps each policy's registry
    // identity: class, key, value name, values and lists, and each element's kind, key, value name,
    // bounds and items.
    void admxRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(QStringLiteral(KOVA_CORPUS_DIR "/admx"), {QStringLiteral("*.admx")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
        }
    }
    void admxRoundTrip()
    {
        QFETCH(QString, path);
        const admx::ImportResult imported = admx::importAdmx(path, {});
        QVERIFY2(imported.ok, qPrintable(imported.error));
        TemplateDocument document;
        ScriptedPrompter prompter;
        QVERIFY(loadTemplateBytes(document, imported.adm, prompter, LoadOptions{false, true}).loaded());
        const admx::ExportResult exported = admx::exportTemplate(document, admx::defaultOptions(path));
        admx::xml::Definitions before, after;
        QCOMPARE(admx::xml::readDefinitions(readBytes(path), before), QString());
        QCOMPARE(admx::xml::readDefinitions(exported.admx, after), QString());
        const QStringList a = registryIdentities(after), b = registryIdentities(before);
        for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
            QCOMPARE(a[i], b[i]);
        QCOMPARE(a.size(), b.size());
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

    // Every corpus template exports into schema-valid files, which read back give the template again.
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
        ScriptedPrompter prompter;
        LoadOptions options =
            optionsOf({QStringLiteral("--newer-statements"), QStringLiteral("--evaluate-conditionals")});
        QVERIFY(Vullen(document, path, prompter, options).loaded());
        QTemporaryDir dir;
        const admx::WriteResult w = admx::writeAdmxFiles(document, dir.path(), admx::defaultOptions(path));
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(schemaErrors(w.admxPath, kSchema), QString());
        QCOMPARE(schemaErrors(w.admlPath, kSchema), QString());

        // And back: read as a template, the ADMX gives the same policies in the same categories, with
        // the same keys, statements and parts, but for the known losses. ADMX holds each category
        // once, so a category the template opens twice comes back as one.
        const admx::ImportResult back = admx::importAdmx(w.admxPath, {});
        QVERIFY2(back.ok, qPrintable(back.error));
        TemplateDocument again;
        QVERIFY(loadTemplateBytes(again, back.adm, prompter, LoadOptions{false, true}).loaded());
        const QMap<QString, QStringList> expected = canonicalPolicies(document, true);
        const QMap<QString, QStringList> actual = canonicalPolicies(again, false);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(actual.keys(), expected.keys());
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QStringList got = actual[it.key()], want = *it;
            got.sort(); // a policy in both classes is one ADMX policy, which moves the others around it
            want.sort();
            for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
                QCOMPARE(got[i], want[i]);
            QCOMPARE(got.size(), want.size());
        }
    }
};

KOVA_CORPUS_TEST_MAIN(QCoreApplication, TestAdmxCases)
#include "tst_admxcases.moc"
