// Start-up, the two command-line flags, the window-system services the forms share,
// and the mouse-wheel hook of the control panel.
#pragma once
#include "toolkit/form.h"

#include <windows.h>

#include <string>
#include <vector>

// Start-up options: T keeps new markers in front, B keeps their grip shown.
extern bool opt_top;
extern bool opt_btn;

// The argument text of a command line: everything after the program's own name. An unquoted
// name ends at the first blank, unless the line starts with `programPath` (this program's path,
// which may hold spaces).
std::wstring ArgumentText(const std::wstring& commandLine, const std::wstring& programPath = {});
// The full path of this program's file.
std::wstring ProgramPath();
// True when `text` holds `letter` anywhere, compared without regard to case.
bool HasOptionLetter(const std::wstring& text, wchar_t letter);

// Reads the flags from the argument text, creates the control panel and marker 1.
void Main(const std::wstring& arguments);

bool IsLayeredAvailable();
// Usable screen height (about the top of the taskbar), in twips.
int GetFullScreenHeight();
void SetTopMost(tk::Form& form, bool flag);
int CountWindowsAbove(HWND hwnd);
HWND FindOverlapBelow(HWND hwnd);

// The top-level z-order as it stands when made; both questions above, answered from it.
// Valid until a message is handled: one tick asks both from one list when nothing ran between.
class ZOrder {
public:
    ZOrder();
    // The list taken for the program tick under way, taken now if there is none; forgotten at each
    // program tick and whenever a refresh runs (what a marker sees changes then).
    static const ZOrder& Shared();
    static void ForgetShared();
    int CountAbove(HWND hwnd) const;
    HWND OverlapBelow(HWND hwnd) const;
    // Every visible window below `hwnd` that overlaps it, nearest first.
    std::vector<HWND> OverlapsBelow(HWND hwnd) const;

private:
    std::vector<HWND> z_;
};
HWND TopWindowFromPoint(int x, int y);
// Leaves only the window's outer one-pixel ring; the window owns the region.
HRGN MakeFrameRegion(HWND hwnd);

// Turns wheel deltas into marker steps: a message of one or more whole notches is one step;
// parts of a notch (touchpads, smooth wheels) are added up per direction, one step per notch.
class WheelNotches {
public:
    // -1: a step towards the user (down), 1: away (up), 0: no step yet.
    int Add(int delta);

private:
    int pending_ = 0;
};

// The wheel hook: installed over the panel window's procedure, the previous one kept
// in the window's user-data slot.
LRESULT CALLBACK WheelWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void InstallWheelHook(HWND panel);
void RemoveWheelHook(HWND panel);
