#pragma once
#include "components/TrayShell.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>
#include <map>
#include <utility>

namespace lt {

// The notification area over QSystemTrayIcon. Each (window, id) pair the
// shell has accepted is one QSystemTrayIcon: add shows it, modify updates
// its picture and tooltip, delete removes it; a request for a pair that is
// (or is not) there is refused with false and changes nothing. Activations
// come back to the hidden window as the mouse messages a click, double
// click or context click would have produced.
class QtTrayShell : public QObject, public TrayShell {
public:
    explicit QtTrayShell(QObject* parent = nullptr);
    ~QtTrayShell() override;

    // False on a desktop without a notification area: an icon added there
    // is never seen, so the window should minimise normally instead.
    static bool notificationAreaAvailable();

    HWND AllocateHWnd(WindowHandler handler) override;
    void DeallocateHWnd(HWND window) override;
    std::intptr_t DefWindowProc(HWND window, std::uint32_t msg, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
    TPoint GetCursorPos() override;
    std::int16_t GetKeyState(int virtKey) override;
    HWND ApplicationHandle() override { return kApplicationHandle; }
    void SetForegroundWindow(HWND window) override;
    void PostMessage(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The tray icon shown for a window's icon id, or nullptr.
    QSystemTrayIcon* trayIcon(HWND window, std::uint32_t id) const;

private:
    using Key = std::pair<HWND, std::uint32_t>;
    struct Entry {
        QSystemTrayIcon* icon = nullptr;
        std::uint32_t callbackMessage = 0;
        bool notify = false;
    };

    void apply(Entry& entry, const NotifyIconData& data);
    void activated(Key key, QSystemTrayIcon::ActivationReason reason);
    void send(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    static constexpr HWND kApplicationHandle = 1;
    HWND FNextHandle = 2;
    std::map<HWND, WindowHandler> FWindows;
    std::map<Key, Entry> FIcons;
    QElapsedTimer FLastTrigger;
};

} // namespace lt
