#include "ui/WindowLook.h"

#include "resources/Resources.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lt {

QFont pixelFont(const QString& family, int pixels, bool bold)
{
    QFont f;
    if (family == QStringLiteral("宋体"))
        f.setFamilies({family, QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                       QStringLiteral("Noto Sans CJK SC")});
    else
        f.setFamily(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont songTiFont(int pixels, bool bold)
{
    return pixelFont(QStringLiteral("宋体"), pixels, bold);
}

QIcon programIcon()
{
    initResources();
    static const QString path = QStringLiteral(":/icons/linktrawler.png");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

void centreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void bringToFront(QWidget& window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace lt
