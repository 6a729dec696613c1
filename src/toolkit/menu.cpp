#include "toolkit/menu.h"

#include "toolkit/form.h"

namespace tk {

void AppendItem(HMENU menu, UINT id, const std::wstring& caption) {
    AppendMenuW(menu, MF_STRING, id, caption.c_str());
}

void AppendSeparator(HMENU menu) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

HMENU AppendSubmenu(HMENU menu, const std::wstring& caption) {
    HMENU sub = CreatePopupMenu();
    // The parent destroys its submenus with itself.
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    return sub;
}

void SetChecked(HMENU root, UINT id, bool checked) {
    CheckMenuItem(root, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool IsChecked(HMENU root, UINT id) {
    const UINT state = GetMenuState(root, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

void SetEnabled(HMENU root, UINT id, bool enabled) {
    EnableMenuItem(root, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool IsEnabled(HMENU root, UINT id) {
    const UINT state = GetMenuState(root, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void SetCaption(HMENU root, UINT id, const std::wstring& caption) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<wchar_t*>(caption.c_str());
    SetMenuItemInfoW(root, id, FALSE, &mii);
}

std::wstring CaptionOf(HMENU root, UINT id) {
    wchar_t buf[256] = {};
    GetMenuStringW(root, id, buf, 256, MF_BYCOMMAND);
    return buf;
}

namespace {
// Whether `upper` (or the top-level window that holds it) lies above `lower` in the z-order.
bool Above(HWND upper, HWND lower) {
    const HWND root = GetAncestor(upper, GA_ROOT);
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == root) {
            return true;
        }
    }
    return false;
}

// For a moment after the foreground went back, the marker is kept above the window that took it.
struct FrontWatch {
    HWND keep = nullptr;
    HWND other = nullptr;
    DWORD start = 0;
    UINT_PTR timer = 0;
};
FrontWatch g_watch;
constexpr DWORD kWatchMs = 500;
constexpr UINT kWatchInterval = 20;

void CALLBACK WatchFront(HWND, UINT, UINT_PTR, DWORD) {
    if (!IsWindow(g_watch.keep) || GetTickCount() - g_watch.start > kWatchMs) {
        KillTimer(nullptr, g_watch.timer);
        g_watch = FrontWatch{};
        return;
    }
    if (Above(g_watch.other, g_watch.keep)) {
        KeepInFront(g_watch.keep);
    }
}

// Handing the foreground to another program's window activates it, and an activated window goes to
// the top of its band (Windows and Wine alike), over the marker the reader just gave a command to.
// The other program activates its window in its own time (on Windows when its thread next reads its
// queue, under Wine also when the display reports the new focus), so the marker goes back in front
// now and again whenever that window has come above it within the next half second, never taking
// the keyboard. A click the reader makes on that window meanwhile does not raise it (it is active
// already), so the watch keeps nothing from the reader.
void GiveForegroundBack(HWND before, HWND keepInFront) {
    // Only while the foreground is still this program's: a click elsewhere that closed the menu
    // has already put the window the user chose in front, and it stays there.
    if (!ForegroundIsOurs()) {
        return;
    }
    if (before && IsWindow(before) && GetWindowThreadProcessId(before, nullptr) != GetCurrentThreadId()) {
        SetForegroundWindow(before);
        if (keepInFront) {
            if (g_watch.timer) {
                KillTimer(nullptr, g_watch.timer);
            }
            g_watch = FrontWatch{keepInFront, before, GetTickCount(), 0};
            g_watch.timer = SetTimer(nullptr, 0, kWatchInterval, WatchFront);
        }
    }
    KeepInFront(keepInFront);
}
} // namespace

UINT TrackAtPointer(HMENU menu, HWND owner, UINT flags, HWND keepInFront) {
    if (GetCapture()) {
        ReleaseCapture();
    }
    POINT p{};
    GetCursorPos(&p);
    // Without the owner in front the menu would not close on a click elsewhere.
    const HWND before = GetForegroundWindow();
    SetForegroundWindow(owner);
    UINT id = 0;
    {
        ModalLoop modal;
        id = static_cast<UINT>(
            TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0, owner, nullptr));
    }
    PostMessageW(owner, WM_NULL, 0, 0);
    GiveForegroundBack(before, keepInFront);
    return id;
}

int MsgBox(const std::wstring& text, const std::wstring& title, UINT flags, HWND keepInFront) {
    ModalLoop modal;
    const HWND before = GetForegroundWindow();
    const int answer = MessageBoxW(nullptr, text.c_str(), title.c_str(), flags | MB_TASKMODAL);
    GiveForegroundBack(before, keepInFront);
    return answer;
}

} // namespace tk
