#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kova::admx {

// One stored ADM line cut into its words: the keyword and its arguments. A quoted text is one
// argument, held without its quotes; quoted records whether it stood between quotes.
struct AdmStatement
{
    QString keyword;
    QStringList arguments;
    QList<bool> quoted;

    QString argument(int i) const { return arguments.value(i); }
    bool isQuoted(int i) const { return quoted.value(i, false); }
    // The line as it was stored, for warnings.
    QString line;
};

// Cuts a node's slot text (trimmed lines, each ended by CR LF) into statements, one per line. A line
// that begins with a double quote (an entry of a suggestion list) has an empty keyword and the text
// as its one argument.
QList<AdmStatement> readStatements(QStringView slotText);

// A registry value as the statements VALUE, VALUEON and VALUEOFF give it.
struct AdmValue
{
    enum class Kind { None, Text, Number, Delete };
    Kind kind = Kind::None;
    QString text;           // the text, or the number as written
    bool isDefault = false; // a trailing DEFAULT (drop-down list items)
};

// The value from the arguments of a VALUE, VALUEON or VALUEOFF statement.
AdmValue readValue(const AdmStatement &statement);

} // namespace kova::admx
