// The dim layer in-process: what it darkens and what it leaves clear, that it follows the band and
// the option, and that it is no window around a marker for the tick's questions or for input.
#include "dim/dimLayer.h"
#include "window/fixture.h"

using namespace testing_support;

using Dim = RegistryTest;

namespace {
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
int Mid(const RECT& r) {
    return (r.top + r.bottom) / 2;
}
} // namespace

TEST_F(Dim, TheRestOfTheMonitorDarkensTheBandStaysAsItWasAndTheHoleFollowsTheBand) {
    Page page(RECT{0, 0, 1000, 700}, Page::Look{}); // white paper, under the marker
    auto panel = Start();
    auto m = Marker(1);
    const HWND me = m->Hwnd();
    RECT r = WindowRect(me);
    const int x = 300;
    ASSERT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, r.bottom + 20), kWhite); }, 2000));
    const COLORREF band = RGB(255, 255, 0); // white paper through the yellow Xor pen
    ASSERT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(r)), band); }, 2000));
    const int above = CountWindowsAbove(me);
    const HWND below = FindOverlapBelow(me);
    auto menu = frmMenu::Instance();
    EXPECT_FALSE(menu->Checked(frmMenu::mn_dim_rest)); // off for a new marker
    menu->Choose(frmMenu::mn_dim_rest);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_dim_rest));
    ASSERT_EQ(dim::Windows().size(), 1u);
    // Wine has no compositor: the layer shows as opaque black. The band shows what it showed, and
    // the rows just outside it, which the marker watches for changes, stay clear.
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, r.bottom + 20), kBlack); }, 1000));
    // (A picture being taken shows the outline for a moment: wait for the band.)
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(r)), band); }, 1000));
    EXPECT_TRUE(SameColour(ScreenPixel(x, r.bottom), kWhite));
    // No window above or below the marker for the tick, none under the pointer, and the panel on top.
    EXPECT_EQ(CountWindowsAbove(me), above);
    EXPECT_EQ(FindOverlapBelow(me), below);
    EXPECT_EQ(WindowFromPoint(POINT{x, r.bottom + 20}), page.Hwnd());
    bool layerBelowPanel = false;
    for (HWND w = GetWindow(panel->Hwnd(), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        layerBelowPanel = layerBelowPanel || w == dim::Windows()[0];
    }
    EXPECT_TRUE(layerBelowPanel);
    // The page beneath turns green: the marker still sees it by the clear rows just outside its band.
    page.SetLook(Page::Look{RGB(0, 255, 0)});
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), RGB(0, 255, 0)); }, 1500));
    page.SetLook(Page::Look{});
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kWhite); }, 1500));
    // Two lines down: the hole goes with the band, and where the band was is dark.
    panel->MoveCurrentMarkerLines(2);
    const RECT moved = WindowRect(me);
    ASSERT_EQ(moved.top, r.top + 2 * (r.bottom - r.top));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(r)), kBlack); }, 1000));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(moved)), band); }, 1000));
    // Off again: gone at once.
    menu->Choose(frmMenu::mn_dim_rest);
    EXPECT_TRUE(dim::Windows().empty());
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(r)), kWhite); }, 1000));
}

TEST_F(Dim, EveryBandOnTheMonitorStaysClearAndTheLayerGoesWithHidingAndClosing) {
    Page page(RECT{0, 0, 1000, 700});
    auto panel = Start();
    panel->AddMarker(); // marker 2, current, moved below marker 1
    panel->MoveCurrentMarkerLines(3);
    const RECT one = WindowRect(Marker(1)->Hwnd());
    const RECT two = WindowRect(Marker(2)->Hwnd());
    ASSERT_GE(two.top, one.bottom);
    const int x = 300;
    const COLORREF band = RGB(255, 255, 0);
    ASSERT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(one)), band); }, 2000));
    frmMenu::Instance()->Choose(frmMenu::mn_dim_rest);
    ASSERT_EQ(dim::Windows().size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, two.bottom + 20), kBlack); }, 1000));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(one)), band); }, 1000));
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, Mid(two)), band); }, 1000));
    // Hidden with the markers, back with them.
    panel->ToggleHidden();
    EXPECT_TRUE(dim::Windows().empty());
    panel->ToggleHidden();
    ASSERT_EQ(dim::Windows().size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, two.bottom + 20), kBlack); }, 1000));
    // The dimmed marker closed: nothing left behind.
    panel->DelMarker();
    EXPECT_TRUE(dim::Windows().empty());
    EXPECT_EQ(FindWindowW(L"TolvinDim", nullptr), nullptr);
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(x, two.bottom + 20), kWhite); }, 1000));
}
