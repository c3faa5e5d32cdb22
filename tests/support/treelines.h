#pragma once

#include "document/templatedocument.h"
#include "document/treeoperations.h"

#include <QByteArray>

namespace kova::test {

// The tree as the case runners write it to `tree`: one node a line, indented by depth, with its key,
// kind, caption, image (and whether it is expanded) and its slot text with "|" for each line end.
inline QByteArray treeLines(const TemplateDocument &doc)
{
    QByteArray out;
    if (!doc.root())
        return out;
    doc.root()->forEach([&](TemplateNode *n) {
        const QString line = QString(n->depth() * 2, u' ') + n->key() + u' ' + n->kind() + u' ' + n->text + " [" +
                             NodeImage(n) + (n->expanded ? " expanded] <" : "] <") +
                             doc.nodeText(n).replace(QStringLiteral("\r\n"), QStringLiteral("|")) + u'>';
        out += line.toUtf8() + '\n';
    });
    return out;
}

} // namespace kova::test
