#pragma once

#include "clicommand.h"

#include <vector>

namespace kova {
class TemplateDocument;
}

namespace kova::cli {

// The synopsis of those flags and options, for the usage text.
inline const QString kLoadSynopsis =
    QStringLiteral(" [--remove-conditionals | --evaluate-conditionals] [--newer-statements] [--encoding NAME]");

// The flags and options every command that loads a template accepts.
QStringList loadFlags();
QStringList loadValueOptions();
// The flags of which only one may be given.
QStringList conditionalFlags();

// Loads the template named by the first argument as Open does. --remove-conditionals removes
// conditional statements, --evaluate-conditionals keeps what a Group Policy editor reads; without
// either, one line says what was found and which flags read it, and the load fails. --encoding reads
// the file in the encoding named. Returns the exit status.
int loadTemplate(TemplateDocument &document, const Invocation &inv, std::vector<int> *nodeLines = nullptr);

} // namespace kova::cli
