#include "toolkit/form.h"

#include "toolkit/syscall.h"

#include "toolkit/screen.h"

#include "toolkit/units.h"

#include <windowsx.h>

#include <set>

namespace tk {

namespace {

void (*g_endAction)() = nullptr;
int g_modalDepth = 0;
DWORD g_modalEnded = 0; // when the last modal loop ended

void RegisterOnce(const wchar_t* className) {
    static std::set<std::wstring> registered;
    if (registered.count(className)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Form::WindowProc;
    // The object pointer lives in the extra bytes: the user-data slot stays free for others.
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc)) {
        registered.insert(className);
    }
}

} // namespace

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

bool IsMouseDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
}
bool IsMouseUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
}

MouseArgs DecodeMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    MouseArgs a;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        a.button = 1;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        a.button = 2;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        a.button = 4;
        break;
    default:
        a.button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                   ((wParam & MK_MBUTTON) ? 4 : 0);
        break;
    }
    a.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0);
    a.x = static_cast<float>(GET_X_LPARAM(lParam) * Tx());
    a.y = static_cast<float>(GET_Y_LPARAM(lParam) * Ty());
    return a;
}

Form::~Form() {
    if (hwnd_) {
        // The object is going away: the window must not call back into it.
        SetWindowLongPtrW(hwnd_, 0, 0);
        DestroyWindow(hwnd_);
    }
}

HWND Form::Hwnd() {
    if (hwnd_ || unloaded_ || loading_) {
        return hwnd_;
    }
    loading_ = true;
    const WindowDesign design = Design();
    RegisterOnce(design.className);
    CreateWindowExW(design.exStyle, design.className, L"", design.style, 0, 0, PixelsX(design.width),
                    PixelsY(design.height), nullptr, nullptr, Instance(), this);
    if (hwnd_) {
        CreateElements();
        loaded_ = true;
        Form_Load();
    }
    loading_ = false;
    return hwnd_;
}

RECT WindowRectOf(HWND h) {
    RECT r{};
    if (h) {
        GetWindowRect(h, &r);
    }
    return r;
}

namespace {
RECT ClientRectOf(HWND h) {
    RECT r{};
    if (h) {
        GetClientRect(h, &r);
    }
    return r;
}
} // namespace

double Form::Left() {
    return TwipsX(WindowRectOf(Hwnd()).left);
}
double Form::Top() {
    return TwipsY(WindowRectOf(Hwnd()).top);
}
double Form::Width() {
    RECT r = WindowRectOf(Hwnd());
    return TwipsX(r.right - r.left);
}
double Form::Height() {
    RECT r = WindowRectOf(Hwnd());
    return TwipsY(r.bottom - r.top);
}
double Form::ScaleWidth() {
    return TwipsX(ClientRectOf(Hwnd()).right);
}
double Form::ScaleHeight() {
    return TwipsY(ClientRectOf(Hwnd()).bottom);
}

void Form::Move(double left, double top) {
    if (HWND h = Hwnd()) {
        SetWindowPos(h, nullptr, PixelsX(left), PixelsY(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::Move(double left, double top, double width, double height) {
    if (HWND h = Hwnd()) {
        SetWindowPos(h, nullptr, PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::SetCaption(const std::wstring& text) {
    if (HWND h = Hwnd()) {
        SetWindowTextW(h, text.c_str());
    }
}

std::wstring Form::Caption() {
    HWND h = Hwnd();
    if (!h) {
        return {};
    }
    wchar_t buf[256] = {};
    GetWindowTextW(h, buf, 256);
    return buf;
}

void Form::SetIcon(HICON icon) {
    if (HWND h = Hwnd()) {
        SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

bool Form::Visible() {
    HWND h = HwndIfLoaded();
    return h && IsWindowVisible(h);
}

void Form::Show() {
    if (HWND h = Hwnd()) {
        ShowWindow(h, SW_SHOWNA);
    }
}

void Form::Unload() {
    if (!hwnd_) {
        unloaded_ = true;
        return;
    }
    Form_Unload();
    DestroyWindow(hwnd_);
    unloaded_ = true;
}

void Form::EnableTimer(UINT_PTR id, UINT milliseconds, bool enabled) {
    if (HWND h = HwndIfLoaded()) {
        if (enabled) {
            SetTimer(h, id, milliseconds, nullptr);
        } else {
            KillTimer(h, id);
        }
    }
}

bool Form::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* form = static_cast<Form*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(form));
        form->hwnd_ = hwnd;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_WINDOWPOSCHANGED || msg == WM_DESTROY) {
        ForgetOwnWindows(); // the program's windows are no longer where they were
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, 0));
    if (!form) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    // A handler may close its own form (a menu command, the last marker): keep the
    // object alive until this message has been handled.
    std::shared_ptr<Form> keep = form->weak_from_this().lock();
    try {
        return form->Dispatch(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT Form::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    LRESULT result = 0;
    switch (msg) {
    case WM_SIZE:
        if (loaded_) {
            Form_Resize();
        }
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        // A click on any of the program's windows (or their elements, which pass this up) leaves
        // the foreground and the keyboard with the window the user reads or types in. The window
        // pressed still comes in front of its band, as any window a user clicks does: a marker
        // dragged onto a page stays over it.
        if (!(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
            KeepInFront(hwnd);
        }
        return MA_NOACTIVATE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(dc, ps.rcPaint);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, 0, 0);
        hwnd_ = nullptr;
        unloaded_ = true;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    default:
        break;
    }
    if (OnMessage(msg, wParam, lParam, result)) {
        return result;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void DoEvents() {
    // Delivers what is pending now. Messages that arise while this runs (above all the
    // timers of many markers falling due again) wait for the next pass: otherwise a busy
    // queue could keep this loop, and whoever called it, from ever returning.
    const DWORD start = GetTickCount();
    // A tick that pumps inside a menu must not take the key that chooses its item.
    const UINT flags =
        PM_REMOVE | (g_modalDepth > 0 ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0u);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, flags)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
        if (static_cast<LONG>(m.time - start) > 0) {
            break;
        }
    }
    // A zero wait is where Wine hands this thread's finished painting to the display;
    // without it a screen copy taken next may miss what the pass has just repainted.
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void WaitForDisplay() {
    // Win32 has no call for this; asking where the pointer is does it. Under Wine, once the
    // pointer has been still for a tenth of a second, the answer comes from the X server, which
    // handles a thread's requests in order and sends the events they cause before the answer.
    // While the pointer moves Wine answers from its own record, and this returns at once.
    POINT where;
    GetCursorPos(&where);
}

void RaiseTopmostWithoutActivating(HWND hwnd) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void KeepInFront(HWND hwnd) {
    if (hwnd && IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

bool ForegroundIsOurs() {
    const HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
}

bool HighContrastOn() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

namespace {
constexpr UINT_PTR kFollowTimer = 0x7F01; // a timer id no form uses
constexpr UINT kFollowInterval = 10;
// Wine answers GetAsyncKeyState from a copy of the key states up to 50 ms old: a button read as
// up counts as let go once it still reads up more than that later.
constexpr DWORD kKeyStateAge = 60;
struct Followed {
    HWND hwnd = nullptr;
    POINT heard{};
    DWORD upSince = 0;       // when the left button was first read as up (0: read as held)
    bool rightHeard = false; // the window heard the right button go down during the drag
};
Followed g_followed; // one capture at a time in a program

// GetAsyncKeyState reads the physical buttons: where they are swapped, the one the user calls
// left is VK_RBUTTON.
bool ButtonHeld(bool left) {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    return (GetAsyncKeyState(left != swapped ? VK_LBUTTON : VK_RBUTTON) & 0x8000) != 0;
}

void CALLBACK FollowPointer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    if (g_followed.hwnd != hwnd || GetCapture() != hwnd) {
        KillTimer(hwnd, id); // the capture ended the usual way
        if (g_followed.hwnd == hwnd) {
            g_followed.hwnd = nullptr;
        }
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    POINT client = p;
    ScreenToClient(hwnd, &client);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    if (p.x != g_followed.heard.x || p.y != g_followed.heard.y) {
        g_followed.heard = p;
        SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at);
    }
    // The right button pressed during a drag opens a menu where the drag is.
    if (!ButtonHeld(false)) {
        g_followed.rightHeard = false;
    } else if (!g_followed.rightHeard) {
        g_followed.rightHeard = true;
        SendMessageW(hwnd, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, at);
        return;
    }
    if (ButtonHeld(true)) {
        g_followed.upSince = 0;
        return;
    }
    const DWORD now = GetTickCount() | 1;
    if (g_followed.upSince == 0) {
        g_followed.upSince = now;
        return;
    }
    if (now - g_followed.upSince > kKeyStateAge && g_followed.hwnd == hwnd && GetCapture() == hwnd) {
        KillTimer(hwnd, id);
        g_followed.hwnd = nullptr;
        SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
    }
}
} // namespace

DragInput ChooseDragInput(const SystemReport& report) {
    return report.underWine ? DragInput::CaptureAndReading : DragInput::CaptureOnly;
}

void HoldPointer(HWND hwnd, int button) {
    SetCapture(hwnd);
    static const DragInput input = ChooseDragInput(ReportSystem());
    if (input == DragInput::CaptureOnly) {
        return;
    }
    if (button == 2 && g_followed.hwnd == hwnd) {
        g_followed.rightHeard = true;
    }
    if (button != 1) {
        return;
    }
    if (g_followed.hwnd && g_followed.hwnd != hwnd) {
        KillTimer(g_followed.hwnd, kFollowTimer);
    }
    g_followed.hwnd = hwnd;
    g_followed.upSince = 0;
    g_followed.rightHeard = false;
    GetCursorPos(&g_followed.heard);
    SetTimer(hwnd, kFollowTimer, kFollowInterval, FollowPointer);
}

void PointerHeardAt(HWND hwnd) {
    if (g_followed.hwnd == hwnd) {
        GetCursorPos(&g_followed.heard);
    }
}

void WindowDrag::Begin(HWND hwnd) {
    POINT p{};
    GetCursorPos(&p);
    const RECT r = WindowRectOf(hwnd);
    grab_ = {p.x - r.left, p.y - r.top};
    active_ = true;
    HoldPointer(hwnd, 1);
}

bool WindowDrag::OnMessage(HWND hwnd, UINT msg, LPARAM lParam) {
    if (!active_) {
        return false;
    }
    switch (msg) {
    case WM_MOUSEMOVE: {
        PointerHeardAt(hwnd);
        POINT p{};
        GetCursorPos(&p);
        SetWindowPos(hwnd, nullptr, p.x - grab_.x, p.y - grab_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }
    case WM_LBUTTONUP: {
        active_ = false;
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &p);
        SetWindowPos(hwnd, nullptr, p.x - grab_.x, p.y - grab_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        return true;
    }
    case WM_CAPTURECHANGED:
        active_ = false;
        return false;
    default:
        return false;
    }
}

ModalLoop::ModalLoop() {
    ++g_modalDepth;
}
ModalLoop::~ModalLoop() {
    --g_modalDepth;
    g_modalEnded = GetTickCount();
}

void SetCoalescedTimer(HWND hwnd, UINT_PTR id, UINT ms, UINT toleranceMs) {
    using CoalescableFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const CoalescableFn coalescable =
        LoadSystemCall<CoalescableFn>(L"user32.dll", "SetCoalescableTimer");
    if (!coalescable || !coalescable(hwnd, id, ms, nullptr, toleranceMs)) {
        SetTimer(hwnd, id, ms, nullptr);
    }
}

bool ModalLoopOpen() {
    return g_modalDepth > 0;
}

DWORD MsSinceModalLoopEnded() {
    return g_modalEnded == 0 ? MAXDWORD : GetTickCount() - g_modalEnded;
}

void SetEndProgramAction(void (*action)()) {
    g_endAction = action;
}

void EndProgram() {
    if (g_endAction) {
        g_endAction();
        return;
    }
    ExitProcess(0);
}

} // namespace tk
