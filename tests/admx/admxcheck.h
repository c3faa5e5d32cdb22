#pragma once

#include <QByteArray>
#include <QMultiMap>
#include <QString>

namespace kova::test {

// A compact form of an XML subtree for comparisons: name{attr=value ...}[children] with text content
// as "text"; attributes in document order, whitespace between elements ignored.
// path names the subtree: element names from the root, separated by '/', the last one the first
// element of that name at that place ("policyDefinitions/policies/policy/elements").
QString compactXml(const QByteArray &xml, const QString &path);

// Runs xmllint on file against the schema; "" when valid, else xmllint's report.
QString schemaErrors(const QString &file, const QString &schema);

// The exported policies as "class|category caption|policy caption", class Both counted once per
// class; texts looked up in the ADML string table.
QMultiMap<QString, int> exportedPolicies(const QByteArray &admx, const QByteArray &adml);

} // namespace kova::test
