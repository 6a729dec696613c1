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
void GiveForegroundBack(HWND before) {
    // Only while the foreground is still this program's: a click elsewhere that closed the menu
    // has already put the window the user chose in front.
    if (before && IsWindow(before) && GetWindowThreadProcessId(before, nullptr) != GetCurrentThreadId() &&
        ForegroundIsOurs()) {
        SetForegroundWindow(before);
    }
}
} // namespace

UINT TrackAtPointer(HMENU menu, HWND owner, UINT flags) {
    if (GetCapture()) {
        ReleaseCapture();
    }
    POINT p{};
    GetCursorPos(&p);
    // Without the owner in front the menu would not close on a click elsewhere. The window that
    // had the keyboard gets it back when the menu is done.
    const HWND before = GetForegroundWindow();
    SetForegroundWindow(owner);
    UINT id = 0;
    {
        ModalLoop modal;
        id = static_cast<UINT>(
            TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0, owner, nullptr));
    }
    PostMessageW(owner, WM_NULL, 0, 0);
    GiveForegroundBack(before);
    return id;
}

int MsgBox(const std::wstring& text, const std::wstring& title, UINT flags) {
    ModalLoop modal;
    const HWND before = GetForegroundWindow();
    const int answer = MessageBoxW(nullptr, text.c_str(), title.c_str(), flags | MB_TASKMODAL);
    GiveForegroundBack(before);
    return answer;
}

} // namespace tk
