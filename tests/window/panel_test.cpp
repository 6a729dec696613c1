// The control panel window in-process: place, the spinner, the wheel hook.
#include "marker/markShape.h"
#include "window/fixture.h"
#include "toolkit/capture.h"
#include "toolkit/units.h"

using namespace testing_support;

using PanelWindow = RegistryTest;

TEST_F(PanelWindow, ItStandsWhollyOnTheScreenFlushRightAndIsTopmostAndColourKeyed) {
    auto panel = Start();
    const RECT r = WindowRect(panel->Hwnd());
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.right - r.left, Px(720));
    EXPECT_EQ(r.bottom - r.top, Px(480));
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    // At the bottom of the work area (above the taskbar), within a caption bar's height.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(r.bottom, work.bottom);
    EXPECT_GE(r.bottom, work.bottom - GetSystemMetrics(SM_CYCAPTION));
    EXPECT_TRUE(IsTopmost(panel->Hwnd()));
    EXPECT_TRUE(GetWindowLongW(panel->Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(panel->Hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(key, frmControl::kBackColor);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
}

TEST_F(PanelWindow, TheWheelMovesTheCurrentMarkerOneStepPerMessage) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 1500);
    const int top = WindowRect(m->Hwnd()).top;
    SendMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, top + Px(60));
    SendMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), 0);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, top + Px(120));
    SendMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    SendMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0); // zero counts as away
    EXPECT_EQ(WindowRect(m->Hwnd()).top, top);
    EXPECT_EQ(panel->VScroll1.Value(), 0);
}

TEST_F(PanelWindow, TheSpinnerMovesTheCurrentMarkerAndRestsInTheMiddle) {
    auto panel = Start();
    panel->AddMarker();
    auto m2 = Marker(2);
    m2->Move(0, 1500);
    const int top = WindowRect(m2->Hwnd()).top;
    SendMessageW(panel->Hwnd(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(panel->VScroll1.Hwnd()));
    EXPECT_EQ(WindowRect(m2->Hwnd()).top, top + Px(60));
    EXPECT_EQ(panel->VScroll1.Value(), 0);
    SendMessageW(panel->Hwnd(), WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(panel->VScroll1.Hwnd()));
    SendMessageW(panel->Hwnd(), WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(panel->VScroll1.Hwnd()));
    EXPECT_EQ(WindowRect(m2->Hwnd()).top, top - Px(60));
    EXPECT_EQ(GetScrollPos(panel->VScroll1.Hwnd(), SB_CTL), 0);
    EXPECT_EQ(WindowRect(Marker(1)->Hwnd()).top, 0); // only the current marker moves
}

TEST_F(PanelWindow, ClosingThePanelGivesItsWindowProcedureBack) {
    auto panel = Start();
    HWND h = panel->Hwnd();
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WheelWndProc));
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&tk::Form::WindowProc));
    panel->Form_Unload();
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&tk::Form::WindowProc));
}

TEST_F(PanelWindow, TheNumberLabelWidensForLongerNumbers) {
    auto panel = Start();
    const int one = WindowRect(panel->L_no.Hwnd()).right - WindowRect(panel->L_no.Hwnd()).left;
    const int left = WindowRect(panel->L_no.Hwnd()).left;
    panel->L_no.SetText(L"100");
    const int three = WindowRect(panel->L_no.Hwnd()).right - WindowRect(panel->L_no.Hwnd()).left;
    EXPECT_GT(three, one);
    EXPECT_EQ(WindowRect(panel->L_no.Hwnd()).left, left);
    EXPECT_LE(WindowRect(panel->L_no.Hwnd()).right, WindowRect(panel->VScroll1.Hwnd()).left);
}

namespace {
// A taskbar on another edge, as far as Wine lets one be set: the primary work area of this process.
class WorkArea {
public:
    explicit WorkArea(RECT work) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved_, 0);
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    }
    ~WorkArea() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved_, 0); }

private:
    RECT saved_{};
};
} // namespace

TEST_F(PanelWindow, WithTheTaskbarOnTheRightOrAtTheTopThePanelAndMarkerOneStayClearOfIt) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    {
        WorkArea right(RECT{0, 0, w - 62, h}); // a taskbar 62 pixels wide on the right
        auto panel = Start();
        const RECT p = WindowRect(panel->Hwnd());
        EXPECT_EQ(p.right, w - 62);
        EXPECT_EQ(p.bottom, h);
        const RECT m = WindowRect(Marker(1)->Hwnd());
        EXPECT_EQ(m.left, 0);
        EXPECT_EQ(m.right, w - 62);
        EXPECT_EQ(m.top, 0);
        panel->DelAllMarker();
        frmControl::Discard();
    }
    {
        WorkArea top(RECT{0, 40, w, h}); // a taskbar 40 pixels high at the top
        auto panel = Start();
        const RECT p = WindowRect(panel->Hwnd());
        EXPECT_EQ(p.right, w);
        EXPECT_EQ(p.bottom, h);                           // not a taskbar's height above the bottom
        EXPECT_EQ(WindowRect(Marker(1)->Hwnd()).top, 40); // not under the taskbar
    }
}

TEST_F(PanelWindow, OnAMonitorOfAnotherScalingThePanelKeepsItsSizeAndTakesTheSuggestedPlace) {
    auto panel = Start();
    const RECT before = WindowRect(panel->Hwnd());
    // Dragged from 150 % onto 100 %: the system would suggest two thirds of the size.
    SIZE size{};
    EXPECT_TRUE(
        SendMessageW(panel->Hwnd(), frmControl::kWmGetDpiScaledSize, 96, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(size.cx, before.right - before.left);
    EXPECT_EQ(size.cy, before.bottom - before.top);
    RECT suggested{300, 200, 300 + (before.right - before.left) * 2 / 3,
                   200 + (before.bottom - before.top) * 2 / 3};
    SendMessageW(panel->Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    const RECT after = WindowRect(panel->Hwnd());
    EXPECT_EQ(after.left, 300);
    EXPECT_EQ(after.top, 200);
    EXPECT_EQ(after.right - after.left, before.right - before.left); // the spinner still inside
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(PanelWindow, AChangeOfCompositionChoosesTheCapturePathAgainAndGivesEveryMarkerANewPicture) {
    auto panel = Start();
    panel->AddMarker();
    const long before = markShape::PicturesTaken();
    SendMessageW(panel->ProgramHwnd(), WM_DWMCOMPOSITIONCHANGED, 0, 0);
    EXPECT_EQ(markShape::PicturesTaken(), before + 2);
    // Wine has no compositor: the path chosen again is the outline's, as at start-up.
    EXPECT_EQ(tk::CurrentCaptureMode(), tk::CaptureMode::Outline);
    EXPECT_FALSE(HasWindowRegion(Marker(1)->Hwnd()));
}

TEST_F(PanelWindow, TheSharingItemPutsMarkersInScreenCopiesAndTakesThemOutAgain) {
    auto panel = Start();
    panel->AddMarker();
    auto menu = frmMenu::Instance();
    EXPECT_FALSE(menu->Checked(frmMenu::mn_show_in_shares)); // off for a new start
    const long before = markShape::PicturesTaken();
    menu->Choose(frmMenu::mn_show_in_shares);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_show_in_shares));
    EXPECT_TRUE(tk::ReportSystem().shownInShares);
    EXPECT_EQ(markShape::PicturesTaken(), before + 2); // every marker takes its picture the new way
    // Wine has no compositor: the outline either way.
    EXPECT_EQ(tk::CurrentCaptureMode(), tk::CaptureMode::Outline);
    menu->Choose(frmMenu::mn_show_in_shares);
    EXPECT_FALSE(menu->Checked(frmMenu::mn_show_in_shares));
    EXPECT_FALSE(tk::ReportSystem().shownInShares);
    EXPECT_EQ(markShape::PicturesTaken(), before + 4);
    EXPECT_FALSE(HasWindowRegion(Marker(1)->Hwnd()));
}
