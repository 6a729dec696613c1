// tolvin.exe from outside: what a user sees after starting it.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace testing_support;

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0), kRed = RGB(255, 0, 0);

RECT Rect(HWND h) {
    return WindowRect(h);
}
} // namespace

TEST(Startup, MarkerOneIsAYellowBarOverWhitePaperWithItsGripAndThePanelStandsBottomRight) {
    Tolvin app;
    ASSERT_TRUE(app.Started());
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const RECT r = Rect(marker);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, screenW);
    EXPECT_EQ(r.bottom, Px(285) + 2); // 285 + 2 x tx twips
    EXPECT_FALSE(IsTopmost(marker));

    // The bar: white desktop through the Xor tint. The bar, the grip and the swatch each paint
    // themselves: wait for all three.
    const int gripLeft = screenW - Px(705);
    WaitFor(
        [&] {
            return SameColour(ScreenPixel(100, r.bottom / 2), kYellow) &&
                   SameColour(ScreenPixel(gripLeft + 20, 1), kWhite) &&
                   SameColour(ScreenPixel(gripLeft + Px(60 + 97), 1 + Px(45 + 97)), kRed);
        },
        2000);
    EXPECT_TRUE(SameColour(ScreenPixel(100, r.bottom / 2), kYellow));
    EXPECT_TRUE(SameColour(ScreenPixel(screenW / 2, 0), kYellow));
    // The grip: light top and left edges, dark bottom and right, the red swatch.
    EXPECT_TRUE(SameColour(ScreenPixel(gripLeft + 20, 1), kWhite));
    EXPECT_TRUE(SameColour(ScreenPixel(gripLeft, r.bottom / 2), kWhite));
    EXPECT_TRUE(SameColour(ScreenPixel(gripLeft + 20, r.bottom - 2), RGB(128, 128, 128)));
    EXPECT_TRUE(SameColour(ScreenPixel(screenW - 1, r.bottom / 2), RGB(128, 128, 128)));
    EXPECT_TRUE(SameColour(ScreenPixel(gripLeft + Px(60 + 97), 1 + Px(45 + 97)), kRed));
    EXPECT_TRUE(SameColour(ScreenPixel(gripLeft + 1, 0), kYellow)); // row 0 is the bar

    HWND panel = app.Panel();
    ASSERT_NE(panel, nullptr);
    const RECT p = Rect(panel);
    EXPECT_EQ(p.right, screenW);
    EXPECT_EQ(p.right - p.left, Px(720));
    EXPECT_EQ(p.bottom - p.top, Px(480));
    EXPECT_LE(p.bottom, screenH);
    EXPECT_GE(p.top, 0);
    EXPECT_TRUE(IsTopmost(panel));
    EXPECT_TRUE(IsWindowVisible(panel));
    // The picture's stripe shows; a masked pixel of it shows the desktop instead.
    const int pic = Px(480);
    EXPECT_TRUE(WaitFor(
        [&] { return SameColour(ScreenPixel(p.left + pic / 8, p.top + pic * 9 / 32), kYellow); }, 2000));
    EXPECT_TRUE(SameColour(ScreenPixel(p.left + pic * 20 / 32, p.top + pic * 28 / 32), kWhite));
    // The number label: cyan.
    EXPECT_TRUE(SameColour(ScreenPixel(p.left + Px(30) + 3, p.bottom - 4), RGB(0, 255, 255), 16) ||
                SameColour(ScreenPixel(p.left + Px(30) + 4, p.bottom - 3), RGB(0, 255, 255), 16));
}

TEST(Startup, TheLetterTKeepsMarkersInFrontAndBKeepsTheGripShown) {
    {
        Tolvin app(L"/t /b");
        HWND marker = app.Marker(1);
        ASSERT_NE(marker, nullptr);
        EXPECT_TRUE(IsTopmost(marker));
        MouseMoveTo(200, 600); // away from the marker
        Pump(2600);
        EXPECT_TRUE(IsWindowVisible(app.Grip(1)));
    }
    {
        Tolvin app;
        HWND marker = app.Marker(1);
        ASSERT_NE(marker, nullptr);
        EXPECT_FALSE(IsTopmost(marker));
        MouseMoveTo(200, 600);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(app.Grip(1)); }, 4000));
    }
}

TEST(Startup, AnyCommandLineStartsTheProgramWithItsTwoFlags) {
    struct Case {
        std::wstring args;
        bool top;
    };
    std::wstring longLine(32000, L'x');
    const Case cases[] = {
        {L"", false},
        {longLine, false},
        {longLine + L"T", true},
        {L"日本語 ＴＢ ｔ", false}, // full-width letters are not options
        {L"notebook.txt", true},
        {L"\"quoted arg\" --flag=1", true},
    };
    for (const Case& c : cases) {
        Tolvin app(c.args);
        ASSERT_TRUE(app.Started());
        HWND marker = app.Marker(1);
        ASSERT_NE(marker, nullptr) << c.args.size();
        EXPECT_EQ(IsTopmost(marker), c.top) << c.args.size();
        // Nothing is ever shown for it: no window of the program but its markers and panel.
        HWND dialog = FindWindowW(L"#32770", nullptr);
        DWORD pid = 0;
        GetWindowThreadProcessId(dialog, &pid);
        wchar_t title[128] = {};
        GetWindowTextW(dialog, title, 128);
        EXPECT_FALSE(dialog && pid == app.ProcessId()) << testing::PrintToString(std::wstring(title));
    }
}

TEST(Startup, FuzzedCommandLinesGiveTheFlagsOfTheirPlainLetters) {
    std::mt19937 rng(2026);
    for (int round = 0; round < 12; ++round) {
        std::wstring args;
        const int length = 1 + static_cast<int>(rng() % 3000);
        for (int i = 0; i < length; ++i) {
            wchar_t c = static_cast<wchar_t>(rng() % 0xFFFF + 1); // any unit but NUL, lone surrogates too
            if (c == L'"' || c == L'\\' || c == L'T' || c == L't') {
                c = L'x'; // no letter T but where the round puts one
            }
            args += c;
        }
        // Every third round ends with " t", every third has a "T" somewhere inside.
        const bool t = round % 3 != 2;
        if (round % 3 == 0) {
            args += L" t";
        } else if (round % 3 == 1) {
            args.insert(rng() % args.size(), 1, L'T');
        }
        Tolvin app(args);
        ASSERT_TRUE(app.Started());
        HWND marker = app.Marker(1);
        ASSERT_NE(marker, nullptr) << "round " << round;
        EXPECT_EQ(IsTopmost(marker), t) << "round " << round;
    }
}

TEST(Startup, ThePictureLinesUpWithWhatIsBehindTheMarkerPixelForPixel) {
    Page black(RECT{500, 0, 600, 60}, Page::Look{RGB(0, 0, 0)}); // behind the marker: created first
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int y = WindowRect(marker).bottom / 2;
    // Through the Xor tint: black shows blue, white shows yellow, edges exactly in place.
    WaitFor([&] { return SameColour(ScreenPixel(550, y), RGB(0, 0, 255), 0); }, 2000); // painted
    EXPECT_TRUE(SameColour(ScreenPixel(499, y), RGB(255, 255, 0), 0));
    EXPECT_TRUE(SameColour(ScreenPixel(500, y), RGB(0, 0, 255), 0));
    EXPECT_TRUE(SameColour(ScreenPixel(599, y), RGB(0, 0, 255), 0));
    EXPECT_TRUE(SameColour(ScreenPixel(600, y), RGB(255, 255, 0), 0));
    EXPECT_TRUE(SameColour(ScreenPixel(550, 0), RGB(0, 0, 255), 0)); // the first row too
}
