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

bool CompositionOn() {
    BOOL on = FALSE;
    const auto& dwm = DwmCalls();
    return dwm.isCompositionEnabled && SUCCEEDED(dwm.isCompositionEnabled(&on)) && on;
}

CaptureMode g_mode;
bool g_chosen = false;

} // namespace

CaptureMode ChooseCaptureMode(const SystemReport& report) {
    // No compositor: the windows beneath repaint what the outline uncovers, and the copy shows it.
    if (!report.compositionOn) {
        return CaptureMode::Outline;
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
    // Refused (a remote session, a driver that cannot): the outline refresh is the way left.
    g_mode = CaptureMode::OutlineAfterCompositor;
    return false;
}

void IncludeInCapture(HWND hwnd) {
    if (const SetAffinityFn setAffinity = AffinityCall()) {
        setAffinity(hwnd, 0); // WDA_NONE
    }
}

void ForgetCaptureMode() {
    g_chosen = false;
}

void WaitForCompositor() {
    // DwmFlush returns after the next frame the compositor presents, which is the first to show
    // the outline; without composition it returns at once (and Wine implements it that way).
    if (CurrentCaptureMode() == CaptureMode::OutlineAfterCompositor) {
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
