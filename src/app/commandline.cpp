#include "commandline.h"

namespace kova {

QString joinCommandLine(const QStringList &arguments)
{
    QStringList parts;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        parts.append(a.contains(u' ') && !a.contains(u'"') ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    }
    return parts.join(u' ');
}

EditorCommandLine readEditorCommandLine(QStringList arguments)
{
    EditorCommandLine result;
    if (!takeRegistryOption(arguments, result.registry, &result.error))
        return result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i).startsWith(u'-')) {
            result.error = QStringLiteral("unknown option ") + arguments.at(i);
            return result;
        }
    }
    if (arguments.size() > 2) {
        result.error = QStringLiteral("one file at most");
        return result;
    }
    result.commandLine = joinCommandLine(arguments);
    return result;
}

QString editorUsage()
{
    return QStringLiteral("usage:\n"
                          "  kova [FILE] [--registry DIR]\n"
                          "  kova --help | --version\n");
}

QString noDisplayText(const QString &commandLine)
{
    QString command = QStringLiteral("xvfb-run -a kova");
    if (!commandLine.isEmpty())
        command += u' ' + commandLine;
    return QStringLiteral("No display found. Start the editor under a virtual X server instead:\n  ") + command + u'\n';
}

bool displayAvailable(const QStringList &arguments)
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return arguments.contains(QStringLiteral("-platform"));
}

} // namespace kova
