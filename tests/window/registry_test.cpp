// The marker registry in-process: numbering, the current marker, the limit, the flags
// and the end of the program.
#include "menu/frmMenu.h"
#include "toolkit/units.h"
#include "window/fixture.h"

#include <algorithm>
#include <random>
#include <vector>

using namespace testing_support;

using Registry = RegistryTest;

TEST_F(Registry, StartUpCreatesMarkerOneAndShowsThePanel) {
    auto panel = Start();
    EXPECT_EQ(panel->mk_max, 1);
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_EQ(panel->L_no.Text(), L"1");
    ASSERT_TRUE(Marker(1));
    EXPECT_TRUE(IsWindowVisible(Marker(1)->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(panel->Hwnd()));
    EXPECT_TRUE(IsTopmost(panel->Hwnd()));
    EXPECT_FALSE(IsTopmost(Marker(1)->Hwnd()));
    // The version CMake was given, as "major.minor.patch".
    EXPECT_EQ(frmMenu::Instance()->Caption(frmMenu::mn_var_no), L"Ver." TOLVIN_CMAKE_VERSION);
}

TEST_F(Registry, ClosingTheCurrentMarkerSelectsTheLowestRemainingAndNumbersAreReused) {
    auto panel = Start();
    panel->AddMarker();
    panel->AddMarker();
    EXPECT_EQ(panel->mk_cur, 3);
    EXPECT_NE(FindWindowW(L"TolvinMarker", L"Tolvin No.3"), nullptr);
    panel->DelMarker();
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_EQ(panel->L_no.Text(), L"1");
    EXPECT_EQ(FindWindowW(L"TolvinMarker", L"Tolvin No.3"), nullptr);
    EXPECT_EQ(panel->mk_max, 3);
    panel->AddMarker();
    EXPECT_EQ(panel->mk_cur, 3);
    EXPECT_EQ(Marker(3)->Caption(), L"Tolvin No.3");
    panel->MyMarkerNo(2);
    panel->DelMarker();
    EXPECT_EQ(panel->mk_cur, 1);
    panel->AddMarker(); // 1 and 3 live: 2 is taken again
    EXPECT_EQ(panel->mk_cur, 2);
    EXPECT_EQ(panel->mk_max, 3);
    EXPECT_EQ(g_programEnds, 0);
}

TEST_F(Registry, TheHundredthNumberIsTheLimitEvenAfterClosingMarkers) {
    auto panel = Start();
    for (int i = 2; i <= 100; ++i) {
        panel->AddMarker();
    }
    EXPECT_EQ(panel->mk_max, 100);
    EXPECT_EQ(panel->mk_cur, 100);
    EXPECT_EQ(panel->L_no.Text(), L"100");
    auto box = CloseMessageBoxLater(L"Operation canceled!", 5000);
    panel->AddMarker();
    EXPECT_EQ(box.get(), L"Unable to add more marker!");
    EXPECT_EQ(panel->mk_cur, 100);
    panel->MyMarkerNo(5);
    panel->DelMarker();
    EXPECT_FALSE(Marker(5));
    auto again = CloseMessageBoxLater(L"Operation canceled!", 5000);
    panel->AddMarker();
    EXPECT_EQ(again.get(), L"Unable to add more marker!");
    EXPECT_FALSE(Marker(5));
    EXPECT_EQ(panel->mk_cur, 1);
}

TEST_F(Registry, ClosingTheLastMarkerClosesThePanelAndEndsTheProgram) {
    auto panel = Start();
    panel->AddMarker();
    HWND panelWindow = panel->Hwnd();
    panel->DelMarker();
    EXPECT_EQ(g_programEnds, 0);
    panel->DelMarker();
    EXPECT_EQ(g_programEnds, 1);
    EXPECT_FALSE(IsWindow(panelWindow));
    EXPECT_EQ(FindWindowW(L"TolvinMarker", nullptr), nullptr);
}

TEST_F(Registry, ClosingAllMarkersEndsTheProgram) {
    auto panel = Start();
    panel->AddMarker();
    panel->AddMarker();
    std::weak_ptr<markShape> two = Marker(2);
    panel->DelAllMarker();
    EXPECT_EQ(g_programEnds, 1);
    EXPECT_TRUE(two.expired()); // the registry held the only reference
    EXPECT_EQ(FindWindowW(L"TolvinMarker", nullptr), nullptr);
    EXPECT_TRUE(panel->Unloaded());
}

TEST_F(Registry, StartUpLettersGiveEveryNewMarkerItsBandAndGripOption) {
    auto panel = Start();
    EXPECT_FALSE(panel->mk_table[1].show_top);
    EXPECT_TRUE(panel->mk_table[1].hide_btn);
    panel->DelAllMarker();
    frmControl::Discard();

    opt_top = true;
    opt_btn = true;
    panel = Start();
    EXPECT_TRUE(panel->mk_table[1].show_top);
    EXPECT_FALSE(panel->mk_table[1].hide_btn);
    EXPECT_TRUE(IsTopmost(Marker(1)->Hwnd()));
    // Marker 1's options change; a new marker still starts from the letters.
    panel->CheckHideBtn();
    panel->DispMarkerMostTop();
    panel->AddMarker();
    EXPECT_TRUE(panel->mk_table[2].show_top);
    EXPECT_FALSE(panel->mk_table[2].hide_btn);
    EXPECT_TRUE(panel->mk_table[2].pen_xor);
    EXPECT_TRUE(IsTopmost(Marker(2)->Hwnd()));
    EXPECT_FALSE(IsTopmost(Marker(1)->Hwnd()));
}

TEST_F(Registry, AlwaysInFrontTogglesTheBandOfTheCurrentMarker) {
    auto panel = Start();
    panel->DispMarkerMostTop();
    EXPECT_TRUE(IsTopmost(Marker(1)->Hwnd()));
    EXPECT_FALSE(frmMenu::Instance()->Checked(frmMenu::mn_show_top)); // until the menu opens again
    panel->MyMarkerNo(1);
    EXPECT_TRUE(frmMenu::Instance()->Checked(frmMenu::mn_show_top));
    panel->DispMarkerMostTop();
    EXPECT_FALSE(IsTopmost(Marker(1)->Hwnd()));
}

namespace {
// A window that closes the current marker when a posted WM_APP reaches it: posted before
// a refresh, it arrives inside the refresh's own pump.
LRESULT CALLBACK CloserProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP) {
        frmControl::Instance()->DelMarker();
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}
HWND Closer() {
    static HWND h = ActorWindow(L"TestCloser", CloserProc);
    return h;
}
void CALLBACK CloseAllMarkers(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    frmControl::Instance()->DelAllMarker();
}
} // namespace

TEST_F(Registry, AMarkerClosedWhileItsOwnRefreshPumpsIsLeftAlone) {
    auto panel = Start();
    for (int round = 0; round < 20; ++round) {
        panel->AddMarker();
        const int n = panel->mk_cur;
        std::weak_ptr<markShape> closing = Marker(n);
        PostMessageW(Closer(), WM_APP, 0, 0);
        {
            auto m = closing.lock();
            m->Label1_MouseUp(1, 0, 0, 0); // the marker is closed inside its pump
            EXPECT_TRUE(m->Unloaded());
        }
        EXPECT_TRUE(closing.expired()) << round;
        EXPECT_FALSE(Marker(n));
    }
    // The others kept ticking through it all.
    Pump(700);
    ASSERT_TRUE(Marker(1));
    EXPECT_EQ(Marker(1)->frame_hwnd, nullptr);
    EXPECT_EQ(g_programEnds, 0);
}

TEST_F(Registry, ClosingAllWhileMarkersAreMidTickEndsCleanly) {
    auto panel = Start();
    for (int i = 0; i < 10; ++i) {
        panel->AddMarker();
    }
    std::vector<std::weak_ptr<markShape>> all;
    for (int n = 1; n <= 11; ++n) {
        all.push_back(Marker(n));
    }
    Pump(450); // ticks are about to fall due
    SetTimer(nullptr, 0, 60, CloseAllMarkers);
    WaitFor([] { return g_programEnds > 0; }, 3000);
    EXPECT_EQ(g_programEnds, 1);
    for (auto& w : all) {
        EXPECT_TRUE(w.expired());
    }
    EXPECT_EQ(FindWindowW(L"TolvinMarker", nullptr), nullptr);
}

TEST_F(Registry, HundredMarkersClosedInRandomOrderWhileTickingThenAddedAgain) {
    auto panel = Start();
    for (int i = 2; i <= 100; ++i) {
        panel->AddMarker();
    }
    std::mt19937 rng(99);
    std::vector<int> order;
    for (int n = 1; n <= 100; ++n) {
        order.push_back(n);
    }
    std::shuffle(order.begin(), order.end(), rng);
    for (int i = 0; i < 60; ++i) { // close sixty in random order, the others ticking
        panel->MyMarkerNo(order[i]);
        panel->DelMarker();
        Pump(5);
    }
    int lowest = 0;
    for (int n = 100; n >= 1; --n) {
        lowest = Marker(n) ? n : lowest;
    }
    EXPECT_EQ(panel->mk_cur, lowest);
    // The high-water mark is 100: adding is refused although sixty numbers are free.
    auto box = CloseMessageBoxLater(L"Operation canceled!", 5000);
    panel->AddMarker();
    EXPECT_EQ(box.get(), L"Unable to add more marker!");
    // The panel still answers a wheel step at once.
    auto current = Marker(panel->mk_cur);
    const double top = current->Top();
    SendMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(current->Top(), top + tk::TwipsY(Px(60)));
    panel->DelAllMarker();
    EXPECT_EQ(g_programEnds, 1);
    EXPECT_EQ(FindWindowW(L"TolvinMarker", nullptr), nullptr);
}

TEST_F(Registry, DraggingOneMarkerWhileOthersRefreshLeavesEveryoneConsistent) {
    auto panel = Start();
    for (int i = 0; i < 4; ++i) {
        panel->AddMarker();
    }
    for (int n = 2; n <= 5; ++n) {
        Marker(n)->Move(0, 1500.0 * n);
    }
    auto m = Marker(1);
    m->Pnl_scale_MouseDown(1, 0, 100, 100);
    for (int i = 1; i <= 20; ++i) {
        // The pointer runs 30 twips ahead of the grabbed point each time, as in a real drag.
        m->Pnl_scale_MouseMove(1, 0, 100, 130);
        // Between two moves every other marker refreshes, pumping as it goes, as their ticks would.
        for (int n = 2; n <= 5; ++n) {
            Marker(n)->Label1_MouseUp(1, 0, 0, 0);
        }
        ASSERT_EQ(m->frame_hwnd, m->Hwnd()) << "step " << i; // still an outline mid-drag
    }
    m->Pnl_scale_MouseUp(1, 0, 100, 100);
    EXPECT_EQ(m->frame_hwnd, nullptr);
    EXPECT_TRUE(m->Shape1.visible);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, 20 * Px(30));
    for (int n = 2; n <= 5; ++n) {
        EXPECT_EQ(Marker(n)->frame_hwnd, nullptr) << n;
        EXPECT_TRUE(Marker(n)->Shape1.visible) << n;
    }
}
