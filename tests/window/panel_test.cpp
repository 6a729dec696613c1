// The control panel window in-process: place, the spinner, the wheel hook.
#include "marker/markShape.h"
#include "window/fixture.h"
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
