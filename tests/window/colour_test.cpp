// Colour selection read back from the screen: each pen's cycle over white paper, and pen
// changes that keep the colour.
#include "marker/palette.h"
#include "menu/frmMenu.h"
#include "window/fixture.h"

#include <atomic>
#include <thread>

using namespace testing_support;

namespace {
constexpr COLORREF kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0), kMagenta = RGB(255, 0, 255),
                   kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kCyan = RGB(0, 255, 255),
                   kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

COLORREF BarPixel(markShape& m) {
    UpdateWindow(m.Hwnd());
    Pump(20);
    const RECT r = WindowRect(m.Hwnd());
    return ScreenPixel(300, (r.top + r.bottom) / 2);
}

// Chooses a pen from the marker's own grip menu, with real keys: P opens the pen submenu on
// its first item (the items have no access keys of their own).
void ChoosePen(markShape& m, frmMenu::Item pen) {
    const int downs = pen == frmMenu::mn_pen_xor ? 0 : pen == frmMenu::mn_pen_merge ? 1 : 2;
    std::atomic<bool> pressed{false};
    std::thread keys([&pressed, downs] {
        if (OpenMenu()) {
            KeyPress('P');
            for (int i = 0; i < downs; ++i) {
                KeyPress(VK_DOWN);
            }
            KeyPress(VK_RETURN);
            pressed = true;
        }
    });
    // The menu opens inside the grip's handler, run by this pump; the handler applies the pen
    // once the menu call returns.
    PostMessageW(m.Pnl_scale.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitFor([&] { return pressed && NoMenuShown(0); }, 5000));
    keys.join();
    const int expected = pen == frmMenu::mn_pen_xor ? 7 : pen == frmMenu::mn_pen_merge ? 15 : 13;
    EXPECT_EQ(m.pen_mode, expected);
}
} // namespace

using Colours = RegistryTest;

TEST_F(Colours, EachPenStepsThroughItsPaletteAndTheSwatchShowsTheNext) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    const COLORREF xorCycle[] = {kYellow, kRed, kMagenta, kBlue, kGreen, kCyan, kBlack};
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(SameColour(BarPixel(*m), xorCycle[i % 7])) << "xor step " << i;
        EXPECT_EQ(m->L_color.BackColor(), xorCycle[(i + 1) % 7]) << i; // black shows yellow next
        m->L_color_Click();
    }
    // Merge over white paper: white stays white, and the fill is the colour itself.
    ChoosePen(*m, frmMenu::mn_pen_merge);
    EXPECT_EQ(m->Shape1.drawMode, palette::kMergePen);
    const COLORREF mergeCycle[] = {kYellow, kRed, kMagenta, kBlue, kGreen, kCyan};
    const int start = m->color_idx;
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(SameColour(BarPixel(*m), kWhite)) << "merge over white " << i;
        EXPECT_EQ(m->Shape1.fillColor, mergeCycle[(start + i) % 6]) << i;
        m->L_color_Click();
    }
    // Copy: an opaque bar through all eight colours, white followed by yellow.
    ChoosePen(*m, frmMenu::mn_pen_copy);
    const COLORREF copyCycle[] = {kYellow, kRed, kMagenta, kBlue, kGreen, kCyan, kBlack, kWhite};
    const int first = m->color_idx;
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(SameColour(BarPixel(*m), copyCycle[(first + i) % 8])) << "copy step " << i;
        m->L_color_Click();
    }
}

TEST_F(Colours, APenChangeKeepsTheColourReducedIntoTheNewPalette) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    // Copy at white (index 7), then Xor: 7 mod 7 = yellow, swatch red.
    ChoosePen(*m, frmMenu::mn_pen_copy);
    for (int i = 0; i < 7; ++i) {
        m->L_color_Click();
    }
    EXPECT_TRUE(SameColour(BarPixel(*m), kWhite));
    ChoosePen(*m, frmMenu::mn_pen_xor);
    EXPECT_EQ(m->color_idx, 0);
    EXPECT_TRUE(SameColour(BarPixel(*m), kYellow));
    EXPECT_EQ(m->L_color.BackColor(), kRed);
    // Xor at black (index 6), then Merge: 6 mod 6 = yellow.
    for (int i = 0; i < 6; ++i) {
        m->L_color_Click();
    }
    EXPECT_TRUE(SameColour(BarPixel(*m), kBlack));
    ChoosePen(*m, frmMenu::mn_pen_merge);
    EXPECT_EQ(m->color_idx, 0);
    EXPECT_EQ(m->Shape1.fillColor, kYellow);
    // Merge at cyan (index 5), then Xor: cyan stays, its fill is red.
    for (int i = 0; i < 5; ++i) {
        m->L_color_Click();
    }
    ChoosePen(*m, frmMenu::mn_pen_xor);
    EXPECT_EQ(m->color_idx, 5);
    EXPECT_EQ(m->Shape1.fillColor, kRed);
    EXPECT_TRUE(SameColour(BarPixel(*m), kCyan));
    // Choosing the pen that is already set changes nothing.
    ChoosePen(*m, frmMenu::mn_pen_xor);
    EXPECT_EQ(m->color_idx, 5);
    // Another marker keeps its own colour.
    panel->AddMarker();
    EXPECT_EQ(Marker(2)->color_idx, 0);
    EXPECT_EQ(Marker(2)->Shape1.fillColor, kBlue);
}
