#include "marker/palette.h"

namespace palette {

namespace {
constexpr COLORREF kColours[8] = {
    RGB(255, 255, 0), RGB(255, 0, 0),   RGB(255, 0, 255), RGB(0, 0, 255),
    RGB(0, 255, 0),   RGB(0, 255, 255), RGB(0, 0, 0),     RGB(255, 255, 255),
};
} // namespace

int Size(int pen) {
    if (pen == kXorPen) {
        return 7;
    }
    if (pen == kMergePen) {
        return 6;
    }
    return 8;
}

COLORREF Colour(int index) {
    return kColours[index & 7];
}

COLORREF Fill(int pen, COLORREF colour) {
    return pen == kXorPen ? 0xFFFFFF - colour : colour;
}

} // namespace palette
