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

namespace {
// The parts of `r` that none of `holes` covers.
std::vector<RECT> Subtract(const RECT& r, const std::vector<RECT>& holes) {
    std::vector<RECT> parts{r};
    for (const RECT& h : holes) {
        std::vector<RECT> next;
        for (const RECT& p : parts) {
            RECT cut{};
            if (!IntersectRect(&cut, &p, &h)) {
                next.push_back(p);
                continue;
            }
            if (p.top < cut.top) {
                next.push_back(RECT{p.left, p.top, p.right, cut.top});
            }
            if (cut.bottom < p.bottom) {
                next.push_back(RECT{p.left, cut.bottom, p.right, p.bottom});
            }
            if (p.left < cut.left) {
                next.push_back(RECT{p.left, cut.top, cut.left, cut.bottom});
            }
            if (cut.right < p.right) {
                next.push_back(RECT{cut.right, cut.top, p.right, cut.bottom});
            }
        }
        parts = std::move(next);
    }
    return parts;
}
} // namespace

std::vector<RECT> ProtectedParts(const RECT& band, const std::vector<Beneath>& beneath) {
    std::vector<RECT> out;
    std::vector<RECT> nearer; // what covers the windows further down, clipped to the band
    for (const Beneath& w : beneath) {
        RECT in{};
        if (!IntersectRect(&in, &w.rect, &band)) {
            continue;
        }
        if (w.protects) {
            for (const RECT& part : Subtract(in, nearer)) {
                out.push_back(part);
            }
        }
        nearer.push_back(in);
    }
    return out;
}

RECT CopyArea(const std::vector<RECT>& bands) {
    RECT area{};
    for (const RECT& b : bands) {
        UnionRect(&area, &area, &b);
    }
    return area;
}

bool CopyServes(const RECT& area, DWORD ageMs, const RECT& band) {
    RECT both{};
    return ageMs < kSharedCopyMs && IntersectRect(&both, &area, &band) && EqualRect(&both, &band);
}

bool CopiesPaused(bool menuOpen, DWORD msSinceMenuClosed) {
    return menuOpen || msSinceMenuClosed < kMenuFadeMs;
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
