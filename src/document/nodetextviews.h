#pragma once

// For the writer alone: reading slot texts without copying those kept two bytes a character.

#include "encoding.h"
#include "nodetexttable.h"

#include <string>
#include <string_view>

namespace kova {

class NodeTextViews
{
public:
    // A slot's text as it is kept: one byte (Latin-1) a character, or two (UTF-16) when wide. Valid
    // until the table next changes.
    struct Kept
    {
        const char *data = nullptr;
        qsizetype size = 0;
        bool wide = false;

        std::string_view latin1() const { return {data, size_t(size)}; }
        std::u16string_view utf16() const { return {reinterpret_cast<const char16_t *>(data), size_t(size)}; }
    };
    static Kept kept(const NodeTextTable &table, int slot)
    {
        const NodeTextTable::Chars c = table.chars(slot);
        return {c.data, c.size, c.wide};
    }

    // A slot's text as UTF-16. A text kept two bytes a character is viewed where it stands; one kept
    // a byte a character is widened into scratch. The view is valid until the table next changes or
    // scratch is next written.
    static QStringView at(const NodeTextTable &table, int slot, std::u16string &scratch)
    {
        const Kept text = kept(table, slot);
        if (text.size == 0)
            return {};
        if (text.wide)
            return QStringView(text.utf16().data(), text.size);
        scratch.resize(size_t(text.size));
        latin1ToUtf16(text.data, text.size, scratch.data());
        return QStringView(scratch.data(), text.size);
    }
};

} // namespace kova
