// The dim layer's shape: the monitor less the clear bands.
#include "dim/dimLayer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// Whether a point lies in the shape, and in one piece of it only.
int Covers(const std::vector<RECT>& shape, int x, int y) {
    int n = 0;
    for (const RECT& r : shape) {
        n += (r.left <= x && x < r.right && r.top <= y && y < r.bottom) ? 1 : 0;
    }
    return n;
}
} // namespace

TEST(DimLayer, TheMonitorLessEachBandGrownByTheMarginIsCoveredOnce) {
    const RECT monitor{1920, 0, 3200, 1024}; // a second monitor
    // A full-width band, a short one fitted to a window, and one overlapping it.
    const std::vector<RECT> bands{{1920, 100, 3200, 120}, {2000, 500, 2600, 530}, {2500, 520, 2800, 560}};
    const auto shape = dim::LayerShape(monitor, bands, 1);
    for (int y = 0; y < 1024; y += 1) {
        for (int x : {1920, 1999, 2000, 2499, 2500, 2599, 2600, 2799, 2800, 3199}) {
            bool inHole = false;
            for (const RECT& b : bands) {
                inHole = inHole || (b.left <= x && x < b.right && b.top - 1 <= y && y < b.bottom + 1);
            }
            ASSERT_EQ(Covers(shape, x, y), inHole ? 0 : 1) << x << "," << y;
        }
    }
    EXPECT_EQ(Covers(shape, 3200, 50), 0); // nothing off the monitor
}

TEST(DimLayer, BandsAtTheMonitorsEdgesOrOffItAreCutToIt) {
    const RECT monitor{0, 0, 800, 600};
    // A band at the very top (its margin row above is off the monitor) and one on another monitor.
    const auto shape = dim::LayerShape(monitor, {{0, 0, 800, 40}, {900, 100, 1700, 140}}, 1);
    ASSERT_EQ(shape.size(), 1u);
    EXPECT_EQ(shape[0].top, 41);
    EXPECT_EQ(shape[0].bottom, 600);
    EXPECT_EQ(shape[0].left, 0);
    EXPECT_EQ(shape[0].right, 800);
    // Without a margin the hole is the band itself; with no band the whole monitor is dark.
    EXPECT_EQ(dim::LayerShape(monitor, {{0, 0, 800, 40}}, 0)[0].top, 40);
    const auto whole = dim::LayerShape(monitor, {}, 1);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_TRUE(EqualRect(&whole[0], &monitor));
}

TEST(DimLayer, AHoleLeavesTheSensedRowsClearOnlyWhereMarkersSenseTheirEdges) {
    EXPECT_EQ(dim::HoleMargin(tk::CaptureMode::Outline), 1);
    EXPECT_EQ(dim::HoleMargin(tk::CaptureMode::OutlineAfterCompositor), 1);
    EXPECT_EQ(dim::HoleMargin(tk::CaptureMode::Excluded), 0);
}
