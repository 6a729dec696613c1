// Base of every top-level window of the program: registers its class once, brings the
// window into being on first use, keeps positions in twips and dispatches messages.
#pragma once
#include "toolkit/capture.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tk {

// Mouse arguments as the handlers see them: Button 1 left, 2 right, 4 middle (for a move,
// the set of buttons held), X and Y in twips relative to the window or element.
struct MouseArgs {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
};
// Decodes a WM_*BUTTON* or WM_MOUSEMOVE message; for a press or release the button concerned.
MouseArgs DecodeMouse(UINT msg, WPARAM wParam, LPARAM lParam);
// True for the messages DecodeMouse understands.
bool IsMouseDown(UINT msg);
bool IsMouseUp(UINT msg);

class Form : public std::enable_shared_from_this<Form> {
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // The window handle; the first call creates the window and runs Form_Load.
    // Null once the form has been unloaded: a closed form never comes back.
    HWND Hwnd();
    HWND HwndIfLoaded() const { return hwnd_; }
    bool Unloaded() const { return unloaded_; }

    // Window geometry in twips (screen coordinates for a top-level window).
    double Left();
    double Top();
    double Width();
    double Height();
    double ScaleWidth();
    double ScaleHeight();
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);

    void SetCaption(const std::wstring& text);
    std::wstring Caption();
    void SetIcon(HICON icon);
    bool Visible();
    void Show();
    // Runs Form_Unload, then destroys the window and everything it owns.
    void Unload();

    void EnableTimer(UINT_PTR id, UINT milliseconds, bool enabled);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    struct WindowDesign {
        const wchar_t* className;
        DWORD style;
        DWORD exStyle;
        double width;
        double height;
    };
    virtual WindowDesign Design() const = 0;
    // Child elements are made here, before Form_Load.
    virtual void CreateElements() {}
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}
    virtual void OnTimer(UINT_PTR) {}
    virtual void Paint(HDC, const RECT&) {}
    // Messages a form handles itself; return true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Resources tied to the window (surfaces, fonts) are freed here.
    virtual void OnDestroy() {}

private:
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool loading_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// Delivers every pending message and returns (a repeated WM_QUIT is posted again).
// Inside a modal loop (a menu, the message box, a window move) keyboard and mouse input is
// left in the queue for that loop.
void DoEvents();

// Returns once the display has dealt with what this thread has asked of it so far, so that the
// next DoEvents finds whatever it reported in reply (such as the areas a changed window shape
// uncovered). Costs one round trip to the display at most.
void WaitForDisplay();

// A window's rectangle in screen pixels; all zeros for no window.
RECT WindowRectOf(HWND hwnd);

// Puts a top-level window at the top of the topmost band without activating it: the window the
// user is typing in keeps the keyboard.
void RaiseTopmostWithoutActivating(HWND hwnd);
// Puts a shown top-level window at the top of its band (above every window that is not always in
// front, or every window that is) without activating it, as a click puts any other window there.
void KeepInFront(HWND hwnd);
// Whether the foreground window belongs to this thread, so that moving the focus among its own
// windows takes nothing from another program.
bool ForegroundIsOurs();
// Whether the user has turned high contrast on.
bool HighContrastOn();

// Takes the pointer for `hwnd` from a press of `button` (1 left, 2 right, 4 middle) until the
// button is let go (SetCapture). For the left button it also makes sure the window hears of the pointer's
// moves and of the release even while another program is in front: Windows gives a held button's input to the
// capturing window whoever is in front, but Wine hands synthesized input only to the foreground program's
// capture, so a window that never takes the foreground would lose its drag there. While the capture lasts the
// pointer and the left button are read every few milliseconds as well, and a move or release the window did
// not hear of is sent to it (a move it heard of already is not sent again).
void HoldPointer(HWND hwnd, int button);

// How a drag hears the pointer and the left button once it has the capture.
enum class DragInput {
    // The capture alone. Windows hands every move and the release of a button pressed over a
    // window to that window's capture, whoever is in front (SetCapture's documentation). Reading
    // the buttons there would break drags: GetAsyncKeyState answers 0 while the foreground window
    // belongs to a process whose input this one may not read (an administrator's window), and the
    // drag would end as if the button had been let go.
    CaptureOnly,
    // The capture, and the pointer and buttons read every few milliseconds: Wine hands synthesized
    // input only to the foreground thread's capture.
    CaptureAndReading,
};
DragInput ChooseDragInput(const SystemReport& report);
// The window heard of a move at this screen point (called for every WM_MOUSEMOVE it takes).
void PointerHeardAt(HWND hwnd);

// Drags a top-level window by the pointer while the left button is held, without activating it
// (the system's move loop, which WM_NCLBUTTONDOWN on HTCAPTION starts, puts the window in front
// first and so takes the keyboard from the window the user types in).
class WindowDrag {
public:
    // At a left press on the window: holds the pointer until the button is let go.
    void Begin(HWND hwnd);
    // Hands the drag the window's mouse messages; true for those it took. The release's own place
    // (its lParam) is where the window ends, whatever moves before it were not read yet.
    bool OnMessage(HWND hwnd, UINT msg, LPARAM lParam);
    bool Active() const { return active_; }

private:
    POINT grab_{}; // the pointer's place within the window
    bool active_ = false;
};

// Marks the program as inside a modal loop of its own for the object's lifetime.
class ModalLoop {
public:
    ModalLoop();
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
};

// A timer of `hwnd` every `ms`, which the system may fire up to `toleranceMs` late to fold it with
// other wake-ups. SetCoalescableTimer (user32, Windows 8 and later; loaded by name) takes the
// tolerance in milliseconds as its last argument, between TIMERV_DEFAULT_COALESCING (0, the
// system's own choice) and TIMERV_NO_COALESCING; where it is missing or refuses, a plain SetTimer,
// which the system coalesces by its own rules. Either way the timer is WM_TIMER to `hwnd`, `id`.
void SetCoalescedTimer(HWND hwnd, UINT_PTR id, UINT ms, UINT toleranceMs);

// Whether a menu or the message box of the program is open, and how long ago the last one closed.
bool ModalLoopOpen();
DWORD MsSinceModalLoopEnded();

// Ends the program at once. Tests replace the action so that the registry can be
// exercised in-process; the default ends the process.
void EndProgram();
void SetEndProgramAction(void (*action)());

HINSTANCE Instance();

} // namespace tk
