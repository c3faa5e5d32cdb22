#pragma once

#include <QString>
#include <QStringList>

#include <string_view>

namespace kova {

// Line end of every stored node line.
inline constexpr QStringView kCrLf = u"\r\n";

// Calls visit(line) for every piece of text that ends in CR LF, without it, as SplitLines cuts them;
// text is kept one byte (Latin-1) or two (UTF-16) a character. Stored lines are short: the search
// for the next CR is std::char_traits' (memchr for bytes), not QStringView::indexOf's, whose setup
// outweighs a short line.
template<typename Char, typename F>
void forEachStoredLine(std::basic_string_view<Char> text, F &&visit)
{
    size_t from = 0;
    for (size_t at = 0;;) {
        const size_t cr = text.find(Char('\r'), at);
        if (cr == std::basic_string_view<Char>::npos || cr + 1 >= text.size()) // a CR at the very end has no LF
            return;
        at = cr + 1;
        if (text[cr + 1] != Char('\n'))
            continue;
        visit(text.substr(from, cr - from));
        from = at = cr + 2;
    }
}
template<typename F>
void forEachStoredLine(QStringView text, F &&visit)
{
    forEachStoredLine(std::u16string_view(text.utf16(), size_t(text.size())),
                      [&](std::u16string_view line) { visit(QStringView(line.data(), qsizetype(line.size()))); });
}

// Appends the trimmed line and CR LF to a slot's text; an empty trimmed line adds nothing.
void AppendNodeLine(QString &slotText, QStringView line);

// Appends every piece of text that ends in CR LF (without it) to lines; a last piece without CR LF is
// dropped. Editors start from a list holding only an empty element 0, so line 1 is the first line.
void SplitLines(QStringView text, QStringList &lines);

// The node name of a CATEGORY (start 9), POLICY (start 7) or PART (start 5) line: the text between the
// first two double quotes of the line from the 1-based start position on, or that whole remainder
// when it holds no pair of double quotes.
QString ExtractNodeName(QStringView line, int start);
// The same as a view of line.
QStringView nodeNameView(QStringView line, int start);

// The editor kind of a node from its first stored line: "CATEGORY", "POLICY", or for a PART line the
// part type after the name ("CHECKBOX", "COMBOBOX", ...). partName receives the quoted name of a part.
QString GetEditorKind(QStringView firstLine, QString *partName = nullptr);

} // namespace kova
