#pragma once

#include <QString>
#include <QStringList>

namespace kova {

// Every argument after the program joined into one command line, an argument that holds a blank
// in double quotes (the shell took them off).
QString joinCommandLine(const QStringList &arguments);

} // namespace kova
