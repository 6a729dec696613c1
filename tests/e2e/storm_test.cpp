// Random pointer input on every part of the program for a bounded time: it must neither
// crash nor hang, and no marker may stay in its frame shape once the input stops.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace testing_support;

namespace {

bool Answers(HWND w) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

} // namespace

TEST(Storm, RandomPointerInputNeverCrashesHangsOrLeavesAFrame) {
    Tolvin app;
    HWND one = app.Marker(1);
    ASSERT_NE(one, nullptr);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    std::mt19937 rng(7);
    const DWORD end = GetTickCount() + 20000;
    int events = 0;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        // Aim at a live part of the program: a marker's grip, strip, swatch or bar, or the panel.
        std::vector<HWND> targets;
        for (int n = 1; n <= 3; ++n) {
            if (HWND m = FindWindowW(L"TolvinMarker", (L"Tolvin No." + std::to_wstring(n)).c_str())) {
                targets.push_back(m);
            }
        }
        ASSERT_FALSE(targets.empty()) << "the program has gone";
        const RECT r = WindowRect(targets[rng() % targets.size()]);
        RECT p = WindowRect(app.Panel());
        int x, y;
        switch (rng() % 5) {
        case 0:
            x = r.right - Px(705) + 2 + static_cast<int>(rng() % Px(690));
            y = r.top + 2;
            break; // strip
        case 1:
            x = r.right - Px(705) + Px(150);
            y = r.top + Px(150);
            break; // swatch
        case 2:
            x = r.right - 8 - static_cast<int>(rng() % Px(300));
            y = (r.top + r.bottom) / 2;
            break; // grip
        case 3:
            x = static_cast<int>(rng() % screenW);
            y = (r.top + r.bottom) / 2;
            break; // bar
        default:
            x = p.left + static_cast<int>(rng() % (p.right - p.left));
            y = p.top + static_cast<int>(rng() % (p.bottom - p.top));
        }
        MouseMoveTo(std::clamp(x, 0, screenW - 1), std::clamp(y, 0, screenH - 1));
        switch (rng() % 4) {
        case 0: {
            MouseButton(1, true);
            for (int i = 0, k = 1 + rng() % 4; i < k; ++i) {
                MouseMoveTo(std::clamp(x + static_cast<int>(rng() % 200) - 100, 0, screenW - 1),
                            std::clamp(y + static_cast<int>(rng() % 200) - 100, 0, screenH - 1));
            }
            MouseButton(1, false);
            break;
        }
        case 1:
            MouseButton(1, true);
            MouseButton(1, false);
            break;
        case 2:
            MouseWheel(rng() % 2 ? WHEEL_DELTA : -WHEEL_DELTA);
            break;
        default:
            break; // a move alone
        }
        ++events;
    }
    MouseMoveTo(screenW / 2, screenH / 2);
    Pump(1500);
    EXPECT_GT(events, 50);
    EXPECT_TRUE(Answers(one));
    EXPECT_TRUE(Answers(app.Panel()));
    for (int n = 1; n <= 3; ++n) {
        if (HWND m = FindWindowW(L"TolvinMarker", (L"Tolvin No." + std::to_wstring(n)).c_str())) {
            EXPECT_FALSE(HasWindowRegion(m)) << "marker " << n << " is still a frame";
        }
    }
    DWORD code = 0;
    EXPECT_FALSE(app.WaitForExit(0, &code)) << "ended with " << code;
}
