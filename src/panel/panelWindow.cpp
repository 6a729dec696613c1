// The control panel's window: picture, number label, spinner, wheel and dragging.
#include "dim/dimLayer.h"
#include "menu/frmMenu.h"
#include "panel/frmControl.h"
#include "program/commands.h"
#include "resources/art.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "toolkit/screen.h"
#include "toolkit/units.h"

#include <algorithm>

frmControl::WindowDesign frmControl::Design() const {
    // Never activated: a click or drag leaves the keyboard with the window the user types in.
    return {L"TolvinControl", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 1095, 540};
}

void frmControl::CreateElements() {
    const HWND me = HwndIfLoaded();
    // First in the tab order: the box that holds the keyboard focus, never seen.
    Text1.Create(me, 870, 90, 120, 315);
    L_no.Create(*this, me, 30, 225, 105, 255, 0x00FFFF00);
    ApplyContrast();
    L_no.SetBorder(true);
    L_no.SetAutoSize(true, 480 - 30); // room up to the scroll bar
    LOGFONTW lf{};
    lf.lfHeight = -tk::CInt(9.75 * tk::Dpi() / 72.0);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Times New Roman");
    numberFont_.reset(CreateFontIndirectW(&lf));
    L_no.SetFont(numberFont_.get());
    VScroll1.Create(me, 480, 0, 240, 480, -1, 1);
    VScroll1.Change = [this] { VScroll1_Change(); };
    const int side = tk::PixelsX(480);
    picture_.reset(tk::MakeMaskedBitmap(art::PanelPicture, kBackColor, side, side));
}

HICON frmControl::Icon() {
    if (!Hwnd()) {
        return nullptr;
    }
    if (!icon_) {
        icon_.reset(tk::MakeIcon(art::WindowIcon, false, 0, 0));
        SetIcon(icon_.get());
    }
    return icon_.get();
}

void frmControl::Form_Load() {
    Icon();
    VScroll1.Move(480, 0, 240, 480);
    PlaceBottomRight();
    // Colour-keyed before it is first shown, so that the key colour never shows.
    if (IsLayeredAvailable()) {
        const HWND me = HwndIfLoaded();
        SetWindowLongPtrW(me, GWL_EXSTYLE, GetWindowLongPtrW(me, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(me, kBackColor, 0, LWA_COLORKEY);
    }
    // Where it lies over a band, a copy must not take it into the band's picture.
    tk::FollowCaptureMode(HwndIfLoaded());
    SetTopMost(*this, true);
    tk::DoEvents();
    if (const HWND me = HwndIfLoaded()) {
        InstallWheelHook(me);
    }
    // What belongs to the whole program (the keys, monitors, the session) has a window of its own.
    program_ = std::make_shared<ProgramWindow>();
    program_->Hwnd();
    // The panel menu lists the keys; one that another program holds shows greyed.
    auto menu = frmMenu::Instance();
    menu->SetEnabled(frmMenu::mn_key_down, Keys().Held(keys::kLineDown));
    menu->SetEnabled(frmMenu::mn_key_up, Keys().Held(keys::kLineUp));
    menu->SetEnabled(frmMenu::mn_key_hide, Keys().Held(keys::kHideShow));
    menu->SetEnabled(frmMenu::mn_key_follow, Keys().Held(keys::kFollow));
}

const keys::GlobalKeys& frmControl::Keys() const {
    static const keys::GlobalKeys none;
    return program_ ? program_->Keys() : none;
}

HWND frmControl::ProgramHwnd() const {
    return program_ ? program_->HwndIfLoaded() : nullptr;
}

void frmControl::PlaceBottomRight() {
    const double width = VScroll1.Width() + 480;
    const double height = VScroll1.Height();
    // Bottom right, above the taskbar: within the primary monitor's work area, so that a taskbar
    // on the right, at the top or hidden leaves the panel in the corner it belongs in.
    const RECT r = tk::BottomRightWithin(tk::PrimaryMonitor().work, tk::PixelsX(width), tk::PixelsY(height));
    Move(tk::TwipsX(r.left), tk::TwipsY(r.top), width, height);
}

void frmControl::KeepEverythingOnScreen() {
    for (int n = 1; n <= mk_max; ++n) {
        // Refreshing pumps messages: hold the marker even if it is closed meanwhile.
        if (std::shared_ptr<markShape> shape = mk_table[n].shape) {
            shape->KeepOnScreen();
        }
    }
    if (HWND me = HwndIfLoaded(); me && !tk::OnSomeMonitor(tk::WindowRectOf(me))) {
        PlaceBottomRight();
    }
}

void frmControl::CaptureModeChanged() {
    if (const HWND me = HwndIfLoaded()) {
        tk::FollowCaptureMode(me);
    }
    for (int n = 1; n <= mk_max; ++n) {
        // Refreshing pumps messages: hold the marker even if it is closed meanwhile.
        if (std::shared_ptr<markShape> shape = mk_table[n].shape) {
            shape->CaptureModeChanged();
        }
    }
}

bool frmControl::TickMarkers() {
    if (ticking_) {
        return true; // a tick that fell due inside the last one's pumps: the next one comes soon
    }
    if (tk::SessionLocked()) {
        return true; // nothing shows of the desktop, and no copy would: the markers rest
    }
    std::vector<tick::MarkerState> states;
    for (int n = 1; n <= mk_max; ++n) {
        states.push_back(mk_table[n].shape ? mk_table[n].shape->TickState() : tick::MarkerState{});
    }
    const tick::Plan plan = tick::Choose(states);
    if (plan.again) {
        return false;
    }
    ticking_ = true;
    markShape::NewProgramTick();
    for (std::size_t i : plan.markers) {
        // A tick pumps messages: hold the marker even if it is closed meanwhile.
        if (std::shared_ptr<markShape> shape = mk_table[i + 1].shape) {
            shape->Timer1_Timer();
        }
    }
    ticking_ = false;
    return true;
}

void frmControl::CheckShowInShares() {
    tk::SetShownInShares(!tk::ShownInShares());
    frmMenu::Instance()->SetChecked(frmMenu::mn_show_in_shares, tk::ShownInShares());
    CaptureModeChanged();
}

void frmControl::Form_Unload() {
    dim::Clear();
    if (program_) {
        program_->Unload(); // the last marker has closed: the keys are the system's again
        program_.reset();
    }
    if (HWND me = HwndIfLoaded()) {
        RemoveWheelHook(me);
    }
}

void frmControl::OnDestroy() {
    picture_.reset();
    numberFont_.reset();
}

void frmControl::Paint(HDC dc, const RECT& area) {
    tk::Brush back(CreateSolidBrush(kBackColor));
    FillRect(dc, &area, back.get());
    if (picture_) {
        BITMAP bm{};
        GetObjectW(picture_.get(), sizeof bm, &bm);
        tk::MemoryDc mem(CreateCompatibleDC(dc));
        tk::Selected sel(mem.get(), picture_.get());
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0, SRCCOPY);
    }
}

bool frmControl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_CLOSE: // Alt+F4 or another program asking: as "close all markers"
        DelAllMarker();
        result = 0;
        return true;
    case kWmGetDpiScaledSize: { // about to meet a monitor of another scaling: the same size
        const RECT now = tk::WindowRectOf(HwndIfLoaded());
        auto* size = reinterpret_cast<SIZE*>(lParam);
        size->cx = now.right - now.left;
        size->cy = now.bottom - now.top;
        result = TRUE;
        return true;
    }
    case WM_DPICHANGED: {
        // The picture, the spinner and the font keep the sizes of the scaling the program started
        // with, like the markers: the panel keeps its size in pixels too and takes only the place
        // the system suggests. (Scaled alone, it would cut off its own spinner.)
        const RECT r =
            tk::KeepSizeAt(tk::WindowRectOf(HwndIfLoaded()), *reinterpret_cast<const RECT*>(lParam));
        SetWindowPos(HwndIfLoaded(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        result = 0;
        return true;
    }
    default:
        break;
    }
    if (drag_.OnMessage(HwndIfLoaded(), msg, lParam)) {
        result = 0;
        return true;
    }
    if (tk::IsMouseDown(msg)) {
        Form_MouseDown(tk::DecodeMouse(msg, wParam, lParam).button);
        result = 0;
        return true;
    }
    if (msg == WM_VSCROLL && reinterpret_cast<HWND>(lParam) == VScroll1.Hwnd()) {
        VScroll1.OnScroll(wParam);
        result = 0;
        return true;
    }
    return false;
}

void frmControl::Form_MouseDown(int Button) {
    const HWND me = HwndIfLoaded();
    if (Button == 2) {
        frmMenu::Instance()->PopupMenu(frmMenu::Instance()->sysmenu(), me, TPM_RIGHTBUTTON);
        return;
    }
    if (Button == 1) {
        drag_.Begin(me); // dragged by its picture, without taking the keyboard
    }
}

void frmControl::VScroll1_Change() {
    const int value = VScroll1.Value();
    if (value == 0) {
        return;
    }
    // Back to the middle before the step: a notch or click that arrives while the marker moves
    // then turns the spinner again instead of finding it already turned.
    VScroll1.SetValue(0);
    commands::Run(value > 0 ? commands::Command::StepDown : commands::Command::StepUp);
}

void frmControl::StepCurrentMarker(int n) {
    if (hidden_) {
        return; // nothing to move while everything is hidden
    }
    backlog_.Add(steps::Unit::Step, n);
    MoveCurrentMarker();
}

void frmControl::MoveCurrentMarkerLines(int n) {
    if (hidden_) {
        return;
    }
    backlog_.Add(steps::Unit::Line, n);
    MoveCurrentMarker();
}

void frmControl::MoveCurrentMarker() {
    if (stepping_) {
        return; // the move under way takes what was added when it is done
    }
    stepping_ = true;
    // Every step and line that arrived during a move is made after it, in order; those in one
    // direction together, in one go: one picture taken where they end.
    for (steps::Move move = backlog_.Take(); move.n != 0; move = backlog_.Take()) {
        // Moving pumps messages: hold the marker even if it is closed meanwhile.
        if (std::shared_ptr<markShape> shape = mk_table[mk_cur].shape) {
            if (move.unit == steps::Unit::Line) {
                shape->MoveLines(move.n);
            } else {
                shape->MoveMark(move.n);
            }
        }
    }
    stepping_ = false;
}

void frmControl::ToggleHidden() {
    hidden_ = !hidden_;
    for (int n = 1; n <= mk_max; ++n) {
        // Showing refreshes, which pumps messages: hold the marker even if it is closed meanwhile.
        if (std::shared_ptr<markShape> shape = mk_table[n].shape) {
            shape->SetHidden(hidden_);
        }
    }
    if (HWND me = HwndIfLoaded()) {
        ShowWindow(me, hidden_ ? SW_HIDE : SW_SHOWNA);
    }
}

void frmControl::WheelPlus() {
    VScroll1.SetValue(1);
}
void frmControl::WheelMinus() {
    VScroll1.SetValue(-1);
}

void frmControl::TakeFocus() {
    if (HWND me = HwndIfLoaded()) {
        SetFocus(me);
    }
}

void frmControl::ApplyContrast() {
    // In high contrast the cyan label would ignore the user's colours: system text on the
    // system window colour is what such a user can read.
    if (tk::HighContrastOn()) {
        L_no.SetBackColor(0x80000000 | COLOR_WINDOW);
    } else {
        L_no.SetBackColor(0x00FFFF00);
    }
    L_no.SetForeColor(0x80000000 | COLOR_WINDOWTEXT);
    L_no.Redraw();
}
