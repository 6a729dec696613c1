#include "lines/columns.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace lines {

namespace {

// A screen column is a surface's paper when one colour (to these bits) fills more than half of it.
constexpr tk::Pixel kSurfaceBits = 0xF8F8F8;
// Ink this many pixels apart in a row counts as touching: the spaces between letters and the
// narrowest spaces between words close.
constexpr int kInkReach = 2;
// A gutter is paper wider than this, and at least one and a half line heights wide (the spaces
// between words are a third to a half of one, and line up now and then, in fixed-width type most).
constexpr int kMinGutter = 8;
constexpr double kGutterPerLineHeight = 1.5;
// Where a screen column holds ink in less than this share of the rows that the busiest columns
// within a few lines' width on both sides of it hold ink in, it is paper between columns: a
// heading across the gutter takes a small share of the rows.
constexpr double kGutterShare = 0.25;
constexpr int kNeighbourLines = 6;
// A column's edges: its outermost screen columns with ink in at least this share of those rows.
constexpr double kEdgeShare = 0.05;
// A column is at least this many line heights wide, and this many pixels: a scroll bar's arrows or
// a toolbar's icons are no column of text.
constexpr int kMinColumnLines = 2;
constexpr int kMinColumnWidth = 24;
// The width of the slices in which lines are measured.
constexpr int kSlice = 48;

// A colour is a paper where it is at least this share of the strip (1 / this); the few most
// common are looked at.
constexpr int kPaperShareInverse = 100;
constexpr size_t kMostPapers = 6;

struct Surface {
    int left;
    int right;
    tk::Pixel paper;
};

// The papers a strip may hold: its most common colours (a page, a panel, the desktop beside it),
// most common first.
std::vector<tk::Pixel> Papers(const Strip& s, int left, int right) {
    std::unordered_map<tk::Pixel, int> counts;
    int samples = 0;
    for (int y = 1; y < s.height; y += 3) {
        const tk::Pixel* row = s.pixels + static_cast<size_t>(y) * s.width;
        for (int x = left + 1; x < right; x += 3, ++samples) {
            ++counts[row[x] & kSurfaceBits];
        }
    }
    std::vector<std::pair<int, tk::Pixel>> common;
    for (const auto& [colour, n] : counts) {
        if (n * kPaperShareInverse >= samples) {
            common.push_back({n, colour | 0x040404});
        }
    }
    std::sort(common.begin(), common.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<tk::Pixel> papers;
    for (const auto& [n, colour] : common) {
        // A shade that is no ink on a more common paper is that paper (a page's slightly greyer
        // menu bar, the dithering of a background).
        const bool shade =
            std::any_of(papers.begin(), papers.end(), [&](tk::Pixel p) { return !IsInk(colour, p); });
        if (!shade && papers.size() < kMostPapers) {
            papers.push_back(colour);
        }
    }
    return papers;
}

// The screen columns [left, right) whose paper is one of the strip's common colours (that colour,
// or what is no ink on it, fills more than half the column), run by run of neighbours on the same
// paper: a page, a panel, the desktop, a scroll bar.
std::vector<Surface> Surfaces(const Strip& s, int left, int right) {
    const std::vector<tk::Pixel> papers = Papers(s, left, right);
    const int w = right - left, k = static_cast<int>(papers.size());
    std::vector<int> counts(static_cast<size_t>(w) * k, 0);
    int rows = 0;
    for (int y = 0; y < s.height; y += 2, ++rows) {
        const tk::Pixel* row = s.pixels + static_cast<size_t>(y) * s.width + left;
        tk::Pixel last = ~row[0];
        unsigned on = 0; // which papers the last pixel is no ink on, a bit each
        for (int x = 0; x < w; ++x) {
            if (row[x] != last) {
                last = row[x];
                on = 0;
                for (int i = 0; i < k; ++i) {
                    on |= IsInk(last, papers[i]) ? 0u : 1u << i;
                }
            }
            for (int i = 0; i < k; ++i) {
                counts[static_cast<size_t>(x) * k + i] += (on >> i) & 1u;
            }
        }
    }
    std::vector<Surface> out;
    for (int x = 0; x < w; ++x) {
        int best = -1;
        for (int i = 0; i < k; ++i) {
            const int n = counts[static_cast<size_t>(x) * k + i];
            best = 2 * n > rows && (best < 0 || n > counts[static_cast<size_t>(x) * k + best]) ? i : best;
        }
        if (best < 0) {
            continue; // no paper fills it: a picture, a pattern
        }
        const tk::Pixel paper = papers[best];
        if (!out.empty() && out.back().right == left + x && out.back().paper == paper) {
            out.back().right = left + x + 1;
        } else {
            out.push_back(Surface{left + x, left + x + 1, paper});
        }
    }
    return out;
}

// For each i, the greatest of values[i - reach + 1 .. i] (from 0 near the start), in one pass
// each way over blocks of `reach`.
std::vector<int> TrailingMax(const std::vector<int>& v, int reach) {
    const int n = static_cast<int>(v.size());
    std::vector<int> fromStart(v.size()), toEnd(v.size()), out(v.size());
    for (int i = 0; i < n; ++i) {
        fromStart[i] = i % reach == 0 ? v[i] : std::max(fromStart[i - 1], v[i]);
    }
    for (int i = n - 1; i >= 0; --i) {
        toEnd[i] = i == n - 1 || (i + 1) % reach == 0 ? v[i] : std::max(toEnd[i + 1], v[i]);
    }
    for (int i = 0; i < n; ++i) {
        out[i] = i + 1 < reach ? fromStart[i] : std::max(toEnd[i - reach + 1], fromStart[i]);
    }
    return out;
}

int Median(std::vector<int> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The columns of text on one surface.
void ColumnsOf(const Strip& s, const Surface& on, std::vector<Column>& out) {
    const int w = on.right - on.left;
    // Rows of ink on this paper, and in each row which screen columns ink reaches.
    std::vector<int> occupied(static_cast<size_t>(w), 0);
    std::vector<int> inkBefore(static_cast<size_t>(w) + 1, 0);
    // The lines' heights, from runs of inked rows in narrow slices: across the width, the lines of
    // columns side by side with offset baselines would run together.
    const int slices = (w + kSlice - 1) / kSlice;
    std::vector<int> runs, run(static_cast<size_t>(slices), 0);
    auto endRun = [&](int k) {
        if (run[k] > 2) {
            runs.push_back(run[k]);
        }
        run[k] = 0;
    };
    for (int y = 0; y < s.height; ++y) {
        const tk::Pixel* row = s.pixels + static_cast<size_t>(y) * s.width + on.left;
        tk::Pixel last = ~row[0];
        int isInk = 0;
        for (int x = 0; x < w; ++x) {
            if (row[x] != last) { // paper comes in runs: its pixels are looked at once a run
                last = row[x];
                isInk = IsInk(last, on.paper) ? 1 : 0;
            }
            inkBefore[x + 1] = inkBefore[x] + isInk;
        }
        const int ink = inkBefore[w];
        // Few pixels: a caret or a speck; nearly the whole width: a rule, a border, a bar.
        const bool text = ink >= 3 && ink <= 0.85 * w;
        for (int k = 0; k < slices; ++k) {
            const int inSlice = inkBefore[std::min(w, (k + 1) * kSlice)] - inkBefore[k * kSlice];
            if (text && inSlice >= 2) {
                ++run[k];
            } else {
                endRun(k);
            }
        }
        if (!text) {
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const int from = std::max(0, x - kInkReach), to = std::min(w, x + kInkReach + 1);
            occupied[x] += inkBefore[to] > inkBefore[from] ? 1 : 0;
        }
    }
    for (int k = 0; k < slices; ++k) {
        endRun(k);
    }
    const int lineHeight = Median(runs);
    const int busiest = occupied.empty() ? 0 : *std::max_element(occupied.begin(), occupied.end());
    if (lineHeight == 0 || busiest == 0) {
        return; // no text on this surface
    }
    const int edge = std::max(1, static_cast<int>(kEdgeShare * busiest));
    const int gutter = std::max(kMinGutter, static_cast<int>(kGutterPerLineHeight * lineHeight));
    const int minWidth = std::max(kMinColumnWidth, kMinColumnLines * lineHeight);
    auto emit = [&](int from, int to) { // a run of screen columns between gutters: trims its edges
        while (from < to && occupied[from] < edge) {
            ++from;
        }
        while (to > from && occupied[to - 1] < edge) {
            --to;
        }
        if (to - from >= minWidth) {
            out.push_back(Column{on.left + from, on.left + to});
        }
    };
    // Paper between columns: a valley, far below the ink on both sides of it (a heading across it
    // only takes a few rows), or no ink at all.
    const int reach = std::max(kSlice, kNeighbourLines * lineHeight);
    const std::vector<int> before = TrailingMax(occupied, reach);
    const std::vector<int> after = TrailingMax(std::vector<int>(occupied.rbegin(), occupied.rend()), reach);
    std::vector<char> between(static_cast<size_t>(w), 0);
    for (int x = 0; x < w; ++x) {
        const int left = x > 0 ? before[x - 1] : 0, right = x + 1 < w ? after[w - 2 - x] : 0;
        between[x] = occupied[x] < edge || occupied[x] < kGutterShare * std::min(left, right);
    }
    int start = 0;
    for (int x = 0; x < w;) {
        if (!between[x]) {
            ++x;
            continue;
        }
        int end = x;
        while (end < w && between[end]) {
            ++end;
        }
        if (end - x >= gutter) {
            emit(start, x);
            start = end;
        }
        x = end;
    }
    emit(start, w);
}

int Overlap(const Column& a, const Column& b) {
    return std::min(a.right, b.right) - std::max(a.left, b.left);
}

int Distance(const Column& c, int x) {
    return x < c.left ? c.left - x : x >= c.right ? x - c.right + 1 : 0;
}

std::optional<Column> MostOverlapping(const std::vector<Column>& columns, const Column& with) {
    std::optional<Column> best;
    for (const Column& c : columns) {
        if (Overlap(c, with) > 0 && (!best || Overlap(c, with) > Overlap(*best, with))) {
            best = c;
        }
    }
    return best;
}

} // namespace

std::vector<Column> FindColumns(const Strip& s) {
    std::vector<Column> out;
    const int left = s.First(), right = s.End();
    if (!s.pixels || right - left < 1 || s.height < 1) {
        return out;
    }
    for (const Surface& surface : Surfaces(s, left, right)) {
        if (surface.right - surface.left >= kMinGutter) {
            ColumnsOf(s, surface, out);
        }
    }
    return out;
}

std::optional<Column> ChooseColumn(const std::vector<Column>& columns, const ReaderAt& reader) {
    if (columns.empty()) {
        return std::nullopt;
    }
    if (reader.ownBand) {
        if (auto own = MostOverlapping(columns, *reader.ownBand)) {
            return own;
        }
    }
    if (reader.pointerOnPage) {
        for (const Column& c : columns) {
            if (c.Holds(reader.pointerX)) {
                return c;
            }
        }
    }
    if (reader.last) {
        if (auto last = MostOverlapping(columns, *reader.last)) {
            return last;
        }
    }
    const int x = reader.ownBand ? (reader.ownBand->left + reader.ownBand->right) / 2 : reader.pointerX;
    const Column* nearest = &columns.front();
    for (const Column& c : columns) {
        nearest = Distance(c, x) < Distance(*nearest, x) ? &c : nearest;
    }
    return *nearest;
}

std::optional<Column> NextColumn(const std::vector<Column>& columns, const Column& current, int direction) {
    std::optional<Column> best;
    for (const Column& c : columns) {
        const int centre = (c.left + c.right) / 2;
        if (direction > 0 && centre >= current.right && (!best || c.left < best->left)) {
            best = c;
        } else if (direction < 0 && centre < current.left && (!best || c.right > best->right)) {
            best = c;
        }
    }
    return best;
}

} // namespace lines
