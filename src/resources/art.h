// The program's pictures: the panel picture, the window icon and the two cursors
// (32 x 32, hot spot at (15, 15)).
#pragma once
#include "toolkit/pixmap.h"

namespace art {

constexpr int kCursorHotSpot = 15;

extern const tk::Pixmap PanelPicture;
extern const tk::Pixmap WindowIcon;
extern const tk::Pixmap HeightCursor;
extern const tk::Pixmap GripCursor;

} // namespace art
