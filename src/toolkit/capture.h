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

// What the system says of itself, and the one choice of the user's that bears on it: the inputs
// of the choices below.
struct SystemReport {
    bool compositionOn = false;       // DwmIsCompositionEnabled
    bool affinityCallPresent = false; // user32 has SetWindowDisplayAffinity
    DWORD build = 0;                  // the real build number (RtlGetVersion)
    bool remoteSession = false;       // GetSystemMetrics(SM_REMOTESESSION)
    bool underWine = false;           // ntdll has wine_get_version
    bool shownInShares = false;       // the user wants markers in screen shares and recordings
};

// The first build with WDA_EXCLUDEFROMCAPTURE: Windows 10 version 2004.
constexpr DWORD kFirstBuildExcludingFromCapture = 19041;

CaptureMode ChooseCaptureMode(const SystemReport& report);
// The system's report, asked once; every call that only Windows answers is loaded by name.
SystemReport ReportSystem();

// Whether markers show in screen shares, recordings and remote-control viewers (they then take
// their pictures as outlines). Takes effect at the next question of the capture mode.
void SetShownInShares(bool shown);
bool ShownInShares();

// Whether a copy of the screen waits for the compositor first: where there is one, a copy taken
// right after a window moved or changed can still hold the last composed frame.
bool WaitsForCompositor(CaptureMode mode);

// Whether windows that protect their content from copies (display affinity) can lie beneath:
// only a compositor honours the affinity, so without one every copy shows them as they are.
bool ProtectedWindowsMatter(CaptureMode mode);
// Whether another program's window keeps its content out of screen copies (it shows black there,
// or not at all); false where the system cannot say.
bool ProtectsItsContent(HWND hwnd);

// The mode this run uses: chosen at the first call, lowered for good once the system refuses to
// leave a window out of copies (some remote sessions do).
CaptureMode CurrentCaptureMode();
// Leaves `hwnd` out of screen copies where the mode says so; false (and the mode lowered) when
// the system refuses.
bool ExcludeFromCapture(HWND hwnd);
// Puts a window left out of copies back into them.
void IncludeInCapture(HWND hwnd);
// Leaves a window of the program out of copies, or puts it back, as the current mode says;
// true where it is left out.
bool FollowCaptureMode(HWND hwnd);
// The desktop's composition changed (WM_DWMCOMPOSITIONCHANGED: on Windows 7, Aero switched on
// or off, a basic or high-contrast theme chosen): the mode is chosen again at the next question.
void ForgetCaptureMode();
// Whether the system refused to leave a window out of copies since the last question, so that
// the mode was lowered to the outline: the windows left out earlier must follow it too.
bool TakeCaptureModeLowered();
// Asks the system to tell `hwnd` (WM_WTSSESSION_CHANGE) when the session is connected to another
// screen, as when a remote session takes it over or hands it back; `on` false stops that.
void HearSessionChanges(HWND hwnd, bool on);
constexpr UINT kWmSessionChange = 0x02B1; // WM_WTSSESSION_CHANGE
// What a session change (its WTS_* event) means for the markers' pictures.
enum class SessionEffect {
    None,          // a logon, a logoff: nothing for the pictures
    ChooseCapture, // the session was connected to another screen, or taken over: the path may change
    Locked,        // the lock screen: no copy shows the desktop, and none is taken
    Unlocked,      // back: every marker takes a new picture
};
SessionEffect EffectOfSessionChange(WPARAM event);
// Whether the session is locked now (as the last session change said).
bool SessionLocked();
void SetSessionLocked(bool locked);

// Returns once the compositor has shown what was drawn so far (DwmFlush), where the mode waits for
// it; at once otherwise.
void WaitForCompositor();

// The frame of a top-level window as the user sees it: without the invisible resize borders the
// compositor adds around it, where it reports them; otherwise the window rectangle.
RECT VisibleFrame(HWND hwnd);
// A window the compositor keeps hidden though it has WS_VISIBLE (on another virtual desktop, a
// suspended app). Never true without a compositor.
bool IsCloaked(HWND hwnd);

} // namespace tk
