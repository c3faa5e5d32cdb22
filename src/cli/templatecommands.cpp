#include "templatecommands.h"

#include "stderrprompter.h"

#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/writer.h"

#include <cstdio>

namespace kova::cli {

namespace {

const QString kRemoveConditionals = QStringLiteral("--remove-conditionals");
const QString kNewerStatements = QStringLiteral("--newer-statements");
const QString kStrings = QStringLiteral("--strings");

int exitCodeOf(const LoadResult &result)
{
    switch (result.status) {
    case LoadResult::Status::Loaded: return Success;
    case LoadResult::Status::Failed: return Failure;
    case LoadResult::Status::Fatal: return Fatal;
    }
    return Failure;
}

// Loads as Open does; --remove-conditionals answers the conditional question Yes. Without it one
// line says what was found and which flag removes it, and the load fails.
int load(TemplateDocument &document, const Invocation &inv)
{
    const bool removeConditionals = inv.has(kRemoveConditionals);
    StderrPrompter prompter([removeConditionals](const Message &) -> std::optional<Answer> {
        if (removeConditionals)
            return Answer::Yes;
        std::fputs("kova-cli: conditional statements found (#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION); "
                   "--remove-conditionals removes them\n",
                   stderr);
        return Answer::No;
    });
    LoadOptions options;
    options.newerStatements = inv.has(kNewerStatements);
    return exitCodeOf(Vullen(document, inv.arguments.at(0), prompter, options));
}

int check(const Invocation &inv)
{
    TemplateDocument document;
    return load(document, inv);
}

int normalize(const Invocation &inv)
{
    TemplateDocument document;
    if (const int code = load(document, inv); code != Success)
        return code;
    document.setPath(inv.arguments.at(1));
    document.setStringsOption(inv.has(kStrings));
    StderrPrompter prompter(nullptr);
    return WriteTemplate(document, prompter) ? Success : Failure;
}

} // namespace

std::vector<CliCommand> templateCommands()
{
    return {
        {QStringLiteral("check"),
         QStringLiteral("check FILE [--remove-conditionals] [--newer-statements]"),
         1,
         {kRemoveConditionals, kNewerStatements},
         {},
         check},
        {QStringLiteral("normalize"),
         QStringLiteral("normalize INPUT OUTPUT [--strings] [--remove-conditionals] [--newer-statements]"),
         2,
         {kStrings, kRemoveConditionals, kNewerStatements},
         {},
         normalize},
    };
}

} // namespace kova::cli
