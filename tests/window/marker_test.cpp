// A marker window in-process: layout, capture under the tint, refresh, height and moves.
#include "marker/palette.h"
#include "window/fixture.h"
#include "toolkit/units.h"

using namespace testing_support;

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0), kBlue = RGB(0, 0, 255), kMagenta = RGB(255, 0, 255);

RECT ChildRect(HWND child) {
    RECT r = WindowRect(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

using MarkerWindow = RegistryTest;

TEST_F(MarkerWindow, ANewMarkerSpansTheScreenTopWithItsGripAtTheRightEnd) {
    Start();
    auto m = Marker(1);
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const RECT r = WindowRect(m->Hwnd());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, screenW);
    EXPECT_EQ(r.bottom - r.top, Px(285 + 2 * tk::Tx()));
    EXPECT_EQ(tk::TwipsY(r.bottom - r.top), m->Height());

    const RECT grip = ChildRect(m->Pnl_scale.Hwnd());
    EXPECT_EQ(grip.right, screenW); // flush with the right end
    EXPECT_EQ(grip.right - grip.left, Px(705));
    EXPECT_EQ(grip.top, 1); // one pixel below the top
    EXPECT_EQ(grip.bottom, r.bottom - r.top - 1);
    EXPECT_EQ(m->Caption(), L"Tolvin No.1");
    EXPECT_EQ(m->PanelTooltip(), L"No.1");
    EXPECT_EQ(m->pen_mode, palette::kXorPen);
    EXPECT_EQ(m->hide_wait, 3);
    EXPECT_FALSE(m->touka_on);
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_EQ(m->L_color.BackColor(), kRed);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(m->Hwnd(), WM_GETICON, ICON_SMALL, 0)), nullptr);
}

TEST_F(MarkerWindow, ItHoldsTheScreenBehindItUnderTheXorTint) {
    ColourWindow white(kWhite, 0, 0, 300, 60);
    ColourWindow black(kBlack, 300, 0, 300, 60);
    Start();
    auto m = Marker(1);
    Pump(100);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(100, 5), kWhite));
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(400, 5), kBlack));
    EXPECT_TRUE(SameColour(ScreenPixel(100, 5), kYellow));
    EXPECT_TRUE(SameColour(ScreenPixel(400, 5), kBlue));
}

TEST_F(MarkerWindow, AWindowPlacedBehindAppearsOnlyAfterARefresh) {
    ColourWindow red(kRed, 700, 400, 200, 60); // below the marker in the z-order
    Start();
    auto m = Marker(1);
    // Slide it under the marker after the marker's first capture.
    SetWindowPos(red.hwnd(), nullptr, 700, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(100);
    EXPECT_FALSE(SameColour(m->Picture().PixelAt(800, 5), kRed));
    m->Label1_MouseUp(1, 0, 0, 0);
    Pump(100);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(800, 5), kRed));
    EXPECT_TRUE(SameColour(ScreenPixel(800, 5), kMagenta)) << std::hex << ScreenPixel(800, 5); // red XOR blue
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_TRUE(m->Shape1.visible);
    // Gone again: the next refresh shows the white desktop.
    ShowWindow(red.hwnd(), SW_HIDE);
    m->Label1_MouseUp(1, 0, 0, 0);
    Pump(100);
    EXPECT_TRUE(SameColour(ScreenPixel(800, 5), kYellow));
}

TEST_F(MarkerWindow, EveryRefreshWaitsForTheWindowBeneathToRepaintWhatItUncovered) {
    ColourWindow red(kRed, 700, 0, 200, 60); // below the marker in the z-order
    Start();
    auto m = Marker(1);
    // Each refresh uncovers the red window, whose repaint the display asks for a moment later
    // (on a busy machine, often after two passes of the message loop). A copy taken before that
    // repaint holds the marker's own tint.
    int stale = 0;
    for (int i = 0; i < 40; ++i) {
        Pump(40); // the marker has painted over the red window again
        m->Label1_MouseUp(1, 0, 0, 0);
        stale += SameColour(m->Picture().PixelAt(800, 5), kRed) ? 0 : 1;
    }
    EXPECT_EQ(stale, 0) << "of 40 refreshes";
}

TEST_F(MarkerWindow, TheFrameShapeShowsOnlyTheOutlineAndTheRefreshAlwaysEndsInFullShape) {
    Start();
    auto m = Marker(1);
    m->Pnl_scale_MouseDown(1, 0, 30, 30); // a grip press turns the marker into its frame
    Pump(50);
    EXPECT_EQ(m->frame_hwnd, m->Hwnd());
    EXPECT_FALSE(m->Shape1.visible);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(100, 5), markShape::kBackColor));
    EXPECT_TRUE(SameColour(ScreenPixel(100, 5), kWhite)); // the inside shows the desktop
    m->Label1_MouseUp(1, 0, 0, 0);
    Pump(50);
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_TRUE(m->Shape1.visible);
    EXPECT_TRUE(SameColour(ScreenPixel(100, 5), kYellow));
    m->Label1_MouseUp(2, 0, 0, 0); // only the left button refreshes
    EXPECT_EQ(m->frame_hwnd, nullptr);
}

TEST_F(MarkerWindow, AfterAResizeTheGripIsTwoPixelsShorterAndItsEdgesEndOnItsLastRow) {
    Start();
    auto m = Marker(1);
    m->Move(0, 3000, m->Width(), 200);
    const RECT r = WindowRect(m->Hwnd());
    const RECT grip = ChildRect(m->Pnl_scale.Hwnd());
    EXPECT_EQ(grip.bottom - grip.top, (r.bottom - r.top) - 2);
    EXPECT_EQ(m->Picture().Height(), r.bottom - r.top);
    // On the screen: the dark bottom and right edges lie on the grip's last row and column,
    // the light left edge on its first column.
    const int left = r.left + grip.left, top = r.top + grip.top;
    const int right = r.left + grip.right - 1, bottom = r.top + grip.bottom - 1;
    const COLORREF dark = RGB(128, 128, 128), light = RGB(255, 255, 255);
    const int midX = left + Px(400), midY = (top + bottom) / 2;
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(midX, bottom), dark, 0); }, 1000));
    EXPECT_FALSE(SameColour(ScreenPixel(midX, bottom - 1), dark, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(right, midY), dark, 0));
    EXPECT_FALSE(SameColour(ScreenPixel(right - 1, midY), dark, 0));
    EXPECT_TRUE(SameColour(ScreenPixel(left, midY), light, 0));
}

TEST_F(MarkerWindow, TheHeightStripMovesTheTopEdgeAndStopsAtTwoHundredTwips) {
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    const double bottom = m->Top() + m->Height();
    m->Label1_MouseDown(1, 0, 0, 15);
    m->Label1_MouseMove(1, 0, 0, 15 - 300); // 300 twips up: taller
    EXPECT_EQ(m->Top() + m->Height(), bottom);
    EXPECT_NEAR(m->Top(), 3000 - tk::TwipsY(Px(300)), 0.01);
    m->Label1_MouseMove(3, 0, 0, 5000); // left and right held: nothing
    EXPECT_NEAR(m->Top(), 3000 - tk::TwipsY(Px(300)), 0.01);
    m->Label1_MouseMove(1, 0, 0, 5000); // far down: least height
    EXPECT_EQ(m->Top() + m->Height(), bottom);
    EXPECT_EQ(WindowRect(m->Hwnd()).bottom - WindowRect(m->Hwnd()).top, Px(200));
    m->Move(0, 0);
    const double b2 = m->Top() + m->Height();
    m->Label1_MouseDown(1, 0, 0, 15);
    m->Label1_MouseMove(1, 0, 0, -2000); // above the screen: negative top
    EXPECT_LT(m->Top(), 0);
    EXPECT_EQ(m->Top() + m->Height(), b2);
}

TEST_F(MarkerWindow, MoveMarkStepsSixtyTwipsWithinTheScreen) {
    Start();
    auto m = Marker(1);
    m->MoveMark(-1);
    EXPECT_EQ(m->Top(), 0);
    m->MoveMark(1);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, Px(60));
    m->MoveMark(1);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, Px(120));
    const double screenH = tk::ScreenHeight();
    m->Move(0, screenH - m->Height() - 30);
    m->MoveMark(1);
    EXPECT_EQ(WindowRect(m->Hwnd()).bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(m->frame_hwnd, nullptr);
    // Taller than the screen: the lower bound wins.
    m->Move(0, 0, m->Width(), screenH + 600);
    m->MoveMark(-1);
    EXPECT_EQ(m->Top(), screenH - m->Height());
    EXPECT_LT(m->Top(), 0);
}

TEST_F(MarkerWindow, WithTheCopyPenAMoveDoesNotCapture) {
    ColourWindow white(kWhite, 0, 0, 400, 200);
    ColourWindow red(kRed, 0, 600, 400, 200);
    Start();
    auto m = Marker(1);
    m->pen_mode = palette::kCopyPen;
    SetWindowPos(red.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(50);
    m->MoveMark(1);
    Pump(50);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(100, 2), kWhite));
    m->pen_mode = palette::kXorPen;
    m->MoveMark(1);
    Pump(50);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(100, 2), kRed));
}

TEST_F(MarkerWindow, AGripReleaseWithoutWidthFittingRestoresTheFullScreenWidth) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(1500, 3000, 9000, m->Height());
    m->Pnl_scale.Move(300, tk::Tx());
    m->Pnl_scale_MouseDown(1, 0, 100, 100);
    EXPECT_EQ(m->frame_hwnd, m->Hwnd());
    m->Pnl_scale_MouseMove(3, 0, 500, 500); // left and right held: ignored
    EXPECT_NEAR(m->Top(), 3000, 0.01);
    m->Pnl_scale_MouseMove(1, 0, 100, 400); // 300 twips down
    EXPECT_EQ(WindowRect(m->Hwnd()).top, Px(3300));
    m->Pnl_scale_MouseUp(1, 0, 100, 400);
    const RECT r = WindowRect(m->Hwnd());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_TRUE(m->Shape1.visible);
    // The grip keeps its place on the screen.
    EXPECT_EQ(ChildRect(m->Pnl_scale.Hwnd()).left, Px(1500) + Px(300));
}

TEST_F(MarkerWindow, EachDragEndsWhereTheButtonIsLetGoThoughTheMovesBeforeItWereNeverRead) {
    // A busy program reads the release before the last moves: the release's own place decides.
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    auto press = [](HWND h, int x, int y) { SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); };
    auto release = [](HWND h, int x, int y) {
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    };
    // The grip: pressed, then let go 40 pixels higher with no move between.
    const RECT before = WindowRect(m->Hwnd());
    press(m->Pnl_scale.Hwnd(), 5, 5);
    release(m->Pnl_scale.Hwnd(), 5, 5 - 40);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, before.top - 40);
    EXPECT_EQ(m->frame_hwnd, nullptr);
    // The height strip: let go 30 pixels higher, the bottom edge stays.
    const RECT moved = WindowRect(m->Hwnd());
    press(m->Label1.Hwnd(), 5, 1);
    release(m->Label1.Hwnd(), 5, 1 - 30);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, moved.top - 30);
    EXPECT_EQ(WindowRect(m->Hwnd()).bottom, moved.bottom);
    // The panel, dragged by its picture (which reads the grab from the pointer's place).
    const RECT p = WindowRect(panel->Hwnd());
    SetCursorPos(p.left + 10, p.top + 10);
    press(panel->Hwnd(), 10, 10);
    release(panel->Hwnd(), 10 - 300, 10 - 200);
    EXPECT_EQ(WindowRect(panel->Hwnd()).left, p.left - 300);
    EXPECT_EQ(WindowRect(panel->Hwnd()).top, p.top - 200);
}
