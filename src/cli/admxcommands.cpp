#include "admxcommands.h"

#include "clioptions.h"
#include "stderrprompter.h"
#include "templateload.h"

#include "admx/admxexport.h"
#include "admx/admximport.h"
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/writer.h"

#include <QLocale>

#include <cstdio>

namespace kova::cli {

namespace {

void printLine(const QString &text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stderr);
}

int exportAdmx(const Invocation &inv)
{
    const QString input = inv.arguments.at(0);
    admx::ExportOptions options = admx::defaultOptions(input);
    options.targetNamespace = inv.value(kNamespace, options.targetNamespace);
    options.prefix = inv.value(kPrefix, options.prefix);
    options.language = inv.value(kLanguage, options.language);
    if (const QString problem = admx::checkOptions(options); !problem.isEmpty()) {
        printLine(QStringLiteral("kova-cli: ") + problem);
        return Usage;
    }

    TemplateDocument document;
    if (const int code = loadTemplate(document, inv); code != Success)
        return code;

    const admx::WriteResult written = admx::writeAdmxFiles(document, inv.arguments.at(1), options);
    for (const admx::Warning &w : written.warnings)
        printLine(QStringLiteral("warning: ") + admx::formatWarning(w));
    if (!written.ok) {
        printLine(written.error);
        return Failure;
    }
    return Success;
}

// Reads an ADMX with its ADML as a template and writes it as Save As would.
int importAdmx(const Invocation &inv)
{
    if (inv.values.contains(kAdml) && inv.values.contains(kLanguage)) {
        printLine(QStringLiteral("kova-cli: --adml and --language exclude each other"));
        return Usage;
    }
    admx::ImportOptions options;
    options.admlPath = inv.value(kAdml, QString());
    options.language = inv.value(kLanguage, QString());
    options.userLanguage = QLocale::system().name().replace(u'_', u'-');
    const admx::ImportResult imported = admx::importAdmx(inv.arguments.at(0), options);
    if (!imported.ok) {
        printLine(QStringLiteral("kova-cli: ") + imported.error);
        return Failure;
    }
    for (const admx::Warning &w : imported.warnings)
        printLine(QStringLiteral("warning: ") + admx::formatWarning(w));
    TemplateDocument document;
    StderrPrompter prompter(nullptr);
    LoadOptions load;
    load.newerStatements = true;
    const LoadResult loaded = loadTemplateBytes(document, imported.adm, prompter, load);
    if (loaded.status == LoadResult::Status::Fatal)
        return Fatal;
    if (!loaded.loaded())
        return Failure;
    document.setPath(inv.arguments.at(1));
    document.setStringsOption(inv.has(kStrings));
    return WriteTemplate(document, prompter) ? Success : Failure;
}

} // namespace

std::vector<CliCommand> admxCommands()
{
    return {
        {QStringLiteral("export-admx"),
         QStringLiteral("export-admx INPUT.adm OUTDIR [--namespace NS] [--prefix P] [--language en-US]") +
             kLoadSynopsis,
         2, loadFlags(), conditionalFlags(), exportAdmx, loadValueOptions() << kNamespace << kPrefix << kLanguage},
        {QStringLiteral("import-admx"),
         QStringLiteral("import-admx INPUT.admx OUTPUT.adm [--adml FILE | --language xx-XX] [--strings]"),
         2,
         {kStrings},
         {},
         importAdmx,
         {kAdml, kLanguage}},
    };
}

} // namespace kova::cli
