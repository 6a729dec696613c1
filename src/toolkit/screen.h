// The desktop as the program sees it: one monitor or several, of any size, left of or above the
// primary one too (negative coordinates). Rectangles in screen pixels, as the system reports.
#pragma once
#include <windows.h>

#include <vector>

namespace tk {

struct Monitor {
    RECT pixels{}; // the whole monitor
    RECT work{};   // without the taskbar and docked bars, on whichever edge they are
    bool primary = false;
};

// Every monitor, in the order the system lists them.
std::vector<Monitor> Monitors();
Monitor PrimaryMonitor();
// The monitor that holds most of `r`, or the nearest one when none does.
Monitor MonitorOf(const RECT& r);
// The monitor under the point, or the nearest one.
Monitor MonitorAt(POINT p);
// A rectangle of `width` x `height` in the bottom-right corner of `area` (kept within it where it
// fits; its top-left corner wins where it does not).
RECT BottomRightWithin(const RECT& area, int width, int height);
// Where a window that keeps its size in pixels goes when it meets a monitor of another scaling:
// at the place the system suggests, with the size it has (`current`).
RECT KeepSizeAt(const RECT& current, const RECT& suggested);
// Whether any monitor shows some of `r`.
bool OnSomeMonitor(const RECT& r);
// The rectangles of this program's visible top-level windows (its thread's), but `except`.
// Remembered until one of the program's forms moves, changes size, shows, hides or closes
// (ForgetOwnWindows) or for a second at most (menus and tooltips are not forms).
std::vector<RECT> OwnWindowRects(HWND except);
void ForgetOwnWindows();
// A window of the program that is only a look (the dim layer): it takes no input, and the
// questions about the windows around a marker (above, below, its own windows' rectangles) leave
// it out.
void SetLookOnly(HWND hwnd, bool lookOnly);
bool IsLookOnly(HWND hwnd);
// Whether two monitor lists describe the same desktop.
bool SameLayout(const std::vector<Monitor>& a, const std::vector<Monitor>& b);

} // namespace tk
