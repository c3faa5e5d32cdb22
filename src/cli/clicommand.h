#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kova::cli {

// Exit statuses of kova-cli.
enum ExitCode { Success = 0, Failure = 1, Fatal = 2, Usage = 64 };

struct Invocation
{
    QStringList arguments;          // positional arguments after the command name
    QSet<QString> flags;            // "--strings", ...
    QHash<QString, QString> values; // options given with a value: "--editor" -> its PATH
    bool has(const QString &flag) const { return flags.contains(flag); }
};

struct CliCommand
{
    QString name;
    QString synopsis; // one line for the usage text
    int arguments = 0;
    QStringList allowedFlags;
    // Flags that may not be given together.
    QStringList exclusiveFlags;
    std::function<int(const Invocation &)> run;
    // Options that take the next argument as their value ("--editor PATH").
    QStringList valueOptions = {};
};

// Parses argv against the commands and runs the one named; prints the usage text and returns Usage
// when the command line is not understood.
int runCli(const QStringList &argv, const std::vector<CliCommand> &commands);

} // namespace kova::cli
