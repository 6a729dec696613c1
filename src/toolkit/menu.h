// Popup menus: building trees with access keys, check marks and captions, and showing
// one at the pointer so that the chosen command id comes back to the caller.
#pragma once
#include "toolkit/handles.h"

#include <windows.h>

#include <string>

namespace tk {

void AppendItem(HMENU menu, UINT id, const std::wstring& caption);
void AppendSeparator(HMENU menu);
HMENU AppendSubmenu(HMENU menu, const std::wstring& caption);

void SetChecked(HMENU root, UINT id, bool checked);
bool IsChecked(HMENU root, UINT id);
void SetEnabled(HMENU root, UINT id, bool enabled);
bool IsEnabled(HMENU root, UINT id);
void SetCaption(HMENU root, UINT id, const std::wstring& caption);
std::wstring CaptionOf(HMENU root, UINT id);

// Shows `menu` at the pointer, owned by `owner`, and returns the chosen id (0 for none)
// once it has closed. The pointer capture is given up first, as a menu needs it. A menu takes
// the foreground while it is open; when it closes the window that had it gets it back, and
// `keepInFront` (the window the menu was for) stays in front of it.
UINT TrackAtPointer(HMENU menu, HWND owner, UINT flags, HWND keepInFront = nullptr);

// The modal message box, which hands the foreground back the same way.
int MsgBox(const std::wstring& text, const std::wstring& title, UINT flags, HWND keepInFront = nullptr);

} // namespace tk
