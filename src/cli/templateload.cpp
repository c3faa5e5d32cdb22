#include "templateload.h"

#include "clioptions.h"
#include "stderrprompter.h"

#include "document/encoding.h"
#include "document/loader.h"
#include "document/templatedocument.h"

#include <cstdio>

namespace kova::cli {

namespace {

int exitCodeOf(const LoadResult &result)
{
    switch (result.status) {
    case LoadResult::Status::Loaded: return Success;
    case LoadResult::Status::Failed: return Failure;
    case LoadResult::Status::Fatal: return Fatal;
    }
    return Failure;
}

} // namespace

QStringList loadFlags()
{
    return {kRemoveConditionals, kEvaluateConditionals, kNewerStatements};
}

QStringList loadValueOptions()
{
    return {kEncoding};
}

QStringList conditionalFlags()
{
    return {kRemoveConditionals, kEvaluateConditionals};
}

int loadTemplate(TemplateDocument &document, const Invocation &inv, std::vector<int> *nodeLines)
{
    LoadOptions options;
    options.newerStatements = inv.has(kNewerStatements);
    options.nodeLines = nodeLines;
    options.conditionals = inv.has(kRemoveConditionals)     ? Conditionals::Remove
                           : inv.has(kEvaluateConditionals) ? Conditionals::Evaluate
                                                            : Conditionals::Ask;
    // Asked only when neither flag decided: the load stops, with the one line that names them.
    StderrPrompter prompter([](const Message &message) -> std::optional<Answer> {
        std::fputs("kova-cli: conditional statements found (#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION); "
                   "--remove-conditionals removes them, --evaluate-conditionals reads them as Group Policy does\n",
                   stderr);
        return message.buttons == Message::Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    });
    if (inv.values.contains(kEncoding)) {
        options.encoding = encodingFromName(inv.values.value(kEncoding));
        if (!options.encoding) {
            QStringList known;
            for (TextEncoding encoding : availableEncodings())
                known.append(encodingName(encoding));
            std::fputs(qPrintable(QStringLiteral("kova-cli: unknown encoding '") + inv.values.value(kEncoding) +
                                  QStringLiteral("'; known: ") + known.join(QStringLiteral(", ")) + u'\n'),
                       stderr);
            return Usage;
        }
    }
    return exitCodeOf(Vullen(document, inv.arguments.at(0), prompter, options));
}

} // namespace kova::cli
