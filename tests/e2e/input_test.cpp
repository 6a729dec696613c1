// tolvin.exe driven with real pointer and keyboard input.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

void Drag(int x1, int y1, int x2, int y2) {
    MouseDrag(x1, y1, x2, y2, 6, 200);
}

// Hover over the bar: the panel takes the keyboard focus, so the wheel reaches it.
void FocusPanelThroughMarker(HWND marker) {
    const RECT r = WindowRect(marker);
    MouseMoveTo(100, (r.top + r.bottom) / 2);
    MouseMoveTo(101, (r.top + r.bottom) / 2 + 1);
    Pump(100);
}

} // namespace

TEST(Input, TheWheelMovesTheCurrentMarkerOneStepPerNotch) {
    Tolvin app;
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    FocusPanelThroughMarker(marker);
    // While a step takes its picture the marker is an outline, which the pointer and the wheel
    // pass through: each notch waits for the step before it, as the pointer follows the marker.
    for (int i = 1; i <= 5; ++i) {
        FocusPanelThroughMarker(marker);
        MouseWheel(-WHEEL_DELTA); // towards the user: down
        EXPECT_TRUE(WaitForStep(marker, i * Px(60))) << i;
    }
    FocusPanelThroughMarker(marker);
    MouseWheel(WHEEL_DELTA);
    EXPECT_TRUE(WaitForStep(marker, 4 * Px(60)));
    FocusPanelThroughMarker(marker);
    MouseWheel(-3 * WHEEL_DELTA); // three notches at once: one step
    EXPECT_TRUE(WaitForStep(marker, 5 * Px(60)));
    Pump(200);
    EXPECT_EQ(WindowRect(marker).top, 5 * Px(60));
}

TEST(Input, DraggingTheHeightStripMovesTheTopEdgeOnly) {
    Tolvin app;
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    FocusPanelThroughMarker(marker);
    for (int i = 1; i <= 20; ++i) {
        FocusPanelThroughMarker(marker);
        MouseWheel(-WHEEL_DELTA);
        WaitForStep(marker, i * Px(60), 1000);
    }
    ASSERT_EQ(WindowRect(marker).top, 20 * Px(60));
    const RECT before = WindowRect(marker);
    const int stripX = before.right - Px(705) + Px(400);
    // (On a busy machine the program may still be reading the drag's last moves as it ends.)
    Drag(stripX, before.top + 2, stripX, before.top + 2 - 30);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(marker).top == before.top - 30; }, 2000))
        << WindowRect(marker).top << " for " << before.top - 30;
    RECT after = WindowRect(marker);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(after.left, 0);
    // Down past the bottom edge: the least height, 200 twips.
    Drag(stripX, after.top + 2, stripX, after.bottom + 60);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(marker).bottom - WindowRect(marker).top == Px(200); }, 2000));
    after = WindowRect(marker);
    EXPECT_EQ(after.bottom, before.bottom);
    // The picture was taken again after the drag: white paper still shows yellow.
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(300, after.top + 3), RGB(255, 255, 0)); }, 2000));
}

TEST(Input, TheSpinnerArrowsMoveTheCurrentMarker) {
    Tolvin app;
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const RECT p = WindowRect(app.Panel());
    const int x = p.left + Px(480) + Px(120);
    Click(x, p.bottom - 4);
    EXPECT_TRUE(WaitForStep(marker, Px(60)));
    Click(x, p.bottom - 4);
    EXPECT_TRUE(WaitForStep(marker, 2 * Px(60)));
    Click(x, p.top + 4);
    EXPECT_TRUE(WaitForStep(marker, Px(60)));
}

TEST(Input, DraggingThePanelPictureMovesThePanel) {
    Tolvin app;
    ASSERT_NE(app.Marker(1), nullptr);
    HWND panel = app.Panel();
    const RECT before = WindowRect(panel);
    const int pic = Px(480);
    // A yellow pixel of the stripe.
    Drag(before.left + pic / 8, before.top + pic * 9 / 32, before.left + pic / 8 - 300,
         before.top + pic * 9 / 32 - 200);
    EXPECT_TRUE(WaitFor(
        [&] {
            return WindowRect(panel).left == before.left - 300 && WindowRect(panel).top == before.top - 200;
        },
        2000));
    EXPECT_TRUE(IsTopmost(panel));
}

TEST(Input, TheGripMenuAddsAMarkerAndClosesAllByAccessKeys) {
    Tolvin app(L"b"); // the grip stays shown between the menus
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const RECT r = WindowRect(marker);
    const int gripX = r.right - Px(705) + Px(500);
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'A'));
    HWND two = app.Marker(2, 5000);
    ASSERT_NE(two, nullptr);
    // Marker 2 is current: the wheel moves it, not marker 1.
    FocusPanelThroughMarker(marker);
    MouseWheel(-WHEEL_DELTA);
    EXPECT_TRUE(WaitForStep(two, Px(60)));
    EXPECT_EQ(WindowRect(marker).top, 0);
    // Close this marker (X) from marker 2's own menu: marker 1 stays.
    const RECT r2 = WindowRect(two);
    ASSERT_TRUE(MenuKeyAt(gripX, (r2.top + r2.bottom) / 2, 'X'));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(two); }));
    EXPECT_TRUE(IsWindow(marker));
    LetMarkersRefresh(); // marker 1 was under marker 2
    // Close all (Z): the program ends cleanly.
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'Z'));
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}
