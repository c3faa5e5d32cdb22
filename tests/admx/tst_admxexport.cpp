// The ADMX export. Cases are folders under tests/data/admx/<group>/<case>/: "case" holds the load's
// flags as kova-cli takes them, input.adm the template; expected.admx, expected.adml and
// expected.warnings (one line each) are compared when present, and every export is checked against
// the official schema. KOVA_WRITE_EXPECTED=1 writes what the export gives into the case folders.
#include "admxcheck.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include "admx/admxexport.h"
#include "admx/admxnames.h"
#include "document/loader.h"
#include "document/templatedocument.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

const QString kCases = QStringLiteral(KOVA_SOURCE_DIR "/tests/data/admx");
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

// The policies of the tree as "class|category|policy", each caption with its \n as a line break.
void collectPolicies(const TemplateNode *node, const QString &cls, const QString &category,
                     QMultiMap<QString, int> &out)
{
    for (int i = 0; i < node->childCount(); ++i) {
        const TemplateNode *c = node->child(i);
        const QString caption = QString(c->text).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        if (c->kind() == NodeKind::Class)
            collectPolicies(c, caption, QString(), out);
        else if (c->kind() == NodeKind::Category)
            collectPolicies(c, cls, caption, out);
        else if (c->kind() == NodeKind::Policy)
            out.insert(cls + u'|' + category + u'|' + caption, 1);
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
        if (!QFileInfo::exists(kSchema))
            QFAIL(qPrintable("the ADMX schema is not at " + kSchema + " (set KOVA_ADMX_SCHEMA_DIR)"));
    }

    void cases_data()
    {
        QTest::addColumn<QString>("folder");
        QDirIterator it(kCases, {QStringLiteral("case")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList folders;
        while (it.hasNext())
            folders.append(QFileInfo(it.next()).path());
        folders.sort();
        for (const QString &f : folders)
            QTest::newRow(qPrintable(QDir(kCases).relativeFilePath(f))) << f;
    }
    void cases()
    {
        QFETCH(QString, folder);
        const QDir dir(folder);
        const QStringList flags =
            QString::fromUtf8(readBytes(dir.filePath("case"))).simplified().split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(flags.value(0), QStringLiteral("export"));
        TemplateDocument document;
        ScriptedPrompter prompter;
        QVERIFY(Vullen(document, dir.filePath("input.adm"), prompter, optionsOf(flags)).loaded());
        const admx::ExportResult r = admx::exportTemplate(document, admx::defaultOptions(QStringLiteral("t.adm")));
        const QList<std::pair<QString, QByteArray>> outputs = {
            {"expected.admx", r.admx}, {"expected.adml", r.adml}, {"expected.warnings", warningLines(r.warnings)}};
        for (const auto &[name, actual] : outputs) {
            if (qEnvironmentVariableIsSet("KOVA_WRITE_EXPECTED"))
                writeBytes(dir.filePath(name), actual);
            if (QFileInfo::exists(dir.filePath(name)))
                QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readBytes(dir.filePath(name))));
        }
        QTemporaryDir out;
        writeBytes(out.filePath("t.admx"), r.admx);
        writeBytes(out.filePath("t.adml"), r.adml);
        QCOMPARE(schemaErrors(out.filePath("t.admx"), kSchema), QString());
        QCOMPARE(schemaErrors(out.filePath("t.adml"), kSchema), QString());
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
        ScriptedPrompter prompter;
        LoadOptions options =
            optionsOf({QStringLiteral("--newer-statements"), QStringLiteral("--evaluate-conditionals")});
        QVERIFY(Vullen(document, path, prompter, options).loaded());
        QTemporaryDir dir;
        const admx::WriteResult w = admx::writeAdmxFiles(document, dir.path(), admx::defaultOptions(path));
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(schemaErrors(w.admxPath, kSchema), QString());
        QCOMPARE(schemaErrors(w.admlPath, kSchema), QString());
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

QTEST_GUILESS_MAIN(TestAdmxExport)
#include "tst_admxexport.moc"
