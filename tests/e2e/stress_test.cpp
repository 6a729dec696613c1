// The 100-marker limit through the real menu, with every marker ticking.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

// Right-click the grip of the marker on top and press an access key. The markers are stacked:
// should the one on top be refreshing, the click lands on the grip of the one below, whose
// menu does the same; so there is no waiting for refreshes here.
void GripMenuKey(HWND anyMarker, WORD key) {
    const RECT r = WindowRect(anyMarker);
    EXPECT_TRUE(MenuKeyAt(r.right - Px(705) + Px(500), (r.top + r.bottom) / 2, key, false));
}

// The limit's message box of the program, once it is shown: its text, and it is closed.
std::wstring CloseLimitBox(DWORD pid, int ms) {
    std::wstring text;
    WaitFor([&] { return !(text = TakeMessageBox(L"Operation canceled!", pid)).empty(); }, ms);
    return text;
}

} // namespace

TEST(Stress, AHundredMarkersThroughTheMenuThenTheLimitThenCloseAll) {
    Tolvin app(L"b");
    HWND one = app.Marker(1);
    ASSERT_NE(one, nullptr);
    for (int n = 2; n <= 100; ++n) {
        GripMenuKey(one, 'A');
        ASSERT_NE(app.Marker(n, 5000), nullptr) << "marker " << n;
    }
    GripMenuKey(one, 'A'); // the 101st is refused
    EXPECT_EQ(CloseLimitBox(app.ProcessId(), 10000), L"Unable to add more marker!");
    EXPECT_EQ(FindWindowW(L"TolvinMarker", L"Tolvin No.101"), nullptr);
    // The program still answers: the wheel moves the current marker (100) within a second.
    HWND hundred = app.Marker(100);
    MouseMoveTo(300, 10);
    MouseWheel(-WHEEL_DELTA);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(hundred).top == Px(60); }, 1000));
    // Close ten from their own menus: every key must land on its first press.
    auto live = [] {
        int count = 0;
        for (int n = 1; n <= 100; ++n) {
            count += FindWindowW(L"TolvinMarker", (L"Tolvin No." + std::to_wstring(n)).c_str()) ? 1 : 0;
        }
        return count;
    };
    for (int closed = 1; closed <= 10; ++closed) {
        GripMenuKey(one, 'X');
        EXPECT_TRUE(WaitFor([&] { return live() == 100 - closed; }, 5000)) << "close " << closed;
    }
    EXPECT_EQ(live(), 90);
    // Close all: the program ends cleanly.
    GripMenuKey(one, 'Z');
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}
