// The program's own window for what belongs to the whole program rather than to one of its
// windows: the global keys, the monitors coming and going, the display and its composition
// changing, the system colours changing, the end of the session and the markers' one tick.
// Never shown.
//
// It is a hidden top-level window, not a message-only one: a message-only window "does not
// receive broadcast messages" (Microsoft's documentation of message-only windows), and
// WM_DISPLAYCHANGE, WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_DWMCOMPOSITIONCHANGED and the
// session's WM_QUERYENDSESSION and WM_ENDSESSION reach top-level windows only.
#pragma once
#include "panel/keys.h"
#include "toolkit/form.h"
#include "toolkit/screen.h"

#include <vector>

class ProgramWindow : public tk::Form {
public:
    // The global keys, held from the window's set-up until it is unloaded.
    const keys::GlobalKeys& Keys() const { return keys_; }
    // The program's one tick, which runs every marker's tick in turn twice a second.
    static constexpr UINT_PTR kTickTimer = 2;
    static constexpr UINT_PTR kTickAgainTimer = 3; // a tick that waited for a refresh

protected:
    WindowDesign Design() const override;
    void Form_Load() override;
    void Form_Unload() override;
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Markers and the panel left on no monitor come back onto the primary one.
    void MonitorsChanged();
    // A session change (WM_WTSSESSION_CHANGE): the capture path chosen again, or the lock screen.
    void SessionChanged(WPARAM event);

    int layoutTicks_ = 0;
    std::vector<tk::Monitor> monitors_;
    keys::GlobalKeys keys_;
};
