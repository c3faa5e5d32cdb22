#include "fileassociations.h"

#include "clsreg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <functional>

namespace kova {

QList<AssociationFailure> registerFileAssociations(clsReg &reg, const QString &exePath)
{
    QList<AssociationFailure> failures;
    // One pass: the store is rewritten once, and not at all when every entry is already there.
    RegistryBatch batch(reg.backend());
    const auto attempt = [&](const QString &call, const std::function<void()> &run) {
        try {
            run();
        } catch (const RegistryError &error) {
            failures.append(AssociationFailure{call, error});
        }
    };
    attempt(QStringLiteral("CreateEXEAssociation ADM.Document"), [&] {
        reg.CreateEXEAssociation(exePath, QStringLiteral("ADM.Document"), QStringLiteral("Policy Template File"),
                                 QStringLiteral("adm"), QStringLiteral("&Open"), 0);
    });
    attempt(QStringLiteral("CreateAdditionalEXEAssociations ADM.Document"), [&] {
        reg.CreateAdditionalEXEAssociations(QStringLiteral("ADM.Document"),
                                            {QStringLiteral("Open with Notepad"), QStringLiteral("Open with Notepad"),
                                             QStringLiteral("%WinDir%\\NOTEPAD.EXE %1")});
    });
    attempt(QStringLiteral("CreateAdditionalEXEAssociations regfile"), [&] {
        reg.CreateAdditionalEXEAssociations(QStringLiteral("regfile"), {QStringLiteral("Convert to Policy Template"),
                                                                        QStringLiteral("Convert to Policy Template"),
                                                                        exePath + QStringLiteral(" %1")});
    });
    attempt(QStringLiteral("CreateEXEAssociation POL.Document"), [&] {
        reg.CreateEXEAssociation(QStringLiteral("%WinDir%\\POLEDIT.EXE"), QStringLiteral("POL.Document"),
                                 QStringLiteral("System Policy File"), QStringLiteral("pol"), QStringLiteral("&Open"),
                                 0);
    });
    if (!batch.commit())
        failures.append(AssociationFailure{QStringLiteral("writing the associations"),
                                           RegistryError(RegistryError::StoreFailed, registryErrorSource(),
                                                         QStringLiteral("The registry store cannot be written."))});
    return failures;
}

QString currentExecutablePath()
{
    const QString path = QCoreApplication::applicationFilePath();
    const QString real = QFileInfo(path).canonicalFilePath();
    return QDir::toNativeSeparators(real.isEmpty() ? path : real);
}

} // namespace kova
