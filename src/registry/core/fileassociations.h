#pragma once

#include "registryerror.h"

#include <QList>
#include <QString>

namespace kova {

class clsReg;

// One association call of the start-up that raised an error.
struct AssociationFailure
{
    QString call; // "CreateEXEAssociation ADM.Document", ...
    RegistryError error;
};

// The file types the program registers at every start, in this order:
//   1. CreateEXEAssociation(exePath, "ADM.Document", "Policy Template File", "adm", "&Open", 0)
//   2. CreateAdditionalEXEAssociations("ADM.Document", "Open with Notepad", "Open with Notepad",
//      "%WinDir%\NOTEPAD.EXE %1")
//   3. CreateAdditionalEXEAssociations("regfile", "Convert to Policy Template", "Convert to Policy Template",
//      exePath + " %1")
//   4. CreateEXEAssociation("%WinDir%\POLEDIT.EXE", "POL.Document", "System Policy File", "pol", "&Open", 0)
// exePath is the program itself (on Windows the folder's KOVA.EXE, elsewhere the executable's real path,
// see currentExecutablePath()). A call that raises does not stop the later ones; the failures come back
// in call order, and the caller decides whether to tell anyone. Nothing is shown from here.
//
// Start-up wiring, for example:
//     RegistryLocation where;
//     takeRegistryOption(arguments, where);              // "--registry DIR"
//     const auto backend = makeRegistryBackend(where);  // lives as long as the shared clsReg
//     clsReg reg(*backend);
//     const auto failures = registerFileAssociations(reg, currentExecutablePath());
QList<AssociationFailure> registerFileAssociations(clsReg &reg, const QString &exePath);

// The running program's executable with symbolic links resolved, in native separators.
QString currentExecutablePath();

} // namespace kova
