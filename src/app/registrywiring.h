#pragma once

#include <QtGlobal>

namespace kova {

class MainWindow;
class clsReg;

// Connects the registry to the window: the file associations written at start-up, and the conversion
// of registry exports that LoadDocument hands over. A conversion shows the wait cursor and blocks the
// window's input; an export of at least progressBarFrom bytes (characters for a Unicode export) also
// shows a progress bar. reg must outlive window.
void connectRegistry(MainWindow &window, clsReg &reg, qint64 progressBarFrom = qint64(4) << 20);

} // namespace kova
