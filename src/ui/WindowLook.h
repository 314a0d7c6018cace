#pragma once
#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;

namespace lt {

// What every window of the program shares in its look.

// A font of the given family at a size in pixels. For "宋体" the CJK
// families a Linux desktop has stand in when SimSun itself is missing.
QFont pixelFont(const QString& family, int pixels, bool bold = false);

// "宋体" at 12 pixels: the font of the main window, the BBS window and the
// cleaner window, and of the About box's Chinese texts.
QFont songTiFont(int pixels = 12, bool bold = false);

// The program's icon (the built-in picture), or a null icon when it is
// missing.
QIcon programIcon();

// Puts the window's frame (title bar and border included) at the centre of
// the available area of its screen.
void centreOnScreen(QWidget& window);

// Shows the window, out of its minimised state, above the others and active.
void bringToFront(QWidget& window);

} // namespace lt
