#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova::test {

// What a finished program gave back; code is -1 when it crashed or did not end within its time.
struct ProgramRun
{
    int code = -1;
    QString out; // standard output, read as UTF-8
    QString err; // standard error, read as UTF-8
};

// Runs program with args, input on its standard input, and environment ("NAME=value") added to the
// test's own; waits up to five minutes.
ProgramRun runProgram(const QString &program, const QStringList &args, const QByteArray &input = QByteArray(),
                      const QStringList &environment = {}, const QString &workingDir = QString());
// The same for the kova-cli of this build (a test that uses it depends on the kova-cli target).
ProgramRun runKovaCli(const QStringList &args, const QByteArray &input = QByteArray(),
                      const QStringList &environment = {});

} // namespace kova::test
