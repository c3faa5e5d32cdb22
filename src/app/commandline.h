#pragma once

#include "registry/core/registrylocation.h"

#include <QString>
#include <QStringList>

namespace kova {

// Every argument after the program joined into one command line, an argument that holds a blank
// in double quotes (the shell took them off).
QString joinCommandLine(const QStringList &arguments);

// What the editor's command line asks for: the registry store and the command line StartUp loads
// (empty for none). error is set for bad usage: an unknown option (any argument that starts with
// "-"; a file so named is given as ./-x), more than one file, or --registry without a directory.
struct EditorCommandLine
{
    RegistryLocation registry;
    QString commandLine;
    QString error;
};
// arguments as QCoreApplication gives them, the program first.
EditorCommandLine readEditorCommandLine(QStringList arguments);

// The usage lines of "kova --help", printed after the error of a bad usage.
QString editorUsage();
// What kova prints when it finds no display to open its window on: how to start it under a virtual X
// server with the same command line.
QString noDisplayText(const QString &commandLine);
// Whether a display is there for Qt: an X or Wayland display, a platform chosen by QT_QPA_PLATFORM or
// by "-platform" among the arguments.
bool displayAvailable(const QStringList &arguments);

} // namespace kova
