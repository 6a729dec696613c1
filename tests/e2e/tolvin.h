// Starts the real tolvin.exe and finds its windows from outside the process.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

extern std::wstring g_tolvinPath;

class Tolvin {
public:
    explicit Tolvin(const std::wstring& arguments = L"", const std::wstring& program = g_tolvinPath);
    ~Tolvin();
    Tolvin(const Tolvin&) = delete;
    Tolvin& operator=(const Tolvin&) = delete;

    bool Started() const { return started_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // Marker window `n`, waiting up to `ms` for it to appear.
    HWND Marker(int n, int ms = 15000) const;
    HWND Panel() const;
    // The program's hidden window for the keys, the monitors and the end of the session.
    HWND Program() const;
    HWND Grip(int n) const;
    bool WaitForExit(int ms, DWORD* code = nullptr) const;

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// Ends any tolvin.exe left over by an earlier test.
void KillStrayTolvins();

// Waits until `marker` has stepped to `top` and taken its picture there: its full shape is back.
// Until then it is an outline, which the pointer and the wheel pass through.
bool WaitForStep(HWND marker, int top, int ms = 3000);

// Ctrl+Alt+Shift and `vk`, pressed and let go (the global keys).
void KeyChord(WORD vk);

// Types letters (upper case) and digits with real key presses.
void Type(const char* letters);

// Moves to (x, y) and clicks `button` there (1 left, 2 right), then lets the program answer.
void Click(int x, int y, int button = 1);
// Each shown top-level window over `at`, from the top (class, rectangle, extended style, outline).
std::string WindowsThere(POINT at);
// A marker refreshes its picture on its next tick (every 500 ms) once a window above it has gone
// (a closed menu, a closed marker), and for those few milliseconds it is only an outline that
// clicks pass through. Waits for that to be over before the next click on a marker.
void LetMarkersRefresh();
// Once no menu is open, right-clicks at (x, y) and presses `vk` in the menu that opens, then
// (with `settle`) lets the markers the menu covered refresh. When no menu opens, or the menu
// does not take the key, says what was under the pointer and what the program was doing.
testing::AssertionResult MenuKeyAt(int x, int y, WORD vk, bool settle = true);
// The same with several keys pressed in turn (a submenu's access key, arrows, Enter).
testing::AssertionResult MenuKeysAt(int x, int y, std::initializer_list<WORD> keys, bool settle = true);
