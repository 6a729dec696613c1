// The tracking timer against real windows: a window that stops covering a marker, a new
// window beneath, pass-through and the grip hiding.
#include "marker/palette.h"
#include "toolkit/pointerWatch.h"
#include "window/fixture.h"

#include <memory>
#include <vector>

using namespace testing_support;

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kGreen = RGB(0, 255, 0);
}

using Tracking = RegistryTest;

TEST_F(Tracking, TheFirstTicksAfterShowingDoNotRefresh) {
    // Beneath the band from the start, and no larger: what lies just outside the band stays as it
    // is, so only the z-order could start a refresh.
    ColourWindow paper(kWhite, 0, 0, 600, Px(markShape::kPanelHeight) + 2);
    Start();
    auto m = Marker(1);
    EXPECT_EQ(m->below_hwnd, paper.hwnd());
    // The paper turns red behind the marker; nothing around the marker changes, so no tick may
    // take a new picture: a refresh would show red.
    SetWindowLongPtrW(paper.hwnd(), GWLP_USERDATA, kRed);
    RedrawWindow(paper.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(1200);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    m->Label1_MouseUp(1, 0, 0, 0); // a refresh does show it
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kRed));
}

TEST_F(Tracking, AWindowMovedOverAMarkerAndAwayIsGoneFromItsPictureWithinASecond) {
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    const int y = WindowRect(m->Hwnd()).top + 5;
    {
        ColourWindow over(kRed, 100, y - 50, 300, 100); // above the marker
        Pump(700);
        EXPECT_GE(m->above_cnt, 1);
        // Behind it while covered: a refresh would copy the red window into the picture.
        m->Label1_MouseUp(1, 0, 0, 0);
        EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kRed));
    }
    // It has gone: the count above falls and the next tick takes a new picture.
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kWhite); }, 1500));
}

TEST_F(Tracking, ANewWindowBeneathIsNoticedAndTheCopyPenNeverRefreshes) {
    ColourWindow green(kGreen, 100, 900, 300, 100); // below the marker in the z-order
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    Pump(700);
    const int y = WindowRect(m->Hwnd()).top;
    SetWindowPos(green.hwnd(), nullptr, 100, y - 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kGreen); }, 3000));
    EXPECT_EQ(m->below_hwnd, green.hwnd());
    // With the opaque pen the observation is still stored, but nothing is captured.
    m->pen_mode = palette::kCopyPen;
    SetWindowPos(green.hwnd(), nullptr, 100, 900, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] { return m->below_hwnd == m->Hwnd(); }, 3000))
        << "below " << m->below_hwnd << " green " << green.hwnd() << " marker " << m->Hwnd();
    Pump(600);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kGreen));
    // Switching back later does not refresh for the z-order seen before; but the window has gone
    // from around the band, and the live picture catches up with what lies behind it now.
    m->pen_mode = palette::kXorPen;
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kWhite); }, 1500));
}

TEST_F(Tracking, ARestingMarkerTakesANewPictureWhenTheScreenJustOutsideItsBandChanges) {
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    const RECT r = WindowRect(m->Hwnd());
    // A page of another program beneath the band and around it. (Windows of the marker's own
    // thread count as the program's own: never sensed.)
    Page page(RECT{100, r.top - 30, 700, r.bottom + 30}, Page::Look{});
    SetWindowPos(page.Hwnd(), m->Hwnd(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE); // just below
    Pump(1200); // the ticks have seen it beneath
    ASSERT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    // Without the live picture no tick sees the page turn green: nothing else has changed.
    markShape::SetLivePicture(false);
    page.SetLook(Page::Look{kGreen});
    Pump(1200);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    markShape::SetLivePicture(true);
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kGreen); }, 1200));
    m->pen_mode = palette::kCopyPen; // the opaque pen never refreshes, even for the live picture
    page.SetLook(Page::Look{kRed});
    Pump(1200);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kGreen));
}

TEST_F(Tracking, ClickingTheBarWithPassThroughOnLeavesAnOutlineUntilThePointerLeaves) {
    auto panel = Start();
    panel->AddMarker();
    auto m = Marker(1);
    m->Move(0, 3000);
    panel->MyMarkerNo(1);
    panel->CheckMouseTouka();
    SetCursorPos(300, WindowRect(m->Hwnd()).top + 5);
    m->Form_Click();
    EXPECT_TRUE(m->touka_on);
    EXPECT_EQ(m->frame_hwnd, m->Hwnd());
    EXPECT_EQ(panel->mk_cur, 1);
    // The pointer is still inside: the ticks that look at it leave the outline alone.
    ASSERT_TRUE(WaitFor([&] { return m->hide_wait == 0; }, 3000));
    Pump(2 * markShape::kTimer1Interval + 100);
    EXPECT_TRUE(m->touka_on);
    EXPECT_EQ(m->frame_hwnd, m->Hwnd());
    m->Form_Click(); // already passing through: only selects
    EXPECT_EQ(m->frame_hwnd, m->Hwnd());
    SetCursorPos(300, 900);
    EXPECT_TRUE(WaitFor([&] { return !m->touka_on; }, 3000));
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_TRUE(m->Shape1.visible);
    // With the option off a click only selects.
    panel->CheckMouseTouka();
    panel->MyMarkerNo(2);
    m->Form_Click();
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_FALSE(m->touka_on);
    EXPECT_EQ(m->frame_hwnd, nullptr);
}

TEST_F(Tracking, WithHideButtonsTheGripHidesAwayFromTheMarkerAndReturnsOnHover) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    SetCursorPos(300, 900);
    EXPECT_TRUE(WaitFor([&] { return !m->Pnl_scale.Visible(); }, 3000));
    // The row just below the marker counts as inside: the grip stays.
    m->Form_MouseMove();
    EXPECT_TRUE(m->Pnl_scale.Visible());
    const RECT r = WindowRect(m->Hwnd());
    SetCursorPos(300, r.bottom);
    Pump(2600);
    EXPECT_TRUE(m->Pnl_scale.Visible());
    // Hide-buttons off: a grip hidden earlier comes back at the next checking tick.
    SetCursorPos(300, 900);
    EXPECT_TRUE(WaitFor([&] { return !m->Pnl_scale.Visible(); }, 3000));
    panel->MyMarkerNo(1);
    panel->CheckHideBtn();
    EXPECT_TRUE(WaitFor([&] { return m->Pnl_scale.Visible(); }, 1500));
}

TEST_F(Tracking, RestingMarkersTakeNoPicturesWhileNothingAroundThemChanges) {
    auto panel = Start();
    panel->AddMarker();
    panel->AddMarker();
    // One over a page of another program, one on the desktop, one overlapping another marker.
    Page page(RECT{0, 150, 900, 260}, Page::Look{kGreen});
    Marker(1)->Move(0, 3000);
    Marker(2)->Move(0, 9000);
    Marker(3)->Move(0, 9150);
    for (int n = 1; n <= 3; ++n) {
        Marker(n)->Label1_MouseUp(1, 0, 0, 0);
    }
    Pump(1200); // the ticks see the new places once
    const long before = markShape::PicturesTaken();
    Pump(2100);
    EXPECT_EQ(markShape::PicturesTaken(), before);
    // And a change is still seen.
    page.SetLook(Page::Look{kRed});
    EXPECT_TRUE(WaitFor([&] { return SameColour(Marker(1)->Picture().PixelAt(200, 5), kRed); }, 1200));
}

TEST_F(Tracking, OneProgramTickTicksEveryRestingMarkerSoEachSeesItsChangeWithinASecond) {
    auto panel = Start();
    panel->AddMarker();
    std::vector<std::unique_ptr<Page>> pages;
    for (int n = 1; n <= 3; ++n) {
        if (n == 3) {
            panel->AddMarker(); // one added while the others tick: the program tick takes it too
        }
        Marker(n)->Move(0, 3000 + 1800 * n);
        Marker(n)->Label1_MouseUp(1, 0, 0, 0);
        const RECT r = WindowRect(Marker(n)->Hwnd());
        pages.push_back(std::make_unique<Page>(RECT{0, r.top - 20, 900, r.bottom + 20}, Page::Look{}));
        SetWindowPos(pages.back()->Hwnd(), Marker(n)->Hwnd(), 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    Pump(1200); // the ticks have seen the pages beneath
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(SameColour(Marker(n)->Picture().PixelAt(200, 5), kWhite)) << n;
    }
    // Every page turns green at once: every marker's next tick sees it, none waits its turn.
    for (auto& page : pages) {
        page->SetLook(Page::Look{kGreen});
    }
    EXPECT_TRUE(WaitFor(
        [&] {
            for (int n = 1; n <= 3; ++n) {
                if (!SameColour(Marker(n)->Picture().PixelAt(200, 5), kGreen)) {
                    return false;
                }
            }
            return true;
        },
        1200));
}

TEST_F(Tracking, AFollowingMarkerDestroyedWithItsObjectStopsTheHookPostingToItsWindow) {
    // The window no longer calls back into the object as the object goes: no WM_DESTROY handler.
    auto m = markShape::New();
    ASSERT_NE(m->Hwnd(), nullptr);
    m->SetFollowing(true);
    EXPECT_TRUE(tk::HearingPointer());
    m.reset();
    EXPECT_FALSE(tk::HearingPointer());
}

TEST_F(Tracking, APointerHookTheSystemRemovedIsNoticedByTheLooksAndSetAgain) {
    auto m = markShape::New();
    ASSERT_NE(m->Hwnd(), nullptr);
    m->SetFollowing(true);
    ASSERT_TRUE(tk::PointerHookSet());
    tk::DropPointerHookForTests(); // as the system removes a hook that kept input waiting
    ASSERT_TRUE(WaitFor([] { return !tk::PointerHookSet(); }, 1000));
    // The pointer moves twice with nobody hearing it: the looks on the program's tick notice.
    for (int i = 0; i < 2; ++i) {
        PointTo(400 + 50 * i, 500);
        tk::LookAtPointer();
    }
    EXPECT_TRUE(WaitFor([] { return tk::PointerHookSet(); }, 1000));
    // Heard again: a move is known at once, without a look.
    MouseMoveTo(700, 520);
    EXPECT_TRUE(WaitFor(
        [] {
            const POINT p = tk::HeardPointer();
            return p.x == 700 && p.y == 520;
        },
        1000));
}

TEST_F(Tracking, WhileTheSessionIsLockedNoMarkerTakesAPictureAndUnlockedEachTakesOne) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    const RECT r = WindowRect(m->Hwnd());
    Page page(RECT{100, r.top - 30, 700, r.bottom + 30}, Page::Look{});
    SetWindowPos(page.Hwnd(), m->Hwnd(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    Pump(1200);
    ASSERT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    constexpr WPARAM kLock = 0x7, kUnlock = 0x8, kLogon = 0x5; // WTS_SESSION_LOCK, _UNLOCK, _LOGON
    SendMessageW(panel->ProgramHwnd(), tk::kWmSessionChange, kLock, 0);
    // Locked, what a copy would show is the lock screen: the page beneath changes, and no tick
    // takes a picture of it.
    const long before = markShape::PicturesTaken();
    page.SetLook(Page::Look{kGreen});
    Pump(1500);
    EXPECT_EQ(markShape::PicturesTaken(), before);
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    SendMessageW(panel->ProgramHwnd(), tk::kWmSessionChange, kLogon, 0); // another session's logon: nothing
    Pump(600);
    EXPECT_EQ(markShape::PicturesTaken(), before);
    SendMessageW(panel->ProgramHwnd(), tk::kWmSessionChange, kUnlock, 0);
    EXPECT_TRUE(WaitFor([&] { return SameColour(m->Picture().PixelAt(200, 5), kGreen); }, 1500));
}
