// The built tolvin.exe carries the icon group Explorer shows, drawn from the program's pixel maps.
#include "resources/art_maps.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

extern std::wstring g_programPath;

namespace {

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The expected colour of pixel (x, y) of an icon `size` wide, drawn from the map `rows` of `mapSize`.
bool Expected(const char* const* rows, int mapSize, int size, int x, int y, unsigned long& bgr) {
    const char c = rows[y * mapSize / size][x * mapSize / size];
    for (const auto& e : art::maps::kPenColours) {
        if (e.key == c) {
            bgr = e.bgr;
            return true;
        }
    }
    return false;
}

} // namespace

TEST(Resources, TheProgramCarriesItsIconGroupDrawnFromThePixelMaps) {
    ASSERT_FALSE(g_programPath.empty()) << "run with the path of tolvin.exe";
    HMODULE exe = LoadLibraryExW(g_programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC groupInfo = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(groupInfo, nullptr) << "no icon group";
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(exe, groupInfo)));
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    ASSERT_EQ(count, 5);
    const int sizes[] = {16, 24, 32, 48, 256};
    for (int i = 0; i < count; ++i) {
        GroupEntry e{};
        std::memcpy(&e, group + 6 + i * sizeof(GroupEntry), sizeof e);
        const int size = e.width ? e.width : 256;
        EXPECT_EQ(size, sizes[i]);
        EXPECT_EQ(e.bitCount, 32);
        HRSRC imageInfo = FindResourceW(exe, MAKEINTRESOURCEW(e.id), MAKEINTRESOURCEW(3)); // RT_ICON
        ASSERT_NE(imageInfo, nullptr) << size;
        auto* image = static_cast<BYTE*>(LockResource(LoadResource(exe, imageInfo)));
        const DWORD bytes = SizeofResource(exe, imageInfo);
        // The system can make an icon of it.
        HICON icon = CreateIconFromResourceEx(image, bytes, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(icon);
        // Every pixel as the map has it: the small sizes from the window icon, the large from
        // the panel's picture; transparent pixels with no alpha.
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
        ASSERT_EQ(header->biWidth, size);
        const BYTE* pixels = image + header->biSize;
        const bool small = size < 32;
        int wrong = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const BYTE* p = pixels + ((size - 1 - y) * size + x) * 4; // rows bottom up
                unsigned long bgr = 0;
                const bool opaque = small ? Expected(art::maps::kWindowIcon, 16, size, x, y, bgr)
                                          : Expected(art::maps::kPanelPicture, 32, size, x, y, bgr);
                const unsigned long got = (static_cast<unsigned long>(p[0]) << 16) | (p[1] << 8) | p[2];
                wrong += opaque ? (p[3] != 0xFF || got != bgr) : p[3] != 0;
            }
        }
        EXPECT_EQ(wrong, 0) << size << " px";
    }
    FreeLibrary(exe);
}
