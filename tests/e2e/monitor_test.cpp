// Two monitors side by side (tests/e2e/monitors.sh sets them up with Xorg's dummy driver and
// runs these tests): markers reach every monitor and stay within the one they are on.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace testing_support;

namespace {

// Asks the rig script to change the monitors ("unplug", "plug") and waits until it has.
bool Rig(const std::string& command) {
    char dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("TOLVIN_RIG", dir, MAX_PATH)) {
        return false;
    }
    std::string base = std::string("Z:") + dir;
    for (char& c : base) {
        c = c == '/' ? '\\' : c;
    }
    std::remove((base + "\\done").c_str());
    {
        std::ofstream request(base + "\\request.tmp");
        request << command << "\n";
    }
    std::rename((base + "\\request.tmp").c_str(), (base + "\\request").c_str());
    return WaitFor([&] { return std::ifstream(base + "\\done").good(); }, 20000);
}

RECT Second() {
    RECT second{};
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR m, HDC, LPRECT r, LPARAM out) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            GetMonitorInfoW(m, &info);
            if (!(info.dwFlags & MONITORINFOF_PRIMARY)) {
                *reinterpret_cast<RECT*>(out) = *r;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&second));
    return second;
}

// Drags marker's grip so that the grabbed point goes to (x, y).
void DragGripTo(HWND grip, int x, int y) {
    const RECT g = WindowRect(grip);
    MouseDrag(g.left + Px(500), (g.top + g.bottom) / 2, x, y, 8, 0);
}

const COLORREF kPaper = RGB(255, 255, 0), kInk = RGB(0, 0, 255); // through the Xor tint

} // namespace

TEST(Monitors, AMarkerDraggedOntoTheSecondMonitorSpansItStaysWithinItAndComesBackWhenItGoes) {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    const RECT second = Second();
    ASSERT_EQ(second.left, 1280);
    ASSERT_EQ(second.right, 2304);
    ASSERT_EQ(second.bottom, 768);
    Page ink(RECT{1500, 300, 1700, 400}, Page::Look{RGB(0, 0, 0)}); // a page on the second monitor
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(WindowRect(marker).right, 1280); // new markers span the primary monitor
    const RECT panel = WindowRect(app.Panel());
    EXPECT_EQ(panel.right, 1280);
    EXPECT_LE(panel.bottom, 800);

    // Onto the second monitor: it spans it and holds what lies there.
    DragGripTo(app.Grip(1), 1900, 340);
    ASSERT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    RECT r = WindowRect(marker);
    EXPECT_EQ(r.left, 1280);
    EXPECT_EQ(r.right, 2304);
    const int mid = (r.top + r.bottom) / 2;
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(1600, mid), kInk, 0); }, 2000));
    EXPECT_TRUE(SameColour(ScreenPixel(1400, mid), kPaper, 0));
    // A page is beneath it now: its next tick takes a picture, as an outline the grip is not in.
    LetMarkersRefresh();

    // Down past its bottom: it stops at 768, not at the primary monitor's 800.
    DragGripTo(app.Grip(1), 1900, 790);
    ASSERT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    EXPECT_EQ(WindowRect(marker).bottom, 768);
    const int x = panel.left + Px(480) + Px(120);
    Click(x, panel.bottom - 4); // the spinner's lower arrow: a step down stays within
    Click(x, panel.top + 4);    // and one up
    EXPECT_TRUE(WaitForStep(marker, 768 - Px(60) - (WindowRect(marker).bottom - WindowRect(marker).top)));

    // Fitting the width to the window behind, there (once the ticks after the steps are done: an
    // outline lets the right click through).
    LetMarkersRefresh();
    r = WindowRect(marker);
    ASSERT_TRUE(MenuKeyAt(WindowRect(app.Grip(1)).left + Px(500), (r.top + r.bottom) / 2, 'W'));
    DragGripTo(app.Grip(1), 1600, 350);
    ASSERT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    r = WindowRect(marker);
    EXPECT_EQ(r.left, 1500);
    EXPECT_EQ(r.right, 1700);

    // The panel goes onto the second monitor too, dragged by its picture.
    const RECT p0 = WindowRect(app.Panel());
    const int pic = Px(480);
    MouseDrag(p0.left + pic / 8, p0.top + pic * 9 / 32, 2000, 600, 8, 0);
    ASSERT_TRUE(WaitFor([&] { return WindowRect(app.Panel()).left > 1280; }, 2000));

    // The second monitor is unplugged: the marker comes back to the top of the primary one, the
    // panel to its bottom right.
    ASSERT_TRUE(Rig("unplug"));
    EXPECT_TRUE(WaitFor(
        [&] {
            const RECT now = WindowRect(marker);
            return now.left == 0 && now.top == 0 && now.right == 1280;
        },
        5000))
        << WindowRect(marker).left << "," << WindowRect(marker).top << "," << WindowRect(marker).right
        << " monitors " << GetSystemMetrics(SM_CMONITORS);
    EXPECT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    EXPECT_TRUE(WaitFor(
        [&] {
            const RECT now = WindowRect(app.Panel());
            return EqualRect(&p0, &now) != FALSE;
        },
        2000));
    EXPECT_TRUE(Rig("plug"));
}

TEST(Monitors, ASecondMonitorLeftOfThePrimaryIsReachedAtNegativeCoordinates) {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    const RECT second = Second();
    ASSERT_EQ(second.left, -1024);
    ASSERT_EQ(second.right, 0);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(WindowRect(marker).left, 0);
    EXPECT_EQ(WindowRect(marker).right, 1280);
    DragGripTo(app.Grip(1), -300, 790); // onto it, and down past its bottom
    ASSERT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    const RECT r = WindowRect(marker);
    EXPECT_EQ(r.left, -1024);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 768);
    EXPECT_TRUE(
        WaitFor([&] { return SameColour(ScreenPixel(-500, (r.top + r.bottom) / 2), kPaper, 0); }, 2000));
    // The line keys, while a document on the primary monitor has the keyboard: a line up, then
    // down again and no further than this monitor's bottom.
    {
        Page doc(RECT{100, 300, 700, 600}, Page::Focus::Take);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
        // Global keys reach the program only once the X keyboard focus is on a Wine window: the
        // document has it when a letter typed arrives there.
        Type("A");
        ASSERT_TRUE(WaitFor([&] { return doc.Chars() == 1; }, 3000));
        const int line = r.bottom - r.top;
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitForStep(marker, r.top - line));
        KeyChord(VK_DOWN);
        EXPECT_TRUE(WaitForStep(marker, r.top));
        // A down stopped at 768 and an up at once: the up is made, even when both arrive during
        // the move before them.
        KeyChord(VK_DOWN);
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitForStep(marker, r.top - line));
        KeyChord(VK_DOWN);
        EXPECT_TRUE(WaitForStep(marker, r.top));
        EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
        // Following the pointer (over no text: its row), the band goes with it onto the monitor
        // it is on, across that monitor's width, and back.
        KeyChord('F');
        const int h = r.bottom - r.top;
        auto centredAt = [&](int left, int right, int y) {
            const RECT now = WindowRect(marker);
            return !HasWindowRegion(marker) && now.left == left && now.right == right &&
                   std::abs((now.top + now.bottom - 1) / 2 - y) <= 1 && now.bottom - now.top == h;
        };
        for (const POINT p : {POINT{900, 200}, POINT{-500, 400}}) {
            PointTo(p.x, p.y);
            EXPECT_TRUE(WaitFor(
                [&] {
                    return PointerStaysAt(p.x, p.y) &&
                           centredAt(p.x < 0 ? -1024 : 0, p.x < 0 ? 0 : 1280, p.y);
                },
                3000))
                << p.x << ": [" << WindowRect(marker).left << "," << WindowRect(marker).right << ") rows "
                << WindowRect(marker).top << "-" << WindowRect(marker).bottom;
        }
        KeyChord('F');
    }
    LetMarkersRefresh();
    DragGripTo(app.Grip(1), 600, 100); // and back onto the primary monitor
    ASSERT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000));
    EXPECT_EQ(WindowRect(marker).left, 0);
    EXPECT_EQ(WindowRect(marker).right, 1280);
}
