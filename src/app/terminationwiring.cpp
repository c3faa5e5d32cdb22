#include "terminationwiring.h"

#include "mainwindow.h"

#include "document/terminationwatch.h"

namespace kova {

void connectTermination(MainWindow &window, TerminationWatch &watch)
{
    QObject::connect(&watch, &TerminationWatch::terminationRequested, &window, [&window] { leaveOnSignal(window); });
}

void leaveOnSignal(MainWindow &window)
{
    window.controller().tempFiles().removeAll();
}

} // namespace kova
