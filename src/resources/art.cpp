// The program's pictures, kept as text pixel maps (see toolkit/pixmap.h).
#include "resources/art.h"

namespace art {

namespace {

// Black outline, yellow, white and grey: a marker pen lying across a yellow stripe.
constexpr tk::PaletteEntry kPenColours[] = {
    {'K', RGB(0, 0, 0)}, {'Y', RGB(255, 255, 0)}, {'W', RGB(255, 255, 255)}, {'G', RGB(128, 128, 128)}};
constexpr tk::PaletteEntry kCursorColours[] = {{'K', RGB(0, 0, 0)}, {'W', RGB(255, 255, 255)}};

const char* const kPanelPicture[] = {
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

const char* const kWindowIcon[] = {
    "................", "............KKKK", "KKKKKKKKKKKKKYYK", "YYYYYYYYYYKKYYYK",
    "YYYYYYYYYKKKYYKK", "YYYYYYYYKKGWKKKY", "YYYYYYYKKGWWKKYY", "KKKKKKKKGWWKKKKK",
    ".....KKGWWKK....", "....KKGWWKK.....", "...KKGWWKK......", "..KKGWWKK.......",
    ".KKGWWKK........", "KKGWWKK.........", "KGWWKK..........", "KWWKK...........",
};

// A vertical double-headed arrow: the handle strip changes the height.
const char* const kHeightCursor[] = {
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

// A vertical double-headed arrow crossed by a bar: the grip moves the marker.
const char* const kGripCursor[] = {
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

} // namespace

const tk::Pixmap PanelPicture{32, 32, kPanelPicture, kPenColours, 4};
const tk::Pixmap WindowIcon{16, 16, kWindowIcon, kPenColours, 4};
const tk::Pixmap HeightCursor{32, 32, kHeightCursor, kCursorColours, 2};
const tk::Pixmap GripCursor{32, 32, kGripCursor, kCursorColours, 2};

} // namespace art
