#include "firstpaint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

namespace kova {

void showOnScreen(QWidget &window)
{
    window.show();
    const QWindow *handle = window.windowHandle();
    QElapsedTimer waited;
    waited.start();
    // An exposed widget window has painted itself: the expose handling paints and flushes at once.
    while (handle && !handle->isExposed() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kova
