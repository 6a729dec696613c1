#include "toolkit/screen.h"

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
    return Describe(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
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

std::vector<RECT> OwnWindowRects(HWND except) {
    struct Walk {
        HWND except;
        std::vector<RECT> rects;
    } walk{except, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM p) -> BOOL {
            auto* w = reinterpret_cast<Walk*>(p);
            RECT r{};
            if (h != w->except && IsWindowVisible(h) && GetWindowRect(h, &r)) {
                w->rects.push_back(r);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.rects;
}

} // namespace tk
