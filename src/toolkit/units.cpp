#include "toolkit/units.h"

#include <cmath>

namespace tk {

int CInt(double v) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<int>(std::nearbyint(v));
}

int Dpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int d = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return d > 0 ? d : 96;
    }();
    return dpi;
}

float Tx() {
    return 1440.0f / static_cast<float>(Dpi());
}
float Ty() {
    return 1440.0f / static_cast<float>(Dpi());
}

double ScreenWidth() {
    return TwipsX(GetSystemMetrics(SM_CXSCREEN));
}
double ScreenHeight() {
    return TwipsY(GetSystemMetrics(SM_CYSCREEN));
}

int PixelsX(double twips) {
    return CInt(twips / Tx());
}
int PixelsY(double twips) {
    return CInt(twips / Ty());
}

} // namespace tk
