#include "marker/livePicture.h"

#include <algorithm>
#include <utility>

namespace live {

namespace {
constexpr tk::Pixel kRgb = 0x00FFFFFF; // a DIB's fourth byte carries nothing here

} // namespace

Plan ChoosePlan(tk::CaptureMode mode) {
    if (mode == tk::CaptureMode::Excluded) {
        // A copy in place changes nothing on the screen, so it can be taken often: a change
        // beneath shows within about a seventh of a second.
        return {Sensing::CopyInPlace, 150};
    }
    // A refresh flashes the outline; the tick's pace (twice a second) is the most a change that
    // keeps coming (a video, a blinking caret) may cost.
    return {Sensing::EdgeRows, 500};
}

namespace {
// The pieces of row `y` from `left` to `right` that none of `covers` lies over.
void AppendUncovered(LONG y, LONG left, LONG right, const std::vector<RECT>& covers, std::vector<RECT>& out) {
    std::vector<std::pair<LONG, LONG>> pieces{{left, right}};
    for (const RECT& c : covers) {
        if (c.top > y || c.bottom <= y) {
            continue;
        }
        std::vector<std::pair<LONG, LONG>> left_over;
        for (auto [a, b] : pieces) {
            if (c.right <= a || c.left >= b) {
                left_over.push_back({a, b});
                continue;
            }
            if (c.left > a) {
                left_over.push_back({a, c.left});
            }
            if (c.right < b) {
                left_over.push_back({c.right, b});
            }
        }
        pieces = std::move(left_over);
    }
    std::sort(pieces.begin(), pieces.end());
    for (auto [a, b] : pieces) {
        out.push_back(RECT{a, y, b, y + 1});
    }
}
} // namespace

bool CopyBeforeFullShape(tk::CaptureMode mode) {
    return mode == tk::CaptureMode::Excluded;
}

std::vector<RECT> EdgeRows(const RECT& band, const RECT& monitor, const std::vector<RECT>& ours) {
    std::vector<RECT> rows;
    const LONG left = std::max(band.left, monitor.left);
    const LONG right = std::min(band.right, monitor.right);
    if (left >= right) {
        return rows;
    }
    if (band.top - 1 >= monitor.top && band.top - 1 < monitor.bottom) {
        AppendUncovered(band.top - 1, left, right, ours, rows);
    }
    if (band.bottom >= monitor.top && band.bottom < monitor.bottom) {
        AppendUncovered(band.bottom, left, right, ours, rows);
    }
    return rows;
}

bool Differ(const tk::Pixel* a, const tk::Pixel* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if ((a[i] & kRgb) != (b[i] & kRgb)) {
            return true;
        }
    }
    return false;
}

} // namespace live
