// The program's pictures as text pixel maps: one character per pixel, '.' transparent, other
// characters looked up in a palette of 0x00BBGGRR colours. Plain C++ with no system headers, so
// that the build's icon maker reads the very maps the program draws from.
#pragma once

namespace art::maps {

struct Colour {
    char key;
    unsigned long bgr; // 0x00BBGGRR
};

// Black outline, yellow, white and grey.
inline constexpr Colour kPenColours[] = {{'K', 0x000000}, {'Y', 0x00FFFF}, {'W', 0xFFFFFF}, {'G', 0x808080}};
inline constexpr Colour kCursorColours[] = {{'K', 0x000000}, {'W', 0xFFFFFF}};

// The panel's picture (32 x 32): a marker pen lying across a yellow stripe.
inline constexpr const char* const kPanelPicture[] = {
    "................................", "................................",
    "................................", "..........................KKKK..",
    ".........................KKYYKK.", "KKKKKKKKKKKKKKKKKKKKKKKKKKYYYYKK",
    "YYYYYYYYYYYYYYYYYYYYYYYKKYYYYYKY", "YYYYYYYYYYYYYYYYYYYYYYKKYYYYYKKY",
    "YYYYYYYYYYYYYYYYYYYYYKKKYYYYKKYY", "YYYYYYYYYYYYYYYYYYYYKKKKKYYKKYYY",
    "YYYYYYYYYYYYYYYYYYYKKGGKKKKKYYYY", "YYYYYYYYYYYYYYYYYYKKGGWWKKKYYYYY",
    "YYYYYYYYYYYYYYYYYKKGGWWWKKYYYYYY", "KKKKKKKKKKKKKKKKKKGGWWWKKKKKKKKK",
    "...............KKGGWWWKK........", "..............KKGGWWWKK.........",
    ".............KKGGWWWKK..........", "............KKGGWWWKK...........",
    "...........KKGGWWWKK............", "..........KKGGWWWKK.............",
    ".........KKGGWWWKK..............", "........KKGGWWWKK...............",
    ".......KKGGWWWKK................", "......KKGGWWWKK.................",
    ".....KKGGWWWKK..................", "....KKGGWWWKK...................",
    "...KKGGWWWKK....................", "..KKGGWWWKK.....................",
    "..KGGWWWKK......................", "..KGWWWKK.......................",
    "..KKWWKK........................", "...KKKK.........................",
};

// The window icon (16 x 16), the same pen smaller.
inline constexpr const char* const kWindowIcon[] = {
    "................", "............KKKK", "KKKKKKKKKKKKKYYK", "YYYYYYYYYYKKYYYK",
    "YYYYYYYYYKKKYYKK", "YYYYYYYYKKGWKKKY", "YYYYYYYKKGWWKKYY", "KKKKKKKKGWWKKKKK",
    ".....KKGWWKK....", "....KKGWWKK.....", "...KKGWWKK......", "..KKGWWKK.......",
    ".KKGWWKK........", "KKGWWKK.........", "KGWWKK..........", "KWWKK...........",
};

// A vertical double-headed arrow (32 x 32): the handle strip changes the height.
inline constexpr const char* const kHeightCursor[] = {
    "................................", "................................",
    "................................", "..............WWW...............",
    ".............WWKWW..............", "............WWKKKWW.............",
    "...........WWKKKKKWW............", "..........WWKKKKKKKWW...........",
    "..........WKKKKKKKKKW...........", "..........WWWWWKWWWWW...........",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..........WWWWWKWWWWW...........",
    "..........WKKKKKKKKKW...........", "..........WWKKKKKKKWW...........",
    "...........WWKKKKKWW............", "............WWKKKWW.............",
    ".............WWKWW..............", "..............WWW...............",
    "................................", "................................",
    "................................", "................................",
};

// A vertical double-headed arrow crossed by a bar (32 x 32): the grip moves the marker.
inline constexpr const char* const kGripCursor[] = {
    "................................", "................................",
    "................................", "..............WWW...............",
    ".............WWKWW..............", "............WWKKKWW.............",
    "...........WWKKKKKWW............", "..........WWKKKKKKKWW...........",
    "..........WKKKKKKKKKW...........", "..........WWWWWKWWWWW...........",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", ".......WWWWWWWWKWWWWWWWW........",
    ".......WKKKKKKKKKKKKKKKW........", ".......WKKKKKKKKKKKKKKKW........",
    ".......WKKKKKKKKKKKKKKKW........", ".......WWWWWWWWKWWWWWWWW........",
    "..............WKW...............", "..............WKW...............",
    "..............WKW...............", "..........WWWWWKWWWWW...........",
    "..........WKKKKKKKKKW...........", "..........WWKKKKKKKWW...........",
    "...........WWKKKKKWW............", "............WWKKKWW.............",
    ".............WWKWW..............", "..............WWW...............",
    "................................", "................................",
    "................................", "................................",
};

} // namespace art::maps
