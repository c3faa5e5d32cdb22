#pragma once

namespace kova {

class MainWindow;
class clsReg;

// Connects the registry to the window: the file associations of start-up step 4, and the conversion
// of registry exports that LoadDocument hands over. reg must outlive window.
void connectRegistry(MainWindow &window, clsReg &reg);

} // namespace kova
