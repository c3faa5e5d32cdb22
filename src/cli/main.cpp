// kova-cli: the template engine without the window, for administrators' scripts.
#include "clicommand.h"
#include "templatecommands.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kova-cli"));
    std::vector<kova::cli::CliCommand> commands = kova::cli::templateCommands();
    return kova::cli::runCli(QCoreApplication::arguments(), commands);
}
