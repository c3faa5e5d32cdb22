#pragma once

#include "admxexport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kova::admx {

// Which ADML gives an ADMX its texts.
struct ImportOptions
{
    QString admlPath; // this file, when set
    QString language; // else LANGUAGE/NAME.adml beside the ADMX, when set
    // else the user's language, en-US, or the only language folder beside the ADMX holding NAME.adml
    QString userLanguage;
};

// The ADML that options name for the ADMX at admxPath; empty when there is none.
QString findAdml(const QString &admxPath, const ImportOptions &options);

// The languages an ADMX can be read in: the folders beside it that hold its ADML ("de-DE", "en-US"),
// sorted.
QStringList admlLanguages(const QString &admxPath);

struct ImportResult
{
    bool ok = false;
    QString error;           // when not ok: the file and what is wrong with it
    QString admlPath;        // the ADML read
    QByteArray adm;          // the template as an ADM file would hold it (UTF-16LE with its byte-order mark)
    QList<Warning> warnings; // what ADM cannot hold, per policy
};

// Reads an ADMX file and its ADML into the template an ADM file would hold: categories from the
// category tree (a parent in another ADMX beside it found by its namespace, else a category of that
// name), policies in the class or classes they name, each element as the part an ADM would use.
// EXPLAIN, SUPPORTED and CLIENTEXT are written, so the result loads with the newer statements.
ImportResult importAdmx(const QString &admxPath, const ImportOptions &options);

// The same for the two files' bytes; a category of another file is named by its name.
ImportResult importAdmxBytes(const QByteArray &admx, const QByteArray &adml);

} // namespace kova::admx
