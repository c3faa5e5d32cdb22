#pragma once

#include <QString>

namespace kova::cli {

// Every option name of kova-cli, defined once for all its commands.
inline const QString kRemoveConditionals = QStringLiteral("--remove-conditionals");
inline const QString kEvaluateConditionals = QStringLiteral("--evaluate-conditionals");
inline const QString kNewerStatements = QStringLiteral("--newer-statements");
inline const QString kStrings = QStringLiteral("--strings");
inline const QString kJson = QStringLiteral("--json");
inline const QString kEncoding = QStringLiteral("--encoding");
inline const QString kFind = QStringLiteral("--find");
inline const QString kMoveToPolicies = QStringLiteral("--move-to-policies");
inline const QString kKeepKeys = QStringLiteral("--keep-keys");
inline const QString kRaw = QStringLiteral("--raw");
inline const QString kEditor = QStringLiteral("--editor");
inline const QString kNamespace = QStringLiteral("--namespace");
inline const QString kPrefix = QStringLiteral("--prefix");
inline const QString kLanguage = QStringLiteral("--language");
inline const QString kAdml = QStringLiteral("--adml");

} // namespace kova::cli
