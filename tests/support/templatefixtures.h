#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova {
class TemplateDocument;
class TemplateNode;
} // namespace kova

namespace kova::test {

// Loads ADM text written with \n line ends (made CR LF) into document; any message fails the test.
bool loadText(TemplateDocument &document, const QByteArray &text);
// The first node, depth first, whose tree text is text; nullptr when there is none.
TemplateNode *findNode(const TemplateDocument &document, const QString &text);
// The tree texts of a node's children, in order.
QStringList childTexts(const TemplateNode *node);

} // namespace kova::test
