// Lines of text in a picture of the screen: which rows hold the ink of one line, found in the
// pixels alone, whatever program drew them. Decisions only, with no window in them.
#pragma once
#include "toolkit/surface.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace lines {

// One line's ink: from the top of its tallest letter to the bottom of its lowest descender.
struct Span {
    int top;                                         // first row with ink
    int bottom;                                      // one past the last row with ink
    int Centre2() const { return top + bottom - 1; } // twice the centre, to stay in whole numbers
};

// A picture's pixels (0x00RRGGBB, rows from the top) and the columns to read.
struct Strip {
    const tk::Pixel* pixels;
    int width;
    int height;
    int left = 0;   // the columns [left, right) are read
    int right = -1; // -1: to the picture's right edge
    // The columns read, within the picture.
    int First() const { return std::max(0, left); }
    int End() const { return right < 0 ? width : std::min(width, right); }
};

// The paper: the strip's most common colour (0x00RRGGBB).
tk::Pixel PaperOf(const Strip& strip);

// Whether `p` is ink on `paper`: it differs clearly in some channel (anti-aliasing and the
// dithering of a background stay paper; the lightest anti-aliased edge of a letter does too).
bool IsInk(tk::Pixel p, tk::Pixel paper);

// The lines in the strip, top to bottom. Ink is what differs clearly from the paper (the strip's
// most common colour), so dark on light, light on dark and coloured text on coloured paper all
// count, anti-aliased or not. Not lines: a caret (a row with barely any ink), a rule across the
// width, a picture (far taller than the lines around it). An underline belongs to its line, and
// lines whose descenders touch the next line's ascenders are split where the ink is least.
std::vector<Span> FindLines(const Strip& strip);

// The centre (in the strip's rows) where a band centred on row `centre` goes for the next line
// below (`direction` +1) or above (-1): the nearest line whose centre lies more than
// `tolerance` rows beyond the band's. None where there is no such line.
std::optional<int> NextLineCentre(const std::vector<Span>& found, int centre, int direction,
                                  int tolerance = 2);

// How far above and below a band its lines are looked for: a few band heights, and never so little
// that a heading taller than the band does not fit.
inline int Reach(int bandHeight) {
    return std::max(5 * bandHeight, 160);
}

} // namespace lines
