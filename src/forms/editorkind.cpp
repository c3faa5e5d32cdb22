#include "editorkind.h"

#include <array>

namespace kova {

namespace {

struct KindRow
{
    EditorKind kind;
    const char *text;    // as GetEditorKind gives it
    const char *caption; // the tab
    const char *noun;
};

constexpr std::array<KindRow, 9> kKinds{{
    {EditorKind::Category, "CATEGORY", "&Category", "category"},
    {EditorKind::Policy, "POLICY", "&Policy", "policy"},
    {EditorKind::CheckBox, "CHECKBOX", "C&heckBox", "check box"},
    {EditorKind::Combobox, "COMBOBOX", "Co&mbobox", "combo box"},
    {EditorKind::Dropdown, "DROPDOWNLIST", "&Dropdown", "drop-down list"},
    {EditorKind::Edittext, "EDITTEXT", "&Edittext", "edit field"},
    {EditorKind::Listbox, "LISTBOX", "&Listbox", "list box"},
    {EditorKind::Numeric, "NUMERIC", "&Numeric", "numeric field"},
    {EditorKind::Text, "TEXT", "&Text", "text"},
}};

const KindRow &row(EditorKind kind)
{
    return kKinds.at(size_t(int(kind) - 1));
}

} // namespace

std::optional<EditorKind> editorKindFor(const QString &editorKindText)
{
    for (const KindRow &r : kKinds)
        if (editorKindText == QLatin1String(r.text))
            return r.kind;
    return std::nullopt;
}

QString tabCaption(EditorKind kind)
{
    return QString::fromLatin1(row(kind).caption);
}

QString kindNoun(EditorKind kind)
{
    return QString::fromLatin1(row(kind).noun);
}

} // namespace kova
