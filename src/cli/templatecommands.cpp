#include "templatecommands.h"

#include "clioptions.h"
#include "stderrprompter.h"
#include "templateload.h"

#include "document/templatedocument.h"
#include "document/nodekeys.h"
#include "document/templatenode.h"
#include "document/writer.h"
#include "find/treefind.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace kova::cli {

namespace {

int check(const Invocation &inv)
{
    TemplateDocument document;
    return loadTemplate(document, inv);
}

int normalize(const Invocation &inv)
{
    TemplateDocument document;
    if (const int code = loadTemplate(document, inv); code != Success)
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
    if (const int code = loadTemplate(document, inv, &lines); code != Success)
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
        {QStringLiteral("check"), QStringLiteral("check FILE") + kLoadSynopsis, 1, loadFlags(), conditionalFlags(),
         check, loadValueOptions()},
        {QStringLiteral("normalize"), QStringLiteral("normalize INPUT OUTPUT [--strings]") + kLoadSynopsis, 2,
         loadFlags() << kStrings, conditionalFlags(), normalize, loadValueOptions()},
        {QStringLiteral("tree"), QStringLiteral("tree FILE [--json] [--find TEXT]") + kLoadSynopsis, 1,
         loadFlags() << kJson, conditionalFlags(), tree, loadValueOptions() << kFind},
    };
}

} // namespace kova::cli
