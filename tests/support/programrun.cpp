#include "programrun.h"

#include <QProcess>

namespace kova::test {

ProgramRun runProgram(const QString &program, const QStringList &args, const QByteArray &input,
                      const QStringList &environment, const QString &workingDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir);
    p.start(program, args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(300000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

ProgramRun runKovaCli(const QStringList &args, const QByteArray &input, const QStringList &environment)
{
    return runProgram(QStringLiteral(KOVA_CLI_FOR_SUPPORT), args, input, environment);
}

} // namespace kova::test
