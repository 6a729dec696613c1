#include "toolkit/pixmap.h"

#include "toolkit/handles.h"

#include <vector>

namespace tk {

COLORREF PixelOf(const Pixmap& pm, int x, int y) {
    const char c = pm.rows[y][x];
    for (int i = 0; i < pm.paletteSize; ++i) {
        if (pm.palette[i].key == c) {
            return pm.palette[i].color;
        }
    }
    return CLR_INVALID;
}

namespace {

HBITMAP Dib32(int w, int h, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

DWORD Bgra(COLORREF c, BYTE alpha) {
    return (static_cast<DWORD>(alpha) << 24) | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

HICON MakeIcon(const Pixmap& pm, bool cursor, int hotX, int hotY) {
    void* bits = nullptr;
    Bitmap color(Dib32(pm.width, pm.height, &bits));
    if (!color || !bits) {
        return nullptr;
    }
    // Monochrome AND mask: rows padded to 16 bits, 1 = transparent.
    const int stride = ((pm.width + 15) / 16) * 2;
    std::vector<BYTE> mask(static_cast<size_t>(stride) * pm.height, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < pm.height; ++y) {
        for (int x = 0; x < pm.width; ++x) {
            const COLORREF c = PixelOf(pm, x, y);
            if (c == CLR_INVALID) {
                px[y * pm.width + x] = 0;
                mask[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else {
                px[y * pm.width + x] = Bgra(c, 0xFF);
            }
        }
    }
    Bitmap maskBmp(CreateBitmap(pm.width, pm.height, 1, 1, mask.data()));
    ICONINFO ii{};
    ii.fIcon = cursor ? FALSE : TRUE;
    ii.xHotspot = static_cast<DWORD>(hotX);
    ii.yHotspot = static_cast<DWORD>(hotY);
    ii.hbmMask = maskBmp.get();
    ii.hbmColor = color.get();
    // CreateIconIndirect copies both bitmaps; ours are freed on return.
    return CreateIconIndirect(&ii);
}

HBITMAP MakeMaskedBitmap(const Pixmap& pm, COLORREF back, int widthPx, int heightPx) {
    void* bits = nullptr;
    HBITMAP bmp = Dib32(widthPx, heightPx, &bits);
    if (!bmp || !bits) {
        return bmp;
    }
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < heightPx; ++y) {
        for (int x = 0; x < widthPx; ++x) {
            // Nearest-neighbour scaling keeps the picture crisp at 150 %.
            const COLORREF c = PixelOf(pm, x * pm.width / widthPx, y * pm.height / heightPx);
            px[y * widthPx + x] = Bgra(c == CLR_INVALID ? back : c, 0);
        }
    }
    return bmp;
}

} // namespace tk
