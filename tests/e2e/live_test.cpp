// What the band shows, read off the screen: a live picture of another program's document behind
// a resting marker, and never the marker's own tint copied back after a step. (Wheel notches that
// come faster than the steps are checked with real X input, in xdotool_test.sh.)
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace testing_support;

namespace {

// Through the Xor pen's first colour: white paper shows yellow, black ink blue, red ink magenta.
const COLORREF kPaper = RGB(255, 255, 0), kInk = RGB(0, 0, 255), kRedInk = RGB(255, 0, 255);

// Whether the band shows `colour` across its width at row `y`.
bool BandShows(int y, COLORREF colour) {
    for (int x : {50, 300, 700}) {
        if (!SameColour(ScreenPixel(x, y), colour)) {
            return false;
        }
    }
    return true;
}

// Puts the pointer over the panel's picture, where the wheel steps the current marker.
void PointAtPanel(HWND panel) {
    const RECT p = WindowRect(panel);
    MouseMoveTo(p.left + Px(480) / 8, p.top + Px(480) * 9 / 32);
}

int StepsFromEnvironment(int fallback) {
    char text[32] = {};
    return GetEnvironmentVariableA("TOLVIN_FIDELITY_STEPS", text, sizeof text) ? std::atoi(text) : fallback;
}

} // namespace

TEST(LivePicture, ADocumentRecolouredOrScrolledBehindARestingMarkerShowsInTheBandWithinASecond) {
    // The document is there before the program, beneath marker 1, and never takes the focus.
    Page doc(RECT{0, 0, 1000, 400}, Page::Look{});
    ASSERT_NE(doc.Hwnd(), nullptr);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int y = 4; // inside the band at every scaling
    ASSERT_TRUE(WaitFor([&] { return BandShows(y, kPaper); }, 2000));

    Page::Look black;
    black.paper = RGB(0, 0, 0);
    doc.SetLook(black);
    EXPECT_TRUE(WaitFor([&] { return BandShows(y, kInk); }, 1000)) << "recoloured page";

    // A striped page: red ink from row 0 to 7, paper from 8 to 15, and so on; scrolled by one
    // stripe, paper lies where the ink was, in the band and just outside it. (A band whose edges
    // look as they did may wait for the next step: every change here changes them.)
    const int paperRow = 12;
    Page::Look striped;
    striped.ink = RGB(255, 0, 0);
    striped.stripe = 8;
    doc.SetLook(striped);
    EXPECT_TRUE(WaitFor([&] { return BandShows(y, kRedInk) && BandShows(paperRow, kPaper); }, 1000))
        << "striped page";
    striped.scroll = 8;
    doc.SetLook(striped);
    EXPECT_TRUE(WaitFor([&] { return BandShows(y, kPaper) && BandShows(paperRow, kRedInk); }, 1000))
        << "scrolled page";
    striped.scroll = 16;
    doc.SetLook(striped);
    EXPECT_TRUE(WaitFor([&] { return BandShows(y, kRedInk) && BandShows(paperRow, kPaper); }, 1000))
        << "scrolled again";
}

// A step shrinks the marker to its outline and copies what the windows beneath repaint. A program
// that paints a few milliseconds late must still be in the copy, not the band the marker showed:
// over black ink that band is blue, and copied back and tinted again it would read black.
// TOLVIN_FIDELITY_STEPS sets the number of steps (scripts/soak.sh runs 400).
TEST(LivePicture, EveryStepOverASlowProgramShowsItsPageNeverTheBandCopiedBack) {
    Page::Look slow;
    slow.paper = RGB(0, 0, 0);
    slow.paintDelayMs = 6;
    Page doc(RECT{0, 0, 1000, 1000}, slow);
    ASSERT_NE(doc.Hwnd(), nullptr);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int steps = StepsFromEnvironment(40);
    const int height = WindowRect(marker).bottom - WindowRect(marker).top;
    const int lowest = 1000 - height - Px(60); // the marker stays over the page
    int top = 0, direction = 1, stale = 0, lost = 0, made = 0;
    PointAtPanel(app.Panel());
    for (int i = 0; i < steps; ++i) {
        if (top + direction * Px(60) > lowest || top + direction * Px(60) < 0) {
            direction = -direction;
        }
        const int expected = WindowRect(marker).top + direction * Px(60);
        MouseWheel(-direction * WHEEL_DELTA);
        if (!WaitForStep(marker, expected)) {
            ++lost;
            break;
        }
        top = expected;
        ++made;
        if (!WaitFor([&] { return BandShows(top + height / 2, kInk); }, 500)) {
            ++stale;
        }
    }
    std::printf("%d of %d steps over a page that paints 6 ms late made; %d showed the band copied back\n",
                made, steps, stale);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(stale, 0);
}

// A program busy for a moment when the band steps onto it (or starved of the processor on a busy
// machine) repaints what the outline uncovered only afterwards: the step waits for its page rather
// than copying what the screen showed before it repainted.
TEST(LivePicture, AStepOntoAProgramBusyForAMomentWaitsForItsPage) {
    Page doc(RECT{0, 0, 1000, 1000}, Page::Look{});
    ASSERT_NE(doc.Hwnd(), nullptr);
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    const int height = WindowRect(marker).bottom - WindowRect(marker).top;
    PointAtPanel(app.Panel());
    for (int i = 0; i < 3; ++i) {
        const int expected = WindowRect(marker).top + Px(60);
        doc.Stall(250);
        MouseWheel(-WHEEL_DELTA);
        ASSERT_TRUE(WaitForStep(marker, expected)) << "step " << i;
        // The program has painted its new picture once it has answered twice: its thread looks at
        // its messages, paints, and looks again.
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(marker, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer);
        }
        Pump(30);
        const int y = expected + height / 2;
        EXPECT_TRUE(BandShows(y, kPaper)) << "step " << i << " shows " << std::hex << ScreenPixel(300, y);
    }
}
