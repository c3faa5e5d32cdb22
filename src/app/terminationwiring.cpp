#include "terminationwiring.h"

#include "mainwindow.h"
#include "recoverykeeper.h"

#include "document/terminationwatch.h"

namespace kova {

void connectTermination(MainWindow &window, TerminationWatch &watch)
{
    QObject::connect(&watch, &TerminationWatch::terminationRequested, &window, [&window] { leaveOnSignal(window); });
}

void leaveOnSignal(MainWindow &window)
{
    if (RecoveryKeeper *keeper = window.findChild<RecoveryKeeper *>(QString(), Qt::FindDirectChildrenOnly))
        keeper->keepNow();
    window.controller().tempFiles().removeAll();
}

} // namespace kova
