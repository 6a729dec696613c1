// Following the pointer: while a marker follows, its band frames the line of text under the
// pointer and moves only when the pointer enters another line. Clicks, the wheel and text
// selection go through the band to the window beneath; a right press on the grip still opens the
// marker's menu.
#include "lines/lineFinder.h"
#include "lines/reading.h"
#include "marker/markShape.h"
#include "startup/basTolvin.h"
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
    if (on) {
        SetWindowLongPtrW(me, GWL_EXSTYLE, GetWindowLongPtrW(me, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(me, 0, 255, LWA_ALPHA);
    }
    PassInputThrough(on);
    followLine_ = RECT{};
    if (on) {
        KeepAbovePage();
        // (Where the system refuses the hook, the program's tick looks at the pointer: the band
        // follows it twice a second.)
        tk::HearPointer(me, kWmFollow);
        listening_ = me;
        PointerMoved(); // (the pointer may be on the grip already)
    } else {
        EnableTimer(kFollowTimer, kFollowRetryMs, false);
        StopListening();
    }
}

void markShape::PassInputThrough(bool on) {
    // Clicks, the wheel and the pointer pass through a window that is layered and transparent to
    // input, to whichever window lies beneath, of this program or another.
    const HWND me = HwndIfLoaded();
    const LONG_PTR ex = GetWindowLongPtrW(me, GWL_EXSTYLE);
    const LONG_PTR want = on ? ex | WS_EX_TRANSPARENT : ex & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT);
    if (want != ex) {
        SetWindowLongPtrW(me, GWL_EXSTYLE, want);
        // "Certain window data is cached, so changes you make using SetWindowLongPtr will not take
        // effect until you call the SetWindowPos function" (SetWindowLongPtr's documentation).
        SetWindowPos(me, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

bool markShape::GripOnTopAt(POINT p) const {
    const HWND me = HwndIfLoaded();
    const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
    if (!PtInRect(&grip, p)) {
        return false;
    }
    // A window above the marker there (another program's, always in front or brought in front, or
    // the panel) takes what is pressed there; a see-through overlay that lets input through does not.
    for (HWND w = GetWindow(me, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
        RECT r{};
        if (IsWindowVisible(w) && !((ex & WS_EX_LAYERED) && (ex & WS_EX_TRANSPARENT)) &&
            GetWindowRect(w, &r) && PtInRect(&r, p)) {
            return false;
        }
    }
    return true;
}

void markShape::StopListening() {
    if (listening_) {
        tk::StopHearingPointer(listening_);
        listening_ = nullptr;
    }
}

markShape::~markShape() {
    // Destroyed with its object (the window no longer calls back into it, so its WM_DESTROY
    // handler never runs): the hook must not go on posting to a handle the system may reuse.
    StopListening();
}

void markShape::PointerMoved() {
    tk::PointerMoveTaken(HwndIfLoaded()); // moves from now on are told again
    // The bar hears no moves of its own while input passes through it: the pointer over the grip
    // shows the grip, as a move over the bar does. There, where nothing else is on top, the bar
    // takes input again: the grip's own presses (its menu, a drag) reach it as any window's do.
    TakeInputOnGrip();
    FollowPointer();
}

void markShape::TakeInputOnGrip() {
    if (!following_ || !HwndIfLoaded()) {
        return;
    }
    const bool onGrip = GripOnTopAt(tk::HeardPointer());
    PassInputThrough(!onGrip);
    if (onGrip) {
        Pnl_scale.SetVisible(true);
        hide_wait = 3;
    }
}

void markShape::FollowPointer() {
    const HWND me = HwndIfLoaded();
    if (!following_ || hidden_ || !me) {
        return;
    }
    if (State() != PictureState::Held || tk::ModalLoopOpen()) {
        // Still taking its picture (from the last line, or a tick's), or a menu of the program is
        // open (the pointer is choosing in it, and a picture now would hold the menu): the move is
        // not lost, it is looked at again once the marker rests and the menu has closed.
        EnableTimer(kFollowTimer, kFollowRetryMs, true);
        return;
    }
    EnableTimer(kFollowTimer, kFollowRetryMs, false);
    const POINT p = tk::HeardPointer();
    KeepAbovePage();
    if (GripOnTopAt(p)) {
        // The reader reaches for the grip: the band stays still under the pointer (moving it
        // there would move the grip, and take a new picture just as the grip is pressed).
        return;
    }
    RECT band = tk::WindowRectOf(HwndIfLoaded());
    const RECT monitor = tk::MonitorAt(p).pixels;
    RECT on{};
    const bool sameMonitor = IntersectRect(&on, &band, &monitor) && EqualRect(&band, &on);
    if (sameMonitor && PtInRect(&followLine_, p)) {
        return; // still in the same line (or the same gap between lines) of the column: nothing to do
    }
    const int h = band.bottom - band.top;
    if (!sameMonitor) {
        // The band goes with the pointer onto its monitor, across its width.
        Move(tk::TwipsX(monitor.left), Top(), tk::TwipsX(monitor.right - monitor.left), Height());
        band = tk::WindowRectOf(HwndIfLoaded());
    }
    const Reading reading = ReadLines(p.y - lines::Reach(h), p.y + lines::Reach(h), p, false);
    if (reading.column) {
        lastColumn_ = reading.column;
    }
    int centre = p.y;
    followLine_ = RECT{p.x, p.y, p.x + 1, p.y + 1};
    if (!reading.found.empty()) {
        const lines::PointerLine in =
            lines::LineAtPointer(reading.found, p.y, p.y - lines::Reach(h), p.y + lines::Reach(h));
        // The line's rows, across the column the pointer is in (or the paper between columns it is
        // over): the other columns' lines lie elsewhere.
        LONG left = LONG_MIN, right = LONG_MAX;
        for (const RECT& c : reading.columns) {
            if (p.x >= c.left && p.x < c.right) {
                left = c.left;
                right = c.right;
                break;
            }
            left = c.right <= p.x ? std::max(left, c.right) : left;
            right = c.left > p.x ? std::min(right, c.left) : right;
        }
        followLine_ = RECT{left, in.top, right, in.bottom};
        if (!in.centre) {
            // Between two lines: the band stays on the line it frames until the pointer enters another.
            if (sameMonitor) {
                return;
            }
        } else {
            centre = *in.centre;
        }
    }
    if (fitColumn_ && reading.column) {
        FitToColumn(*reading.column);
    }
    int top = centre - (h - 1) / 2;
    top = std::max(top, static_cast<int>(monitor.top));
    top = std::min(top, static_cast<int>(monitor.bottom) - h);
    if (top != band.top || !sameMonitor) {
        MoveToTop(tk::CInt(tk::TwipsY(top)));
        if (!Unloaded()) {
            TakeInputOnGrip(); // the grip may have come under the pointer
        }
    }
}

void markShape::KeepAbovePage() {
    const HWND me = HwndIfLoaded();
    if (!following_ || hidden_ || !me) {
        return;
    }
    // The window under the pointer (the band lets the pointer through to it): when it came in
    // front of the band (a click through the band activated it), the band goes in front of it
    // again, without taking the keyboard from it.
    POINT p{};
    GetCursorPos(&p);
    const HWND under = TopWindowFromPoint(p.x, p.y);
    if (!under || under == me) {
        return;
    }
    // A window always in front stays in front of a marker that is not: nothing to do (and its
    // grip stays covered there).
    const auto topmost = [](HWND w) { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    if (topmost(under) && !topmost(me)) {
        return;
    }
    for (HWND w = GetWindow(me, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == under) {
            tk::KeepInFront(me);
            return;
        }
    }
}
