// Following the pointer: while a marker follows, its band frames the line of text under the
// pointer and moves only when the pointer enters another line. Clicks, the wheel and text
// selection go through the band to the window beneath; a right press on the grip still opens the
// marker's menu.
#include "lines/lineFinder.h"
#include "marker/markShape.h"
#include "toolkit/pointerWatch.h"
#include "toolkit/screen.h"
#include "toolkit/units.h"

#include <algorithm>
#include <vector>

void markShape::SetFollowing(bool on) {
    const HWND me = HwndIfLoaded();
    if (!me || on == following_) {
        return;
    }
    following_ = on;
    // Clicks, the wheel and the pointer pass through a window that is layered and transparent to
    // input, to whichever window lies beneath, of this program or another.
    LONG_PTR ex = GetWindowLongPtrW(me, GWL_EXSTYLE);
    ex = on ? ex | WS_EX_LAYERED | WS_EX_TRANSPARENT : ex & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT);
    SetWindowLongPtrW(me, GWL_EXSTYLE, ex);
    followLine_ = RECT{};
    if (on) {
        SetLayeredWindowAttributes(me, 0, 255, LWA_ALPHA);
        // The grip still takes a right press, which the bar would let through: the menu opens.
        tk::HearPointer(me, kWmFollow, kWmGripMenu, Pnl_scale.Hwnd());
        FollowPointer();
    } else {
        EnableTimer(kFollowTimer, kFollowRetryMs, false);
        tk::StopHearingPointer(me);
    }
}

void markShape::PointerMoved() {
    tk::PointerMoveTaken(HwndIfLoaded()); // moves from now on are told again
    // The bar hears no moves of its own while input passes through it: the pointer over the grip
    // shows the grip, as a move over the bar does.
    const POINT p = tk::HeardPointer();
    const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
    if (PtInRect(&grip, p)) {
        Pnl_scale.SetVisible(true);
        hide_wait = 3;
    }
    FollowPointer();
}

void markShape::FollowPointer() {
    const HWND me = HwndIfLoaded();
    if (!following_ || hidden_ || !me) {
        return;
    }
    if (State() != PictureState::Held) {
        // Still taking its picture (from the last line, or a tick's): the move is not lost, it is
        // looked at again once the marker rests.
        EnableTimer(kFollowTimer, kFollowRetryMs, true);
        return;
    }
    EnableTimer(kFollowTimer, kFollowRetryMs, false);
    const POINT p = tk::HeardPointer();
    RECT band = tk::WindowRectOf(HwndIfLoaded());
    const RECT monitor = tk::MonitorAt(p).pixels;
    RECT on{};
    const bool sameMonitor = IntersectRect(&on, &band, &monitor) && EqualRect(&band, &on);
    if (sameMonitor && p.y >= followLine_.top && p.y < followLine_.bottom) {
        return; // still in the same line (or the same gap between lines): nothing to do
    }
    const int h = band.bottom - band.top;
    if (!sameMonitor) {
        // The band goes with the pointer onto its monitor, across its width.
        Move(tk::TwipsX(monitor.left), Top(), tk::TwipsX(monitor.right - monitor.left), Height());
        band = tk::WindowRectOf(HwndIfLoaded());
    }
    const std::vector<lines::Span> found = LinesAround(p.y - lines::Reach(h), p.y + lines::Reach(h), p.x);
    int centre = p.y;
    followLine_ = RECT{p.x, p.y, p.x + 1, p.y + 1};
    if (!found.empty()) {
        LONG above = p.y - lines::Reach(h), below = p.y + lines::Reach(h);
        const lines::Span* in = nullptr;
        for (const lines::Span& s : found) {
            if (p.y >= s.top && p.y < s.bottom) {
                in = &s;
            } else if (s.bottom <= p.y) {
                above = std::max<LONG>(above, s.bottom);
            } else {
                below = std::min<LONG>(below, s.top);
            }
        }
        if (!in) {
            // Between two lines: the band stays on the line it frames until the pointer enters another.
            followLine_ = RECT{0, above, 1, below};
            if (sameMonitor) {
                return;
            }
        } else {
            followLine_ = RECT{0, in->top, 1, in->bottom};
            centre = (in->Centre2() + 1) / 2;
        }
    }
    int top = centre - (h - 1) / 2;
    top = std::max(top, static_cast<int>(monitor.top));
    top = std::min(top, static_cast<int>(monitor.bottom) - h);
    if (top != band.top || !sameMonitor) {
        MoveToTop(tk::CInt(tk::TwipsY(top)));
    }
}
