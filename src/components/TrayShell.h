#pragma once
#include "components/Icon.h"

#include <cstdint>
#include <functional>

namespace lt {

// A window handle of the shell; 0 is none.
using HWND = std::uintptr_t;

struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

inline constexpr std::uint32_t WM_NULL = 0;
inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 513;
inline constexpr std::uint32_t WM_LBUTTONUP = 514;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 515;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 516;
inline constexpr std::uint32_t WM_RBUTTONUP = 517;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 518;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 519;
inline constexpr std::uint32_t WM_MBUTTONUP = 520;
inline constexpr std::uint32_t WM_MOUSEMOVE = 512;

inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;

inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;

// The notification record in its first, 88-byte layout.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    HWND hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    HICON hIcon = nullptr;
    char szTip[64] = {};
};
inline constexpr std::uint32_t kNotifyIconDataSize = 88;

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

// The shell operations the tray icon needs. Contracts: a hidden window's
// handler gets every message sent or posted to it on the user-interface
// thread; the shell reports mouse activity on an icon by sending the
// record's callback message with the mouse message in LParam; a refused
// notify request is a plain false, never an exception.
class TrayShell {
public:
    using WindowHandler = std::function<void(TMessage&)>;
    virtual ~TrayShell() = default;

    virtual HWND AllocateHWnd(WindowHandler handler) = 0;
    virtual void DeallocateHWnd(HWND window) = 0;
    virtual std::intptr_t DefWindowProc(HWND window, std::uint32_t msg, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;
    virtual bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
    virtual TPoint GetCursorPos() = 0;
    // Negative when the key is down.
    virtual std::int16_t GetKeyState(int virtKey) = 0;
    // The application's own top-level window, which owns its forms.
    virtual HWND ApplicationHandle() = 0;
    virtual void SetForegroundWindow(HWND window) = 0;
    virtual void PostMessage(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

} // namespace lt
