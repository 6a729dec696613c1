// Decisions with no window in them: the live picture, the steps still to make, where the panel
// goes, how system libraries are loaded.
#include "marker/livePicture.h"
#include "panel/keys.h"
#include "panel/steps.h"
#include "program/tick.h"
#include "toolkit/capture.h"
#include "toolkit/screen.h"
#include "toolkit/syscall.h"

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
        EXPECT_FALSE(live::CopyBeforeFullShape(mode)); // the refresh after a drag waits for repaints
    }
    EXPECT_TRUE(live::CopyBeforeFullShape(tk::CaptureMode::Excluded)); // no solid bar after a drag
}

TEST(LivePlan, TheBandShowsNoCopyWhereAProtectedWindowBeneathShowsThrough) {
    const RECT band{0, 100, 1920, 121};
    // Nearest first: a document covering the left of a protected player, which lies over a page.
    const std::vector<live::Beneath> beneath{
        {RECT{0, 0, 600, 800}, false},
        {RECT{400, 50, 1400, 700}, true},
        {RECT{0, 0, 1920, 1080}, false},
    };
    auto parts = live::ProtectedParts(band, beneath);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].left, 600); // the document in front of it still shows
    EXPECT_EQ(parts[0].right, 1400);
    EXPECT_EQ(parts[0].top, 100);
    EXPECT_EQ(parts[0].bottom, 121);
    // Wholly covered, outside the band, or protecting nothing: no part.
    EXPECT_TRUE(
        live::ProtectedParts(band, {{RECT{0, 0, 1920, 1080}, false}, {RECT{10, 90, 50, 130}, true}}).empty());
    EXPECT_TRUE(live::ProtectedParts(band, {{RECT{0, 200, 900, 400}, true}}).empty());
    EXPECT_TRUE(live::ProtectedParts(band, {{RECT{0, 0, 900, 400}, false}}).empty());
    // A protected window under a narrow one in the middle: the parts either side, and only those.
    const RECT narrow{800, 110, 900, 115};
    parts = live::ProtectedParts(band, {{narrow, false}, {RECT{0, 0, 1920, 1080}, true}});
    long area = 0;
    for (const RECT& p : parts) {
        area += (p.right - p.left) * (p.bottom - p.top);
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &p, &narrow));
    }
    EXPECT_EQ(area, 1920L * 21 - 100L * 5);
}

TEST(LivePlan, MarkersOnOneMonitorShareOneCopyATickAndPauseWhileAMenuIsOpen) {
    const RECT a{0, 100, 1920, 121}, b{0, 500, 1200, 530};
    const RECT area = live::CopyArea({a, b});
    EXPECT_EQ(area.top, 100);
    EXPECT_EQ(area.bottom, 530);
    EXPECT_EQ(area.right, 1920);
    EXPECT_TRUE(live::CopyServes(area, 0, a));
    EXPECT_TRUE(live::CopyServes(area, 0, b));
    EXPECT_FALSE(live::CopyServes(area, live::kSharedCopyMs, b));     // taken in an earlier tick
    EXPECT_FALSE(live::CopyServes(area, 0, RECT{0, 520, 1920, 541})); // moved partly out of it
    EXPECT_FALSE(live::CopyServes(RECT{}, 0, a));                     // nothing copied yet
    EXPECT_TRUE(live::CopiesPaused(true, 100000));
    EXPECT_TRUE(live::CopiesPaused(false, 10)); // the menu is still fading out
    EXPECT_FALSE(live::CopiesPaused(false, live::kMenuFadeMs));
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

TEST(Steps, MovesThatArriveDuringAMoveAreMadeInOrderOneDirectionAtATimeAndNoneIsLost) {
    using steps::Unit;
    steps::Backlog b;
    EXPECT_EQ(b.Take().n, 0);
    b.Add(Unit::Step, 1);
    EXPECT_EQ(b.Take().n, 1);
    EXPECT_TRUE(b.Empty());
    // Three notches down, then one up, then a line key down: three moves, in that order (a down
    // stopped at the monitor's bottom must not cancel the up that follows it).
    b.Add(Unit::Step, 1);
    b.Add(Unit::Step, 1);
    b.Add(Unit::Step, 1);
    b.Add(Unit::Step, -1);
    b.Add(Unit::Line, 1);
    b.Add(Unit::Line, 1);
    const steps::Move first = b.Take(), second = b.Take(), third = b.Take();
    EXPECT_EQ(first.unit, Unit::Step);
    EXPECT_EQ(first.n, 3);
    EXPECT_EQ(second.unit, Unit::Step);
    EXPECT_EQ(second.n, -1);
    EXPECT_EQ(third.unit, Unit::Line);
    EXPECT_EQ(third.n, 2);
    EXPECT_TRUE(b.Empty());
    // More steps than one move may take: the rest comes next, before anything added later.
    b.Add(Unit::Step, 600);
    b.Add(Unit::Line, -1);
    EXPECT_EQ(b.Take().n, steps::Backlog::kMostAtOnce);
    EXPECT_EQ(b.Take().n, 600 - steps::Backlog::kMostAtOnce);
    EXPECT_EQ(b.Take().unit, Unit::Line);
    b.Add(Unit::Step, -700);
    EXPECT_EQ(b.Take().n, -steps::Backlog::kMostAtOnce);
    EXPECT_EQ(b.Take().n, -700 + steps::Backlog::kMostAtOnce);
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

TEST(Placement, ThePanelGoesBottomRightInTheWorkAreaWhereverTheTaskbarIs) {
    RECT r = tk::BottomRightWithin(RECT{0, 0, 1920, 1040}, 72, 48); // taskbar at the bottom
    EXPECT_EQ(r.left, 1848);
    EXPECT_EQ(r.top, 992);
    r = tk::BottomRightWithin(RECT{0, 0, 1858, 1080}, 72, 48); // on the right
    EXPECT_EQ(r.right, 1858);
    EXPECT_EQ(r.bottom, 1080);
    r = tk::BottomRightWithin(RECT{100, 40, 1920, 1080}, 72, 48); // at the top and on the left
    EXPECT_EQ(r.right, 1920);
    EXPECT_EQ(r.bottom, 1080);
    r = tk::BottomRightWithin(RECT{0, 0, 50, 30}, 72, 48); // larger than the area: its top-left in it
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    // A window that keeps its pixel size on a monitor of another scaling.
    r = tk::KeepSizeAt(RECT{1848, 992, 1920, 1040}, RECT{2500, 700, 2548, 732});
    EXPECT_EQ(r.left, 2500);
    EXPECT_EQ(r.top, 700);
    EXPECT_EQ(r.right - r.left, 72);
    EXPECT_EQ(r.bottom - r.top, 48);
}

TEST(SystemLibraries, TheSystemFolderIsSearchedByFlagWhereTheSystemKnowsItAndByFullPathElsewhere) {
    EXPECT_EQ(tk::ChooseSystemLoad(true), tk::SystemLoad::SearchSystem32);
    EXPECT_EQ(tk::ChooseSystemLoad(false), tk::SystemLoad::FullSystemPath);
    // Either way a system library loads, and from the system folder.
    HMODULE m = tk::LoadSystemLibrary(L"dwmapi.dll");
    ASSERT_NE(m, nullptr);
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(m, path, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, wcslen(system)), 0) << path;
}

TEST(Keys, ALineIsTheMarkersOwnHeightAndStopsAtItsMonitorsEdges) {
    // A band 315 twips high at 3000 on a monitor 0..16200 twips high.
    EXPECT_EQ(keys::LineTop(3000, 315, 0, 16200, 1), 3315);
    EXPECT_EQ(keys::LineTop(3000, 315, 0, 16200, -1), 2685);
    EXPECT_EQ(keys::LineTop(3000, 315, 0, 16200, 3), 3945); // keys held down, taken in one move
    EXPECT_EQ(keys::LineTop(15800, 315, 0, 16200, 1), 16200 - 315);
    EXPECT_EQ(keys::LineTop(200, 315, 0, 16200, -1), 0);
    EXPECT_EQ(keys::LineTop(500, 315, -11520, 11520, -5), -1075);   // a monitor above the primary one
    EXPECT_EQ(keys::LineTop(0, 20000, 0, 16200, 1), 16200 - 20000); // taller than its monitor
}

TEST(ProgramTick, EveryShownMarkerTicksOnceButThoseHiddenOrStillTicking) {
    using tick::MarkerState;
    const std::vector<MarkerState> markers{
        {true, false, false, false},  // resting: ticks
        {false, false, false, false}, // no marker with this number
        {true, true, false, false},   // hidden with the others
        {true, false, true, false},   // its tick pumps still: not ticked twice
        {true, false, false, false},
    };
    const tick::Plan plan = tick::Choose(markers);
    EXPECT_EQ(plan.markers, (std::vector<std::size_t>{0, 4}));
    EXPECT_FALSE(plan.again);
    EXPECT_TRUE(tick::Choose({}).markers.empty());
}

TEST(ProgramTick, WhileAMarkersRefreshPumpsNoMarkerTicksAndTheTickComesAgainSoon) {
    using tick::MarkerState;
    const std::vector<MarkerState> markers{
        {true, false, false, false},
        {true, false, false, true}, // its refresh pumps
        {true, false, false, false},
    };
    const tick::Plan plan = tick::Choose(markers);
    EXPECT_TRUE(plan.markers.empty());
    EXPECT_TRUE(plan.again);
    // A number whose marker has gone holds nothing that pumps.
    EXPECT_FALSE(tick::Choose({{false, false, false, true}, {true, false, false, false}}).again);
}

TEST(Capture, OnlyASessionConnectedElsewhereChoosesTheCapturePathAgainAndTheLockScreenStopsCopies) {
    using tk::SessionEffect;
    for (WPARAM event :
         {0x1, 0x2, 0x3, 0x4, 0x9}) { // console and remote connect and disconnect, remote control
        EXPECT_EQ(tk::EffectOfSessionChange(event), SessionEffect::ChooseCapture) << event;
    }
    EXPECT_EQ(tk::EffectOfSessionChange(0x7), SessionEffect::Locked);
    EXPECT_EQ(tk::EffectOfSessionChange(0x8), SessionEffect::Unlocked);
    for (WPARAM event : {0x5, 0x6, 0xA, 0xB}) { // logon, logoff, session create and terminate
        EXPECT_EQ(tk::EffectOfSessionChange(event), SessionEffect::None) << event;
    }
}
