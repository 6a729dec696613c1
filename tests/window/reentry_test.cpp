// Events that arrive while a marker is in the middle of something: a step during pass-through,
// a refresh inside a refresh, an add or a close while a new marker is being shown, and the
// cursor over the swatch.
#include "window/fixture.h"

using namespace testing_support;

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A window whose messages run registry operations inside whatever pump delivers them.
LRESULT CALLBACK ActorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto panel = frmControl::Instance();
    if (m == WM_APP) {
        panel->AddMarker();
        return 0;
    }
    if (m == WM_APP + 1) {
        panel->MyMarkerNo(static_cast<int>(w));
        panel->DelMarker();
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}
HWND Actor() {
    static HWND h = ActorWindow(L"TestActor", ActorProc);
    return h;
}
} // namespace

using Reentry = RegistryTest;

TEST_F(Reentry, AStepDuringPassThroughLeavesNoTintInThePictureWhenThePointerLeaves) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    m->Label1_MouseUp(1, 0, 0, 0);
    panel->MyMarkerNo(1);
    panel->CheckMouseTouka();
    SetCursorPos(300, WindowRect(m->Hwnd()).top + 5);
    m->Form_Click(); // an outline, passing clicks through
    ASSERT_EQ(m->frame_hwnd, m->Hwnd());
    m->MoveMark(1); // its refresh gives the marker its full shape and a fresh picture
    ASSERT_EQ(m->frame_hwnd, nullptr);
    SetCursorPos(300, 900);
    ASSERT_TRUE(WaitFor([&] { return !m->touka_on; }, 4000));
    // White paper behind: a copy taken while the bar was fully shown would hold its yellow.
    EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite));
    EXPECT_EQ(m->frame_hwnd, nullptr);
}

TEST_F(Reentry, AClickThatStartsPassThroughInsideACopyInPlaceLeavesThePictureLiveAfterward) {
    auto panel = Start();
    auto m = Marker(1);
    m->CopyInPlace(true);
    m->Move(0, 3000);
    panel->MyMarkerNo(1);
    panel->CheckMouseTouka();
    const int y = WindowRect(m->Hwnd()).top + 5;
    SetCursorPos(300, y);
    // The click arrives inside the copy's pump: the marker becomes an outline passing clicks on.
    PostMessageW(m->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 5));
    PostMessageW(m->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
    m->Label1_MouseUp(1, 0, 0, 0);
    ASSERT_TRUE(m->touka_on);
    EXPECT_EQ(m->State(), markShape::PictureState::PassThrough);
    SetCursorPos(300, 900);
    ASSERT_TRUE(WaitFor([&] { return !m->touka_on; }, 4000));
    EXPECT_EQ(m->State(), markShape::PictureState::Held); // resting: its live copies go on
}

TEST_F(Reentry, AWheelStepInsideARefreshLeavesNoTintInThePicture) {
    auto panel = Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    for (int i = 0; i < 5; ++i) {
        const int top = WindowRect(m->Hwnd()).top;
        // The step arrives inside the refresh's pump and runs a refresh of its own.
        PostMessageW(panel->Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        m->Label1_MouseUp(1, 0, 0, 0);
        EXPECT_EQ(WindowRect(m->Hwnd()).top, top + Px(60)) << i;
        EXPECT_TRUE(SameColour(m->Picture().PixelAt(200, 5), kWhite)) << i;
        EXPECT_EQ(m->frame_hwnd, nullptr);
        EXPECT_TRUE(m->Shape1.visible);
    }
}

TEST_F(Reentry, AnAddChosenWhileTheHundredthMarkerIsShownMeetsTheLimit) {
    auto panel = Start();
    for (int i = 2; i <= 99; ++i) {
        panel->AddMarker();
    }
    auto box = CloseMessageBoxLater(L"Operation canceled!", 10000);
    PostMessageW(Actor(), WM_APP, 0, 0); // arrives while marker 100 is being shown
    panel->AddMarker();
    EXPECT_EQ(box.get(), L"Unable to add more marker!");
    EXPECT_EQ(panel->mk_max, 100);
    EXPECT_EQ(panel->mk_cur, 100);
    EXPECT_EQ(panel->L_no.Text(), L"100");
    EXPECT_EQ(FindWindowW(L"TolvinMarker", L"Tolvin No.101"), nullptr);
}

TEST_F(Reentry, AMarkerClosedWhileItIsBeingShownIsNotMadeCurrent) {
    auto panel = Start();
    PostMessageW(Actor(), WM_APP + 1, 2, 0); // closes marker 2 while it is being shown
    panel->AddMarker();
    EXPECT_FALSE(Marker(2));
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_EQ(panel->L_no.Text(), L"1");
    EXPECT_EQ(g_programEnds, 0);
    // Marker 1 closed while marker 2 is shown: marker 2 remains, and the program goes on.
    PostMessageW(Actor(), WM_APP + 1, 1, 0);
    panel->AddMarker();
    EXPECT_FALSE(Marker(1));
    ASSERT_TRUE(Marker(2));
    EXPECT_EQ(panel->mk_cur, 2);
    EXPECT_EQ(g_programEnds, 0);
}

TEST_F(Reentry, TheSwatchShowsTheArrowAndTheGripItsOwnCursor) {
    Start();
    auto m = Marker(1);
    HWND swatch = m->L_color.Hwnd(), grip = m->Pnl_scale.Hwnd();
    SendMessageW(swatch, WM_SETCURSOR, reinterpret_cast<WPARAM>(swatch), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(grip, WM_SETCURSOR, reinterpret_cast<WPARAM>(grip), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}
