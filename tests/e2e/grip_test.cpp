// Dragging markers by their grip, the swatch and pass-through, with real input.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace testing_support;

namespace {

void Drag(int x1, int y1, int x2, int y2) {
    MouseDrag(x1, y1, x2, y2, 8, 300);
}

RECT ScreenRectOf(HWND child) {
    return WindowRect(child);
}

// Right-click the grip and press keys in the marker menu.
void MenuKeys(HWND marker, std::initializer_list<WORD> keys) {
    const RECT r = WindowRect(FindWindowExW(marker, nullptr, L"TolvinElement", nullptr));
    ASSERT_TRUE(MenuKeysAt(r.left + Px(500), (r.top + r.bottom) / 2, keys));
}
void MenuKey(HWND marker, WORD key) {
    MenuKeys(marker, {key});
}

} // namespace

TEST(Grip, DraggingMovesTheMarkerWithinTheScreenAndTheReleaseRestoresTheFullWidth) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const int height = WindowRect(marker).bottom;
    const int gripX = screenW - Px(705) + Px(500), grabY = height / 2;
    Drag(gripX, grabY, gripX - 300, grabY + 400);
    // (The program may still be reading the drag as it ends: each check waits for the release.)
    EXPECT_TRUE(WaitFor(
        [&] {
            const RECT now = WindowRect(marker);
            return now.top == 400 && now.left == 0 && now.right == screenW && !HasWindowRegion(marker);
        },
        2000));
    RECT r = WindowRect(marker);
    EXPECT_EQ(ScreenRectOf(app.Grip(1)).left, screenW - Px(705) - 300);     // the grip stays where dropped
    EXPECT_TRUE(SameColour(ScreenPixel(100, r.top + 3), RGB(255, 255, 0))); // a fresh picture
    // Past the top and the bottom of the screen: it stops at the edges.
    const int x = gripX - 300;
    Drag(x, r.top + grabY, x, 0);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(marker).top == 0; }, 2000));
    Drag(x, grabY, x, screenH - 1);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(marker).bottom == screenH; }, 2000));
    // The grip slides no further than the marker's right end.
    r = WindowRect(marker);
    Drag(x, r.top + grabY, screenW + 50, r.top + grabY);
    EXPECT_TRUE(WaitFor([&] { return ScreenRectOf(app.Grip(1)).right == screenW; }, 2000));
}

TEST(Grip, WithWidthFittingTheMarkerTakesTheWidthOfTheWindowBehindTheReleasePoint) {
    Page page(RECT{300, 500, 900, 800}); // the document, under the marker
    ASSERT_NE(page.Hwnd(), nullptr);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    MenuKey(marker, 'W');
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int grabY = WindowRect(marker).bottom / 2;
    const int gripX = screenW - Px(705) + Px(500);
    // Slide the grip over the page while moving down, and let go there.
    Drag(gripX, grabY, 700, 600);
    EXPECT_TRUE(
        WaitFor([&] { return WindowRect(marker).left == 300 && WindowRect(marker).right == 900; }, 2000));
    const RECT g = ScreenRectOf(app.Grip(1));
    EXPECT_GE(g.left, 300);
    EXPECT_LE(g.right, 900);
}

TEST(Grip, ClickingTheSwatchStepsTheColour) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const RECT r = WindowRect(marker);
    const int sx = screenW - Px(705) + Px(60 + 97), sy = 1 + Px(45 + 97);
    const COLORREF cycle[] = {RGB(255, 0, 0),   RGB(255, 0, 255), RGB(0, 0, 255),  RGB(0, 255, 0),
                              RGB(0, 255, 255), RGB(0, 0, 0),     RGB(255, 255, 0)};
    for (COLORREF c : cycle) {
        Click(sx, sy);
        EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(200, (r.top + r.bottom) / 2), c); }, 1000));
    }
}

TEST(Grip, WithPassThroughAClickInsideTheMarkerReachesTheWindowBehind) {
    // The page is there before the program starts, so its marker comes in front of it.
    Page page(RECT{0, 0, 800, 300});
    ASSERT_NE(page.Hwnd(), nullptr);
    Pump(100);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    auto markerInFront = [&] {
        for (HWND w = GetWindow(page.Hwnd(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (w == marker) {
                return true;
            }
        }
        return false;
    };
    MenuKey(marker, 'M');
    const int y = WindowRect(marker).bottom / 2;
    // The grip's tip goes as the pointer leaves the grip, and the marker refreshes: not then.
    MouseMoveTo(400, y);
    LetMarkersRefresh();
    ASSERT_TRUE(markerInFront()) << "the page is above the marker";
    const int before = page.Clicks();
    Click(400, y); // taken by the marker, which turns into its outline
    EXPECT_TRUE(WaitFor([&] { return HasWindowRegion(marker); }, 2000));
    Pump(200);
    EXPECT_EQ(page.Clicks(), before);
    ClickAt(420, y); // now reaches the page, through the outline
    EXPECT_TRUE(WaitFor([&] { return page.Clicks() > before; }, 1000));
}

TEST(Grip, EachPenChosenFromTheGripMenuTintsPaperAndInkItsOwnWay) {
    Page ink(RECT{500, 0, 600, 60}, Page::Look{RGB(0, 0, 0)}); // behind the marker: created first
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int y = WindowRect(marker).bottom / 2;
    const COLORREF yellow = RGB(255, 255, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
    // Paper at x 300, ink at x 550.
    auto shows = [&](COLORREF paper, COLORREF inked) {
        return WaitFor(
            [&] { return SameColour(ScreenPixel(300, y), paper) && SameColour(ScreenPixel(550, y), inked); },
            2000);
    };
    EXPECT_TRUE(shows(yellow, blue)) << "Xor at start";
    // The pen items have no access keys: P opens the submenu on its first item.
    MenuKeys(marker, {'P', VK_DOWN, VK_RETURN}); // Merge: paper stays white, ink takes the colour
    EXPECT_TRUE(shows(white, yellow)) << "Merge";
    MenuKeys(marker, {'P', VK_DOWN, VK_DOWN, VK_RETURN}); // 不透明: an opaque bar
    EXPECT_TRUE(shows(yellow, yellow)) << "opaque";
    MenuKeys(marker, {'P', VK_RETURN}); // Xor again
    EXPECT_TRUE(shows(yellow, blue)) << "Xor";
}

TEST(Grip, ADragWhoseCaptureIsTakenByTheMenuEndsAsAFullTintedBar) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const RECT g = ScreenRectOf(app.Grip(1));
    const int x = g.left + Px(500), y = (g.top + g.bottom) / 2;
    MouseMoveTo(x, y);
    MouseButton(1, true); // a drag starts: the marker is an outline
    MouseMoveTo(x, y + 40);
    MouseButton(2, true); // the menu opens and takes the pointer
    ASSERT_NE(OpenMenu(), nullptr);
    MouseButton(2, false);
    MouseButton(1, false); // the open menu takes this release: the grip never sees it
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(NoMenuShown());
    EXPECT_TRUE(WaitFor([&] { return !HasWindowRegion(marker); }, 2000)) << "still an outline";
    const int mid = (WindowRect(marker).top + WindowRect(marker).bottom) / 2;
    EXPECT_TRUE(WaitFor([&] { return SameColour(ScreenPixel(300, mid), RGB(255, 255, 0)); }, 2000))
        << "not tinted";
}
