#include "lines/lineFinder.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace lines {

namespace {

// Colours closer than this in every channel are the same paper (anti-aliasing and dithering
// of a background stay paper; the lightest anti-aliased edge of a letter does too).
constexpr int kInkDistance = 56;
// A row with fewer ink pixels holds no text: a caret, a speck, the tip of a lone letter.
constexpr int kMinInkPerRow = 3;
// Ink running down a column over more rows than this is no letter (the tallest strokes of a
// 48-pixel heading are shorter).
constexpr int kLongestStroke = 48;
// A row inked over more than this share of the read width is a rule or a border, not text.
constexpr double kRuleShare = 0.85;
// A run of ink this many times taller than the typical line is a picture.
constexpr double kPictureRatio = 3.0;
// A run whose ink repeats, this many times taller than the repeat, holds lines that touch.
constexpr double kTouchingRatio = 1.6;
// A run this thin, this close under a line, is that line's underline.
constexpr int kUnderlineRows = 2;
constexpr int kUnderlineGap = 3;
// A run a third as tall as the typical line, so close under a line, is that line's too.
constexpr int kSliverPerLine = 3;
// Lines of text are at least this many rows apart, and a profile that repeats at least this
// well (correlation) holds lines.
constexpr int kMinPitch = 6;
constexpr double kMinRepeat = 0.3;
// Where touching lines meet, a row holds at most this share of the run's most inked row.
constexpr double kGapShare = 0.4;

int Channel(tk::Pixel p, int shift) {
    return static_cast<int>((p >> shift) & 0xFF);
}

tk::Pixel Paper(const Strip& s, int left, int right) {
    std::unordered_map<tk::Pixel, int> counts;
    // A pixel in every 3 by 3 is plenty to find the most common colour.
    for (int y = 1; y < s.height; y += 3) {
        const tk::Pixel* row = s.pixels + static_cast<size_t>(y) * s.width;
        for (int x = left + 1; x < right; x += 3) {
            ++counts[row[x] & 0xF8F8F8];
        }
    }
    tk::Pixel best = 0xFFFFFF;
    int most = -1;
    for (const auto& [colour, n] : counts) {
        if (n > most) {
            best = colour;
            most = n;
        }
    }
    return best | 0x040404; // the middle of the bucket
}

int Median(std::vector<int> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The line pitch of a run that holds several touching lines: the lag at which its ink profile
// repeats best (0 when it does not repeat clearly: one line, a picture).
int Pitch(const std::vector<int>& ink, const Span& r) {
    const int h = r.bottom - r.top;
    if (h < 2 * kMinPitch) {
        return 0;
    }
    double mean = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        mean += ink[y];
    }
    mean /= h;
    double energy = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        energy += (ink[y] - mean) * (ink[y] - mean);
    }
    std::vector<double> score(static_cast<size_t>(h / 2 + 2), 0.0);
    double top = 0;
    for (int lag = kMinPitch; lag <= h / 2 + 1; ++lag) {
        double c = 0;
        for (int y = r.top; y + lag < r.bottom; ++y) {
            c += (ink[y] - mean) * (ink[y + lag] - mean);
        }
        score[lag] = energy > 0 ? c / energy : 0;
        top = std::max(top, score[lag]);
    }
    // The first clear peak: its multiples repeat nearly as well.
    for (int lag = kMinPitch; lag <= h / 2; ++lag) {
        if (score[lag] >= kMinRepeat && score[lag] >= 0.8 * top && score[lag] >= score[lag - 1] &&
            score[lag] >= score[lag + 1]) {
            return lag;
        }
    }
    return 0;
}

// Splits runs that hold touching lines at the row with the least ink near each expected gap.
void SplitTouching(std::vector<Span>& runs, const std::vector<int>& ink) {
    std::vector<Span> out;
    for (Span r : runs) {
        // Only a run whose ink repeats holds several lines: a heading is taller than the body text
        // around it, but one line.
        const int typical = Pitch(ink, r);
        while (typical > 0 && r.bottom - r.top > kTouchingRatio * typical) {
            // The gap lies about one line below the top: look around there.
            const int from = r.top + typical / 2,
                      to = std::min(r.bottom - typical / 2, r.top + typical * 3 / 2);
            if (from >= to) {
                break;
            }
            int cut = from;
            int peak = 0;
            for (int y = from; y < to; ++y) {
                cut = ink[y] < ink[cut] ? y : cut;
            }
            for (int y = r.top; y < r.bottom; ++y) {
                peak = std::max(peak, ink[y]);
            }
            // Between two lines only descenders and ascenders cross: far less ink than the
            // letters' bodies. A run without such a row is one line, however tall.
            if (ink[cut] > kGapShare * peak) {
                break;
            }
            out.push_back(Span{r.top, cut});
            r.top = cut + (ink[cut] == 0 ? 1 : 0);
        }
        out.push_back(r);
    }
    runs = std::move(out);
}

} // namespace

bool IsInk(tk::Pixel a, tk::Pixel b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > kInkDistance) {
            return true;
        }
    }
    return false;
}

tk::Pixel PaperOf(const Strip& s) {
    const int left = s.First(), right = s.End();
    return s.pixels && right > left ? Paper(s, left, right) : 0xFFFFFF;
}

std::vector<Span> FindLines(const Strip& s) {
    std::vector<Span> found;
    const int left = s.First(), right = s.End();
    if (!s.pixels || right - left < 1 || s.height < 1) {
        return found;
    }
    const tk::Pixel paper = Paper(s, left, right);
    const int w = right - left;
    std::vector<unsigned char> inked(static_cast<size_t>(w) * s.height);
    for (int y = 0; y < s.height; ++y) {
        const tk::Pixel* row = s.pixels + static_cast<size_t>(y) * s.width + left;
        unsigned char* mark = inked.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            mark[x] = IsInk(row[x], paper) ? 1 : 0;
        }
    }
    // Ink that runs down a column further than any letter does is a border, a scroll bar, a frame
    // or a picture, not text: letters leave the gaps between lines clear.
    for (int x = 0; x < w; ++x) {
        int start = 0;
        for (int y = 0; y <= s.height; ++y) {
            const bool on = y < s.height && inked[static_cast<size_t>(y) * w + x];
            if (on) {
                continue;
            }
            if (y - start > kLongestStroke) {
                for (int k = start; k < y; ++k) {
                    inked[static_cast<size_t>(k) * w + x] = 0;
                }
            }
            start = y + 1;
        }
    }
    std::vector<int> ink(static_cast<size_t>(s.height), 0);
    for (int y = 0; y < s.height; ++y) {
        const unsigned char* mark = inked.data() + static_cast<size_t>(y) * w;
        int n = 0;
        for (int x = 0; x < w; ++x) {
            n += mark[x];
        }
        const bool rule = n > kRuleShare * w;
        ink[y] = rule || n < kMinInkPerRow ? 0 : n;
    }
    std::vector<Span> runs;
    for (int y = 0; y < s.height; ++y) {
        if (ink[y] == 0) {
            continue;
        }
        if (!runs.empty() && runs.back().bottom == y) {
            runs.back().bottom = y + 1;
        } else {
            runs.push_back(Span{y, y + 1});
        }
    }
    // An underline a row or two under its words joins them, and so does a sliver of descenders
    // that a thin row cut off its line (a row the line barely inks, read from another copy).
    std::vector<int> runHeights;
    for (const Span& r : runs) {
        if (r.bottom - r.top > kUnderlineRows) {
            runHeights.push_back(r.bottom - r.top);
        }
    }
    const int sliver = std::max(kUnderlineRows, Median(runHeights) / kSliverPerLine);
    std::vector<Span> joined;
    for (const Span& r : runs) {
        if (!joined.empty() && r.bottom - r.top <= sliver && r.top - joined.back().bottom <= kUnderlineGap) {
            joined.back().bottom = r.bottom;
        } else {
            joined.push_back(r);
        }
    }
    SplitTouching(joined, ink);
    std::vector<int> heights;
    for (const Span& r : joined) {
        if (r.bottom - r.top > kUnderlineRows) {
            heights.push_back(r.bottom - r.top);
        }
    }
    const int typical = Median(heights);
    for (const Span& r : joined) {
        const int h = r.bottom - r.top;
        // Specks and pictures are no lines; a run touching the strip's edge is only part of one.
        if (h <= kUnderlineRows || (typical > 0 && h >= kPictureRatio * typical) || r.top == 0 ||
            r.bottom == s.height) {
            continue;
        }
        found.push_back(r);
    }
    return found;
}

std::optional<int> NextLineCentre(const std::vector<Span>& found, int centre, int direction, int tolerance) {
    std::optional<int> best;
    for (const Span& line : found) {
        const int c2 = line.Centre2();
        const int beyond = direction > 0 ? c2 - 2 * centre : 2 * centre - c2;
        if (beyond > 2 * tolerance) {
            const int c = (c2 + 1) / 2;
            if (!best || (direction > 0 ? c < *best : c > *best)) {
                best = c;
            }
        }
    }
    return best;
}

} // namespace lines
