// Pictures kept as text: one character per pixel, '.' transparent, other characters
// looked up in a small palette. They become icons, cursors and masked bitmaps at run time.
#pragma once
#include <windows.h>

namespace tk {

struct PaletteEntry {
    char key;
    COLORREF color;
};

struct Pixmap {
    int width;
    int height;
    const char* const* rows;
    const PaletteEntry* palette;
    int paletteSize;
};

// The colour of pixel (x, y), or CLR_INVALID where it is transparent.
COLORREF PixelOf(const Pixmap& pm, int x, int y);

// An icon (or, with `cursor`, a cursor with the given hot spot); free with DestroyIcon.
HICON MakeIcon(const Pixmap& pm, bool cursor, int hotX, int hotY);

// A bitmap of `scale` screen pixels per picture pixel in which transparent pixels take `back`.
HBITMAP MakeMaskedBitmap(const Pixmap& pm, COLORREF back, int widthPx, int heightPx);

} // namespace tk
