#include "marker/markShape.h"

#include "dim/dimLayer.h"
#include "marker/palette.h"
#include "menu/frmMenu.h"
#include "panel/frmControl.h"
#include "panel/keys.h"
#include "resources/art.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "toolkit/handles.h"
#include "toolkit/screen.h"
#include "toolkit/units.h"

#include <cstdint>

using tk::CInt;
using tk::Tx;
using tk::Ty;

bool PointerOutside(double x, double y, double left, double top, double width, double height) {
    return x < left || x > left + width || y < top || y > top + height;
}

namespace {
// A monitor's bounds in twips, the unit of the handlers.
struct Span {
    double left, top, width, bottom;
};
Span InTwips(const RECT& r) {
    return {tk::TwipsX(r.left), tk::TwipsY(r.top), tk::TwipsX(r.right - r.left), tk::TwipsY(r.bottom)};
}
Span InTwips(const tk::Monitor& m) {
    return InTwips(m.pixels);
}
} // namespace

std::shared_ptr<markShape> markShape::New() {
    return std::make_shared<markShape>();
}

markShape::WindowDesign markShape::Design() const {
    // Never activated: a click or drag leaves the keyboard with the window the user types in.
    return {L"TolvinMarker", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 8310, 1245};
}

void markShape::CreateElements() {
    heightCursor_.reset(tk::MakeIcon(art::HeightCursor, true, art::kCursorHotSpot, art::kCursorHotSpot));
    gripCursor_.reset(tk::MakeIcon(art::GripCursor, true, art::kCursorHotSpot, art::kCursorHotSpot));
    const HWND me = HwndIfLoaded();
    const COLORREF face = 0x80000000 | COLOR_BTNFACE;

    Pnl_scale.Create(*this, me, 30, 0, kPanelWidth, kPanelHeight, face);
    Pnl_scale.SetCursor(gripCursor_.get());
    auto& lines = Pnl_scale.Lines();
    lines.push_back({0, 0, 705, 0, 0xFFFFFF, 2});     // Line1(0): top edge, light
    lines.push_back({0, 0, 0, 300, 0xFFFFFF, 1});     // Line1(1): left edge, light
    lines.push_back({0, 275, 705, 275, 0x808080, 1}); // Line1(2): bottom edge, dark
    lines.push_back({695, 0, 695, 300, 0x808080, 1}); // Line1(3): right edge, dark
    // The right edge sits on the grip's last column at every scaling: 695 twips is that column
    // only where 1440 / dpi divides evenly enough (at 125 % it is the column before).
    lines[3].x1 = lines[3].x2 = Pnl_scale.Width() - Tx();

    L_color.Create(*this, Pnl_scale.Hwnd(), 60, 45, 195, 195, 0x0000FF);
    L_color.SetBorder(true);
    tips_.Set(me, L_color.Hwnd(), L"色を変更");

    Label1.Create(*this, Pnl_scale.Hwnd(), 0, 0, 705, 50, face);
    Label1.SetCursor(heightCursor_.get());
    // The strip is part of the grip: its edge lines stay visible across it.
    Label1.SetShowsContainerLines(&Pnl_scale);

    Pnl_scale.MouseDown = [this](const tk::MouseArgs& a) {
        Pnl_scale_MouseDown(a.button, a.shift, a.x, a.y);
    };
    Pnl_scale.MouseMove = [this](const tk::MouseArgs& a) {
        Pnl_scale_MouseMove(a.button, a.shift, a.x, a.y);
    };
    Pnl_scale.MouseUp = [this](const tk::MouseArgs& a) { Pnl_scale_MouseUp(a.button, a.shift, a.x, a.y); };
    Label1.MouseDown = [this](const tk::MouseArgs& a) { Label1_MouseDown(a.button, a.shift, a.x, a.y); };
    Label1.MouseMove = [this](const tk::MouseArgs& a) { Label1_MouseMove(a.button, a.shift, a.x, a.y); };
    Label1.MouseUp = [this](const tk::MouseArgs& a) {
        if (a.button == 1) {
            // The release's own place ends the drag, whatever moves before it were not read yet.
            Label1_MouseMove(1, a.shift, a.x, a.y);
        }
        Label1_MouseUp(a.button, a.shift, a.x, a.y);
    };
    L_color.Click = [this] { L_color_Click(); };
}

void markShape::Form_Load() {
    excludedFromCapture_ = tk::ExcludeFromCapture(HwndIfLoaded());
    // Across the top of the primary monitor, below a taskbar at the top and beside one at a side.
    const Span primary = InTwips(tk::PrimaryMonitor().work);
    Move(primary.left, primary.top, primary.width, kPanelHeight + 2 * Tx());
    Pnl_scale.Move(ScaleWidth() - kPanelWidth, Tx());
    if (CopyScreenImage()) {
        edges_ = SenseEdges(true);
    }
    pen_mode = palette::kXorPen;
    hide_wait = 3;
    touka_on = false;
}

void markShape::Form_Resize() {
    RECT client{};
    GetClientRect(HwndIfLoaded(), &client);
    surface_.Resize(client.right, client.bottom, kBackColor); // Shape1 follows the client area
    Pnl_scale.Move(Pnl_scale.Left(), Pnl_scale.Top(), Pnl_scale.Width(), ScaleHeight() - 2 * Tx());
    const double B = Pnl_scale.Height() - Tx();
    auto& Line1 = Pnl_scale.Lines();
    Line1[1].y2 = B;
    Line1[2].y1 = Line1[2].y2 = B;
    Line1[3].y2 = B;
    Pnl_scale.Redraw();
    Label1.Redraw();
    Invalidate();
}

void markShape::Invalidate() {
    if (HWND h = HwndIfLoaded()) {
        InvalidateRect(h, nullptr, FALSE);
    }
}

void markShape::Paint(HDC dc, const RECT& area) {
    surface_.Paint(dc, area, Shape1.visible, Shape1.drawMode, Shape1.fillColor);
}

void markShape::OnDestroy() {
    SetFollowing(false);
    StopListening();
    surface_.Release();
}

void markShape::ShowMark(int no, bool mk_disp) {
    mk_no = no;
    if (!Hwnd()) {
        return;
    }
    tips_.Set(Hwnd(), Pnl_scale.Hwnd(), L"No." + std::to_wstring(mk_no));
    SetCaption(L"Tolvin " + PanelTooltip());
    SetIcon(frmControl::Instance()->Icon());
    SetTopMost(*this, mk_disp);
    tk::DoEvents();
    if (Unloaded()) {
        return;
    }
    above_cnt = 0;
    below_hwnd = FindOverlapBelow(HwndIfLoaded());
    tickEnabled_ = true; // the program's tick takes it from now on
    if (LivePlan().sensing == live::Sensing::CopyInPlace) {
        EnableTimer(kLiveTimer, LivePlan().intervalMs, true);
    }
}

void markShape::MoveMark(int dest) {
    const int16_t steps = static_cast<int16_t>(dest * static_cast<int>(kStep));
    // Within the monitor the marker is on, whatever the heights of the others.
    const Span on = InTwips(tk::MonitorOf(tk::WindowRectOf(HwndIfLoaded())));
    int N = CInt(Top() + steps);
    if (N < on.top) {
        N = CInt(on.top);
    }
    if (on.bottom - Height() < N) {
        N = CInt(on.bottom - Height());
    }
    MoveToTop(N);
}

void markShape::MoveToTop(int N) {
    Move(Left(), N);
    if (pen_mode != palette::kCopyPen) {
        // The reader moved the band and looks at it now: its picture waits longer for a busy
        // program beneath than the ticks' do (with many markers those waits add up).
        waitForBusyPrograms_ = true;
        Label1_MouseUp(1, 0, 0, 0);
        waitForBusyPrograms_ = false;
    }
}

void markShape::SetHidden(bool hidden) {
    const HWND me = HwndIfLoaded();
    if (!me || hidden == hidden_) {
        return;
    }
    hidden_ = hidden;
    EnableTimer(kLiveTimer, LivePlan().intervalMs,
                !hidden && LivePlan().sensing == live::Sensing::CopyInPlace);
    ShowWindow(me, hidden ? SW_HIDE : SW_SHOWNA);
    if (!hidden && pen_mode != palette::kCopyPen) {
        Label1_MouseUp(1, 0, 0, 0); // what lies behind may have changed meanwhile
    }
    if (!hidden && following_) {
        followLine_ = RECT{}; // the pointer went on meanwhile
        FollowPointer();
    }
}

void markShape::KeepOnScreen() {
    const HWND me = HwndIfLoaded();
    if (!me || tk::OnSomeMonitor(tk::WindowRectOf(me))) {
        return;
    }
    // Its monitor has gone or moved away: back to the top of the primary monitor, spanning it
    // (what the taskbar leaves of it), with a new picture.
    const Span primary = InTwips(tk::PrimaryMonitor().work);
    Move(primary.left, primary.top, primary.width, Height());
    if (frame_hwnd) {
        MakeFrameRegion(frame_hwnd);
    }
    Label1_MouseUp(1, 0, 0, 0);
}

void markShape::OnTimer(UINT_PTR id) {
    if (id == kLiveTimer) {
        LiveCopy();
    } else if (id == kFollowTimer) {
        FollowPointer();
    }
}

bool markShape::PointerOutsideNow() {
    POINT p{};
    GetCursorPos(&p);
    const double x = CInt(p.x * static_cast<double>(Tx()));
    const double y = CInt(p.y * static_cast<double>(Ty()));
    return PointerOutside(x, y, Left(), Top(), Width(), Height());
}

void markShape::Timer1_Timer() {
    if (hidden_ || ticking_) {
        return; // a tick that was due as the marker was hidden, or one inside its own tick
    }
    // Its tick is under way until this returns, however it returns: the program tick passes it over.
    struct Ticking {
        bool& on;
        explicit Ticking(bool& flag) : on(flag) { on = true; }
        ~Ticking() { on = false; }
    } ticking(ticking_);
    const auto keep = weak_from_this().lock();
    tk::DoEvents();
    if (Unloaded()) {
        return;
    }
    KeepAbovePage();
    const HWND me = HwndIfLoaded();
    bool R = false;
    // What both questions of this tick see, unless a refresh pumps in between: the list of this
    // program tick, shared with the other markers' ticks until a refresh changes what they see.
    ZOrder z = ZOrder::Shared();
    const int A = z.CountAbove(me);
    if (pen_mode != palette::kCopyPen && A < above_cnt && !frame_hwnd) {
        if (!PumpAndRefresh()) {
            return;
        }
        R = true;
        z = ZOrder::Shared();
    }
    above_cnt = A;
    const HWND B = z.OverlapBelow(me);
    if (!R && pen_mode != palette::kCopyPen && B != below_hwnd && !frame_hwnd) {
        if (!PumpAndRefresh()) {
            return;
        }
        R = true;
    }
    below_hwnd = B;
    // The live picture: what lies behind a resting band changed where it shows, just outside it.
    // One refresh a tick at most, so a change that keeps coming costs two a second.
    if (!R && pen_mode != palette::kCopyPen && !frame_hwnd && LivePlan().sensing == live::Sensing::EdgeRows &&
        EdgesChanged()) {
        if (!PumpAndRefresh()) {
            return;
        }
    }
    if (hide_wait > 0) {
        hide_wait = hide_wait - 1;
    } else {
        auto panel = frmControl::Instance();
        if (panel->HideBtn(mk_no)) {
            // The pointer is asked last: under Wine reading it is a trip to the X server.
            if (Pnl_scale.Visible() && PointerOutsideNow()) {
                Pnl_scale.SetVisible(false);
            }
        } else if (!Pnl_scale.Visible()) {
            Pnl_scale.SetVisible(true);
        }
        if (touka_on && PointerOutsideNow()) {
            // A step of the marker meanwhile has already taken a fresh picture and given it its
            // full shape: a copy now would hold the marker's own tint.
            if (frame_hwnd) {
                if (CopyScreenImage()) { // still a frame: the copy holds what lies behind
                    edges_ = SenseEdges(true);
                }
                GoFullShape();
            }
            touka_on = false;
        }
    }
}

tick::MarkerState markShape::TickState() const {
    return {tickEnabled_ && HwndIfLoaded() != nullptr, hidden_, ticking_,
            refresh_ == PictureState::Outlined || refresh_ == PictureState::CopyingInPlace};
}

void markShape::Form_Click() {
    frmControl::Instance()->MyMarkerNo(mk_no);
    if (!touka_on && frmControl::Instance()->MouseTouka(mk_no)) {
        GoFrameShape();
        touka_on = true;
    }
}

void markShape::Form_MouseMove() {
    if (!Pnl_scale.Visible()) {
        Pnl_scale.SetVisible(true);
    }
    hide_wait = 3;
    auto panel = frmControl::Instance();
    if (panel->Visible()) {
        // In front of the topmost band, but never taking the keyboard from another program:
        // the panel gets the focus (for the wheel) only while this program is in front anyway.
        tk::RaiseTopmostWithoutActivating(panel->HwndIfLoaded());
        if (tk::ForegroundIsOurs()) {
            panel->TakeFocus();
        }
    }
}

bool markShape::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND me = HwndIfLoaded();
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
        const int button = tk::DecodeMouse(msg, wParam, lParam).button;
        formButtonsDown_ |= button;
        tk::HoldPointer(me, button);
        result = 0;
        return true;
    }
    if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) {
        const int button = tk::DecodeMouse(msg, wParam, lParam).button;
        const bool clicked = (formButtonsDown_ & button) != 0;
        formButtonsDown_ &= ~button;
        if (formButtonsDown_ == 0 && GetCapture() == me) {
            ReleaseCapture();
        }
        RECT client{};
        GetClientRect(me, &client);
        const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (clicked && PtInRect(&client, p)) {
            Form_Click();
        }
        result = 0;
        return true;
    }
    if (msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != me) {
        formButtonsDown_ = 0;
    }
    if (msg == WM_WINDOWPOSCHANGED) {
        dim::Update(); // the one place a dim layer learns that its band moved, resized, showed or hid
        return false;
    }
    if (msg == kWmFollow) {
        PointerMoved();
        result = 0;
        return true;
    }
    if (msg == WM_DPICHANGED) {
        result = 0; // a marker keeps its size in pixels on a monitor of another scaling
        return true;
    }
    if (msg == WM_CLOSE) { // Alt+F4 or another program asking: as "close this marker"
        auto panel = frmControl::Instance();
        panel->MyMarkerNo(mk_no);
        panel->DelMarker();
        result = 0;
        return true;
    }
    if (msg == WM_ENDSESSION && wParam) {
        frmControl::Instance()->DelAllMarker();
        result = 0;
        return true;
    }
    if (msg == WM_MOUSEMOVE) {
        tk::PointerHeardAt(me);
        Form_MouseMove();
        result = 0;
        return true;
    }
    if (msg == WM_MOUSEWHEEL) {
        // Where the wheel goes to the window under the pointer rather than to the one with
        // the focus, it lands here: hand it to the panel, whose hook moves the current marker.
        auto panel = frmControl::Instance();
        if (HWND p = panel->HwndIfLoaded()) {
            result = SendMessageW(p, WM_MOUSEWHEEL, wParam, lParam);
            return true;
        }
    }
    return false;
}

void markShape::Pnl_scale_MouseDown(int Button, int, float X, float Y) {
    if (Button == 1) {
        drag_x = X;
        drag_y = Y;
        GoFrameShape();
        return;
    }
    frmControl::Instance()->MyMarkerNo(mk_no);
    frmMenu::Instance()->PopupMenu(frmMenu::Instance()->popmenu(), HwndIfLoaded(), 0);
    // The command may have closed this very marker.
    if (Unloaded()) {
        return;
    }
    const int pen = frmControl::Instance()->PenEffect(mk_no);
    if (pen != pen_mode) {
        pen_mode = pen;
        L_color_Click();
    }
}

void markShape::Pnl_scale_MouseMove(int Button, int, float X, float Y) {
    if (Button != 1) {
        return;
    }
    // The pointer, in screen pixels: the grip's place plus X and Y.
    const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
    const POINT pointer{grip.left + tk::PixelsX(X), grip.top + tk::PixelsY(Y)};
    const tk::Monitor under = tk::MonitorAt(pointer);
    const Span on = InTwips(under);
    const double oldLeft = Left();
    const tk::Monitor current = tk::MonitorOf(tk::WindowRectOf(HwndIfLoaded()));
    if (!EqualRect(&under.pixels, &current.pixels)) {
        // The pointer has reached another monitor: the outline moves onto it and spans it.
        Move(on.left, Top(), on.width, Height());
        if (frame_hwnd) {
            MakeFrameRegion(frame_hwnd); // the ring of the new size
        }
    }
    // Measured from the marker's former left, so that the grabbed point stays under the pointer.
    float L = static_cast<float>(Pnl_scale.Left() + oldLeft - Left()) - drag_x + X;
    if (L < 0) {
        L = 0;
    }
    if (L > static_cast<float>(ScaleWidth() - Pnl_scale.Width())) {
        L = static_cast<float>(ScaleWidth() - Pnl_scale.Width());
    }
    Pnl_scale.Move(L, Tx());
    float T = static_cast<float>(Top()) - drag_y + Y;
    if (T < static_cast<float>(on.top)) {
        T = static_cast<float>(on.top);
    }
    if (T > static_cast<float>(on.bottom - Height())) {
        T = static_cast<float>(on.bottom - Height());
    }
    Move(Left(), T);
}

void markShape::Pnl_scale_MouseUp(int Button, int, float X, float Y) {
    if (Button != 1) {
        return;
    }
    // The release's own place ends the drag, whatever moves before it were not read yet.
    Pnl_scale_MouseMove(1, 0, X, Y);
    const int P = CInt(Pnl_scale.Left() + Left());
    if (frmControl::Instance()->JustWidth(mk_no)) {
        // The release point in screen pixels: the grip's place plus X and Y.
        const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
        const int px = grip.left + tk::PixelsX(X);
        const int py = grip.top + tk::PixelsY(Y);
        if (HWND W = TopWindowFromPoint(px, py)) {
            // The frame the user sees: under the compositor a window's rectangle also holds
            // invisible resize borders, which would let the bar stick out on both sides.
            const RECT r = tk::VisibleFrame(W);
            if (r.right - r.left >= 1) {
                Move(Tx() * r.left, Top(), Tx() * static_cast<double>(r.right - r.left), Height());
            }
        }
    } else {
        const Span on = InTwips(tk::MonitorOf(tk::WindowRectOf(HwndIfLoaded()))); // spans its monitor
        Move(on.left, Top(), on.width, Height());
    }
    const bool copyFirst = excludedFromCapture_ && pen_mode != palette::kCopyPen &&
                           live::CopyBeforeFullShape(tk::CurrentCaptureMode());
    if (copyFirst) {
        tk::WaitForCompositor(); // the frame composed before the last move is no picture of here
        CopyScreenImage();       // the marker is left out: the copy shows what lies behind it
    }
    GoFullShape();
    int V = CInt(P - Left());
    if (V < 0) {
        V = 0;
    }
    if (V > ScaleWidth() - Pnl_scale.Width()) {
        V = CInt(ScaleWidth() - Pnl_scale.Width());
    }
    Pnl_scale.Move(V, Pnl_scale.Top());
    if (pen_mode != palette::kCopyPen && !copyFirst) {
        Label1_MouseUp(1, 0, 0, 0);
    }
    if (fitColumn_ && !Unloaded()) {
        // As wide as the column it was let go on, with a picture of its new width.
        const auto keep = weak_from_this().lock();
        FitToColumnUnderBand();
        if (pen_mode != palette::kCopyPen && !Unloaded()) {
            Label1_MouseUp(1, 0, 0, 0);
        }
    }
}

void markShape::Label1_MouseDown(int Button, int, float, float Y) {
    if (Button == 1) {
        drag_y = Y;
    }
}

void markShape::Label1_MouseMove(int Button, int, float, float Y) {
    if (Button != 1) {
        return;
    }
    const double B = Top() + Height();
    double T = Top() - drag_y + Y;
    if (static_cast<float>(B - T) < kMinHeight) {
        T = B - kMinHeight;
    }
    Move(Left(), T, Width(), B - T);
}

void markShape::L_color_Click() {
    if (Shape1.drawMode == pen_mode) {
        color_idx = color_idx + 1;
    } else {
        Shape1.drawMode = pen_mode;
    }
    const int N = palette::Size(pen_mode);
    color_idx = color_idx % N;
    const COLORREF C = palette::Colour(color_idx);
    Shape1.fillColor = palette::Fill(pen_mode, C);
    L_color.SetBackColor(palette::Colour((color_idx + 1) % N));
    Invalidate();
}
