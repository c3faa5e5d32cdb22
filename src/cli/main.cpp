// kova-cli: the template engine without the window, for administrators' scripts.
#include "admxcommands.h"
#include "clicommand.h"
#include "registrycommands.h"
#include "templatecommands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The editor's names: kova-cli and the editor share the default registry store.
    QCoreApplication::setOrganizationName(QStringLiteral("Brenlow"));
    QCoreApplication::setApplicationName(QStringLiteral("Kova"));
    QStringList arguments = QCoreApplication::arguments();
    kova::RegistryLocation registry;
    QString error;
    if (!kova::takeRegistryOption(arguments, registry, &error)) {
        std::fprintf(stderr, "kova-cli: %s\n", qPrintable(error));
        return kova::cli::Usage;
    }
    std::vector<kova::cli::CliCommand> commands = kova::cli::templateCommands();
    for (kova::cli::CliCommand &command : kova::cli::registryCommands(registry))
        commands.push_back(std::move(command));
    for (kova::cli::CliCommand &command : kova::cli::admxCommands())
        commands.push_back(std::move(command));
    return kova::cli::runCli(arguments, commands);
}
