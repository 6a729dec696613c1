// The two context menus in-process: captions, check marks per marker, and commands that
// close the marker whose menu is open.
#include "menu/frmMenu.h"
#include "toolkit/units.h"
#include "window/fixture.h"

#include <thread>

using namespace testing_support;

namespace {

std::wstring ItemText(HMENU menu, int pos) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, pos, buf, 128, MF_BYPOSITION);
    return buf;
}

// Presses `key` as soon as a popup menu is open.
std::thread PressWhenMenuOpens(WORD key) {
    return std::thread([key] {
        if (OpenMenu()) {
            KeyPress(key);
        }
    });
}

} // namespace

using Menus = RegistryTest;

TEST_F(Menus, TheMarkerMenuAndThePanelMenuHaveTheirCaptionsInOrder) {
    auto menu = frmMenu::Instance();
    HMENU pop = menu->popmenu();
    const wchar_t* expected[] = {L"マーカーの追加(&A)",
                                 L"ペン効果(&P)",
                                 L"ボタンを自動的に隠す(&H)",
                                 L"常に手前に表示(&T)",
                                 L"背後のウィンドウ幅に合わせる(&W)",
                                 L"マウスクリックでマーカーを透過(&M)",
                                 L"周囲を暗くする(&D)",
                                 L"マウスに追従(&F)",
                                 L"段に合わせる(&C)",
                                 L"",
                                 L"このマーカーを終了(&X)",
                                 L"すべてのマーカーを終了(&Z)"};
    ASSERT_EQ(GetMenuItemCount(pop), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(ItemText(pop, i), expected[i]) << i;
    }
    EXPECT_TRUE(GetMenuState(pop, 9, MF_BYPOSITION) & MF_SEPARATOR);
    HMENU pen = GetSubMenu(pop, 1);
    ASSERT_EQ(GetMenuItemCount(pen), 3);
    EXPECT_EQ(ItemText(pen, 0), L"Xor");
    EXPECT_EQ(ItemText(pen, 1), L"Merge");
    EXPECT_EQ(ItemText(pen, 2), L"不透明");

    HMENU sys = menu->sysmenu();
    ASSERT_EQ(GetMenuItemCount(sys), 8);
    EXPECT_EQ(ItemText(sys, 0), L"バージョン(&V)");
    EXPECT_EQ(ItemText(sys, 2), L"キー操作(&K)"); // the global keys, with what they do
    EXPECT_EQ(ItemText(sys, 3), L"画面共有に表示(&S)");
    EXPECT_EQ(ItemText(sys, 5), L"マーカーの追加(&A)");
    EXPECT_EQ(ItemText(sys, 7), L"すべてのマーカーを終了(&Z)");
    for (int separator : {1, 4, 6}) {
        EXPECT_TRUE(GetMenuState(sys, separator, MF_BYPOSITION) & MF_SEPARATOR) << separator;
    }
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(sys, 0)), 1);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(sys, 2)), 4); // with following the pointer
}

TEST_F(Menus, OptionsChangedInOneMarkersMenuLeaveTheOthersChecksAlone) {
    auto panel = Start();
    panel->AddMarker();
    auto menu = frmMenu::Instance();
    panel->MyMarkerNo(2);
    menu->Choose(frmMenu::mn_pen_merge);
    menu->Choose(frmMenu::mn_pen_merge); // a radio choice, not a toggle
    menu->Choose(frmMenu::mn_hide_btn);
    menu->Choose(frmMenu::mn_just_winw);
    menu->Choose(frmMenu::mn_mouse_touka);
    EXPECT_FALSE(menu->Checked(frmMenu::mn_pen_merge)); // the commands set no check mark
    panel->MyMarkerNo(2);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_pen_merge));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_pen_xor));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_hide_btn));
    EXPECT_TRUE(menu->Checked(frmMenu::mn_just_winw));
    EXPECT_TRUE(menu->Checked(frmMenu::mn_mouse_touka));
    EXPECT_EQ(panel->PenEffect(2), 15);
    panel->MyMarkerNo(1);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_pen_xor));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_pen_merge));
    EXPECT_TRUE(menu->Checked(frmMenu::mn_hide_btn));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_just_winw));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_mouse_touka));
    EXPECT_EQ(panel->PenEffect(1), 7);
    menu->Choose(frmMenu::mn_pen_copy);
    EXPECT_EQ(panel->PenEffect(1), 13);
    menu->Choose(frmMenu::mn_pen_xor);
    EXPECT_EQ(panel->PenEffect(1), 7);
    EXPECT_FALSE(panel->VerticalLine(1));
}

TEST_F(Menus, ClosingAMarkerFromItsOwnMenuLeavesNothingBehind) {
    auto panel = Start();
    for (int round = 0; round < 15; ++round) {
        panel->AddMarker();
        const int n = panel->mk_cur;
        std::weak_ptr<markShape> closing = Marker(n);
        auto press = PressWhenMenuOpens('X');
        // A right press on the grip: the menu opens inside the marker's own handler.
        PostMessageW(closing.lock()->Pnl_scale.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        WaitFor([&] { return closing.expired(); }, 5000);
        press.join();
        EXPECT_TRUE(closing.expired()) << "round " << round;
        EXPECT_FALSE(Marker(n));
        EXPECT_EQ(panel->mk_cur, 1);
    }
    EXPECT_EQ(g_programEnds, 0);
}

TEST_F(Menus, ClosingAllFromAMarkersMenuEndsTheProgram) {
    auto panel = Start();
    panel->AddMarker();
    std::weak_ptr<markShape> two = Marker(2);
    auto press = PressWhenMenuOpens('Z');
    PostMessageW(two.lock()->Pnl_scale.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    WaitFor([&] { return g_programEnds > 0; }, 5000);
    press.join();
    EXPECT_EQ(g_programEnds, 1);
    EXPECT_TRUE(two.expired());
    EXPECT_EQ(FindWindowW(L"TolvinMarker", nullptr), nullptr);
}

TEST_F(Menus, StartUpLettersSetTheFirstCheckMarksOfEveryNewMarker) {
    auto panel = Start();
    auto menu = frmMenu::Instance();
    panel->AddMarker();
    panel->MyMarkerNo(2);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_pen_xor));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_show_top));
    EXPECT_TRUE(menu->Checked(frmMenu::mn_hide_btn));
    panel->DelAllMarker();
    frmControl::Discard();
    opt_top = opt_btn = true;
    panel = Start();
    panel->AddMarker();
    panel->MyMarkerNo(2);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_show_top));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_hide_btn));
    EXPECT_TRUE(menu->Checked(frmMenu::mn_pen_xor));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_just_winw));
    EXPECT_FALSE(menu->Checked(frmMenu::mn_mouse_touka));
}

TEST_F(Menus, ARightPressOnTheGripOfAMarkerFollowingThePointerOpensItsMenuWhereFollowingStops) {
    auto panel = Start();
    auto menu = frmMenu::Instance();
    menu->Choose(frmMenu::mn_follow); // the current marker, 1, follows the pointer
    auto one = Marker(1);
    const HWND bar = one->Hwnd();
    EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_TRANSPARENT); // input passes through the bar
    panel->MyMarkerNo(1);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_follow));
    // The bar follows the pointer's row (nothing but the desktop beneath): the grip stays under it.
    const RECT grip = WindowRect(one->Pnl_scale.Hwnd());
    PointTo((grip.left + grip.right) / 2, 300);
    ASSERT_TRUE(WaitFor(
        [&] {
            const RECT now = WindowRect(one->Pnl_scale.Hwnd());
            return now.top <= 300 && now.bottom > 300 && IsWindowVisible(one->Pnl_scale.Hwnd());
        },
        3000));
    // Over the grip, with nothing on top of it, the bar takes input (once the program has heard the
    // pointer arrive there): the press reaches the grip.
    const POINT on{(grip.left + grip.right) / 2, 300};
    ASSERT_TRUE(WaitFor(
        [&] {
            return !(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_TRANSPARENT) &&
                   GetAncestor(WindowFromPoint(on), GA_ROOT) == bar;
        },
        5000));
    // Moving on over the grip, the band stays still under the pointer: no step, no new picture
    // (which would move the grip, and let a press through its outline).
    const RECT resting = WindowRect(bar);
    bool still = true;
    for (int dy : {1, 3, -2, -4, 0}) {
        PointTo(on.x, on.y + dy);
        Pump(40);
        const RECT now = WindowRect(bar);
        still = still && EqualRect(&resting, &now) && !HasWindowRegion(bar);
    }
    EXPECT_TRUE(still) << "the band moved to " << WindowRect(bar).top << " from " << resting.top;
    auto press = PressWhenMenuOpens('F');
    MouseButton(2, true);
    MouseButton(2, false);
    press.join();
    panel->MyMarkerNo(1);
    EXPECT_FALSE(menu->Checked(frmMenu::mn_follow));
    EXPECT_TRUE(NoMenuShown(500));
}

TEST_F(Menus, FittingToTheColumnIsCheckedPerMarkerAndOffTheBandSpansItsMonitorAgain) {
    // Two columns of text beneath the band, the second right of 500.
    testing_support::Page::Look look;
    look.twoColumns = true;
    testing_support::Page page(RECT{0, 0, 1000, 640}, look);
    ASSERT_TRUE(WaitFor([&] { return page.TextLines().size() == 20; }, 3000));
    auto panel = Start();
    auto menu = frmMenu::Instance();
    panel->AddMarker(); // marker 2 is current
    auto two = Marker(2);
    two->Move(0, tk::TwipsY(page.TextLines()[3].first - 4));
    SetCursorPos(300, 700); // nearest the left column
    menu->Choose(frmMenu::mn_fit_column);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_fit_column));
    const RECT fitted = WindowRect(two->Hwnd());
    EXPECT_LE(fitted.left, 20);
    EXPECT_GT(fitted.right, 250);
    EXPECT_LT(fitted.right, 500);
    panel->MyMarkerNo(1); // another marker's check mark is its own
    EXPECT_FALSE(menu->Checked(frmMenu::mn_fit_column));
    EXPECT_EQ(WindowRect(Marker(1)->Hwnd()).right, GetSystemMetrics(SM_CXSCREEN));
    panel->MyMarkerNo(2);
    EXPECT_TRUE(menu->Checked(frmMenu::mn_fit_column));
    menu->Choose(frmMenu::mn_fit_column);
    EXPECT_FALSE(menu->Checked(frmMenu::mn_fit_column));
    EXPECT_EQ(WindowRect(two->Hwnd()).left, 0);
    EXPECT_EQ(WindowRect(two->Hwnd()).right, GetSystemMetrics(SM_CXSCREEN));
}
