#include "clicommand.h"

#include <cstdio>

namespace kova::cli {

namespace {

int usage(const std::vector<CliCommand> &commands, const QString &problem)
{
    QString text;
    if (!problem.isEmpty())
        text += "kova-cli: " + problem + u'\n';
    text += QStringLiteral("usage:\n");
    for (const CliCommand &c : commands)
        text += "  kova-cli " + c.synopsis + u'\n';
    std::fputs(text.toLocal8Bit().constData(), stderr);
    return Usage;
}

} // namespace

int runCli(const QStringList &argv, const std::vector<CliCommand> &commands)
{
    if (argv.size() < 2)
        return usage(commands, QString());
    const QString name = argv.at(1);
    const auto command =
        std::find_if(commands.begin(), commands.end(), [&](const CliCommand &c) { return c.name == name; });
    if (command == commands.end())
        return usage(commands, "unknown command '" + name + "'");

    Invocation invocation;
    const QStringList args = argv.mid(2);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (command->valueOptions.contains(arg)) {
            if (i + 1 >= args.size())
                return usage(commands, "option '" + arg + "' needs a value");
            invocation.values.insert(arg, args.at(++i));
        } else if (arg.startsWith("--")) {
            if (!command->allowedFlags.contains(arg))
                return usage(commands, "unknown option '" + arg + "' for " + name);
            invocation.flags.insert(arg);
        } else {
            invocation.arguments.append(arg);
        }
    }
    if (invocation.arguments.size() != command->arguments)
        return usage(commands, "wrong number of arguments for " + name);
    int exclusive = 0;
    for (const QString &flag : command->exclusiveFlags)
        exclusive += invocation.has(flag) ? 1 : 0;
    if (exclusive > 1)
        return usage(commands, command->exclusiveFlags.join(" and ") + " exclude each other");
    return command->run(invocation);
}

} // namespace kova::cli
