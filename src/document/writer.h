#pragma once

#include "bulkmemory.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace kova {

class NodeTextTable;
class Prompter;
class TemplateDocument;
class TemplateNode;

// The string section the writer generates: entries are a prefix letter (C, K, V or W) followed by a
// quoted text, quotes included; position i (1-based) is named prefix + i in at least four digits.
using GeneratedStringTable = std::vector<QString>;

// C for CATEGORY, POLICY and PART lines, K for KEYNAME, V for VALUENAME, W for everything else.
QChar StringPrefixOf(QStringView line);

// The generated name of the entry at 1-based position: "K0007".
QString generatedStringName(const QString &entry, int position);

// Collects the first quoted text of every line into a sorted table without duplicates (case ignored)
// and rewrites those texts in the given table's slots as !! references to it.
GeneratedStringTable BuildStringTable(NodeTextTable &texts);

// Text appended piece by piece into one buffer without QString::append's per-call cost; the writer
// appends millions of short pieces.
class TextBuffer
{
public:
    explicit TextBuffer(size_t capacity = 1024) { m_text.resize(std::max<size_t>(capacity, 16)); }

    void append(QStringView piece)
    {
        reserveFor(size_t(piece.size()));
        std::copy(piece.utf16(), piece.utf16() + piece.size(), m_text.data() + m_used);
        m_used += size_t(piece.size());
    }
    void fill(QChar c, size_t count)
    {
        reserveFor(count);
        std::fill_n(m_text.data() + m_used, count, c.unicode());
        m_used += count;
    }
    QStringView view() const { return QStringView(m_text.data(), qsizetype(m_used)); }
    QString take()
    {
        QString text = view().toString();
        m_used = 0;
        return text;
    }

private:
    void reserveFor(size_t more)
    {
        if (m_used + more > m_text.size())
            m_text.resize(std::max(m_text.size() * 2, m_used + more));
    }

    BulkVector<char16_t> m_text;
    size_t m_used = 0;
};

// Appends one node and its branch to out, CR LF after every line: its own lines indented by depth,
// its END line and whatever follows it held back until after the children.
void WriteNode(TextBuffer &out, const NodeTextTable &texts, const TemplateNode *node, int depth);

// The whole file as text: body, generated [STRINGS] (with strings on), kept ieak_ entries, other
// sections. The document is not changed.
QString renderTemplate(const TemplateDocument &document, bool strings);

// Writes the document to its current path in the encoding it was read in, with its "Strings" option.
// The old file stays intact when the write fails; the error is shown through prompter and the model
// and modified flag are left as they were. On success the modified flag is cleared.
bool WriteTemplate(TemplateDocument &document, Prompter &prompter);

} // namespace kova
