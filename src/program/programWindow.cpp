#include "program/programWindow.h"

#include "panel/frmControl.h"
#include "program/commands.h"
#include "program/tick.h"
#include "toolkit/capture.h"
#include "toolkit/pointerWatch.h"

ProgramWindow::WindowDesign ProgramWindow::Design() const {
    return {L"TolvinProgram", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 0, 0};
}

void ProgramWindow::Form_Load() {
    monitors_ = tk::Monitors();
    // Coalescable where the system offers it: it may fold this wake-up with others'.
    tk::SetCoalescedTimer(HwndIfLoaded(), kTickTimer, tick::kIntervalMs, tick::kToleranceMs);
    tk::HearSessionChanges(HwndIfLoaded(), true); // a remote session needs markers in its copies
    keys_.Take(HwndIfLoaded(), [](keys::Key key) {
        switch (key) {
        case keys::kLineDown:
            commands::Run(commands::Command::LineDown);
            break;
        case keys::kLineUp:
            commands::Run(commands::Command::LineUp);
            break;
        case keys::kHideShow:
            commands::Run(commands::Command::HideShow);
            break;
        case keys::kFollow:
            commands::Run(commands::Command::FollowPointer);
            break;
        }
    });
}

void ProgramWindow::Form_Unload() {
    tk::HearSessionChanges(HwndIfLoaded(), false);
    keys_.GiveBack(); // the last marker has closed: the keys are the system's again
}

void ProgramWindow::OnTimer(UINT_PTR id) {
    // Not every system says when a monitor goes or comes (Wine sends no WM_DISPLAYCHANGE): the
    // list of monitors is compared every other tick as well (once a second, with no wake-up of
    // its own).
    if (id == kTickTimer && (layoutTicks_ = (layoutTicks_ + 1) % 2) == 0 &&
        !tk::SameLayout(monitors_, tk::Monitors())) {
        MonitorsChanged();
    }
    if (id == kTickTimer) {
        tk::LookAtPointer(); // a following band also goes where a program put the pointer
    }
    if (id == kTickTimer || id == kTickAgainTimer) {
        EnableTimer(kTickAgainTimer, tick::kRetryMs, !frmControl::Instance()->TickMarkers());
    }
}

void ProgramWindow::SessionChanged(WPARAM event) {
    switch (tk::EffectOfSessionChange(event)) {
    case tk::SessionEffect::ChooseCapture: // a remote session took the screen over or gave it back
        tk::ForgetCaptureMode();
        frmControl::Instance()->CaptureModeChanged();
        break;
    case tk::SessionEffect::Locked: // the lock screen (or UAC's secure desktop) shows: no copies
        tk::SetSessionLocked(true);
        break;
    case tk::SessionEffect::Unlocked:
        tk::SetSessionLocked(false);
        frmControl::Instance()->CaptureModeChanged(); // the same path, new pictures
        break;
    case tk::SessionEffect::None:
        break;
    }
}

void ProgramWindow::MonitorsChanged() {
    monitors_ = tk::Monitors();
    frmControl::Instance()->KeepEverythingOnScreen();
}

bool ProgramWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == tk::kWmSessionChange) {
        SessionChanged(wParam);
        return false;
    }
    switch (msg) {
    case WM_HOTKEY:
        keys_.Pressed(static_cast<int>(wParam));
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE; // nothing to save: the session may end
        return true;
    case WM_ENDSESSION:
        if (wParam) {
            commands::Run(commands::Command::CloseAll); // the session ends: close everything, end now
        }
        result = 0;
        return true;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        frmControl::Instance()->ApplyContrast();
        break;
    case WM_DISPLAYCHANGE:
        MonitorsChanged();
        break;
    case WM_DWMCOMPOSITIONCHANGED: // the capture path chosen at start-up may be wrong now
        tk::ForgetCaptureMode();
        frmControl::Instance()->CaptureModeChanged();
        break;
    default:
        break;
    }
    return false;
}
