#pragma once

#include <QtGlobal>

namespace kova {

class MainWindow;
class ModalRunner;
class RegistryBrowser;
class clsReg;

// Connects the registry to the window: the file associations written at start-up, and the conversion
// of registry exports that LoadDocument hands over. A conversion shows the wait cursor and blocks the
// window's input; an export of at least progressBarFrom bytes (characters for a Unicode export) also
// shows a progress bar. reg must outlive window.
void connectRegistry(MainWindow &window, clsReg &reg, qint64 progressBarFrom = qint64(4) << 20);

// Puts the registry browser on the "&Registry" page and the key and value pickers behind the node
// pages' "Select" buttons, all reading through reg. runner runs the picker windows; without one they
// run in their own modal loop. reg and runner must outlive window.
RegistryBrowser *connectRegistryBrowser(MainWindow &window, clsReg &reg, ModalRunner *runner = nullptr);

} // namespace kova
