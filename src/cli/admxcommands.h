#pragma once

#include "clicommand.h"

namespace kova::cli {

// export-admx: load a template as Open does and write it as an ADMX file with its ADML texts.
std::vector<CliCommand> admxCommands();

} // namespace kova::cli
