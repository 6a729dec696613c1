// The marker colours and what each pen makes of them.
#pragma once
#include <windows.h>

namespace palette {

constexpr int kXorPen = R2_XORPEN;     // 7
constexpr int kMergePen = R2_MERGEPEN; // 15
constexpr int kCopyPen = R2_COPYPEN;   // 13

// How many colours the pen cycles through: Xor 7 (no white), Merge 6 (no black or
// white), Copy and anything else 8.
int Size(int pen);
// Colour `index` of the cycle: yellow, red, magenta, blue, green, cyan, black, white.
COLORREF Colour(int index);
// The tint's fill for a colour: under Xor its complement, so that white paper shows
// the colour itself; otherwise the colour.
COLORREF Fill(int pen, COLORREF colour);

} // namespace palette
