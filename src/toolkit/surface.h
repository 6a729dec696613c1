// A persistent drawing surface: a picture of a window's client size that survives
// repaints, shown under a rectangle tinted with a two-operand raster operation.
#pragma once
#include "toolkit/handles.h"

#include <windows.h>

namespace tk {

class Surface {
public:
    // Resizes the picture, keeping what fits and filling new area with `back`.
    void Resize(int width, int height, COLORREF back);
    void Clear(COLORREF back);
    // Copies the screen rectangle (x, y, w, h) in pixels into the picture at (0, 0).
    void CopyFromScreen(int x, int y, int w, int h);
    // Draws the picture to `dst`; with `tint` the whole area is combined with `fill`
    // by the pen `rop2` (R2_XORPEN, R2_MERGEPEN, R2_COPYPEN), in one pass so that
    // nothing flickers.
    void Paint(HDC dst, const RECT& area, bool tint, int rop2, COLORREF fill) const;
    void Release();

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_.get(); }
    COLORREF PixelAt(int x, int y) const;

private:
    MemoryDc dc_;
    Bitmap bitmap_;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The ternary raster operation that combines a brush with the source as `rop2` would.
DWORD TintRop(int rop2);

} // namespace tk
