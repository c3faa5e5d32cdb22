#pragma once

#include "clicommand.h"

#include "registry/core/registrylocation.h"

namespace kova::cli {

// convert (a registry export into a template) and associate (the start-up's file associations, written
// to the registry chosen with --registry).
std::vector<CliCommand> registryCommands(const RegistryLocation &registry);

} // namespace kova::cli
