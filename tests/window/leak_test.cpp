// Refreshes and add/close cycles leave the process able to create GDI objects and its
// memory flat. Wine answers 0 to GetGuiResources, so the GDI measure is how many regions
// the process can still create before GDI refuses, before and after. A leak of one object in
// a thousand refreshes shows within the default counts; scripts/soak.sh runs the long soak.
#include "window/fixture.h"

#include <cstdlib>
#include <vector>

using namespace testing_support;

namespace {

int RegionHeadroom() {
    std::vector<HRGN> made;
    for (;;) {
        HRGN r = CreateRectRgn(0, 0, 1, 1);
        if (!r || made.size() >= 200000) {
            break;
        }
        made.push_back(r);
    }
    for (HRGN r : made) {
        DeleteObject(r);
    }
    return static_cast<int>(made.size());
}

// A count from the environment (the soak script sets larger ones), or the default.
int CountFromEnvironment(const char* name, int fallback) {
    char text[32] = {};
    const int n = GetEnvironmentVariableA(name, text, sizeof text) ? std::atoi(text) : 0;
    return n > 0 ? n : fallback;
}

} // namespace

using Leaks = RegistryTest;

TEST_F(Leaks, ThousandsOfRefreshesLeakNoGdiObjectsAndNoMemory) {
    const int refreshes = CountFromEnvironment("TOLVIN_SOAK_REFRESHES", 3000);
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    for (int i = 0; i < 200; ++i) { // warm-up: caches and pools settle
        m->Label1_MouseUp(1, 0, 0, 0);
    }
    const int headroom = RegionHeadroom();
    const double before = testing_support::CommitChargeMb();
    for (int i = 0; i < refreshes; ++i) {
        m->Label1_MouseUp(1, 0, 0, 0);
    }
    const double after = testing_support::CommitChargeMb();
    const int headroomAfter = RegionHeadroom();
    std::printf("%d refreshes: region headroom %d -> %d, private memory %.1f -> %.1f MB\n", refreshes,
                headroom, headroomAfter, before, after);
    EXPECT_GT(headroom, 10000);
    EXPECT_GE(headroomAfter, headroom - 2);
    EXPECT_LT(after - before, 1.0);
    EXPECT_EQ(m->frame_hwnd, nullptr);
}

TEST_F(Leaks, AddAndCloseCyclesLeakNothing) {
    const int cycles = CountFromEnvironment("TOLVIN_SOAK_CYCLES", 300);
    auto panel = Start();
    for (int i = 0; i < 20; ++i) {
        panel->AddMarker();
        panel->DelMarker();
    }
    const int headroom = RegionHeadroom();
    const double before = testing_support::CommitChargeMb();
    for (int i = 0; i < cycles; ++i) {
        panel->AddMarker();
        panel->DelMarker();
    }
    Pump(100);
    const double after = testing_support::CommitChargeMb();
    const int headroomAfter = RegionHeadroom();
    std::printf("%d cycles: region headroom %d -> %d, private memory %.1f -> %.1f MB\n", cycles, headroom,
                headroomAfter, before, after);
    EXPECT_GE(headroomAfter, headroom - 2);
    EXPECT_LT(after - before, 1.0);
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_EQ(g_programEnds, 0);
}
