#include "templatecommands.h"

#include "stderrprompter.h"

#include "document/encoding.h"
#include "document/loader.h"
#include "document/nodekeys.h"
#include "document/templatedocument.h"
#include "document/templatenode.h"
#include "document/writer.h"
#include "find/treefind.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace kova::cli {

namespace {

const QString kRemoveConditionals = QStringLiteral("--remove-conditionals");
const QString kNewerStatements = QStringLiteral("--newer-statements");
const QString kStrings = QStringLiteral("--strings");
const QString kJson = QStringLiteral("--json");
const QString kEncoding = QStringLiteral("--encoding");
const QString kFind = QStringLiteral("--find");

int exitCodeOf(const LoadResult &result)
{
    switch (result.status) {
    case LoadResult::Status::Loaded: return Success;
    case LoadResult::Status::Failed: return Failure;
    case LoadResult::Status::Fatal: return Fatal;
    }
    return Failure;
}

// Loads as Open does; --remove-conditionals answers the conditional question Yes. Without it one
// line says what was found and which flag removes it, and the load fails.
int load(TemplateDocument &document, const Invocation &inv, std::vector<int> *nodeLines = nullptr)
{
    const bool removeConditionals = inv.has(kRemoveConditionals);
    StderrPrompter prompter([removeConditionals](const Message &) -> std::optional<Answer> {
        if (removeConditionals)
            return Answer::Yes;
        std::fputs("kova-cli: conditional statements found (#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION); "
                   "--remove-conditionals removes them\n",
                   stderr);
        return Answer::No;
    });
    LoadOptions options;
    options.newerStatements = inv.has(kNewerStatements);
    options.nodeLines = nodeLines;
    if (inv.values.contains(kEncoding)) {
        options.encoding = encodingFromName(inv.values.value(kEncoding));
        if (!options.encoding) {
            QStringList known;
            for (TextEncoding encoding : availableEncodings())
                known.append(encodingName(encoding));
            std::fputs(qPrintable(QStringLiteral("kova-cli: unknown encoding '") + inv.values.value(kEncoding) +
                                  QStringLiteral("'; known: ") + known.join(QStringLiteral(", ")) + u'\n'),
                       stderr);
            return Usage;
        }
    }
    return exitCodeOf(Vullen(document, inv.arguments.at(0), prompter, options));
}

int check(const Invocation &inv)
{
    TemplateDocument document;
    return load(document, inv);
}

int normalize(const Invocation &inv)
{
    TemplateDocument document;
    if (const int code = load(document, inv); code != Success)
        return code;
    document.setPath(inv.arguments.at(1));
    document.setStringsOption(inv.has(kStrings));
    StderrPrompter prompter(nullptr);
    return WriteTemplate(document, prompter) ? Success : Failure;
}

// The value name of a node's own VALUENAME line, outside action and item lists; "" when none.
QString ownValueName(QStringView slotText)
{
    int nested = 0;
    QString name;
    forEachTextLine(slotText, [&](QStringView line) {
        if (line.startsWith(u"ACTIONLIST") || line.startsWith(u"ITEMLIST"))
            ++nested;
        else if (line.startsWith(u"END ACTIONLIST") || line.startsWith(u"END ITEMLIST"))
            nested = std::max(0, nested - 1);
        else if (nested == 0 && name.isNull() && line.startsWith(u"VALUENAME "))
            name = Unquote(line.sliced(10).trimmed().toString());
    });
    return name.isNull() ? QString() : name;
}

// The tree, one node a line or (--json) one JSON object a line, in UTF-8 on standard output. With
// --find TEXT only the nodes the tree's find field finds, each as its kind and its path of captions
// (or its JSON object); none found is a failure.
int tree(const Invocation &inv)
{
    TemplateDocument document;
    std::vector<int> lines;
    if (const int code = load(document, inv, &lines); code != Success)
        return code;
    const bool json = inv.has(kJson);
    const bool finding = inv.values.contains(kFind);
    const TreeFind find(inv.values.value(kFind));
    QByteArray out;
    int found = 0;
    document.root()->forEach([&](TemplateNode *node) {
        if (finding && !find.matches(document, node))
            return;
        ++found;
        const QString key = ActiveKeyPath(document, node);
        if (json) {
            const int line = size_t(node->slot()) < lines.size() ? lines[size_t(node->slot())] : 0;
            QJsonObject object{{QStringLiteral("kind"), node->kind()},
                               {QStringLiteral("caption"), node->text},
                               {QStringLiteral("key"), key},
                               {QStringLiteral("valueName"), ownValueName(document.nodeText(node))},
                               {QStringLiteral("line"), line > 0 ? QJsonValue(line) : QJsonValue()}};
            out += QJsonDocument(object).toJson(QJsonDocument::Compact);
        } else if (finding) {
            out += (node->kind() + u'\t' + CaptionPath(node)).toUtf8();
        } else {
            QString text = QString(node->depth() * 2, u' ') + node->kind() + u'\t' + node->text;
            if (!key.isEmpty())
                text += u'\t' + key;
            out += text.toUtf8();
        }
        out += '\n';
    });
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    if (std::fflush(stdout) != 0)
        return Failure;
    return finding && found == 0 ? Failure : Success;
}

} // namespace

std::vector<CliCommand> templateCommands()
{
    return {
        {QStringLiteral("check"),
         QStringLiteral("check FILE [--remove-conditionals] [--newer-statements] [--encoding NAME]"),
         1,
         {kRemoveConditionals, kNewerStatements},
         {},
         check,
         {kEncoding}},
        {QStringLiteral("normalize"),
         QStringLiteral(
             "normalize INPUT OUTPUT [--strings] [--remove-conditionals] [--newer-statements] [--encoding NAME]"),
         2,
         {kStrings, kRemoveConditionals, kNewerStatements},
         {},
         normalize,
         {kEncoding}},
        {QStringLiteral("tree"),
         QStringLiteral(
             "tree FILE [--json] [--find TEXT] [--remove-conditionals] [--newer-statements] [--encoding NAME]"),
         1,
         {kJson, kRemoveConditionals, kNewerStatements},
         {},
         tree,
         {kEncoding, kFind}},
    };
}

} // namespace kova::cli
