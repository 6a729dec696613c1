#include "support/helpers.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <future>
#include <thread>

namespace testing_support {

namespace {
LRESULT CALLBACK ColourProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA)));
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, b);
        DeleteObject(b);
        EndPaint(h, &ps);
        return 0;
    }
    if (m == WM_ERASEBKGND) {
        return 1;
    }
    return DefWindowProcW(h, m, w, l);
}
} // namespace

ColourWindow::ColourWindow(COLORREF colour, int x, int y, int w, int h, bool visible, DWORD exStyle) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ColourProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestColourWindow";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        registered = true;
    }
    hwnd_ = CreateWindowExW(exStyle | WS_EX_TOOLWINDOW, L"TestColourWindow", L"colour", WS_POPUP, x, y, w, h,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    if (visible) {
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
    }
    Pump(50);
}

ColourWindow::~ColourWindow() {
    DestroyWindow(hwnd_);
    Pump(20);
}

Page::Page(RECT r, Focus focus) : thread_([this, r, focus] { Run(r, focus); }) {
    WaitFor([this] { return hwnd_.load() != nullptr; }, 3000);
}

Page::Page(RECT r, Look look) : painted_(true), look_(look), thread_([this, r] { Run(r, Focus::Never); }) {
    WaitFor([this] { return hwnd_.load() != nullptr; }, 3000);
}

namespace {
constexpr UINT kSetLook = WM_APP + 1;
constexpr UINT kStall = WM_APP + 2;
} // namespace

void Page::Stall(int ms) {
    if (HWND h = hwnd_.load()) {
        stalled_ = false;
        PostMessageW(h, kStall, static_cast<WPARAM>(ms), 0);
        WaitFor([this] { return stalled_.load(); }, 3000);
    }
}

void Page::SetLook(const Look& look) {
    if (HWND h = hwnd_.load()) {
        SendMessageW(h, kSetLook, 0, reinterpret_cast<LPARAM>(&look));
    }
}

std::pair<int, int> DrawTextLine(HDC dc, const TextFont& f, int x, int y, const wchar_t* text) {
    HFONT font =
        CreateFontW(-f.pixels, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                    0, f.antialiased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY, 0, f.face);
    HGDIOBJ old = SelectObject(dc, font);
    TextOutW(dc, x, y, text, static_cast<int>(wcslen(text)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int above = 0, below = 0;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (const wchar_t* c = text; *c; ++c) {
        GLYPHMETRICS gm{};
        if (*c != L' ' && GetGlyphOutlineW(dc, *c, GGO_METRICS, &gm, 0, nullptr, &identity) != GDI_ERROR) {
            above = std::max(above, static_cast<int>(gm.gmptGlyphOrigin.y));
            below =
                std::max(below, static_cast<int>(gm.gmBlackBoxY) - static_cast<int>(gm.gmptGlyphOrigin.y));
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    return {y + tm.tmAscent - above, y + tm.tmAscent + below};
}

std::vector<std::pair<int, int>> DrawDocument(HDC dc, COLORREF ink) {
    struct Line {
        int pixels;
        bool bold;
        int gapAfter;
        const wchar_t* text;
    };
    const Line document[] = {
        {30, true, 18, L"Keeping your place, by Typography"},
        {16, false, 6, L"The quick brown fox jumps over the lazy dog; pack my box with"},
        {16, false, 6, L"five dozen liquor jugs. Sphinx of black quartz, judge my vow."},
        {16, false, 22, L"How vexingly quick daft zebras jump!"},
        {16, false, 6, L"Jackdaws love my big sphinx of quartz, quietly typing."},
        {16, false, 26, L"Glib jocks quiz nymph to vex dwarf."},
        {11, false, 4, L"Small print: figures apply, quality may vary by paper."},
        {11, false, 4, L"Grumpy wizards make toxic brew for the jovial queen."},
    };
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    std::vector<std::pair<int, int>> spans;
    int y = 30;
    for (const Line& l : document) {
        spans.push_back(DrawTextLine(dc, TextFont{L"Tahoma", l.pixels, l.bold, true}, 20, y, l.text));
        y += l.pixels * 5 / 4 + l.gapAfter;
    }
    return spans;
}

std::vector<std::pair<int, int>> DrawTwoColumns(HDC dc, COLORREF ink) {
    const wchar_t* prose[] = {
        L"Readers of papers set in two columns", L"move from the foot of one column to",
        L"the head of the next, and expect the", L"band to follow them there without",
        L"landing between the columns or on a",  L"line of the other column whose base",
        L"sits a few pixels higher or lower.",   L"Sphinx of black quartz, judge my vow;",
        L"pack my box with five dozen jugs of",  L"liquor, and quickly jump the fox.",
    };
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    std::vector<std::pair<int, int>> spans;
    for (int column = 0; column < 2; ++column) {
        for (int i = 0; i < 10; ++i) {
            const wchar_t* text = prose[(i + 3 * column) % 10];
            spans.push_back(DrawTextLine(dc, TextFont{L"Tahoma", 15, false, true}, 20 + 500 * column,
                                         40 + 9 * column + 22 * i, text));
        }
    }
    return spans;
}

std::vector<std::pair<int, int>> Page::TextLines() const {
    std::vector<std::pair<int, int>> lines;
    {
        std::lock_guard<std::mutex> lock(linesLock_);
        lines = lines_;
    }
    const RECT r = WindowRect(hwnd_.load());
    for (auto& [top, bottom] : lines) {
        top += r.top;
        bottom += r.top;
    }
    return lines;
}

void Page::PaintLook(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT client{};
    GetClientRect(h, &client);
    HBRUSH paper = CreateSolidBrush(look_.paper);
    HBRUSH ink = CreateSolidBrush(look_.ink);
    FillRect(dc, &client, paper);
    if (look_.stripe > 0) {
        for (int y = -(look_.scroll % (2 * look_.stripe)); y < client.bottom; y += 2 * look_.stripe) {
            RECT band{0, y, client.right, y + look_.stripe};
            FillRect(dc, &band, ink);
        }
    }
    if (!look_.picture.empty()) {
        if (!picture_) {
            picture_ = static_cast<HBITMAP>(LoadImageW(nullptr, look_.picture.c_str(), IMAGE_BITMAP, 0, 0,
                                                       LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        }
        HDC from = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(from, picture_);
        BitBlt(dc, 0, 0, client.right, client.bottom, from, 0, 0, SRCCOPY);
        SelectObject(from, old);
        DeleteDC(from);
    }
    if (look_.twoColumns) {
        // The scroll bar: a grey trough with an arrow box level with the first lines.
        HBRUSH trough = CreateSolidBrush(RGB(200, 200, 200)), box = CreateSolidBrush(RGB(240, 240, 240));
        RECT bar{client.right - 17, 0, client.right, client.bottom},
            arrow{client.right - 16, 1, client.right - 1, 17};
        FillRect(dc, &bar, trough);
        FillRect(dc, &arrow, box);
        RECT tip{client.right - 11, 7, client.right - 6, 11};
        FillRect(dc, &tip, ink);
        DeleteObject(trough);
        DeleteObject(box);
        auto spans = DrawTwoColumns(dc, look_.ink);
        std::lock_guard<std::mutex> lock(linesLock_);
        lines_ = std::move(spans);
    }
    if (look_.text) {
        auto spans = DrawDocument(dc, look_.ink);
        std::lock_guard<std::mutex> lock(linesLock_);
        lines_ = std::move(spans);
    }
    DeleteObject(paper);
    DeleteObject(ink);
    EndPaint(h, &ps);
}

Page::~Page() {
    if (HWND h = hwnd_.load()) {
        PostMessageW(h, WM_CLOSE, 0, 0);
    }
    thread_.join();
    if (picture_) {
        DeleteObject(picture_);
    }
}

LRESULT CALLBACK Page::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Page*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && self->painted_ && m == WM_PAINT) {
        self->PaintLook(h);
        return 0;
    }
    if (self && self->painted_ && m == WM_ERASEBKGND) {
        return 1; // all of it is painted in WM_PAINT, late if the page is slow
    }
    if (m == kSetLook && self) {
        self->look_ = *reinterpret_cast<const Look*>(l);
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    }
    if (m == kStall && self) {
        self->stalled_ = true;
        Sleep(static_cast<DWORD>(w));
        return 0;
    }
    if (m == WM_RBUTTONDOWN && self) {
        ++self->rightClicks_;
        return 0;
    }
    if (m == WM_LBUTTONDOWN && self) {
        ++self->clicks_;
    } else if (m == WM_CHAR && self) {
        ++self->chars_;
    } else if (m == WM_MOUSEWHEEL && self) {
        ++self->wheels_;
    } else if (m == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(h, m, w, l);
}

void Page::Run(RECT r, Focus focus) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestPage";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    const DWORD exStyle = focus == Focus::Take ? 0 : WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    HWND h = CreateWindowExW(exStyle, L"TestPage", L"page", WS_POPUP, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) {
        return;
    }
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (focus == Focus::Take) {
        ShowWindow(h, SW_SHOW);
        SetForegroundWindow(h);
        SetFocus(h);
    } else {
        ShowWindow(h, SW_SHOWNOACTIVATE);
    }
    hwnd_ = h;
    MSG msg;
    if (look_.paintDelayMs > 0) {
        // A busy program: it looks at its messages (and so at what the display asks it to
        // repaint) only every few milliseconds.
        for (;;) {
            Sleep(static_cast<DWORD>(look_.paintDelayMs));
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    return;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) {
            return false;
        }
        Pump(10);
    }
    return true;
}

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool HasWindowRegion(HWND hwnd) {
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(hwnd, shape);
    DeleteObject(shape);
    return kind != ERROR;
}

bool IsTopmost(HWND hwnd) {
    return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

namespace {
// A move to (x, y), over the whole desktop, every monitor (on one monitor, the same as the primary
// screen), with `flags` (a button) at that place.
INPUT MoveInput(int x, int y, DWORD flags, DWORD time) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Normalised coordinates that map back onto exactly this pixel.
    in.mi.dx = static_cast<LONG>((static_cast<long long>(x - vx) * 65536 + w - 1) / w);
    in.mi.dy = static_cast<LONG>((static_cast<long long>(y - vy) * 65536 + h - 1) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | flags;
    in.mi.time = time;
    return in;
}

DWORD ButtonFlag(int button, bool down) {
    switch (button) {
    case 1:
        return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case 2:
        return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    default:
        return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    }
}
} // namespace

void MouseMoveTo(int x, int y, DWORD time) {
    INPUT in = MoveInput(x, y, 0, time);
    SendInput(1, &in, sizeof in);
    Pump(30);
}

void PointTo(int x, int y) {
    // The X pointer first: Wine moves it only when SetCursorPos changes the pointer's place, and a
    // move sent first would already have put the pointer there (leaving the X pointer behind, to
    // be reported again by the next crossing event there). Then the move that hooks hear.
    SetCursorPos(x, y);
    MouseMoveTo(x, y);
}

bool PointerStaysAt(int x, int y) {
    POINT now{};
    GetCursorPos(&now);
    if (now.x == x && now.y == y) {
        return true;
    }
    PointTo(x, y);
    return false;
}

void MouseButton(int button, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = ButtonFlag(button, down);
    SendInput(1, &in, sizeof in);
    Pump(30);
}

void MouseButtonAt(int x, int y, int button, bool down) {
    SetCursorPos(x, y); // the X pointer too (see PointTo)
    INPUT in = MoveInput(x, y, ButtonFlag(button, down), 0);
    SendInput(1, &in, sizeof in);
    Pump(30);
}

void ClickAt(int x, int y, int button) {
    PointTo(x, y);
    MouseButtonAt(x, y, button, true);
    MouseButtonAt(x, y, button, false);
}

void MouseDrag(int x1, int y1, int x2, int y2, int steps, int settleMs) {
    // The window dragged moves under the X pointer: each move puts the X pointer there too, or
    // Wine would take the pointer (and the release) back to where the X pointer was left.
    PointTo(x1, y1);
    MouseButtonAt(x1, y1, 1, true);
    for (int i = 1; i <= steps; ++i) {
        PointTo(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
    }
    MouseButtonAt(x2, y2, 1, false);
    Pump(settleMs);
}

void MouseWheel(int delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(delta);
    SendInput(1, &in, sizeof in);
    Pump(30);
}

void KeyPress(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Pump(30);
}

namespace {
HWND ShownMenu() {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        if (IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}
} // namespace

HWND OpenMenu(int ms) {
    HWND menu = nullptr;
    // The menu window is shown a moment before its loop takes the capture and reads the keys.
    const bool open = WaitFor(
        [&] {
            menu = ShownMenu();
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            return menu && GetGUIThreadInfo(GetWindowThreadProcessId(menu, nullptr), &gui) &&
                   (gui.flags & GUI_INMENUMODE);
        },
        ms);
    return open ? menu : nullptr;
}

bool NoMenuShown(int ms) {
    return WaitFor([] { return ShownMenu() == nullptr; }, ms);
}

std::wstring TakeMessageBox(const std::wstring& title, DWORD pid) {
    HWND box = FindWindowW(L"#32770", title.c_str());
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    // The box is found as soon as it exists; its text is set just before it is shown.
    if (!box || (pid && owner != pid) || !IsWindowVisible(box)) {
        return {};
    }
    std::wstring text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {}, buf[256] = {};
        GetClassNameW(c, cls, 32);
        GetWindowTextW(c, buf, 256);
        if (lstrcmpiW(cls, L"Static") == 0 && buf[0]) {
            text += buf;
        }
    }
    if (!text.empty()) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return text;
}

std::future<std::wstring> CloseMessageBoxLater(const std::wstring& title, int ms) {
    // The caller's thread sits in the modal box; a helper thread finds and closes it.
    auto result = std::make_shared<std::promise<std::wstring>>();
    auto future = result->get_future();
    std::thread([title, ms, result] {
        std::wstring text;
        const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
        while (text.empty() && static_cast<int>(end - GetTickCount()) > 0) {
            text = TakeMessageBox(title);
            Sleep(20);
        }
        result->set_value(text);
    }).detach();
    return future;
}

bool SameColour(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int Dpi() {
    HDC dc = GetDC(nullptr);
    int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d;
}

double CommitChargeMb() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage / (1024.0 * 1024.0);
}

int Px(double twips) {
    return static_cast<int>(std::nearbyint(twips * Dpi() / 1440.0));
}

} // namespace testing_support
