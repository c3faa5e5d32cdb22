#pragma once

#include "registrybackend.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace kova {

// Where the program's registry lives.
//
// Linux (and any platform without a registry): a RegistryFileStore in the directory given with
// "--registry DIR", else in defaultRegistryStoreDirectory(). Windows: the real registry, unless
// "--registry DIR" names a store directory.
struct RegistryLocation
{
    QString storeDirectory; // empty: the platform's own registry (Windows) or the default store
};

// The application data location + "/registry" (QStandardPaths::AppDataLocation; set the application
// and organization names first).
QString defaultRegistryStoreDirectory();

// Takes "--registry DIR" (or "--registry=DIR") out of arguments (argv without the program name or with
// it: only the option is removed). Returns false and sets error when the option has no directory.
bool takeRegistryOption(QStringList &arguments, RegistryLocation &location, QString *error = nullptr);

// The backend for a location: a RegistryFileStore for a store directory (the default one on platforms
// without a registry), the Win32 registry otherwise.
std::unique_ptr<RegistryBackend> makeRegistryBackend(const RegistryLocation &location);

} // namespace kova
