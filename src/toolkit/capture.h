// How a marker copies what lies behind it, on the desktop the program runs on.
//
// Without a compositor (Windows 7 basic, Wine), the windows beneath a marker repaint the area it
// uncovers when it shrinks to its outline, and a screen copy taken then shows them. Under the
// desktop window manager (every Windows 8 and later desktop) they do not repaint: their content
// is kept by the compositor, and a copy taken right after the shape change may still hold the
// last composed frame, the marker's own tint included. Windows 10 version 2004 and later can
// leave a window out of screen copies altogether, so the marker need not change its shape.
#pragma once
#include <windows.h>

namespace tk {

enum class CaptureMode {
    Outline,                // shrink to the outline, let the windows beneath repaint, copy
    OutlineAfterCompositor, // the same, waiting for the compositor to show the outline first
    Excluded,               // the marker is left out of screen copies: copy in place
};

// What the system says of itself; the only input of the choice.
struct SystemReport {
    bool compositionOn = false;       // DwmIsCompositionEnabled
    bool affinityCallPresent = false; // user32 has SetWindowDisplayAffinity
    DWORD build = 0;                  // the real build number (RtlGetVersion)
};

// The first build with WDA_EXCLUDEFROMCAPTURE: Windows 10 version 2004.
constexpr DWORD kFirstBuildExcludingFromCapture = 19041;

CaptureMode ChooseCaptureMode(const SystemReport& report);
// The system's report, asked once; every call that only Windows answers is loaded by name.
SystemReport ReportSystem();

// The mode this run uses: chosen at the first call, lowered for good once the system refuses to
// leave a window out of copies (some remote sessions do).
CaptureMode CurrentCaptureMode();
// Leaves `hwnd` out of screen copies where the mode says so; false (and the mode lowered) when
// the system refuses.
bool ExcludeFromCapture(HWND hwnd);
// Puts a window left out of copies back into them.
void IncludeInCapture(HWND hwnd);
// The desktop's composition changed (WM_DWMCOMPOSITIONCHANGED: on Windows 7, Aero switched on
// or off, a basic or high-contrast theme chosen): the mode is chosen again at the next question.
void ForgetCaptureMode();
// Returns once the compositor has shown what was drawn so far (DwmFlush); at once without one.
void WaitForCompositor();

// The frame of a top-level window as the user sees it: without the invisible resize borders the
// compositor adds around it, where it reports them; otherwise the window rectangle.
RECT VisibleFrame(HWND hwnd);
// A window the compositor keeps hidden though it has WS_VISIBLE (on another virtual desktop, a
// suspended app). Never true without a compositor.
bool IsCloaked(HWND hwnd);

} // namespace tk
