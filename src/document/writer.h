#pragma once

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

// Text appended piece by piece into one QString without QString::append's per-call cost; the
// writer appends millions of short pieces.
class TextBuffer
{
public:
    explicit TextBuffer(qsizetype capacity = 1024) : m_text(qMax<qsizetype>(capacity, 16), Qt::Uninitialized) {}

    void append(QStringView piece)
    {
        reserveFor(piece.size());
        std::copy(piece.begin(), piece.end(), m_text.data() + m_used);
        m_used += piece.size();
    }
    void fill(QChar c, size_t count)
    {
        reserveFor(qsizetype(count));
        std::fill_n(m_text.data() + m_used, count, c);
        m_used += qsizetype(count);
    }
    QString take()
    {
        m_text.truncate(m_used);
        m_used = 0;
        return std::move(m_text);
    }

private:
    void reserveFor(qsizetype more)
    {
        if (m_used + more > m_text.size())
            m_text.resize(qMax(m_text.size() * 2, m_used + more));
    }

    QString m_text;
    qsizetype m_used = 0;
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
