#include "toolkit/capture.h"

#include "toolkit/syscall.h"

namespace tk {

namespace {

// Declared here rather than taken from dwmapi.h: the calls are loaded by name, so that the
// program starts where dwmapi.dll or a function is missing (Wine, older Windows).
constexpr DWORD kDwmwaExtendedFrameBounds = 9; // DWMWA_EXTENDED_FRAME_BOUNDS
constexpr DWORD kDwmwaCloaked = 14;            // DWMWA_CLOAKED
constexpr DWORD kWdaExcludeFromCapture = 0x11; // WDA_EXCLUDEFROMCAPTURE

using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using FlushFn = HRESULT(WINAPI*)();
using GetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
using SetAffinityFn = BOOL(WINAPI*)(HWND, DWORD);
using GetAffinityFn = BOOL(WINAPI*)(HWND, DWORD*);
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

struct Dwm {
    IsCompositionEnabledFn isCompositionEnabled = nullptr;
    FlushFn flush = nullptr;
    GetWindowAttributeFn getWindowAttribute = nullptr;
};

const Dwm& DwmCalls() {
    static const Dwm dwm = [] {
        Dwm d;
        d.isCompositionEnabled =
            LoadSystemCall<IsCompositionEnabledFn>(L"dwmapi.dll", "DwmIsCompositionEnabled");
        d.flush = LoadSystemCall<FlushFn>(L"dwmapi.dll", "DwmFlush");
        d.getWindowAttribute = LoadSystemCall<GetWindowAttributeFn>(L"dwmapi.dll", "DwmGetWindowAttribute");
        return d;
    }();
    return dwm;
}

SetAffinityFn AffinityCall() {
    static const SetAffinityFn call =
        LoadSystemCall<SetAffinityFn>(L"user32.dll", "SetWindowDisplayAffinity");
    return call;
}

GetAffinityFn AffinityQuery() {
    static const GetAffinityFn call =
        LoadSystemCall<GetAffinityFn>(L"user32.dll", "GetWindowDisplayAffinity");
    return call;
}

bool CompositionOn() {
    BOOL on = FALSE;
    const auto& dwm = DwmCalls();
    return dwm.isCompositionEnabled && SUCCEEDED(dwm.isCompositionEnabled(&on)) && on;
}

CaptureMode g_mode;
bool g_chosen = false;
bool g_shownInShares = false;
bool g_lowered = false;
bool g_locked = false;

} // namespace

CaptureMode ChooseCaptureMode(const SystemReport& report) {
    // No compositor: the windows beneath repaint what the outline uncovers, and the copy shows it.
    if (!report.compositionOn) {
        return CaptureMode::Outline;
    }
    // A window left out of copies is left out of every copy: the viewer of a remote session or of
    // a shared screen would see no marker. There, and where the user asks to be seen, markers take
    // their pictures as outlines, as before Windows 10 2004.
    if (report.remoteSession || report.shownInShares) {
        return CaptureMode::OutlineAfterCompositor;
    }
    // SetWindowDisplayAffinity exists from Windows 7, but WDA_EXCLUDEFROMCAPTURE only from build
    // 19041. Before that the call does not refuse the value: it succeeds and treats it as
    // WDA_MONITOR, which shows the window black in every copy, the marker's own included. So the
    // build decides, not the call's answer.
    if (report.affinityCallPresent && report.build >= kFirstBuildExcludingFromCapture) {
        return CaptureMode::Excluded;
    }
    return CaptureMode::OutlineAfterCompositor;
}

SystemReport ReportSystem() {
    SystemReport r;
    r.compositionOn = CompositionOn();
    r.affinityCallPresent = AffinityCall() != nullptr;
    r.remoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
    r.underWine = LoadSystemCall<FARPROC>(L"ntdll.dll", "wine_get_version") != nullptr;
    r.shownInShares = g_shownInShares;
    // GetVersionEx answers with the version the manifest declares support for, not the real
    // build; RtlGetVersion always tells the truth.
    if (auto rtlGetVersion = LoadSystemCall<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion")) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion(&info) == 0) {
            r.build = info.dwBuildNumber;
        }
    }
    return r;
}

CaptureMode CurrentCaptureMode() {
    if (!g_chosen) {
        g_mode = ChooseCaptureMode(ReportSystem());
        g_chosen = true;
    }
    return g_mode;
}

bool ExcludeFromCapture(HWND hwnd) {
    if (CurrentCaptureMode() != CaptureMode::Excluded) {
        return false;
    }
    const SetAffinityFn setAffinity = AffinityCall();
    if (setAffinity && setAffinity(hwnd, kWdaExcludeFromCapture)) {
        return true;
    }
    // Refused (a remote session, a driver that cannot): the outline refresh is the way left, for
    // every window, those left out earlier too (the registry asks, and applies it to them).
    g_mode = CaptureMode::OutlineAfterCompositor;
    g_lowered = true;
    return false;
}

SessionEffect EffectOfSessionChange(WPARAM event) {
    switch (event) {
    case 0x1: // WTS_CONSOLE_CONNECT
    case 0x2: // WTS_CONSOLE_DISCONNECT
    case 0x3: // WTS_REMOTE_CONNECT
    case 0x4: // WTS_REMOTE_DISCONNECT
    case 0x9: // WTS_SESSION_REMOTE_CONTROL
        return SessionEffect::ChooseCapture;
    case 0x7: // WTS_SESSION_LOCK
        return SessionEffect::Locked;
    case 0x8: // WTS_SESSION_UNLOCK
        return SessionEffect::Unlocked;
    default:
        return SessionEffect::None;
    }
}

bool SessionLocked() {
    return g_locked;
}

void SetSessionLocked(bool locked) {
    g_locked = locked;
}

bool TakeCaptureModeLowered() {
    const bool lowered = g_lowered;
    g_lowered = false;
    return lowered;
}

void SetShownInShares(bool shown) {
    g_shownInShares = shown;
    ForgetCaptureMode();
}

bool ShownInShares() {
    return g_shownInShares;
}

bool WaitsForCompositor(CaptureMode mode) {
    return mode != CaptureMode::Outline;
}

bool ProtectedWindowsMatter(CaptureMode mode) {
    return mode != CaptureMode::Outline;
}

bool ProtectsItsContent(HWND hwnd) {
    // GetWindowDisplayAffinity answers for any process's window (Windows 7 and later):
    // WDA_MONITOR shows the window black in copies, WDA_EXCLUDEFROMCAPTURE leaves it out, so a
    // copy shows what lies behind it.
    DWORD affinity = 0;
    const GetAffinityFn query = AffinityQuery();
    return query && query(hwnd, &affinity) && affinity != 0;
}

bool FollowCaptureMode(HWND hwnd) {
    if (ExcludeFromCapture(hwnd)) {
        return true;
    }
    IncludeInCapture(hwnd);
    return false;
}

void IncludeInCapture(HWND hwnd) {
    if (const SetAffinityFn setAffinity = AffinityCall()) {
        setAffinity(hwnd, 0); // WDA_NONE
    }
}

void HearSessionChanges(HWND hwnd, bool on) {
    // wtsapi32 is not loaded by every system at start-up (nor present in every Wine prefix).
    using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
    using UnregisterFn = BOOL(WINAPI*)(HWND);
    if (on) {
        if (auto reg = LoadSystemCall<RegisterFn>(L"wtsapi32.dll", "WTSRegisterSessionNotification")) {
            reg(hwnd, 0); // NOTIFY_FOR_THIS_SESSION
        }
    } else if (auto unreg =
                   LoadSystemCall<UnregisterFn>(L"wtsapi32.dll", "WTSUnRegisterSessionNotification")) {
        unreg(hwnd);
    }
}

void ForgetCaptureMode() {
    g_chosen = false;
}

void WaitForCompositor() {
    // DwmFlush returns after the next frame the compositor presents, which is the first to show
    // the outline, or the windows beneath as they are after a move, a release or a change of the
    // dim layer's hole; without composition it returns at once (and Wine implements it that way).
    if (WaitsForCompositor(CurrentCaptureMode())) {
        if (auto flush = DwmCalls().flush) {
            flush();
        }
    }
}

RECT VisibleFrame(HWND hwnd) {
    RECT r{};
    const auto get = DwmCalls().getWindowAttribute;
    if (get && SUCCEEDED(get(hwnd, kDwmwaExtendedFrameBounds, &r, sizeof r)) && r.right > r.left) {
        return r;
    }
    r = RECT{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool IsCloaked(HWND hwnd) {
    DWORD cloaked = 0;
    const auto get = DwmCalls().getWindowAttribute;
    return get && SUCCEEDED(get(hwnd, kDwmwaCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

} // namespace tk
