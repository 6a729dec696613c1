// Screen measures in twips (1/1440 inch) and the conversions the forms use.
#pragma once
#include <windows.h>

namespace tk {

// Nearest whole number, halves to even (the rounding of every twip value).
int CInt(double v);

// Twips in one screen pixel, horizontally and vertically (15 at 96 dpi, 10 at 144 dpi).
float Tx();
float Ty();
int Dpi();

// The whole primary screen, in twips.
double ScreenWidth();
double ScreenHeight();

// Twips to the nearest pixel, and pixels to twips.
int PixelsX(double twips);
int PixelsY(double twips);
inline double TwipsX(int px) {
    return px * static_cast<double>(Tx());
}
inline double TwipsY(int px) {
    return px * static_cast<double>(Ty());
}

} // namespace tk
