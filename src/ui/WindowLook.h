#pragma once
#include <QFont>
#include <QIcon>
#include <QMargins>
#include <QSize>
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

// Window sizes are outer sizes: title bar and border included. The frame is
// the window manager's, so it is known only once a window has been shown;
// what the window manager reported for the last window shown stands in for
// a window not yet shown (none at all before the first one).

enum class Sizing { Resizable, Fixed };

// Gives the window the outer size: its inner size is the outer size less the
// frame, and is set again when the window manager reports a frame other
// than the one it was computed with.
void setOuterSize(QWidget& window, QSize outer, Sizing sizing = Sizing::Resizable);

// The window's frame: as reported for it, or as last reported for another.
QMargins frameOf(const QWidget& window);

// Puts the window's frame at the centre of the available area of its screen.
void centreOnScreen(QWidget& window);

// The width a window needs to show its caption whole in the title bar: the
// caption as window managers commonly draw it (the application's font, bold)
// and room for the window's icon and the title bar's buttons.
int widthForCaption(const QString& caption);

// Shows the window, out of its minimised state, above the others; active
// unless told to leave the focus where it is (to a window shown after it).
enum class Focus { Take, Leave };
void bringToFront(QWidget& window, Focus focus = Focus::Take);

} // namespace lt
