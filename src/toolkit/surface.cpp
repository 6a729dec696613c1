#include "toolkit/surface.h"

#include <algorithm>

namespace tk {

DWORD TintRop(int rop2) {
    switch (rop2) {
    case R2_XORPEN:
        return 0x003C004A; // brush XOR source
    case R2_MERGEPEN:
        return 0x00FC008A; // brush OR source
    default:
        return PATCOPY; // the brush alone
    }
}

void Surface::Release() {
    if (dc_ && original_) {
        SelectObject(dc_.get(), original_);
    }
    original_ = nullptr;
    bits_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    width_ = height_ = 0;
}

void Surface::Resize(int width, int height, COLORREF back) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (dc_ && width == width_ && height == height_) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    MemoryDc dc(CreateCompatibleDC(nullptr));
    Bitmap bmp(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bmp || !bits) {
        return;
    }
    HGDIOBJ original = SelectObject(dc.get(), bmp.get());
    RECT all{0, 0, width, height};
    Brush b(CreateSolidBrush(back));
    FillRect(dc.get(), &all, b.get());
    if (dc_) {
        BitBlt(dc.get(), 0, 0, std::min(width, width_), std::min(height, height_), dc_.get(), 0, 0, SRCCOPY);
    }
    Release();
    dc_ = std::move(dc);
    bitmap_ = std::move(bmp);
    original_ = original;
    bits_ = static_cast<Pixel*>(bits);
    width_ = width;
    height_ = height;
}

void Surface::Clear(COLORREF back) {
    if (!dc_) {
        return;
    }
    RECT all{0, 0, width_, height_};
    Brush b(CreateSolidBrush(back));
    FillRect(dc_.get(), &all, b.get());
}

void Surface::Fill(const RECT& r, COLORREF colour) {
    if (!dc_) {
        return;
    }
    Brush b(CreateSolidBrush(colour));
    FillRect(dc_.get(), &r, b.get());
}

bool Surface::CopyFromScreen(int x, int y, int w, int h) {
    if (!dc_) {
        return false;
    }
    WindowDc screen(GetDesktopWindow());
    return CopyFromScreen(screen.get(), x, y, w, h);
}

bool Surface::CopyFromScreen(HDC screen, int x, int y, int w, int h) {
    return dc_ && screen && BitBlt(dc_.get(), 0, 0, w, h, screen, x, y, SRCCOPY);
}

void Surface::Paint(HDC dst, const RECT& area, bool tint, int rop2, COLORREF fill) const {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (!dc_) {
        return;
    }
    if (!tint) {
        BitBlt(dst, area.left, area.top, w, h, dc_.get(), area.left, area.top, SRCCOPY);
        return;
    }
    Brush brush(CreateSolidBrush(fill));
    Selected sel(dst, brush.get());
    BitBlt(dst, area.left, area.top, w, h, dc_.get(), area.left, area.top, TintRop(rop2));
}

COLORREF Surface::PixelAt(int x, int y) const {
    return dc_ ? GetPixel(dc_.get(), x, y) : CLR_INVALID;
}

const Pixel* Surface::Pixels() const {
    GdiFlush(); // drawing calls may still be batched
    return bits_;
}

Pixel* Surface::Pixels() {
    GdiFlush();
    return bits_;
}

void Surface::CopyFrom(const Surface& other) {
    if (dc_ && other.dc_) {
        BitBlt(dc_.get(), 0, 0, std::min(width_, other.width_), std::min(height_, other.height_),
               other.dc_.get(), 0, 0, SRCCOPY);
    }
}

} // namespace tk
