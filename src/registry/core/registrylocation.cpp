#include "registrylocation.h"

#include "registryfilestore.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "win32registry.h"
#endif

namespace kova {

QString defaultRegistryStoreDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/registry");
}

bool takeRegistryOption(QStringList &arguments, RegistryLocation &location, QString *error)
{
    const QString option = QStringLiteral("--registry");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == option) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                if (error)
                    *error = QStringLiteral("--registry needs a directory");
                return false;
            }
            location.storeDirectory = arguments.at(i + 1);
            arguments.remove(i, 2);
            --i;
        } else if (arg.startsWith(option + u'=')) {
            location.storeDirectory = arg.mid(option.size() + 1);
            arguments.remove(i);
            if (location.storeDirectory.isEmpty()) {
                if (error)
                    *error = QStringLiteral("--registry needs a directory");
                return false;
            }
            --i;
        }
    }
    return true;
}

std::unique_ptr<RegistryBackend> makeRegistryBackend(const RegistryLocation &location)
{
#ifdef Q_OS_WIN
    if (location.storeDirectory.isEmpty())
        return std::make_unique<Win32Registry>();
#endif
    const QString dir = location.storeDirectory.isEmpty() ? defaultRegistryStoreDirectory() : location.storeDirectory;
    return std::make_unique<RegistryFileStore>(dir);
}

} // namespace kova
