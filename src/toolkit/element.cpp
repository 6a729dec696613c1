#include "toolkit/element.h"

#include "toolkit/capture.h"

#include "toolkit/units.h"

#include <commctrl.h>

#include <algorithm>

namespace tk {

namespace {

constexpr wchar_t kElementClass[] = L"TolvinElement";

void RegisterElementClass() {
    static bool done = false;
    if (done) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Element::WindowProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kElementClass;
    done = RegisterClassExW(&wc) != 0;
}

RECT RectInParent(HWND h) {
    RECT r{};
    if (h) {
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    Brush b(CreateSolidBrush(color));
    FillRect(dc, &r, b.get());
}

} // namespace

void InitControls() {
    static bool done = false;
    if (!done) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        done = true;
    }
}

Element::~Element() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, 0, 0);
    }
}

void Element::Create(Form& owner, HWND parent, double left, double top, double width, double height,
                     COLORREF back) {
    RegisterElementClass();
    owner_ = &owner;
    back_ = back;
    CreateWindowExW(0, kElementClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height), parent, nullptr, Instance(),
                    this);
}

double Element::Left() const {
    return TwipsX(RectInParent(hwnd_).left);
}
double Element::Top() const {
    return TwipsY(RectInParent(hwnd_).top);
}
double Element::Width() const {
    RECT r = RectInParent(hwnd_);
    return TwipsX(r.right - r.left);
}
double Element::Height() const {
    RECT r = RectInParent(hwnd_);
    return TwipsY(r.bottom - r.top);
}

void Element::Move(double left, double top) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, PixelsX(left), PixelsY(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Element::Move(double left, double top, double width, double height) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Redraw();
    }
}

bool Element::Visible() const {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
}

void Element::SetVisible(bool visible) {
    if (hwnd_) {
        ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Element::SetBackColor(COLORREF color) {
    back_ = color;
    Redraw();
}

void Element::SetText(const std::wstring& text) {
    text_ = text;
    if (autoSize_) {
        FitToText();
    }
    Redraw();
}

void Element::Redraw() const {
    if (hwnd_) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Element::FitToText() {
    if (!hwnd_) {
        return;
    }
    RECT wr = RectInParent(hwnd_);
    if (designedWidthPx_ < 0) {
        designedWidthPx_ = wr.right - wr.left;
    }
    WindowDc dc(hwnd_);
    Selected font(dc.get(), font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text_.c_str(), static_cast<int>(text_.size()), &size);
    const int wanted = std::min(static_cast<int>(size.cx) + (border_ ? 2 : 0), PixelsX(maxWidth_));
    // Never narrower than designed: only a longer number widens the label.
    SetWindowPos(hwnd_, nullptr, 0, 0, std::max(wanted, designedWidthPx_), wr.bottom - wr.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Element::DrawLines(HDC dc, const std::vector<Line>& lines, int dx, int dy) const {
    for (const Line& l : lines) {
        // Lines truncate to pixels: an edge line at the panel's last twip stays on its
        // last pixel at every scaling (695 twips is pixel 69 of 70 at 150 %). The small margin
        // keeps a whole number of pixels in twips (7 x 8.57 at 168 dpi) from falling just short.
        const auto px = [](double twips, float perPixel) {
            return static_cast<int>(twips / perPixel + 1e-3);
        };
        const int x1 = px(l.x1, Tx()) + dx, x2 = px(l.x2, Tx()) + dx;
        const int y1 = px(l.y1, Ty()) + dy, y2 = px(l.y2, Ty()) + dy;
        RECT r;
        if (y1 == y2) {
            r = {std::min(x1, x2), y1, std::max(x1, x2) + 1, y1 + l.widthPx};
        } else {
            r = {x1, std::min(y1, y2), x1 + l.widthPx, std::max(y1, y2) + 1};
        }
        FillSolid(dc, r, l.color);
    }
}

void Element::PaintSelf(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillSolid(dc, client, back_ & 0x80000000 ? GetSysColor(back_ & 0xFF) : back_);
    DrawLines(dc, lines_, 0, 0);
    if (container_) {
        RECT mine = RectInParent(hwnd_);
        DrawLines(dc, container_->lines_, -mine.left, -mine.top);
    }
    if (!text_.empty()) {
        Selected font(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, fore_ & 0x80000000 ? GetSysColor(fore_ & 0xFF) : fore_);
        RECT tr = client;
        InflateRect(&tr, border_ ? -1 : 0, border_ ? -1 : 0);
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &tr,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (border_) {
        Brush black(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &client, black.get());
    }
}

LRESULT CALLBACK Element::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* el = static_cast<Element*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(el));
        el->hwnd_ = hwnd;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* el = reinterpret_cast<Element*>(GetWindowLongPtrW(hwnd, 0));
    if (!el) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    // The element lives inside its form: keep the form alive while a handler runs.
    std::shared_ptr<Form> keep = el->owner_ ? el->owner_->weak_from_this().lock() : nullptr;
    try {
        return el->Dispatch(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT Element::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    if (IsMouseDown(msg)) {
        const MouseArgs a = DecodeMouse(msg, wParam, lParam);
        // Like a form's controls: the element holds the pointer from press to release.
        buttonsDown_ |= a.button;
        HoldPointer(hwnd, a.button);
        if (MouseDown) {
            MouseDown(a);
        }
        return 0;
    }
    if (IsMouseUp(msg)) {
        const MouseArgs a = DecodeMouse(msg, wParam, lParam);
        const bool wasDown = (buttonsDown_ & a.button) != 0;
        buttonsDown_ &= ~a.button;
        if (buttonsDown_ == 0 && GetCapture() == hwnd) {
            ReleaseCapture();
        }
        if (MouseUp && wasDown) { // a release heard twice is one release
            MouseUp(a);
        }
        RECT client{};
        GetClientRect(hwnd, &client);
        POINT p{static_cast<LONG>(static_cast<short>(LOWORD(lParam))),
                static_cast<LONG>(static_cast<short>(HIWORD(lParam)))};
        if (Click && wasDown && a.button == 1 && PtInRect(&client, p)) {
            Click();
        }
        return 0;
    }
    switch (msg) {
    case WM_MOUSEMOVE:
        PointerHeardAt(hwnd);
        if (MouseMove) {
            MouseMove(DecodeMouse(msg, wParam, lParam));
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            // The pointer was taken away mid-press (a menu, another program, a system dialog):
            // the left release will never come here, so a drag ends as that release would.
            const bool leftWasDown = (buttonsDown_ & 1) != 0;
            buttonsDown_ = 0;
            if (leftWasDown && MouseUp) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(hwnd, &p);
                MouseUp(DecodeMouse(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)));
            }
        }
        return 0;
    case WM_SETCURSOR:
        // Only for the element itself: a child without a cursor of its own keeps the arrow.
        if (cursor_ && reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintDc pdc(hwnd);
        PaintSelf(pdc.get());
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, 0, 0);
        hwnd_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void ScrollBar::Create(HWND parent, double left, double top, double width, double height, int min, int max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(0, min, max);
    hwnd_ =
        CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, PixelsX(left), PixelsY(top),
                        PixelsX(width), PixelsY(height), parent, nullptr, Instance(), nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_PAGE, min, max, 0, value_, 0};
    SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
}

double ScrollBar::Width() const {
    RECT r = RectInParent(hwnd_);
    return TwipsX(r.right - r.left);
}
double ScrollBar::Height() const {
    RECT r = RectInParent(hwnd_);
    return TwipsY(r.bottom - r.top);
}

void ScrollBar::Move(double left, double top, double width, double height) {
    SetWindowPos(hwnd_, nullptr, PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScrollBar::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) {
        return;
    }
    value_ = value;
    SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
    if (Change) {
        Change();
    }
}

void ScrollBar::OnScroll(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
    case SB_PAGEUP:
        SetValue(value_ - 1);
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        SetValue(value_ + 1);
        break;
    case SB_TOP:
        SetValue(min_);
        break;
    case SB_BOTTOM:
        SetValue(max_);
        break;
    case SB_THUMBPOSITION:
        SetValue(static_cast<short>(HIWORD(wParam)));
        break;
    default:
        break;
    }
}

void TextBox::Create(HWND parent, double left, double top, double width, double height) {
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, PixelsX(left), PixelsY(top),
                            PixelsX(width), PixelsY(height), parent, nullptr, Instance(), nullptr);
}

Tooltips::~Tooltips() {
    if (tip_ && IsWindow(tip_)) {
        DestroyWindow(tip_);
    }
}

void Tooltips::Set(HWND owner, HWND tool, const std::wstring& text) {
    InitControls();
    if (!tip_ || !IsWindow(tip_)) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, Instance(), nullptr);
        // Over a band, a tip shown in a copy would stay in the band's picture after it went.
        FollowCaptureMode(tip_);
    }
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    if (texts_.count(tool)) {
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    texts_[tool] = text;
}

std::wstring Tooltips::Text(HWND tool) const {
    auto it = texts_.find(tool);
    return it == texts_.end() ? std::wstring() : it->second;
}

} // namespace tk
