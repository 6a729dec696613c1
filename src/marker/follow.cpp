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

namespace {

// Markers following the pointer (they leave the list as they stop or close).
std::vector<std::weak_ptr<markShape>> g_following;
bool g_rightTaken = false; // a right press on a grip was kept from the window beneath: its release too

std::vector<std::shared_ptr<markShape>> Following() {
    std::vector<std::shared_ptr<markShape>> alive;
    for (const auto& w : g_following) {
        if (auto m = w.lock()) {
            alive.push_back(m);
        }
    }
    return alive;
}

bool Heard(UINT message, POINT at) {
    if (message == WM_MOUSEMOVE) {
        for (const auto& m : Following()) {
            m->PointerMoved();
        }
        return false;
    }
    if (message == WM_RBUTTONDOWN) {
        for (const auto& m : Following()) {
            if (m->GripHolds(at)) {
                g_rightTaken = true;
                m->GripPressedWhileFollowing();
                return true;
            }
        }
    }
    if (message == WM_RBUTTONUP && g_rightTaken) {
        g_rightTaken = false;
        return true;
    }
    return false;
}

int Reach(int bandHeight) {
    return std::max(5 * bandHeight, 160);
}

} // namespace

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
    if (on) {
        SetLayeredWindowAttributes(me, 0, 255, LWA_ALPHA);
    }
    g_following.erase(std::remove_if(g_following.begin(), g_following.end(),
                                     [&](const std::weak_ptr<markShape>& w) {
                                         auto m = w.lock();
                                         return !m || m.get() == this;
                                     }),
                      g_following.end());
    followLine_ = RECT{};
    if (on) {
        g_following.push_back(std::static_pointer_cast<markShape>(shared_from_this()));
        tk::HearPointer(Heard);
        FollowPointer();
    } else if (g_following.empty()) {
        tk::StopHearingPointer();
    }
}

void markShape::PointerMoved() {
    // Inside the hook: the work waits for the message loop, once however many moves came.
    if (!followPending_ && HwndIfLoaded()) {
        followPending_ = true;
        PostMessageW(HwndIfLoaded(), kWmFollow, 0, 0);
    }
}

bool markShape::GripHolds(POINT at) const {
    const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
    return IsWindowVisible(HwndIfLoaded()) && PtInRect(&grip, at);
}

void markShape::GripPressedWhileFollowing() {
    PostMessageW(HwndIfLoaded(), kWmGripMenu, 0, 0);
}

void markShape::FollowPointer() {
    followPending_ = false;
    if (!following_ || hidden_ || State() != PictureState::Held) {
        return;
    }
    POINT p{};
    GetCursorPos(&p);
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
    const std::vector<lines::Span> found = LinesAround(p.y - Reach(h), p.y + Reach(h), p.x);
    int centre = p.y;
    followLine_ = RECT{p.x, p.y, p.x + 1, p.y + 1};
    if (!found.empty()) {
        LONG above = p.y - Reach(h), below = p.y + Reach(h);
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
