#include "startup/basTolvin.h"
#include "toolkit/screen.h"

#include "panel/frmControl.h"
#include "toolkit/capture.h"
#include "toolkit/handles.h"
#include "toolkit/units.h"

#include <algorithm>
#include <optional>
#include <cstdint>
#include <vector>
#include <cwctype>

bool opt_top = false;
bool opt_btn = false;

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Whether the command line starts with `name` (compared without regard to case) followed by its
// end or a blank.
bool StartsWithName(const std::wstring& commandLine, const std::wstring& name) {
    if (name.empty() || commandLine.size() < name.size() ||
        (commandLine.size() > name.size() && !IsBlank(commandLine[name.size()]))) {
        return false;
    }
    return CompareStringOrdinal(commandLine.c_str(), static_cast<int>(name.size()), name.c_str(),
                                static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}
} // namespace

std::wstring ArgumentText(const std::wstring& commandLine, const std::wstring& programPath) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        // An unquoted program path may hold spaces (C:\Program Files\...): where the line starts
        // with the program's own path, with or without its ".exe", that whole path is the name.
        std::wstring stem = programPath;
        if (stem.size() > 4 &&
            CompareStringOrdinal(stem.c_str() + stem.size() - 4, 4, L".exe", 4, TRUE) == CSTR_EQUAL) {
            stem.resize(stem.size() - 4);
        }
        if (StartsWithName(commandLine, programPath)) {
            i = programPath.size();
        } else if (StartsWithName(commandLine, stem)) {
            i = stem.size();
        } else {
            while (i < commandLine.size() && !IsBlank(commandLine[i])) {
                ++i;
            }
        }
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) {
        ++i;
    }
    return commandLine.substr(i);
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool HasOptionLetter(const std::wstring& text, wchar_t letter) {
    // Plain letters in either case; what a full-width letter means is left open, and
    // it is not taken as an option.
    const wchar_t pair[] = {static_cast<wchar_t>(std::towupper(letter)),
                            static_cast<wchar_t>(std::towlower(letter)), L'\0'};
    return text.find_first_of(pair) != std::wstring::npos;
}

void Main(const std::wstring& arguments) {
    opt_top = HasOptionLetter(arguments, L'T');
    opt_btn = HasOptionLetter(arguments, L'B');
    frmControl::Instance()->InitMarker();
}

bool IsLayeredAvailable() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

int GetFullScreenHeight() {
    const int32_t a = GetSystemMetrics(SM_CYFULLSCREEN);
    const int32_t b = GetSystemMetrics(SM_CYSIZE);
    return tk::CInt(static_cast<double>(a + b) * tk::Ty());
}

void SetTopMost(tk::Form& form, bool flag) {
    HWND h = form.Hwnd();
    SetWindowPos(h, flag ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

namespace {

bool Overlaps(const RECT& r, HWND w) {
    RECT r2{}, out{};
    GetWindowRect(w, &r2);
    return IntersectRect(&out, &r, &r2) != 0;
}

// A visible window sharing pixels with r. Under Wine each question about another program's
// window is a round trip to the server, so the one that rules most windows out (the style
// bit) is asked first and the full visibility test, which also asks about the parents, last.
// A cloaked window (another virtual desktop, a suspended app) keeps WS_VISIBLE but shows nothing.
// The program's dim layer is no window above or below anything: it only darkens what is there.
bool VisibleOverlap(const RECT& r, HWND w) {
    return (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) && Overlaps(r, w) && IsWindowVisible(w) &&
           !tk::IsCloaked(w) && !tk::IsLookOnly(w);
}

} // namespace

ZOrder::ZOrder() {
    // One enumeration gives the same order as stepping with GetWindow, and far cheaper: under
    // Wine every GetWindow step is a round trip to the server. EnumDesktopWindows is one round
    // trip; Wine's EnumWindows costs ten times as much. Wine lists the message-only windows
    // after the top-level ones; they are never visible, so no answer changes.
    z_.reserve(512);
    EnumDesktopWindows(
        nullptr,
        [](HWND h, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&z_));
}

int ZOrder::CountAbove(HWND hwnd) const {
    RECT r{};
    GetWindowRect(hwnd, &r);
    int16_t n = 0;
    const auto self = std::find(z_.begin(), z_.end(), hwnd);
    if (self == z_.end()) { // not a top-level window: step through its siblings
        for (HWND w = GetWindow(hwnd, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            n += VisibleOverlap(r, w) ? 1 : 0;
        }
        return n;
    }
    for (auto w = z_.begin(); w != self; ++w) {
        n += VisibleOverlap(r, *w) ? 1 : 0;
    }
    return n;
}

HWND ZOrder::OverlapBelow(HWND hwnd) const {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const auto self = std::find(z_.begin(), z_.end(), hwnd);
    if (self == z_.end()) {
        for (HWND w = GetWindow(hwnd, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (VisibleOverlap(r, w)) {
                return w;
            }
        }
        return hwnd;
    }
    for (auto w = self + 1; w != z_.end(); ++w) {
        if (VisibleOverlap(r, *w)) {
            return *w;
        }
    }
    return hwnd;
}

std::vector<HWND> ZOrder::OverlapsBelow(HWND hwnd) const {
    std::vector<HWND> below;
    RECT r{};
    GetWindowRect(hwnd, &r);
    const auto self = std::find(z_.begin(), z_.end(), hwnd);
    for (auto w = self == z_.end() ? z_.end() : self + 1; w != z_.end(); ++w) {
        if (VisibleOverlap(r, *w)) {
            below.push_back(*w);
        }
    }
    return below;
}

namespace {
std::optional<ZOrder> g_sharedZOrder;
}

const ZOrder& ZOrder::Shared() {
    if (!g_sharedZOrder) {
        g_sharedZOrder.emplace();
    }
    return *g_sharedZOrder;
}

void ZOrder::ForgetShared() {
    g_sharedZOrder.reset();
}

int CountWindowsAbove(HWND hwnd) {
    return ZOrder().CountAbove(hwnd);
}
HWND FindOverlapBelow(HWND hwnd) {
    return ZOrder().OverlapBelow(hwnd);
}

HWND TopWindowFromPoint(int x, int y) {
    HWND w = WindowFromPoint(POINT{x, y});
    // Up through child windows only: GetParent of an owned top-level window (a dialog, a tool
    // palette) is its owner, and the marker would take the owner's width.
    return w ? GetAncestor(w, GA_ROOT) : nullptr;
}

HRGN MakeFrameRegion(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    tk::Region outer(CreateRectRgn(0, 0, w, h));
    tk::Region inner(CreateRectRgn(1, 1, w - 1, h - 1));
    CombineRgn(outer.get(), outer.get(), inner.get(), RGN_XOR);
    HRGN frame = outer.get();
    if (!SetWindowRgn(hwnd, frame, TRUE)) {
        return nullptr; // the region was not taken: `outer` frees it
    }
    outer.release(); // the window owns it now
    return frame;
}

int WheelNotches::Add(int delta) {
    if (delta == 0) {
        pending_ = 0;
        return 1; // a zero delta counts as a turn away from the user
    }
    if (delta <= -WHEEL_DELTA || delta >= WHEEL_DELTA) {
        pending_ = 0;
        return delta < 0 ? -1 : 1; // one or more whole notches: one step
    }
    // A touchpad or a smooth wheel sends parts of a notch: add them up, per direction.
    if ((pending_ < 0) != (delta < 0)) {
        pending_ = 0;
    }
    pending_ += delta;
    if (pending_ <= -WHEEL_DELTA || pending_ >= WHEEL_DELTA) {
        const int step = pending_ < 0 ? -1 : 1;
        pending_ -= step * WHEEL_DELTA;
        return step;
    }
    return 0;
}

LRESULT CALLBACK WheelWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static WheelNotches notches;
    // A notch that arrives while the marker moves (its refresh delivers pending messages) turns
    // the spinner again, and the panel adds its step to those still to make: none is lost.
    if (msg == WM_MOUSEWHEEL) {
        // The delta sits in the high word: negative when turned towards the user.
        const int step = notches.Add(GET_WHEEL_DELTA_WPARAM(wParam));
        if (step < 0) {
            frmControl::Instance()->WheelPlus();
        } else if (step > 0) {
            frmControl::Instance()->WheelMinus();
        }
    }
    auto prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return CallWindowProcW(prev, hwnd, msg, wParam, lParam);
}

void InstallWheelHook(HWND panel) {
    const LONG_PTR old = SetWindowLongPtrW(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WheelWndProc));
    SetWindowLongPtrW(panel, GWLP_USERDATA, old);
}

void RemoveWheelHook(HWND panel) {
    const LONG_PTR prev = GetWindowLongPtrW(panel, GWLP_USERDATA);
    // A hook that never got installed leaves nothing to put back.
    if (prev) {
        SetWindowLongPtrW(panel, GWLP_WNDPROC, prev);
    }
}
