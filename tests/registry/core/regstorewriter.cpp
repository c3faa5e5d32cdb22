// Test helper: writes values into a registry store as fast as it can.
//   regstorewriter STORE_DIR PREFIX COUNT
// writes HKEY_CURRENT_USER\Software\Race\<PREFIX> values PREFIX0 .. PREFIX<COUNT-1> and the same names
// into HKEY_CLASSES_ROOT\Race, one write at a time. Exit 0 when every write succeeded.
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 64;
    kova::RegistryFileStore store(args.at(1));
    kova::clsReg reg(store);
    const QString prefix = args.at(2);
    const int count = args.at(3).toInt();
    try {
        for (int i = 0; i < count; ++i) {
            const QString name = prefix + QString::number(i);
            reg.setClassKey(kova::Hive::CurrentUser);
            reg.setSectionKey(QStringLiteral("Software\\Race\\") + prefix);
            reg.setValueKey(name);
            reg.setValueType(1);
            reg.setValue(name);
            reg.setClassKey(kova::Hive::ClassesRoot);
            reg.setSectionKey(QStringLiteral("Race"));
            reg.setValue(QStringLiteral("%") + name + QStringLiteral("%"));
        }
    } catch (const kova::RegistryError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
