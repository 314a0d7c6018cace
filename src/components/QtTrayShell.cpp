#include "components/QtTrayShell.h"

#include "ui/ErrorGuard.h"
#include "components/QtIconImage.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>
#include <cstring>
#include <vector>

namespace lt {

QtTrayShell::QtTrayShell(QObject* parent) : QObject(parent) {}

QtTrayShell::~QtTrayShell()
{
    for (auto& [key, entry] : FIcons)
        delete entry.icon;
}

bool QtTrayShell::notificationAreaAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

HWND QtTrayShell::AllocateHWnd(WindowHandler handler)
{
    const HWND h = FNextHandle++;
    FWindows[h] = std::move(handler);
    return h;
}

void QtTrayShell::DeallocateHWnd(HWND window)
{
    FWindows.erase(window);
}

std::intptr_t QtTrayShell::DefWindowProc(HWND, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}

void QtTrayShell::apply(Entry& entry, const NotifyIconData& data)
{
    if (data.uFlags & NIF_ICON)
        entry.icon->setIcon(toQIcon(data.hIcon));
    if (data.uFlags & NIF_TIP)
        entry.icon->setToolTip(QString::fromUtf8(data.szTip, static_cast<qsizetype>(strnlen(data.szTip, sizeof data.szTip))));
    if (data.uFlags & NIF_MESSAGE) {
        entry.notify = true;
        entry.callbackMessage = data.uCallbackMessage;
    }
}

bool QtTrayShell::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data)
{
    if (data.cbSize != kNotifyIconDataSize || !FWindows.count(data.hWnd))
        return false;
    const Key key{data.hWnd, data.uID};
    auto it = FIcons.find(key);
    switch (message) {
    case NIM_ADD: {
        if (it != FIcons.end())
            return false;
        Entry entry;
        entry.icon = new QSystemTrayIcon(this);
        QObject::connect(entry.icon, &QSystemTrayIcon::activated, this,
                         [this, key](QSystemTrayIcon::ActivationReason r) { activated(key, r); });
        apply(entry, data);
        entry.icon->show();
        FIcons.emplace(key, entry);
        return true;
    }
    case NIM_MODIFY:
        if (it == FIcons.end())
            return false;
        apply(it->second, data);
        return true;
    case NIM_DELETE:
        if (it == FIcons.end())
            return false;
        it->second.icon->hide();
        it->second.icon->deleteLater(); // it may be emitting right now
        FIcons.erase(it);
        return true;
    default:
        return false;
    }
}

void QtTrayShell::activated(Key key, QSystemTrayIcon::ActivationReason reason)
{
    std::vector<std::intptr_t> sequence;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        sequence = {WM_LBUTTONDOWN, WM_LBUTTONUP};
        FLastTrigger.start();
        break;
    case QSystemTrayIcon::DoubleClick:
        // Most platforms report the first click of a double click as a
        // trigger of its own; then only the second half is missing.
        if (FLastTrigger.isValid() && FLastTrigger.elapsed() <= QApplication::doubleClickInterval())
            sequence = {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        else
            sequence = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        FLastTrigger.invalidate();
        break;
    case QSystemTrayIcon::Context:
        sequence = {WM_RBUTTONDOWN, WM_RBUTTONUP};
        break;
    default:
        return;
    }
    for (std::intptr_t mouseMessage : sequence) {
        // A handler may have taken the icon away in the meantime.
        auto it = FIcons.find(key);
        if (it == FIcons.end() || !it->second.notify)
            return;
        send(key.first, it->second.callbackMessage, key.second, mouseMessage);
    }
}

void QtTrayShell::send(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    auto it = FWindows.find(window);
    if (it == FWindows.end())
        return;
    const WindowHandler handler = it->second; // the window may go while it runs
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    // No error may cross the event loop.
    guarded(nullptr, [&] { handler(m); });
}

TPoint QtTrayShell::GetCursorPos()
{
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

std::int16_t QtTrayShell::GetKeyState(int virtKey)
{
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    bool down = false;
    switch (virtKey) {
    case VK_SHIFT: down = mods & Qt::ShiftModifier; break;
    case VK_CONTROL: down = mods & Qt::ControlModifier; break;
    case VK_MENU: down = mods & Qt::AltModifier; break;
    default: break;
    }
    return down ? std::int16_t(-128) : std::int16_t(0);
}

void QtTrayShell::SetForegroundWindow(HWND window)
{
    // The hidden window has nothing to raise; the menu grabs input itself.
    if (window != kApplicationHandle)
        return;
    if (QApplication::activeWindow())
        return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && !w->isMinimized() && (type == Qt::Window || type == Qt::Dialog)) {
            w->activateWindow();
            return;
        }
    }
}

void QtTrayShell::PostMessage(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    QMetaObject::invokeMethod(
        this, [this, window, msg, wParam, lParam] { send(window, msg, wParam, lParam); }, Qt::QueuedConnection);
}

QSystemTrayIcon* QtTrayShell::trayIcon(HWND window, std::uint32_t id) const
{
    auto it = FIcons.find({window, id});
    return it == FIcons.end() ? nullptr : it->second.icon;
}

} // namespace lt
