// The program's pictures, made from the text pixel maps of art_maps.h.
#include "resources/art.h"

#include "resources/art_maps.h"

namespace art {

namespace {

constexpr tk::PaletteEntry Entry(const maps::Colour& c) {
    return {c.key, static_cast<COLORREF>(c.bgr)};
}

constexpr tk::PaletteEntry kPenColours[] = {Entry(maps::kPenColours[0]), Entry(maps::kPenColours[1]),
                                            Entry(maps::kPenColours[2]), Entry(maps::kPenColours[3])};
constexpr tk::PaletteEntry kCursorColours[] = {Entry(maps::kCursorColours[0]),
                                               Entry(maps::kCursorColours[1])};

} // namespace

const tk::Pixmap PanelPicture{32, 32, maps::kPanelPicture, kPenColours, 4};
const tk::Pixmap WindowIcon{16, 16, maps::kWindowIcon, kPenColours, 4};
const tk::Pixmap HeightCursor{32, 32, maps::kHeightCursor, kCursorColours, 2};
const tk::Pixmap GripCursor{32, 32, maps::kGripCursor, kCursorColours, 2};

} // namespace art
