// The global keys in-process: the key messages the system would send, the registrations held
// and given back.
#include "window/fixture.h"

using namespace testing_support;

using GlobalKeys = RegistryTest;

namespace {
void Press(const std::shared_ptr<frmControl>& panel, keys::Key key) {
    SendMessageW(panel->ProgramHwnd(), WM_HOTKEY, key, 0);
}
} // namespace

TEST_F(GlobalKeys, TheLineKeysMoveTheCurrentMarkerByItsOwnHeightWithinItsMonitor) {
    auto panel = Start();
    ASSERT_TRUE(panel->Keys().Held(keys::kLineDown));
    ASSERT_TRUE(panel->Keys().Held(keys::kLineUp));
    ASSERT_TRUE(panel->Keys().Held(keys::kHideShow));
    auto m = Marker(1);
    const RECT r = WindowRect(m->Hwnd());
    const int h = r.bottom - r.top;
    Press(panel, keys::kLineDown);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, r.top + h);
    EXPECT_FALSE(HasWindowRegion(m->Hwnd())); // with its picture taken there
    Press(panel, keys::kLineDown);
    Press(panel, keys::kLineUp);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, r.top + h);
    Press(panel, keys::kLineUp);
    Press(panel, keys::kLineUp); // at the top already
    EXPECT_EQ(WindowRect(m->Hwnd()).top, 0);
    // Down to the bottom of the monitor and no further.
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    for (int i = 0; i < screen / h + 2; ++i) {
        Press(panel, keys::kLineDown);
    }
    EXPECT_EQ(WindowRect(m->Hwnd()).bottom, screen);
    // A down and an up that arrive while a move is under way (its picture delivers them): the
    // down stops at the bottom, the up is still made.
    PostMessageW(panel->ProgramHwnd(), WM_HOTKEY, keys::kLineDown, 0);
    PostMessageW(panel->ProgramHwnd(), WM_HOTKEY, keys::kLineUp, 0);
    panel->StepCurrentMarker(1); // at the bottom already: no step, but a picture
    EXPECT_EQ(WindowRect(m->Hwnd()).bottom, screen - h);
}

TEST_F(GlobalKeys, HideAndShowTakeEverythingAwayAndBringItBackWithFreshPictures) {
    auto panel = Start();
    panel->AddMarker();
    Press(panel, keys::kHideShow);
    EXPECT_FALSE(IsWindowVisible(Marker(1)->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(Marker(2)->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(panel->Hwnd()));
    const long pictures = markShape::PicturesTaken();
    const int top = WindowRect(Marker(2)->Hwnd()).top;
    Press(panel, keys::kLineDown); // hidden: the line keys do nothing
    Pump(1200);                    // nothing ticks or copies
    EXPECT_EQ(markShape::PicturesTaken(), pictures);
    EXPECT_EQ(WindowRect(Marker(2)->Hwnd()).top, top);
    Press(panel, keys::kHideShow);
    EXPECT_TRUE(IsWindowVisible(Marker(1)->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(Marker(2)->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(panel->Hwnd()));
    EXPECT_EQ(markShape::PicturesTaken(), pictures + 2);
    EXPECT_EQ(WindowRect(Marker(2)->Hwnd()).top, top);
}

TEST_F(GlobalKeys, ClosingAllMarkersGivesTheKeysBackToTheSystem) {
    HWND probe = ActorWindow(L"KeysProbe", DefWindowProcW);
    const UINT mods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    auto panel = Start();
    EXPECT_FALSE(RegisterHotKey(probe, 7, mods, VK_DOWN)); // the program holds it
    panel->DelAllMarker();
    EXPECT_EQ(g_programEnds, 1);
    EXPECT_TRUE(RegisterHotKey(probe, 7, mods, VK_DOWN));
    UnregisterHotKey(probe, 7);
    DestroyWindow(probe);
}

TEST_F(GlobalKeys, AKeyAnotherProgramHoldsIsLeftToItAndTheOthersStillWork) {
    HWND other = ActorWindow(L"KeysHolder", DefWindowProcW);
    ASSERT_TRUE(RegisterHotKey(other, 9, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'H'));
    auto panel = Start();
    EXPECT_FALSE(panel->Keys().Held(keys::kHideShow));
    EXPECT_TRUE(panel->Keys().Held(keys::kLineDown));
    // The panel menu says so: that key's item is greyed, the others are not.
    auto menu = frmMenu::Instance();
    EXPECT_FALSE(menu->Enabled(frmMenu::mn_key_hide));
    EXPECT_TRUE(menu->Enabled(frmMenu::mn_key_down));
    EXPECT_TRUE(menu->Enabled(frmMenu::mn_key_up));
    auto m = Marker(1);
    const int top = WindowRect(m->Hwnd()).top;
    Press(panel, keys::kLineDown);
    EXPECT_GT(WindowRect(m->Hwnd()).top, top);
    UnregisterHotKey(other, 9);
    DestroyWindow(other);
}

TEST_F(GlobalKeys, ThePanelMenuListsTheKeysInJapaneseAndEachItemDoesWhatItsKeyDoes) {
    auto panel = Start();
    auto menu = frmMenu::Instance();
    EXPECT_EQ(menu->Caption(frmMenu::mn_key_down), L"現在のマーカーを1行下へ\tCtrl+Alt+Shift+↓");
    EXPECT_EQ(menu->Caption(frmMenu::mn_key_up), L"現在のマーカーを1行上へ\tCtrl+Alt+Shift+↑");
    EXPECT_EQ(menu->Caption(frmMenu::mn_key_hide), L"すべて隠す／表示\tCtrl+Alt+Shift+H");
    EXPECT_TRUE(menu->Enabled(frmMenu::mn_key_hide));
    auto m = Marker(1);
    const RECT r = WindowRect(m->Hwnd());
    menu->Choose(frmMenu::mn_key_down);
    EXPECT_EQ(WindowRect(m->Hwnd()).top, r.bottom);
    menu->Choose(frmMenu::mn_key_hide);
    EXPECT_FALSE(IsWindowVisible(m->Hwnd()));
    menu->Choose(frmMenu::mn_key_hide);
    EXPECT_TRUE(IsWindowVisible(m->Hwnd()));
}
