#pragma once
#include "components/TrayShell.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A shell that keeps the notification area in a set and logs every call.
class FakeTrayShell : public lt::TrayShell {
public:
    struct Request {
        std::uint32_t message;
        lt::NotifyIconData data;
        bool accepted;
    };

    lt::HWND AllocateHWnd(WindowHandler handler) override
    {
        const lt::HWND h = nextHandle++;
        windows[h] = std::move(handler);
        log.push_back("allocate");
        return h;
    }
    void DeallocateHWnd(lt::HWND window) override
    {
        windows.erase(window);
        log.push_back("deallocate");
    }
    std::intptr_t DefWindowProc(lt::HWND, std::uint32_t msg, std::uintptr_t, std::intptr_t) override
    {
        log.push_back("default " + std::to_string(msg));
        return defaultResult;
    }
    bool ShellNotifyIcon(std::uint32_t message, const lt::NotifyIconData& data) override
    {
        if (failNext) {
            failNext = false;
            throw std::runtime_error("shell gone");
        }
        const auto key = std::make_pair(data.hWnd, data.uID);
        bool ok = false;
        switch (message) {
        case lt::NIM_ADD: ok = area.insert(key).second; break;
        case lt::NIM_MODIFY: ok = area.count(key) != 0; break;
        case lt::NIM_DELETE: ok = area.erase(key) != 0; break;
        }
        static const char* names[] = {"add", "modify", "delete"};
        log.push_back(std::string(names[message]) + (ok ? "" : " refused"));
        requests.push_back({message, data, ok});
        return ok;
    }
    lt::TPoint GetCursorPos() override
    {
        log.push_back("cursor");
        return cursor;
    }
    std::int16_t GetKeyState(int key) override { return keysDown.count(key) ? std::int16_t(-128) : 0; }
    lt::HWND ApplicationHandle() override { return kApplication; }
    void SetForegroundWindow(lt::HWND window) override
    {
        log.push_back(window == kApplication ? "foreground app" : "foreground hidden");
    }
    void PostMessage(lt::HWND, std::uint32_t msg, std::uintptr_t, std::intptr_t) override
    {
        log.push_back("post " + std::to_string(msg));
    }

    // What the shell does on mouse activity: send the callback message.
    std::intptr_t send(lt::HWND window, std::uint32_t msg, std::intptr_t lParam)
    {
        lt::TMessage m;
        m.Msg = msg;
        m.LParam = lParam;
        windows.at(window)(m);
        return m.Result;
    }

    static constexpr lt::HWND kApplication = 1;
    lt::HWND nextHandle = 100;
    std::map<lt::HWND, WindowHandler> windows;
    std::set<std::pair<lt::HWND, std::uint32_t>> area;
    std::vector<std::string> log;
    std::vector<Request> requests;
    lt::TPoint cursor{640, 480};
    std::set<int> keysDown;
    std::intptr_t defaultResult = 0;
    bool failNext = false;
};
