#pragma once

#include <QByteArray>
#include <QString>

namespace kova::test {

// A compact form of an XML subtree for comparisons: name{attr=value ...}[children] with text content
// as "text"; attributes in document order, whitespace between elements ignored.
// path names the subtree: element names from the root, separated by '/', the last one the first
// element of that name at that place ("policyDefinitions/policies/policy/elements").
QString compactXml(const QByteArray &xml, const QString &path);

// Runs xmllint on file against the schema; "" when valid, else xmllint's report.
QString schemaErrors(const QString &file, const QString &schema);

} // namespace kova::test
