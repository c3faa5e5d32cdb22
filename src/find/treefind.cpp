#include "treefind.h"

#include "document/encoding.h"
#include "document/templatedocument.h"

#include <QStringList>

namespace kova {

namespace {

// The name a KEYNAME or VALUENAME line gives: the text between its first two double quotes, before a
// lone double quote, or the rest of the line unquoted.
QStringView nameOf(QStringView rest)
{
    rest = rest.trimmed();
    const qsizetype open = rest.indexOf(u'"');
    if (open < 0)
        return rest;
    const qsizetype close = rest.indexOf(u'"', open + 1);
    return close < 0 ? rest.left(open) : rest.sliced(open + 1, close - open - 1);
}

bool isKeyword(QStringView line, QStringView keyword)
{
    return line.startsWith(keyword) && (line.size() == keyword.size() || line.at(keyword.size()).isSpace());
}

// Whether a node's own KEYNAME or VALUENAME names something that contains text.
bool ownNamesContain(QStringView slotText, QStringView text)
{
    int nested = 0;
    bool valueNameSeen = false;
    bool found = false;
    forEachTextLine(slotText, [&](QStringView line) {
        line = line.trimmed();
        if (found)
            return;
        if (line.startsWith(u"ACTIONLIST") || line.startsWith(u"ITEMLIST"))
            ++nested;
        else if (line.startsWith(u"END ACTIONLIST") || line.startsWith(u"END ITEMLIST"))
            nested = std::max(0, nested - 1);
        else if (nested > 0)
            return;
        else if (isKeyword(line, u"KEYNAME"))
            found = nameOf(line.sliced(7)).contains(text, Qt::CaseInsensitive);
        else if (!valueNameSeen && isKeyword(line, u"VALUENAME")) {
            valueNameSeen = true;
            found = nameOf(line.sliced(9)).contains(text, Qt::CaseInsensitive);
        }
    });
    return found;
}

} // namespace

TreeFind::TreeFind(QString text) : m_text(std::move(text)) {}

bool TreeFind::matches(const TemplateDocument &document, const TemplateNode *node) const
{
    if (m_text.isEmpty() || !node || !node->parent())
        return false;
    if (node->text.contains(m_text, Qt::CaseInsensitive))
        return true;
    const QString slotText = document.nodeText(node);
    // A name is part of the lines: lines without the text name nothing that holds it.
    return slotText.contains(m_text, Qt::CaseInsensitive) && ownNamesContain(slotText, m_text);
}

std::vector<TemplateNode *> TreeFind::matchingNodes(const TemplateDocument &document) const
{
    std::vector<TemplateNode *> found;
    if (document.root() && !m_text.isEmpty())
        document.root()->forEach([&](TemplateNode *node) {
            if (matches(document, node))
                found.push_back(node);
        });
    return found;
}

QString CaptionPath(const TemplateNode *node)
{
    QStringList captions;
    for (const TemplateNode *n = node; n && n->parent(); n = n->parent())
        captions.prepend(n->text);
    return captions.join(QStringLiteral(" > "));
}

} // namespace kova
