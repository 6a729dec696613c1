// Test helpers: windows to put behind markers, screen pixels, real input and waiting.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

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

// A plain white window of another program, as a user's document would be: it runs its own
// message loop on its own thread (so it repaints at once whatever a marker uncovers; under Wine a
// window that repaints an area late is put back above whatever covers that area by then) and
// counts the left presses, the characters and the wheel notches it receives. A page never takes the focus
// (under Wine a window that does can be raised again a while later); a document takes it at once.
class Page {
public:
    enum class Focus { Never, Take };
    explicit Page(RECT r, Focus focus = Focus::Never);
    // What the page shows: plain paper of one colour, or horizontal stripes `stripe` pixels high
    // (ink and paper by turns) scrolled by `scroll` pixels. With `paintDelayMs` the page's program
    // is busy: it looks at its messages, and repaints, only that often.
    struct Look {
        COLORREF paper = RGB(255, 255, 255);
        COLORREF ink = RGB(0, 0, 0);
        int stripe = 0;
        bool text = false; // a document: a heading, paragraphs of body text, small print
        // A page of two columns of body text (the right one's baselines 9 pixels lower) with a
        // scroll bar at its right edge; TextLines gives the left column's lines, then the right's.
        bool twoColumns = false;
        // A picture shown 1:1 from a .bmp file (a real document's page), as its program shows it.
        std::wstring picture = {};
        int scroll = 0;
        int paintDelayMs = 0;
    };
    Page(RECT r, Look look);
    // Changes what the page shows and has it repaint, as its program would.
    void SetLook(const Look& look);
    // The page's program is busy for `ms` milliseconds from now: it answers no message and
    // repaints nothing (as a program does while it works, or while a busy machine starves it).
    void Stall(int ms);
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;
    HWND Hwnd() const { return hwnd_; }
    int Clicks() const { return clicks_; }
    int RightClicks() const { return rightClicks_; }
    int Chars() const { return chars_; }
    int Wheels() const { return wheels_; }
    // With a text look, once painted: each line's ink rows (top, one past the bottom) in screen
    // pixels, from the glyph metrics of the fonts it drew with.
    std::vector<std::pair<int, int>> TextLines() const;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    void Run(RECT r, Focus focus);
    void PaintLook(HWND h);

    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<int> clicks_{0};
    std::atomic<int> rightClicks_{0};
    std::atomic<int> chars_{0};
    std::atomic<int> wheels_{0};
    std::atomic<bool> stalled_{false}; // the page's thread has begun the stall asked for
    std::atomic<bool> painted_{false}; // drawn from look_ rather than the class background
    HBITMAP picture_ = nullptr;        // look_.picture, loaded on the page's thread at its first paint
    Look look_;                        // read and written on the page's own thread
    mutable std::mutex linesLock_;
    std::vector<std::pair<int, int>> lines_; // client rows
    std::thread thread_;
};

// Draws one line of text with its top at (x, y) in the DC's text colour and returns its ink rows
// (top, one past the bottom), from the font's glyph metrics rather than the pixels drawn.
struct TextFont {
    const wchar_t* face;
    int pixels;
    bool bold = false;
    bool antialiased = true;
};
std::pair<int, int> DrawTextLine(HDC dc, const TextFont& font, int x, int y, const wchar_t* text);

// Draws a page of a document (a heading, two paragraphs of body text and small print, with gaps)
// and returns each line's ink rows, from the glyph metrics of the fonts it drew with.
std::vector<std::pair<int, int>> DrawDocument(HDC dc, COLORREF ink);
// Two columns of ten lines, left [20, 460) and right [520, 960); each line's ink rows.
std::vector<std::pair<int, int>> DrawTwoColumns(HDC dc, COLORREF ink);

// Pumps messages until `done` holds or `ms` milliseconds have passed.
bool WaitFor(const std::function<bool()>& done, int ms = 3000);
void Pump(int ms);

COLORREF ScreenPixel(int x, int y);
RECT WindowRect(HWND hwnd);
// Whether the window has a region of its own: a marker has one while it is only its outline.
bool HasWindowRegion(HWND hwnd);
bool IsTopmost(HWND hwnd);

// Real input through SendInput, in screen pixels; `time` is the input's time stamp (0: the system's).
void MouseMoveTo(int x, int y, DWORD time = 0);
// The pointer moved as a user moves it. Injected input moves Wine's pointer but not always the X
// pointer, and a window moving under the X pointer then reports a move at the X pointer's place:
// the X pointer is put there too, as Windows has only one pointer.
void PointTo(int x, int y);
// Wine sometimes puts the pointer back where it was a moment before (a crossing event of a window
// that moved under the X pointer, read late): only then is it put where the test wants it again.
bool PointerStaysAt(int x, int y);
void MouseButton(int button, bool down); // 1 left, 2 right, 4 middle
// The button pressed or let go at (x, y), the move there and the button in one input: a move of
// the X pointer that Wine hears late cannot take the button elsewhere. ClickAt: pressed and let go.
void MouseButtonAt(int x, int y, int button, bool down);
void ClickAt(int x, int y, int button = 1);
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
