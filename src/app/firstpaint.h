#pragma once

class QWidget;

namespace kova {

// Shows window and lets events run until the window system has exposed it and it is painted (or
// two seconds have passed: a window system may never expose a window that starts minimised). The
// start-up's slow steps (a large registry store to read and write) come after this, so the window
// is on screen as fast with a large store as with an empty one.
void showOnScreen(QWidget &window);

} // namespace kova
