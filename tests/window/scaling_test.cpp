// The picture lines up with what lies behind a marker pixel for pixel, over the whole bar up to
// the grip, at whatever scaling the tests run (tests/window/scaling.sh runs them at 125, 175 and
// 200 % as well).
#include "toolkit/units.h"
#include "window/fixture.h"

using namespace testing_support;

using Scaling = RegistryTest;

TEST_F(Scaling, ThePictureLinesUpPixelForPixelUpToTheGrip) {
    ColourWindow ink(RGB(0, 0, 0), 0, 900, 10, 10); // below the marker: made first
    auto panel = Start();
    auto m = Marker(1);
    // A row that twips divided by a rounded twips-per-pixel miss at 175 and 200 %.
    m->Move(0, tk::TwipsY(601));
    const RECT r = WindowRect(m->Hwnd());
    const RECT grip = WindowRect(m->Pnl_scale.Hwnd());
    ASSERT_EQ(r.top, 601);
    // Ink under the bar from column 333 to the grip, on exactly the marker's rows.
    SetWindowPos(ink.hwnd(), nullptr, 333, r.top, grip.left - 333, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m->Label1_MouseUp(1, 0, 0, 0);
    const COLORREF paper = RGB(255, 255, 0), inked = RGB(0, 0, 255); // through the Xor tint
    const int mid = (r.top + r.bottom) / 2, last = grip.left - 1;
    ASSERT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(500, mid), inked, 0); }, 2000))
        << "dpi " << Dpi() << std::hex << ": " << ScreenPixel(500, mid);
    EXPECT_TRUE(SameColour(ScreenPixel(332, mid), paper, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(333, mid), inked, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(last, mid), inked, 0)) << std::hex << ScreenPixel(last, mid);
    // The first and last rows inside the outline ring (the ring, shown during the copy, holds the
    // marker's cleared surface).
    EXPECT_TRUE(SameColour(ScreenPixel(500, r.top + 1), inked, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(last, r.bottom - 2), inked, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(100, r.bottom - 2), paper, 0));
}
