#pragma once

#include <QIcon>
#include <QString>

namespace kova {

// Makes the desktop's icon theme reachable where the platform did not set one up (offscreen, a bare
// X server): adds the data folders' "icons" directories and picks an installed theme.
void setUpIconTheme();

// The icon for one of our picture names ("new", "open-file", "category", "open", "policy", ...): the
// theme's icon when there is one, else our own picture from the resources. Never a blank icon.
QIcon kovaIcon(const QString &name);

// The program's own icon (the window's, the about panel's), in every size it is drawn at. The same
// pictures are installed into the hicolor theme for the launcher.
QIcon programIcon();

} // namespace kova
