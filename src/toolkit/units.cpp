#include "toolkit/units.h"

#include "toolkit/syscall.h"

#include <cmath>

namespace tk {

int CInt(double v) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<int>(std::nearbyint(v));
}

int Dpi() {
    static const int dpi = [] {
        // The primary monitor's scaling. A per-monitor aware program asks the monitor (Windows
        // 8.1 and later); the screen's device context answers with the scaling of the session's
        // start, which docking or a remote session may since have changed.
        using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
        const auto getDpiForMonitor = LoadSystemCall<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
        UINT x = 0, y = 0;
        const int mdtEffectiveDpi = 0;
        if (getDpiForMonitor &&
            SUCCEEDED(getDpiForMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                       mdtEffectiveDpi, &x, &y)) &&
            y > 0) {
            return static_cast<int>(y);
        }
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
