#pragma once

#include <QString>

#include <vector>

namespace kova {

class TemplateDocument;
class TemplateNode;

// What the tree's find field looks for: a node matches when its caption, the key name of one of its
// own KEYNAME lines, or the value name of its own VALUENAME line contains the text, case ignored.
// Lines inside action lists and item lists belong to the entries, not to the node. The root, which
// stands for the whole template, never matches; an empty text matches nothing.
class TreeFind
{
public:
    explicit TreeFind(QString text = {});

    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool matches(const TemplateDocument &document, const TemplateNode *node) const;
    // Every node that matches, in tree order.
    std::vector<TemplateNode *> matchingNodes(const TemplateDocument &document) const;

private:
    QString m_text;
};

// The captions from the class down to node, joined by " > ": "Machine > Desktop > Hide clock".
QString CaptionPath(const TemplateNode *node);

} // namespace kova
