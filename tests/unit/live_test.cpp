// The live picture's decisions and the steps still to make, with no window.
#include "marker/livePicture.h"
#include "panel/steps.h"

#include <gtest/gtest.h>

#include <vector>

TEST(LivePlan, MarkersLeftOutOfCopiesCopyInPlaceOftenAndTheOthersSenseTheirEdgesEachTick) {
    const live::Plan excluded = live::ChoosePlan(tk::CaptureMode::Excluded);
    EXPECT_EQ(excluded.sensing, live::Sensing::CopyInPlace);
    EXPECT_LE(excluded.intervalMs, 150u);
    for (auto mode : {tk::CaptureMode::Outline, tk::CaptureMode::OutlineAfterCompositor}) {
        const live::Plan outline = live::ChoosePlan(mode);
        EXPECT_EQ(outline.sensing, live::Sensing::EdgeRows);
        EXPECT_GE(outline.intervalMs, 500u); // a refresh flashes the outline: twice a second at most
    }
}

TEST(LivePlan, TheEdgesAreTheRowsJustOutsideTheBandOnItsMonitor) {
    const RECT monitor{0, 0, 1920, 1080};
    auto rows = live::EdgeRows(RECT{0, 100, 1920, 121}, monitor);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].top, 99);
    EXPECT_EQ(rows[0].bottom, 100);
    EXPECT_EQ(rows[1].top, 121);
    EXPECT_EQ(rows[1].bottom, 122);
    EXPECT_EQ(rows[1].left, 0);
    EXPECT_EQ(rows[1].right, 1920);
    // At the top of the monitor there is only the row below; at its bottom only the row above.
    rows = live::EdgeRows(RECT{0, 0, 1920, 21}, monitor);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].top, 21);
    rows = live::EdgeRows(RECT{0, 1059, 1920, 1080}, monitor);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].top, 1058);
    // A band fitted to a window senses across its own width; one sticking out of its monitor
    // (on a second monitor to the left) only where the monitor is.
    rows = live::EdgeRows(RECT{300, 500, 900, 520}, monitor);
    EXPECT_EQ(rows[0].left, 300);
    EXPECT_EQ(rows[0].right, 900);
    rows = live::EdgeRows(RECT{-1024, 500, 100, 520}, RECT{-1024, 0, 0, 768});
    EXPECT_EQ(rows[0].left, -1024);
    EXPECT_EQ(rows[0].right, 0);
    EXPECT_TRUE(live::EdgeRows(RECT{0, -5, 1920, 1200}, monitor).empty());
}

TEST(Steps, NotchesThatArriveDuringAMoveAreAllMadeByTheNextAndNoneIsLost) {
    steps::Backlog b;
    EXPECT_EQ(b.Take(), 0);
    b.Add(1);
    EXPECT_EQ(b.Take(), 1);
    EXPECT_EQ(b.Take(), 0);
    // Three notches down and one up while a step was under way: two down remain.
    b.Add(1);
    b.Add(1);
    b.Add(1);
    b.Add(-1);
    EXPECT_EQ(b.Take(), 2);
    EXPECT_EQ(b.Pending(), 0);
    // More than one move may take: the rest waits for the next.
    b.Add(600);
    EXPECT_EQ(b.Take(), steps::Backlog::kMostAtOnce);
    EXPECT_EQ(b.Take(), 600 - steps::Backlog::kMostAtOnce);
    b.Add(-700);
    EXPECT_EQ(b.Take(), -steps::Backlog::kMostAtOnce);
    EXPECT_EQ(b.Pending(), -700 + steps::Backlog::kMostAtOnce);
}

TEST(LivePlan, WhereTheProgramsOwnWindowsLieOverAnEdgeItIsNotSensed) {
    const RECT monitor{0, 0, 1920, 1080};
    // Another marker just below this one, from 500 to the right end, and the panel over the row
    // above from 1800: only what they leave free is sensed.
    const auto rows =
        live::EdgeRows(RECT{0, 100, 1920, 121}, monitor,
                       {RECT{500, 118, 1920, 139}, RECT{1800, 50, 1900, 100}, RECT{1850, 60, 1920, 99}});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].top, 99);
    EXPECT_EQ(rows[0].left, 0);
    EXPECT_EQ(rows[0].right, 1800);
    EXPECT_EQ(rows[1].top, 99);
    EXPECT_EQ(rows[1].left, 1900);
    EXPECT_EQ(rows[1].right, 1920);
    EXPECT_EQ(rows[2].top, 121);
    EXPECT_EQ(rows[2].left, 0);
    EXPECT_EQ(rows[2].right, 500);
    // Covered from end to end: nothing to sense.
    EXPECT_TRUE(live::EdgeRows(RECT{0, 0, 1920, 21}, monitor, {RECT{0, 10, 1920, 40}}).empty());
}
