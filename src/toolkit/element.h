// Child elements of a form: container panels and labels (one window class that paints
// its background, border, text and drawn lines), a native scroll bar, a text box and
// tooltips. Positions are twips relative to the container's client area.
#pragma once
#include "toolkit/form.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tk {

// A line drawn on an element's surface, beneath its children. Both ends count.
struct Line {
    double x1, y1, x2, y2; // twips
    COLORREF color;
    int widthPx = 1;
};

class Element {
public:
    Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;
    ~Element();

    // Makes the element's window inside `parent` (a form or another element).
    void Create(Form& owner, HWND parent, double left, double top, double width, double height,
                COLORREF back);
    HWND Hwnd() const { return hwnd_; }

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);

    bool Visible() const;
    void SetVisible(bool visible);
    COLORREF BackColor() const { return back_; }
    void SetBackColor(COLORREF color);
    void SetForeColor(COLORREF color) { fore_ = color; }
    void SetBorder(bool single) { border_ = single; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    void SetFont(HFONT font) { font_ = font; }
    // With auto size the element widens to its text (never below its designed width nor
    // beyond `maxWidth` twips), its left edge fixed.
    void SetAutoSize(bool on, double maxWidth) {
        autoSize_ = on;
        maxWidth_ = maxWidth;
    }
    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text_; }

    std::vector<Line>& Lines() { return lines_; }
    void Redraw() const;
    // Paints the lines of the container that pass over this element on top of it.
    void SetShowsContainerLines(Element* container) { container_ = container; }

    std::function<void(const MouseArgs&)> MouseDown, MouseMove, MouseUp;
    std::function<void()> Click;

    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

private:
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintSelf(HDC dc);
    void DrawLines(HDC dc, const std::vector<Line>& lines, int dx, int dy) const;
    void FitToText();

    Form* owner_ = nullptr;
    HWND hwnd_ = nullptr;
    COLORREF back_ = 0;
    COLORREF fore_ = 0;
    bool border_ = false;
    bool autoSize_ = false;
    HCURSOR cursor_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring text_;
    std::vector<Line> lines_;
    Element* container_ = nullptr;
    int buttonsDown_ = 0;
    int designedWidthPx_ = -1;
    double maxWidth_ = 0;
};

// A native vertical scroll bar with the value semantics of a spinner: Change runs
// whenever the value changes, by the user or by SetValue.
class ScrollBar {
public:
    void Create(HWND parent, double left, double top, double width, double height, int min, int max);
    HWND Hwnd() const { return hwnd_; }
    double Width() const;
    double Height() const;
    void Move(double left, double top, double width, double height);
    int Value() const { return value_; }
    void SetValue(int value);
    // Feed WM_VSCROLL messages the container receives for this bar.
    void OnScroll(WPARAM wParam);
    std::function<void()> Change;

private:
    HWND hwnd_ = nullptr;
    int min_ = 0, max_ = 0, value_ = 0;
};

// A native single-line text box.
class TextBox {
public:
    void Create(HWND parent, double left, double top, double width, double height);
    HWND Hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// The tooltips of one form; the text of each tool can be read back.
class Tooltips {
public:
    ~Tooltips();
    void Set(HWND owner, HWND tool, const std::wstring& text);
    std::wstring Text(HWND tool) const;
    HWND Hwnd() const { return tip_; }

private:
    HWND tip_ = nullptr;
    std::map<HWND, std::wstring> texts_;
};

// Initialises the common controls once (tooltips, visual styles).
void InitControls();

} // namespace tk
