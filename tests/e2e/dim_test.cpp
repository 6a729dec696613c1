// "Dim the rest" with real input: the layer darkens the monitor but the band, its hole follows the
// band, and clicks and the wheel pass through it to another program's window.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
int Mid(const RECT& r) {
    return (r.top + r.bottom) / 2;
}
} // namespace

TEST(Dim, TheHoleFollowsTheBandAndClicksAndTheWheelPassThroughTheLayer) {
    Page page(RECT{0, 0, 1000, 800}); // there before the program: its marker comes in front
    ASSERT_NE(page.Hwnd(), nullptr);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const COLORREF black = RGB(0, 0, 0), yellow = RGB(255, 255, 0);
    RECT r = WindowRect(marker);
    const int x = 300, gripX = r.right - Px(705) + Px(500);
    ASSERT_TRUE(MenuKeyAt(gripX, Mid(r), 'D'));
    // Wine has no compositor: the layer shows as opaque black; the band as before.
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, r.bottom + 100), black); }, 2000));
    EXPECT_TRUE(SameColour(ScreenPixel(x, Mid(r)), yellow));
    // The panel still steps the marker, and the hole goes with it.
    const RECT p = WindowRect(app.Panel());
    for (int i = 1; i <= 10; ++i) {
        Click(p.left + Px(480) + Px(120), p.bottom - 4);
        ASSERT_TRUE(WaitForStep(marker, r.top + i * Px(60)));
    }
    const RECT stepped = WindowRect(marker);
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(r)), black); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(stepped)), yellow); }, 2000));
    // Dragged down by its grip: where the band was is dark, where it is now shows the band.
    LetMarkersRefresh();
    MouseDrag(gripX, Mid(stepped), gripX, Mid(stepped) + 300, 8, 300);
    ASSERT_TRUE(WaitForStep(marker, stepped.top + 300));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(stepped)), black); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(stepped) + 300), yellow); }, 2000));
    // Last, as Wine then draws the clicked page over every other program's window: a click and a
    // wheel notch over the layer reach the page beneath, and the wheel moves no marker.
    const RECT dragged = WindowRect(marker);
    const int clicks = page.Clicks();
    Click(x, dragged.bottom + 100);
    EXPECT_TRUE(WaitFor([&] { return page.Clicks() == clicks + 1; }, 2000));
    MouseWheel(-WHEEL_DELTA);
    EXPECT_TRUE(WaitFor([&] { return page.Wheels() == 1; }, 2000));
    EXPECT_EQ(WindowRect(marker).top, dragged.top);
}
