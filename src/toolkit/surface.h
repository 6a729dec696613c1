// A persistent drawing surface: a picture of a window's client size that survives
// repaints, shown under a rectangle tinted with a two-operand raster operation. The picture is a
// 32-bit top-down DIB, so that its pixels can be read and compared without asking the system.
#pragma once
#include "toolkit/handles.h"

#include <windows.h>

#include <cstdint>

namespace tk {

// A picture's pixels as 0x00RRGGBB values, row by row from the top (a 32-bit DIB's layout).
using Pixel = std::uint32_t;

class Surface {
public:
    // Resizes the picture, keeping what fits and filling new area with `back`.
    void Resize(int width, int height, COLORREF back);
    void Clear(COLORREF back);
    // Fills the rectangle `r` (picture coordinates) with `colour`.
    void Fill(const RECT& r, COLORREF colour);
    // Copies the screen rectangle (x, y, w, h) in pixels into the picture at (0, 0).
    // False where the system gives no copy (the lock screen, UAC's secure desktop, a session
    // switched away): the picture is left as it was.
    bool CopyFromScreen(int x, int y, int w, int h);
    // The same from a screen DC the caller holds (several copies through one DC).
    bool CopyFromScreen(HDC screen, int x, int y, int w, int h);
    // Draws the picture to `dst`; with `tint` the whole area is combined with `fill`
    // by the pen `rop2` (R2_XORPEN, R2_MERGEPEN, R2_COPYPEN), in one pass so that
    // nothing flickers.
    void Paint(HDC dst, const RECT& area, bool tint, int rop2, COLORREF fill) const;
    void Release();

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_.get(); }
    COLORREF PixelAt(int x, int y) const;
    // The picture's pixels (Width() x Height()), current with every drawing call made so far.
    const Pixel* Pixels() const;
    Pixel* Pixels();
    // Copies the picture of another surface of the same size.
    void CopyFrom(const Surface& other);

private:
    MemoryDc dc_;
    Bitmap bitmap_;
    HGDIOBJ original_ = nullptr;
    Pixel* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The ternary raster operation that combines a brush with the source as `rop2` would.
DWORD TintRop(int rop2);

} // namespace tk
