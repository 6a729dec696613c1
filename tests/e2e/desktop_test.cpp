// What a Windows desktop asks of the program: the keyboard stays with the window the user types
// in, touchpads step the marker by whole notches, and Alt+F4, WM_CLOSE and the end of the
// session close the program through its registry.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using namespace testing_support;

namespace {

void CrossMarker(HWND marker) {
    const RECT r = WindowRect(marker);
    for (int x = 200; x <= 1000; x += 200) {
        MouseMoveTo(x, (r.top + r.bottom) / 2);
    }
    MouseMoveTo(600, r.bottom + 200);
}

} // namespace

TEST(Desktop, KeysTypedWhileThePointerCrossesAMarkerAllReachTheDocument) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    Page doc(RECT{100, 200, 900, 700}, Page::Focus::Take);
    ASSERT_NE(doc.Hwnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    Type("ABC");
    CrossMarker(marker);
    Type("XYZ");
    CrossMarker(marker);
    Type("DEF");
    EXPECT_TRUE(WaitFor([&] { return doc.Chars() == 9; }, 2000)) << doc.Chars() << " of 9 arrived";
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
    // The panel was still brought to the front of the topmost band.
    HWND top = GetTopWindow(nullptr);
    while (top && !IsWindowVisible(top)) {
        top = GetWindow(top, GW_HWNDNEXT);
    }
    EXPECT_EQ(top, app.Panel());
    // The wheel over the marker still steps it.
    const RECT r = WindowRect(marker);
    MouseMoveTo(300, (r.top + r.bottom) / 2);
    MouseWheel(-WHEEL_DELTA);
    EXPECT_TRUE(WaitForStep(marker, Px(60)));
    EXPECT_EQ(doc.Chars(), 9);
}

TEST(Desktop, PartsOfANotchFromATouchpadAddUpToOneStep) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const RECT r = WindowRect(marker);
    Click(300, (r.top + r.bottom) / 2); // the program is in front: the wheel reaches its panel
    MouseMoveTo(301, (r.top + r.bottom) / 2);
    // Each part of a notch is one message; wait until the program has taken it.
    auto wheel = [&](int delta) {
        MouseWheel(delta);
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(app.Panel(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer);
    };
    wheel(-40);
    wheel(-40);
    EXPECT_EQ(WindowRect(marker).top, 0);
    wheel(-40); // a whole notch: one step down
    // Each step ends with a refresh, while the marker is an outline that the wheel passes through.
    EXPECT_TRUE(WaitForStep(marker, Px(60)));
    for (int i = 0; i < 3; ++i) {
        wheel(-30);
    }
    EXPECT_EQ(WindowRect(marker).top, Px(60));
    wheel(-30);
    EXPECT_TRUE(WaitForStep(marker, 2 * Px(60)));
    wheel(3 * WHEEL_DELTA); // three notches in one message: one step up
    EXPECT_TRUE(WaitForStep(marker, Px(60)));
}

TEST(Desktop, AltF4OnAMarkerClosesItAndOnThePanelClosesAll) {
    Tolvin app(L"b");
    HWND one = app.Marker(1);
    ASSERT_NE(one, nullptr);
    const RECT r = WindowRect(one);
    const int gripX = r.right - Px(705) + Px(500);
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'A'));
    HWND two = app.Marker(2, 5000);
    ASSERT_NE(two, nullptr);
    // Another program asks marker 2 to close (as Alt+F4 on it does): only it goes.
    PostMessageW(two, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(two); }, 2000));
    EXPECT_TRUE(IsWindow(one));
    EXPECT_TRUE(IsWindowVisible(app.Panel()));
    // Its number is free again.
    LetMarkersRefresh();
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'A'));
    ASSERT_NE(app.Marker(2, 5000), nullptr);
    // Alt+F4 on the panel, which has the keyboard while the program is in front: all close.
    const RECT p = WindowRect(app.Panel());
    Click(p.left + 3, p.top + Px(480) * 9 / 32); // the picture: the program comes in front
    ASSERT_TRUE(WaitFor([&] {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &pid);
        return pid == app.ProcessId();
    }));
    SetFocus(nullptr);
    INPUT in[4]{};
    for (auto& i : in) {
        i.type = INPUT_KEYBOARD;
    }
    in[0].ki.wVk = VK_MENU;
    in[1].ki.wVk = VK_F4;
    in[2].ki.wVk = VK_F4;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_MENU;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof in[0]);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Desktop, TheEndOfTheSessionEndsTheProgramCleanly) {
    Tolvin app;
    ASSERT_NE(app.Marker(1), nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app.Panel(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 2000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(app.Panel(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 2000, &answer);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}
