#include "ui/WindowLook.h"

#include "resources/Resources.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lt {

namespace {

// The frame the window manager reported last, for any window.
QMargins& reportedFrame()
{
    static QMargins frame;
    return frame;
}

// The frame reported for this window; null until the window manager has
// framed it (and under one that draws no frames).
QMargins ownFrame(const QWidget& window)
{
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Keeps a window's outer size while the frame it was computed with is not
// the one the window manager reports.
class OuterSize : public QObject {
public:
    OuterSize(QWidget& window, QSize outer, Sizing sizing)
        : QObject(&window), window_(window), outer_(outer), sizing_(sizing)
    {
        window.installEventFilter(this);
        apply(frameOf(window));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_)
            return false;
        // The window manager frames a window after it is shown; the window
        // hears of it with whichever of these comes first (a window placed
        // by its inner position does not even move).
        switch (event->type()) {
        case QEvent::Show:
            // Sized now, before the window is placed: with its own frame if
            // known, else with one seen on another window since it was sized.
            frameReported(Adjust::Now);
            if (ownFrame(window_).isNull() && reportedFrame() != used_)
                apply(reportedFrame());
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
        case QEvent::WindowActivate:
            frameReported(Adjust::Later);
            break;
        default:
            break;
        }
        return false;
    }

private:
    enum class Adjust { Now, Later };

    void frameReported(Adjust when)
    {
        const QMargins frame = ownFrame(window_);
        if (frame.isNull())
            return;
        reportedFrame() = frame;
        if (frame == used_)
            return;
        if (when == Adjust::Now) {
            apply(frame);
        } else if (!pending_) {
            // Not in the middle of the event (a paint, say).
            pending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    pending_ = false;
                    frameReported(Adjust::Now);
                },
                Qt::QueuedConnection);
        }
    }

    void apply(const QMargins& frame)
    {
        used_ = frame;
        const QSize inner = outer_.shrunkBy(frame);
        if (sizing_ == Sizing::Fixed)
            window_.setFixedSize(inner);
        else
            window_.resize(inner);
    }

    QWidget& window_;
    QSize outer_;
    Sizing sizing_;
    QMargins used_;
    bool pending_ = false;
};

} // namespace

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

void setOuterSize(QWidget& window, QSize outer, Sizing sizing)
{
    static const QString name = QStringLiteral("lt::OuterSize");
    delete window.findChild<QObject*>(name, Qt::FindDirectChildrenOnly); // a size given before
    (new OuterSize(window, outer, sizing))->setObjectName(name);
}

QMargins frameOf(const QWidget& window)
{
    const QMargins own = ownFrame(window);
    return own.isNull() ? reportedFrame() : own;
}

void centreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = frameOf(window);
    QRect outer(QPoint(), window.size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    QPoint position = outer.topLeft();
    // move() places the frame; but a window that has its native window and
    // has not been framed yet is placed by its inner position.
    if (window.testAttribute(Qt::WA_WState_Created) && ownFrame(window).isNull())
        position += QPoint(frame.left(), frame.top());
    window.move(position);
}

int widthForCaption(const QString& caption)
{
    // The window icon and up to three buttons, with the gaps between them.
    constexpr int kDecoration = 100;
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + kDecoration;
}

void bringToFront(QWidget& window, Focus focus)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    // A window being mapped would take the focus when the window manager
    // maps it, after whatever was activated meanwhile.
    const bool quiet = window.testAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_ShowWithoutActivating, quiet || focus == Focus::Leave);
    window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, quiet);
    window.raise();
    if (focus == Focus::Take)
        window.activateWindow();
}

} // namespace lt
