// The global keys: Ctrl+Alt+Shift+Down and Ctrl+Alt+Shift+Up move the current marker to the next
// line of text, Ctrl+Alt+Shift+H hides and shows every marker and the panel, Ctrl+Alt+Shift+F turns
// following the pointer on and off for the current marker. They work wherever the keyboard focus is, without
// taking it, and reach no other program. A combination another program already holds is left to it; the
// others still work.
#pragma once
#include <windows.h>

#include <functional>

namespace keys {

enum Key : int { kLineDown = 1, kLineUp = 2, kHideShow = 3, kFollow = 4 };

// The top (twips) of a marker `height` high at `top` moved `lines` lines down (negative: up), a
// line being its own height, stopping at its monitor's top and bottom (the bottom wins for a
// marker taller than its monitor, as a step's does).
double LineTop(double top, double height, double monitorTop, double monitorBottom, int lines);

// The registrations, held for a window of the program that hands each WM_HOTKEY it receives to
// Pressed, which hands the key to `onKey`.
class GlobalKeys {
public:
    GlobalKeys() = default;
    GlobalKeys(const GlobalKeys&) = delete;
    GlobalKeys& operator=(const GlobalKeys&) = delete;
    ~GlobalKeys() { GiveBack(); }

    void Take(HWND owner, std::function<void(Key)> onKey);
    // A WM_HOTKEY with this id arrived.
    void Pressed(int id) const;
    // Gives every key back to the system.
    void GiveBack();
    // Whether the key was had (false where another program holds it).
    bool Held(Key key) const { return (held_ & (1u << key)) != 0; }
    HWND Hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    unsigned held_ = 0;
    std::function<void(Key)> onKey_;
};

} // namespace keys
