#include "toolkit/screen.h"

#include <algorithm>
#include <utility>

namespace tk {

namespace {
Monitor Describe(HMONITOR m) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    Monitor out;
    if (m && GetMonitorInfoW(m, &info)) {
        out.pixels = info.rcMonitor;
        out.work = info.rcWork;
        out.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    } else {
        // No answer: the primary screen as the oldest calls describe it.
        out.pixels = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        out.work = out.pixels;
        out.primary = true;
    }
    return out;
}
} // namespace

std::vector<Monitor> Monitors() {
    std::vector<Monitor> list;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR m, HDC, LPRECT, LPARAM out) -> BOOL {
            reinterpret_cast<std::vector<Monitor>*>(out)->push_back(Describe(m));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&list));
    return list;
}

Monitor PrimaryMonitor() {
    Monitor m = Describe(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    // The documented source of the primary monitor's work area (the same as its monitor
    // information on Windows; under Wine the only one that follows SPI_SETWORKAREA).
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && !IsRectEmpty(&work)) {
        m.work = work;
    }
    return m;
}

RECT KeepSizeAt(const RECT& current, const RECT& suggested) {
    return RECT{suggested.left, suggested.top, suggested.left + (current.right - current.left),
                suggested.top + (current.bottom - current.top)};
}

RECT BottomRightWithin(const RECT& area, int width, int height) {
    const LONG left = std::max(area.left, area.right - width);
    const LONG top = std::max(area.top, area.bottom - height);
    return RECT{left, top, left + width, top + height};
}

Monitor MonitorOf(const RECT& r) {
    return Describe(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
}

Monitor MonitorAt(POINT p) {
    return Describe(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST));
}

bool OnSomeMonitor(const RECT& r) {
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

bool SameLayout(const std::vector<Monitor>& a, const std::vector<Monitor>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (!EqualRect(&a[i].pixels, &b[i].pixels) || !EqualRect(&a[i].work, &b[i].work) ||
            a[i].primary != b[i].primary) {
            return false;
        }
    }
    return true;
}

namespace {
struct OwnWindows {
    std::vector<std::pair<HWND, RECT>> windows;
    DWORD taken = 0;
    bool valid = false;
};
OwnWindows g_own;
constexpr DWORD kOwnWindowsValidMs = 1000;
} // namespace

namespace {
std::vector<HWND> g_lookOnly;
}

void SetLookOnly(HWND hwnd, bool lookOnly) {
    g_lookOnly.erase(std::remove(g_lookOnly.begin(), g_lookOnly.end(), hwnd), g_lookOnly.end());
    if (lookOnly) {
        g_lookOnly.push_back(hwnd);
    }
}

bool IsLookOnly(HWND hwnd) {
    return std::find(g_lookOnly.begin(), g_lookOnly.end(), hwnd) != g_lookOnly.end();
}

void ForgetOwnWindows() {
    g_own.valid = false;
}

std::vector<RECT> OwnWindowRects(HWND except) {
    if (!g_own.valid || GetTickCount() - g_own.taken > kOwnWindowsValidMs) {
        g_own.windows.clear();
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND h, LPARAM p) -> BOOL {
                RECT r{};
                if (IsWindowVisible(h) && !IsLookOnly(h) && GetWindowRect(h, &r)) {
                    reinterpret_cast<OwnWindows*>(p)->windows.push_back({h, r});
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&g_own));
        g_own.taken = GetTickCount();
        g_own.valid = true;
    }
    std::vector<RECT> rects;
    rects.reserve(g_own.windows.size());
    for (const auto& [h, r] : g_own.windows) {
        if (h != except) {
            rects.push_back(r);
        }
    }
    return rects;
}

} // namespace tk
