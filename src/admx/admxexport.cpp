#include "admxexport.h"

#include "admxmodel.h"
#include "admxnames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace kova::admx {

ExportOptions defaultOptions(const QString &templatePath)
{
    ExportOptions options;
    options.name = QFileInfo(templatePath).completeBaseName();
    if (options.name.isEmpty())
        options.name = QStringLiteral("Template");
    QString id = readableId(options.name);
    if (id.isEmpty())
        id = QStringLiteral("Template");
    options.prefix = id.toLower();
    options.targetNamespace = QStringLiteral("Kova.Policies.") + id;
    return options;
}

QString checkOptions(const ExportOptions &options)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    static const QRegularExpression language(QStringLiteral("^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$"));
    if (options.name.isEmpty() || options.name.contains(u'/') || options.name.startsWith(u'.'))
        return QStringLiteral("the name '%1' cannot be a file name").arg(options.name);
    if (!name.match(options.prefix).hasMatch())
        return QStringLiteral("the prefix '%1' must be a name of letters, digits, '_', '-' and '.'")
            .arg(options.prefix);
    if (!name.match(options.targetNamespace).hasMatch())
        return QStringLiteral("the namespace '%1' must be a name of letters, digits, '_', '-' and '.'")
            .arg(options.targetNamespace);
    if (!language.match(options.language).hasMatch())
        return QStringLiteral("the language '%1' is no language tag such as en-US").arg(options.language);
    return QString();
}

QString formatWarning(const Warning &warning)
{
    return warning.policy + QStringLiteral(": ") + warning.text;
}

ExportResult exportTemplate(const TemplateDocument &document, const ExportOptions &options)
{
    const Model model = readModel(document, options.name);
    return {writeAdmx(model, options), writeAdml(model, options), model.warnings};
}

WriteResult writeAdmxFiles(const TemplateDocument &document, const QString &outDir, const ExportOptions &options)
{
    WriteResult result;
    const QDir dir(outDir);
    result.admxPath = dir.filePath(options.name + QStringLiteral(".admx"));
    result.admlPath = dir.filePath(options.language + u'/' + options.name + QStringLiteral(".adml"));
    const ExportResult exported = exportTemplate(document, options);
    result.warnings = exported.warnings;
    if (!dir.mkpath(options.language)) {
        result.error = QStringLiteral("%1: the folder cannot be created").arg(dir.filePath(options.language));
        return result;
    }
    // Both files are complete before either is written, so a fault leaves the older pair in place
    // as far as the system allows.
    for (const auto &[path, bytes] : {std::pair{result.admxPath, &exported.admx}, {result.admlPath, &exported.adml}}) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
            result.error = path + QStringLiteral(": ") + file.errorString();
            return result;
        }
    }
    result.ok = true;
    return result;
}

} // namespace kova::admx
