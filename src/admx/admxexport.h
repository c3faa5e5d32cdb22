#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kova {
class TemplateDocument;
}

namespace kova::admx {

// What an export is called and where its definitions live.
struct ExportOptions
{
    QString name;            // NAME.admx and LANGUAGE/NAME.adml
    QString targetNamespace; // the policyNamespaces target
    QString prefix;          // its prefix
    QString language = QStringLiteral("en-US");
};

// The options for a template file: its base name, the prefix made of that name, the namespace
// "Kova.Policies." and the name in readable form.
ExportOptions defaultOptions(const QString &templatePath);

// An empty text when the options can be written into the two files, otherwise what is wrong.
QString checkOptions(const ExportOptions &options);

// Something of the template that the ADMX files cannot hold. policy names the policy (or category)
// by its caption.
struct Warning
{
    QString policy;
    QString text;

    bool operator==(const Warning &) const = default;
};

// "policy: text".
QString formatWarning(const Warning &warning);

struct ExportResult
{
    QByteArray admx; // UTF-8
    QByteArray adml;
    QList<Warning> warnings;
};

// The ADMX and ADML texts of a loaded template. Nothing is shown or printed: the warnings are the
// caller's to report.
ExportResult exportTemplate(const TemplateDocument &document, const ExportOptions &options);

struct WriteResult
{
    bool ok = false;
    QString error; // when not ok: the failing file and the system's description
    QString admxPath;
    QString admlPath;
    QList<Warning> warnings;
};

// Exports and writes outDir/NAME.admx and outDir/LANGUAGE/NAME.adml, creating the folders. Each file
// is replaced whole or not at all.
WriteResult writeAdmxFiles(const TemplateDocument &document, const QString &outDir, const ExportOptions &options);

} // namespace kova::admx
