// Test helpers: windows to put behind markers, screen pixels, real input and waiting.
#pragma once
#include <windows.h>

#include <functional>
#include <future>
#include <string>

namespace testing_support {

// A plain top-level window of one colour, shown at (x, y, w, h) in pixels.
class ColourWindow {
public:
    ColourWindow(COLORREF colour, int x, int y, int w, int h, bool visible = true, DWORD exStyle = 0);
    ~ColourWindow();
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Pumps messages until `done` holds or `ms` milliseconds have passed.
bool WaitFor(const std::function<bool()>& done, int ms = 3000);
void Pump(int ms);

COLORREF ScreenPixel(int x, int y);
RECT WindowRect(HWND hwnd);
bool IsTopmost(HWND hwnd);

// Real input through SendInput, in screen pixels.
void MouseMoveTo(int x, int y);
void MouseButton(int button, bool down); // 1 left, 2 right, 4 middle
void MouseWheel(int delta);
// A left-button drag from (x1, y1) to (x2, y2) in `steps` moves, then `settleMs` of pumping.
void MouseDrag(int x1, int y1, int x2, int y2, int steps, int settleMs);
void KeyPress(WORD vk);

// The shown popup menu (of any process) once its thread's menu loop reads the keyboard, or null
// if none is within `ms`.
HWND OpenMenu(int ms = 3000);
// True once no popup menu is shown, within `ms`.
bool NoMenuShown(int ms = 3000);

// If a message box titled `title` (of process `pid`, or of any process when 0) is shown with its
// text in place, closes it and returns the text; otherwise returns an empty string.
std::wstring TakeMessageBox(const std::wstring& title, DWORD pid = 0);
// Dismisses the first message box titled `title` that appears within `ms`, returning its text.
std::future<std::wstring> CloseMessageBoxLater(const std::wstring& title, int ms);

bool SameColour(COLORREF a, COLORREF b, int tolerance = 8);
int Dpi();
// The process's commit charge in MB (Wine leaves PrivateUsage at 0).
double CommitChargeMb();
int Px(double twips); // twips to pixels at the current dpi

} // namespace testing_support
