// The window-system services against real windows.
#include "startup/basTolvin.h"
#include "support/helpers.h"
#include "toolkit/form.h"
#include "toolkit/units.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using testing_support::ColourWindow;

namespace {

class PlainForm : public tk::Form {
protected:
    WindowDesign Design() const override { return {L"TestPlainForm", WS_POPUP, WS_EX_TOOLWINDOW, 1500, 300}; }
};

int CountRegionPixels(HWND hwnd, int w, int h) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int n = 0;
    if (GetWindowRgn(hwnd, rgn) != ERROR) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                n += PtInRegion(rgn, x, y) ? 1 : 0;
            }
        }
    }
    DeleteObject(rgn);
    return n;
}

} // namespace

TEST(Services, CountWindowsAboveCountsVisibleOverlappingWindowsOnly) {
    ColourWindow marker(RGB(255, 255, 255), 100, 100, 200, 50);
    EXPECT_EQ(CountWindowsAbove(marker.hwnd()), 0);
    ColourWindow overlapping(RGB(0, 0, 0), 150, 120, 50, 50);
    ColourWindow touchingRight(RGB(0, 0, 0), 300, 100, 50, 50); // starts where the marker ends
    ColourWindow touchingBelow(RGB(0, 0, 0), 100, 150, 50, 50);
    ColourWindow hidden(RGB(0, 0, 0), 120, 110, 50, 50, false);
    EXPECT_EQ(CountWindowsAbove(marker.hwnd()), 1);
    ColourWindow second(RGB(0, 0, 0), 299, 149, 10, 10); // one pixel in the corner
    EXPECT_EQ(CountWindowsAbove(marker.hwnd()), 2);
    ShowWindow(hidden.hwnd(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(CountWindowsAbove(marker.hwnd()), 3);
}

TEST(Services, FindOverlapBelowFindsTheNearestVisibleOverlapOrTheWindowItself) {
    ColourWindow lowest(RGB(0, 0, 0), 120, 120, 40, 40);
    ColourWindow hidden(RGB(0, 0, 0), 120, 120, 40, 40, false);
    ColourWindow elsewhere(RGB(0, 0, 0), 600, 600, 40, 40);
    ColourWindow touching(RGB(0, 0, 0), 300, 100, 40, 40);
    ColourWindow marker(RGB(255, 255, 255), 100, 100, 200, 50);
    EXPECT_EQ(FindOverlapBelow(marker.hwnd()), lowest.hwnd());
    ColourWindow lone(RGB(255, 255, 255), 900, 700, 30, 30);
    EXPECT_EQ(FindOverlapBelow(lone.hwnd()), lone.hwnd());
}

TEST(Services, TopWindowFromPointClimbsToTheTopLevelWindow) {
    ColourWindow dialog(RGB(200, 200, 200), 400, 400, 200, 100);
    HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 30, dialog.hwnd(),
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    testing_support::Pump(50);
    EXPECT_EQ(WindowFromPoint((POINT{420, 420})), button);
    EXPECT_EQ(TopWindowFromPoint(420, 420), dialog.hwnd());
    EXPECT_EQ(TopWindowFromPoint(550, 480), dialog.hwnd());
}

TEST(Services, TopWindowFromPointStopsAtAnOwnedWindowAndDoesNotClimbToItsOwner) {
    // A dialog or tool palette in front of its main window: the width to fit is the dialog's.
    ColourWindow owner(RGB(200, 200, 200), 100, 650, 1100, 200);
    HWND owned = CreateWindowExW(WS_EX_TOOLWINDOW, L"TestColourWindow", L"", WS_POPUP | WS_VISIBLE, 400, 700,
                                 400, 100, owner.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owned, nullptr);
    testing_support::Pump(50);
    EXPECT_EQ(GetParent(owned), owner.hwnd()); // which is why climbing by GetParent went too far
    EXPECT_EQ(TopWindowFromPoint(600, 750), owned);
    EXPECT_EQ(TopWindowFromPoint(200, 750), owner.hwnd());
    DestroyWindow(owned);
}

TEST(Services, AFrameRegionKeepsTheOuterRingAndLetsThePointerThrough) {
    ColourWindow behind(RGB(0, 0, 255), 200, 600, 300, 100);
    ColourWindow frame(RGB(255, 0, 0), 220, 620, 100, 20);
    HRGN rgn = MakeFrameRegion(frame.hwnd());
    EXPECT_NE(rgn, nullptr);
    testing_support::Pump(50);
    EXPECT_EQ(CountRegionPixels(frame.hwnd(), 100, 20), 2 * 100 + 2 * 18);
    EXPECT_EQ(TopWindowFromPoint(270, 630), behind.hwnd());
    EXPECT_EQ(TopWindowFromPoint(220, 620), frame.hwnd()); // on the ring
    EXPECT_EQ(TopWindowFromPoint(319, 639), frame.hwnd());
    SetWindowRgn(frame.hwnd(), nullptr, TRUE);
    EXPECT_EQ(TopWindowFromPoint(270, 630), frame.hwnd());
}

TEST(Services, SetTopMostMovesAFormInAndOutOfTheTopmostBandAndShowsIt) {
    auto form = std::make_shared<PlainForm>();
    ASSERT_NE(form->Hwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(form->Hwnd()));
    SetTopMost(*form, true);
    EXPECT_TRUE(IsWindowVisible(form->Hwnd()));
    EXPECT_TRUE(testing_support::IsTopmost(form->Hwnd()));
    const RECT before = testing_support::WindowRect(form->Hwnd());
    SetTopMost(*form, false);
    EXPECT_FALSE(testing_support::IsTopmost(form->Hwnd()));
    const RECT after = testing_support::WindowRect(form->Hwnd());
    EXPECT_TRUE(EqualRect(&before, &after));
    form->Unload();
}

TEST(Services, LayeredWindowsAreAvailable) {
    EXPECT_TRUE(IsLayeredAvailable());
}

namespace {

// The z-order questions answered by stepping through the windows one GetWindow at a time.
int StepCountAbove(HWND hwnd) {
    RECT r{}, r2{}, out{};
    GetWindowRect(hwnd, &r);
    int n = 0;
    for (HWND w = GetWindow(hwnd, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (IsWindowVisible(w)) {
            GetWindowRect(w, &r2);
            n += IntersectRect(&out, &r, &r2) ? 1 : 0;
        }
    }
    return n;
}

HWND StepOverlapBelow(HWND hwnd) {
    RECT r{}, r2{}, out{};
    GetWindowRect(hwnd, &r);
    for (HWND w = GetWindow(hwnd, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w)) {
            GetWindowRect(w, &r2);
            if (IntersectRect(&out, &r, &r2)) {
                return w;
            }
        }
    }
    return hwnd;
}

} // namespace

TEST(Services, TheZOrderAnswersMatchAStepByStepWalkThroughRandomChurn) {
    std::mt19937 rng(42);
    std::vector<std::unique_ptr<ColourWindow>> windows;
    auto randomWindow = [&] {
        return std::make_unique<ColourWindow>(RGB(rng() % 256, rng() % 256, rng() % 256), rng() % 800,
                                              rng() % 600, 20 + rng() % 400, 10 + rng() % 200, rng() % 4 != 0,
                                              rng() % 5 == 0 ? WS_EX_TOPMOST : 0);
    };
    for (int i = 0; i < 30; ++i) {
        windows.push_back(randomWindow());
    }
    // Message-only windows, one even with the visible style, come after the top-level ones
    // in a desktop's list; they must never count.
    HWND messageOnly[2];
    for (int i = 0; i < 2; ++i) {
        messageOnly[i] = CreateWindowExW(0, L"STATIC", L"", i ? WS_VISIBLE : 0, 0, 0, 2000, 2000,
                                         HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(messageOnly[i], nullptr);
    }
    int checked = 0;
    for (int step = 0; step < 200; ++step) {
        HWND w = windows[rng() % windows.size()]->hwnd();
        switch (rng() % 6) {
        case 0:
            SetWindowPos(w, nullptr, rng() % 900, rng() % 700, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case 1:
            SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case 2:
            SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case 3:
            ShowWindow(w, IsWindowVisible(w) ? SW_HIDE : SW_SHOWNOACTIVATE);
            break;
        case 4:
            windows.erase(windows.begin() + rng() % windows.size());
            windows.push_back(randomWindow());
            break;
        default:
            SetWindowPos(w, nullptr, 0, 0, 20 + rng() % 500, 10 + rng() % 300,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        // As in a program tick: one list, taken anew, answers every window's questions.
        ZOrder::ForgetShared();
        for (auto& cw : windows) {
            ASSERT_EQ(CountWindowsAbove(cw->hwnd()), StepCountAbove(cw->hwnd())) << "step " << step;
            ASSERT_EQ(FindOverlapBelow(cw->hwnd()), StepOverlapBelow(cw->hwnd())) << "step " << step;
            ASSERT_EQ(ZOrder::Shared().CountAbove(cw->hwnd()), StepCountAbove(cw->hwnd())) << "step " << step;
            ASSERT_EQ(ZOrder::Shared().OverlapBelow(cw->hwnd()), StepOverlapBelow(cw->hwnd()))
                << "step " << step;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 200 * 30);
    for (HWND h : messageOnly) {
        DestroyWindow(h);
    }
}
