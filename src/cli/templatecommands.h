#pragma once

#include "clicommand.h"

namespace kova::cli {

// check and normalize: load a template as Open does, and write it as Save As does.
std::vector<CliCommand> templateCommands();

} // namespace kova::cli
