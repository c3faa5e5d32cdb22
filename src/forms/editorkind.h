#pragma once

#include <QString>

#include <optional>

namespace kova {

// The nine node pages, numbered as their tabs: tab 0 is the tree, tab 10 the registry browser.
enum class EditorKind { Category = 1, Policy, CheckBox, Combobox, Dropdown, Edittext, Listbox, Numeric, Text };

inline constexpr int kFirstEditorTab = 1;
inline constexpr int kLastEditorTab = 9;

inline int editorTab(EditorKind kind)
{
    return int(kind);
}

// The page for an editor kind as GetEditorKind gives it ("CATEGORY", "POLICY", "CHECKBOX", ...),
// compared exactly; nullopt for anything else.
std::optional<EditorKind> editorKindFor(const QString &editorKindText);

// The tab caption with its mnemonic ("&Category", "C&heckBox", ...).
QString tabCaption(EditorKind kind);

// What a user calls a node of this kind in a sentence: "category", "policy", "check box", ...
QString kindNoun(EditorKind kind);

} // namespace kova
