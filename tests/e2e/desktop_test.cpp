// What a Windows desktop asks of the program: the keyboard stays with the window the user types
// in (also through clicks, drags and menus on the program's windows), touchpads step the marker
// by whole notches, and WM_CLOSE and the end of the session close the program through its
// registry.
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

TEST(Desktop, WmCloseOnAMarkerClosesItAndOnThePanelClosesAll) {
    Tolvin app(L"b");
    HWND one = app.Marker(1);
    ASSERT_NE(one, nullptr);
    const RECT r = WindowRect(one);
    const int gripX = r.right - Px(705) + Px(500);
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'A'));
    HWND two = app.Marker(2, 5000);
    ASSERT_NE(two, nullptr);
    // Another program asks marker 2 to close (as Alt+F4 on it would): only it goes.
    PostMessageW(two, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(two); }, 2000));
    EXPECT_TRUE(IsWindow(one));
    EXPECT_TRUE(IsWindowVisible(app.Panel()));
    // Its number is free again.
    LetMarkersRefresh();
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'A'));
    ASSERT_NE(app.Marker(2, 5000), nullptr);
    // Asked to close, the panel closes all.
    PostMessageW(app.Panel(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Desktop, ClicksDragsAndMenusOnTheProgramsWindowsLeaveTheKeyboardWithTheDocument) {
    Tolvin app(L"b"); // the grip stays shown
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    Page doc(RECT{100, 300, 900, 700}, Page::Focus::Take);
    ASSERT_NE(doc.Hwnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    int typed = 0;
    // Types two letters and checks they reached the document, which still has the foreground.
    auto typeAfter = [&](const char* what) {
        Type("AB");
        typed += 2;
        EXPECT_TRUE(WaitFor([&] { return doc.Chars() == typed; }, 2000))
            << doc.Chars() << " of " << typed << " arrived after " << what;
        EXPECT_EQ(GetForegroundWindow(), doc.Hwnd()) << "after " << what;
    };
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int gripLeft = screenW - Px(705);
    RECT r = WindowRect(marker);
    Click(50, (r.top + r.bottom) / 2); // the bar, left of the document
    typeAfter("a click on the bar");
    // The grip, dragged down 100 pixels.
    MouseDrag(gripLeft + Px(500), (r.top + r.bottom) / 2, gripLeft + Px(500), (r.top + r.bottom) / 2 + 100, 8,
              300);
    ASSERT_TRUE(WaitForStep(marker, r.top + 100));
    typeAfter("a grip drag");
    r = WindowRect(marker);
    // The height strip, dragged up 20 pixels.
    MouseDrag(gripLeft + Px(400), r.top + 2, gripLeft + Px(400), r.top - 18, 8, 300);
    ASSERT_TRUE(WaitForStep(marker, r.top - 20));
    typeAfter("a drag of the height strip");
    r = WindowRect(marker);
    Click(gripLeft + Px(60 + 97), r.top + 1 + Px(45 + 97)); // the swatch
    typeAfter("a click on the swatch");
    // The panel: its spinner and its picture.
    const RECT p = WindowRect(app.Panel());
    Click(p.left + Px(480) + Px(120), p.bottom - 4);
    ASSERT_TRUE(WaitForStep(marker, r.top + Px(60)));
    typeAfter("a click on the spinner");
    const int pic = Px(480);
    MouseDrag(p.left + pic / 8, p.top + pic * 9 / 32, p.left + pic / 8 - 100, p.top + pic * 9 / 32 - 50, 8,
              300);
    EXPECT_EQ(WindowRect(app.Panel()).left, p.left - 100);
    typeAfter("a drag of the panel");
    // A menu needs the foreground while it is open, and hands it back when it closes.
    r = WindowRect(marker);
    ASSERT_TRUE(MenuKeyAt(gripLeft + Px(500), (r.top + r.bottom) / 2, VK_ESCAPE));
    typeAfter("the grip menu");
    ASSERT_TRUE(MenuKeyAt(gripLeft + Px(500), (r.top + r.bottom) / 2, 'A'));
    ASSERT_NE(app.Marker(2, 5000), nullptr);
    typeAfter("a marker added from the grip menu");
}

TEST(Desktop, AMarkerGivenACommandFromAMenuStaysInFrontOfTheDocumentThatKeepsTheKeyboard) {
    Tolvin app(L"b"); // the grip stays shown; not always in front
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    Page doc(RECT{100, 200, 900, 700}, Page::Focus::Take);
    ASSERT_NE(doc.Hwnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    // Dragged down over the document, which keeps the keyboard.
    RECT r = WindowRect(marker);
    const int gripX = r.right - Px(705) + Px(500);
    MouseDrag(gripX, (r.top + r.bottom) / 2, gripX, (r.top + r.bottom) / 2 + 300, 8, 300);
    ASSERT_TRUE(WaitForStep(marker, r.top + 300));
    r = WindowRect(marker);
    auto markerAboveDoc = [&] {
        for (HWND w = GetWindow(doc.Hwnd(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (w == marker) {
                return true;
            }
        }
        return false;
    };
    int typed = 0;
    auto checkAfter = [&](const char* what) {
        EXPECT_TRUE(markerAboveDoc()) << "the document covers the marker after " << what;
        EXPECT_EQ(GetForegroundWindow(), doc.Hwnd()) << "after " << what;
        Type("A");
        ++typed;
        EXPECT_TRUE(WaitFor([&] { return doc.Chars() == typed; }, 2000)) << "a letter typed after " << what;
    };
    checkAfter("the drag");
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, VK_ESCAPE));
    checkAfter("the grip menu closed with Esc");
    ASSERT_TRUE(MenuKeysAt(gripX, (r.top + r.bottom) / 2, {'P', VK_DOWN, VK_RETURN})); // Merge
    checkAfter("a pen chosen");
    ASSERT_TRUE(MenuKeyAt(gripX, (r.top + r.bottom) / 2, 'D'));
    checkAfter("dim the rest chosen");
    const RECT p = WindowRect(app.Panel());
    ASSERT_TRUE(MenuKeyAt(p.left + Px(480) / 8, p.top + Px(480) * 9 / 32, VK_ESCAPE)); // on its picture
    checkAfter("the panel menu closed with Esc");
}

TEST(Desktop, TheEndOfTheSessionEndsTheProgramCleanly) {
    Tolvin app;
    ASSERT_NE(app.Marker(1), nullptr);
    DWORD_PTR answer = 0;
    // The system asks every top-level window, the program's hidden one among them.
    HWND program = app.Program();
    ASSERT_NE(program, nullptr);
    EXPECT_FALSE(IsWindowVisible(program));
    ASSERT_TRUE(SendMessageTimeoutW(program, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 2000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutW(program, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 2000, &answer);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}
