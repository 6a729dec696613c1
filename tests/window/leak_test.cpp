// Refreshes and add/close cycles leave the process able to create GDI objects and its
// memory flat. Wine answers 0 to GetGuiResources, so the GDI measure is how many regions
// the process can still create before GDI refuses, before and after.
#include "window/fixture.h"

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

} // namespace

using Leaks = RegistryTest;

TEST_F(Leaks, TwentyThousandRefreshesLeakNoGdiObjectsAndNoMemory) {
    Start();
    auto m = Marker(1);
    m->Move(0, 3000);
    for (int i = 0; i < 200; ++i) { // warm-up: caches and pools settle
        m->Label1_MouseUp(1, 0, 0, 0);
    }
    const int headroom = RegionHeadroom();
    const double before = testing_support::CommitChargeMb();
    for (int i = 0; i < 20000; ++i) {
        m->Label1_MouseUp(1, 0, 0, 0);
    }
    const double after = testing_support::CommitChargeMb();
    const int headroomAfter = RegionHeadroom();
    std::printf("region headroom %d -> %d, private memory %.1f -> %.1f MB\n", headroom, headroomAfter, before,
                after);
    EXPECT_GT(headroom, 10000);
    EXPECT_GE(headroomAfter, headroom - 50);
    EXPECT_LT(after - before, 4.0);
    EXPECT_EQ(m->frame_hwnd, nullptr);
}

TEST_F(Leaks, AThousandAddAndCloseCyclesLeakNothing) {
    auto panel = Start();
    for (int i = 0; i < 20; ++i) {
        panel->AddMarker();
        panel->DelMarker();
    }
    const int headroom = RegionHeadroom();
    const double before = testing_support::CommitChargeMb();
    for (int i = 0; i < 1000; ++i) {
        panel->AddMarker();
        panel->DelMarker();
    }
    Pump(100);
    const double after = testing_support::CommitChargeMb();
    const int headroomAfter = RegionHeadroom();
    std::printf("region headroom %d -> %d, private memory %.1f -> %.1f MB\n", headroom, headroomAfter, before,
                after);
    EXPECT_GE(headroomAfter, headroom - 50);
    EXPECT_LT(after - before, 4.0);
    EXPECT_EQ(panel->mk_cur, 1);
    EXPECT_EQ(g_programEnds, 0);
}
