#include "clicommand.h"

#include <cstdio>

namespace kova::cli {

namespace {

QString usageText(const std::vector<CliCommand> &commands)
{
    QString text = QStringLiteral("usage:\n");
    for (const CliCommand &c : commands)
        text += "  kova-cli " + c.synopsis + u'\n';
    return text + QStringLiteral("  kova-cli --help | --version\n");
}

int usage(const std::vector<CliCommand> &commands, const QString &problem)
{
    QString text;
    if (!problem.isEmpty())
        text += "kova-cli: " + problem + u'\n';
    text += usageText(commands);
    std::fputs(text.toLocal8Bit().constData(), stderr);
    return Usage;
}

// The answer to --help, on standard output: the usage and what the exit status means.
int help(const std::vector<CliCommand> &commands)
{
    const QString text = usageText(commands) +
                         QStringLiteral("\n"
                                        "--registry DIR, accepted by every command, picks the registry store\n"
                                        "(system.reg and user.reg in the Wine format).\n"
                                        "Exit status: 0 success, 1 the load or write failed, 2 a fatal fault in the\n"
                                        "template, 64 bad usage. See kova-cli(1).\n");
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return Success;
}

} // namespace

int runCli(const QStringList &argv, const std::vector<CliCommand> &commands)
{
    if (argv.size() < 2)
        return usage(commands, QString());
    const QString name = argv.at(1);
    if (argv.size() == 2 && (name == u"--help" || name == u"-h"))
        return help(commands);
    if (argv.size() == 2 && name == u"--version") {
        std::fputs("kova-cli " KOVA_VERSION "\n", stdout);
        return Success;
    }
    const auto command =
        std::find_if(commands.begin(), commands.end(), [&](const CliCommand &c) { return c.name == name; });
    if (command == commands.end())
        return usage(commands, "unknown command '" + name + "'");

    Invocation invocation;
    const QStringList rest = argv.mid(2);
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &arg = rest.at(i);
        const qsizetype equals = arg.indexOf(u'=');
        const QString option = equals < 0 ? arg : arg.first(equals);
        if (arg.startsWith("--") && command->valueOptions.contains(option)) {
            if (equals < 0 && i + 1 >= rest.size())
                return usage(commands, "option '" + arg + "' needs a value");
            invocation.values.insert(option, equals < 0 ? rest.at(++i) : arg.mid(equals + 1));
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
