#pragma once

#include <QPalette>

class QWidget;

namespace widgets
{

// The light colours the window is drawn for: dark text on light grounds. The
// white keys, the white and light-blue slots and the light-green markers are
// fixed colours, on which a dark desktop's light text would vanish.
QPalette lightPalette();

// Gives a window the light palette whatever the desktop's colour scheme, and
// with it every menu and dialog it opens: those are windows of their own and
// would otherwise take the desktop's colours. Call it before any of them
// first shows; menus added later are covered.
void keepLightPalette(QWidget *window);

} // namespace widgets
