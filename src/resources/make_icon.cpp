// Build tool: writes the program's icon group (16, 24, 32 and 48 pixels and 256 for Explorer's
// large views; 32-bit with alpha) from the pixel maps the program draws from. The small sizes
// come from the window icon, the large ones from the panel's picture, each pixel repeated.
// Standard C++ only: it runs on the machine that builds, whatever the target.
#include "resources/art_maps.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Map {
    int size;
    const char* const* rows;
};

struct Image {
    int size;
    std::vector<uint8_t> bytes; // BITMAPINFOHEADER, BGRA rows bottom up, AND mask
};

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, unsigned long v) {
    Put16(out, static_cast<unsigned>(v & 0xFFFF));
    Put16(out, static_cast<unsigned>(v >> 16));
}

// The map's colour at (x, y) as 0x00BBGGRR, or false where it is transparent.
bool Colour(const Map& m, int x, int y, unsigned long& bgr) {
    const char c = m.rows[y][x];
    for (const auto& e : art::maps::kPenColours) {
        if (e.key == c) {
            bgr = e.bgr;
            return true;
        }
    }
    return false;
}

Image Draw(const Map& m, int size) {
    Image img{size, {}};
    auto& b = img.bytes;
    Put32(b, 40); // BITMAPINFOHEADER
    Put32(b, static_cast<unsigned long>(size));
    Put32(b, static_cast<unsigned long>(size * 2)); // colour rows and mask rows
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i) {
        Put32(b, 0);
    }
    for (int y = size - 1; y >= 0; --y) { // bottom up
        for (int x = 0; x < size; ++x) {
            unsigned long bgr = 0;
            const bool opaque = Colour(m, x * m.size / size, y * m.size / size, bgr);
            b.push_back(static_cast<uint8_t>(bgr >> 16)); // blue
            b.push_back(static_cast<uint8_t>(bgr >> 8));  // green
            b.push_back(static_cast<uint8_t>(bgr));       // red
            b.push_back(opaque ? 0xFF : 0x00);
        }
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            unsigned long bgr = 0;
            if (!Colour(m, x * m.size / size, y * m.size / size, bgr)) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return img;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon out.ico\n");
        return 2;
    }
    const Map small{16, art::maps::kWindowIcon}, large{32, art::maps::kPanelPicture};
    const std::vector<Image> images = {Draw(small, 16), Draw(small, 24), Draw(large, 32), Draw(large, 48),
                                       Draw(large, 256)};
    std::vector<uint8_t> ico;
    Put16(ico, 0); // ICONDIR
    Put16(ico, 1);
    Put16(ico, static_cast<unsigned>(images.size()));
    unsigned long offset = 6 + 16 * images.size();
    for (const Image& img : images) {
        ico.push_back(static_cast<uint8_t>(img.size == 256 ? 0 : img.size)); // 0 means 256
        ico.push_back(static_cast<uint8_t>(img.size == 256 ? 0 : img.size));
        ico.push_back(0); // no palette
        ico.push_back(0);
        Put16(ico, 1);  // planes
        Put16(ico, 32); // bits per pixel
        Put32(ico, static_cast<unsigned long>(img.bytes.size()));
        Put32(ico, offset);
        offset += static_cast<unsigned long>(img.bytes.size());
    }
    for (const Image& img : images) {
        ico.insert(ico.end(), img.bytes.begin(), img.bytes.end());
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(ico.data(), 1, ico.size(), f) != ico.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
