#pragma once

#include <QString>

namespace kova {

class TemplateDocument;
class TemplateNode;

// Registry roots of the two classes (the predefined handle values).
inline constexpr quint32 HKEY_CURRENT_USER_HANDLE = 0x80000001u;
inline constexpr quint32 HKEY_LOCAL_MACHINE_HANDLE = 0x80000002u;

// A double quote, text trimmed, a double quote. Nothing inside is escaped.
QString Quote(const QString &text);

// The text between the first two double quotes; before a lone double quote; or the text unchanged
// when it holds none.
QString Unquote(const QString &text);

// The registry root of node: the first CLASS node called "Machine" or "User" from node upwards; 0
// when there is none.
quint32 NodeHive(const TemplateNode *node);
// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER" or "" for NodeHive(node).
QString NodeHiveName(const TemplateNode *node);

// The key named by a node's own KEYNAME line (outside action lists) with a leading backslash, the
// last one winning; "" when the slot names none.
QString NodeOwnKeyName(QStringView slotText);
QString NodeOwnKeyName(const TemplateDocument &document, int slot);

// The effective key of node: the hive name followed by the own key of the nearest node from node
// upwards that names one; "" when none does.
QString ActiveKeyPath(const TemplateDocument &document, const TemplateNode *node);

} // namespace kova
