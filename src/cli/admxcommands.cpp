#include "admxcommands.h"

#include "clioptions.h"
#include "stderrprompter.h"
#include "templateload.h"

#include "admx/admxexport.h"
#include "document/loader.h"
#include "document/templatedocument.h"

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

} // namespace

std::vector<CliCommand> admxCommands()
{
    return {
        {QStringLiteral("export-admx"),
         QStringLiteral("export-admx INPUT.adm OUTDIR [--namespace NS] [--prefix P] [--language en-US]") +
             kLoadSynopsis,
         2, loadFlags(), conditionalFlags(), exportAdmx, loadValueOptions() << kNamespace << kPrefix << kLanguage},
    };
}

} // namespace kova::cli
