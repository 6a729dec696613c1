// One marker: a borderless bar that holds a picture of the screen behind it, tints it
// with a pen, and carries a grip (the scale panel) with a height strip and a colour swatch.
#pragma once
#include "lines/lineFinder.h"
#include "marker/livePicture.h"
#include "program/tick.h"
#include "toolkit/element.h"
#include "toolkit/form.h"
#include "toolkit/surface.h"

#include <memory>
#include <optional>
#include <vector>

// Is the pointer (x, y) outside the rectangle? The edges count as inside, so the
// column just right of it and the row just below it are inside too.
bool PointerOutside(double x, double y, double left, double top, double width, double height);

class markShape : public tk::Form {
public:
    static std::shared_ptr<markShape> New();
    ~markShape() override;

    // Public operations, used by the control panel.
    void ShowMark(int mk_no, bool mk_disp);
    void MoveMark(int dest);
    // Moves by whole lines of text (positive downwards), within its monitor, and takes the picture
    // there: the band's centre goes to the centre of the next line of text found in the pixels
    // around it; where there is none, a line is the marker's own height.
    void MoveLines(int lines);
    // What the band reads: the lines of text (screen rows) of the column being read, in the rows
    // [top, bottom) of the page (the window beneath the band at the pointer's column), with what
    // lies behind the band in place of its tint and the program's own windows left out.
    struct Reading {
        std::vector<lines::Span> found;
        std::optional<RECT> column; // the column read (screen pixels), if one was found
        std::vector<RECT> columns;  // every column found
        RECT window{};              // the page: its visible frame on the band's monitor
        RECT area{};                // what was read
    };
    // `ownColumn`: a band fitted to its column reads the column under it, wherever the pointer is.
    Reading ReadLines(int top, int bottom, POINT pointer, bool ownColumn) const;
    // A band as wide as the column it lies on (a margin each side, the grip at its right end),
    // fitted again whenever a key, following or a drag puts it in another column; off, it spans its
    // monitor again.
    void SetFitColumn(bool on);
    bool FitsColumn() const { return fitColumn_; }

    // Following the pointer: on, the band frames the line of text under the pointer and moves only
    // as the pointer enters another line; input passes through the bar to the window beneath.
    void SetFollowing(bool on);
    bool Following() const { return following_; }
    // The pointer moved (told once a burst): the band goes to the line under it, now or, while the
    // marker is taking a picture, as soon as it rests.
    void PointerMoved();
    void FollowPointer();
    // A following band stays in front of the window it follows the pointer over.
    void KeepAbovePage();
    // Hidden: not shown, no ticks and no copies. Shown again: where it was, with a new picture.
    void SetHidden(bool hidden);
    // Brings the marker back onto the primary monitor when no monitor shows it any more.
    void KeepOnScreen();

    // Handlers. Label1_MouseUp(1, 0, 0, 0) is also the background refresh.
    void Form_Click();
    void Form_MouseMove();
    // The marker's tick, run by the program's one tick (twice a second) while the marker is shown.
    void Timer1_Timer();
    tick::MarkerState TickState() const;
    void Pnl_scale_MouseDown(int Button, int Shift, float X, float Y);
    void Pnl_scale_MouseMove(int Button, int Shift, float X, float Y);
    void Pnl_scale_MouseUp(int Button, int Shift, float X, float Y);
    void Label1_MouseDown(int Button, int Shift, float X, float Y);
    void Label1_MouseMove(int Button, int Shift, float X, float Y);
    void Label1_MouseUp(int Button, int Shift, float X, float Y);
    void L_color_Click();

    // Per-marker state.
    int mk_no = 0;
    float drag_x = 0;
    float drag_y = 0;
    HWND frame_hwnd = nullptr;
    int pen_mode = 0;
    int color_idx = 0;
    int hide_wait = 0;
    bool touka_on = false;
    int above_cnt = 0;
    HWND below_hwnd = nullptr;

    // The tint rectangle drawn over the whole picture.
    struct TintShape {
        bool visible = true;
        int drawMode = 7;
        COLORREF fillColor = 0xFF0000;
    } Shape1;

    tk::Element Pnl_scale;
    tk::Element Label1;
    tk::Element L_color;

    // What the picture is doing. `frame_hwnd` and `touka_on` tell the handlers as before; this
    // tells apart what they cannot (a refresh from a drag, a copy in place from an outline).
    enum class PictureState {
        Held,           // resting: the picture is what lay behind the band at the last copy
        Outlined,       // refreshing: an outline while the windows beneath repaint, then the copy
        CopyingInPlace, // refreshing a marker left out of screen copies: no change of shape
        Dragging,       // a grip drag: an outline with no picture until the release
        PassThrough,    // clicks pass through: an outline until the pointer leaves
    };
    PictureState State() const;
    // How resting markers keep their pictures live on this system.
    static live::Plan LivePlan();
    // The capture path was chosen again: left out of copies or not, and a new picture.
    void CaptureModeChanged();
    // Turns the live picture off (and on again): the benchmark measures what it costs.
    static void SetLivePicture(bool on);
    // Takes pictures as a marker left out of copies does, copying in place and keeping its picture
    // live by copies (tests and the benchmark, on a system that cannot leave windows out of
    // copies); off: as the system allows again.
    void CopyInPlace(bool on);
    // Whether the screen just outside the resting band changed since the picture was taken.
    bool EdgesChanged() const;
    // Pictures taken by every marker so far (refreshes and live copies that changed the picture).
    static long PicturesTaken();
    // A program tick begins: the z-order list its markers' ticks share is taken anew.
    static void NewProgramTick();
    // Screen copies the live pictures of markers left out of copies have taken so far.
    static long LiveScreenCopies();

    std::wstring PanelTooltip() const { return tips_.Text(Pnl_scale.Hwnd()); }
    const tk::Surface& Picture() const { return surface_; }

    static constexpr UINT kTimer1Interval = tick::kIntervalMs;
    static constexpr UINT_PTR kLiveTimer = 2;   // copies in place, where markers are left out of copies
    static constexpr UINT_PTR kFollowTimer = 3; // a move of the pointer waits for a picture
    static constexpr UINT kFollowRetryMs = 20;
    static constexpr UINT kWmFollow = WM_APP + 20; // the pointer moved while following
    static constexpr COLORREF kBackColor = 0xC0C0C0;
    static constexpr COLORREF kPaper = 0xFFFFFF; // shown where a window beneath protects its content
    static constexpr double kPanelWidth = 705;
    static constexpr double kPanelHeight = 285;
    static constexpr double kStep = 60;
    static constexpr double kMinHeight = 200;

protected:
    WindowDesign Design() const override;
    void CreateElements() override;
    void Form_Load() override;
    void Form_Resize() override;
    void OnTimer(UINT_PTR id) override;
    void Paint(HDC dc, const RECT& area) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    // Where a key reading past the band's column goes: further down (or up) the same column beyond
    // what was read around the band, or into the next column's first (or previous one's last) line.
    struct Entry {
        int centre = 0;
        Reading reading;
    };
    std::optional<Entry> ReadOn(const Reading& from, int centre, int direction) const;
    // The screen in `area`, as a page shows it (see ReadLines).
    tk::Surface ReadScreen(const RECT& area) const;
    void FitToColumn(const RECT& column);
    void FitToColumnUnderBand();
    void StopListening(); // the pointer hook posts to this window no more
    void PassInputThrough(bool on);
    // The bar takes input where the grip is on top under the pointer, and lets it through elsewhere.
    void TakeInputOnGrip();
    // Whether the grip is what shows at screen point `p` (no other window above the marker there).
    bool GripOnTopAt(POINT p) const;
    // False where the system gave no copy: the picture stays as it was.
    bool CopyScreenImage();
    void GoFrameShape();
    void GoFullShape();
    bool PointerOutsideNow();
    // Moves to top `N` (twips) and takes the picture there, but with the opaque pen.
    void MoveToTop(int N);
    bool PumpAndRefresh();
    void RefreshAsOutline();
    void RefreshInPlace();
    // The screen just above and below the band (`fresh`: read now, not shared from a moment
    // ago), and whether it changed since the picture was taken.
    std::vector<tk::Pixel> SenseEdges(bool fresh) const;
    // Where markers are left out of copies: copies what lies behind and shows it if it changed.
    void LiveCopy();
    bool HasFrameRegion() const;
    // Paints plain paper where a window beneath that keeps its content out of copies lies in the
    // picture `picture` of the screen rectangle `at`.
    void HideProtected(tk::Surface& picture, const RECT& at) const;
    void Invalidate();

    tk::Surface surface_;
    tk::Tooltips tips_;
    tk::Icon heightCursor_;
    tk::Icon gripCursor_;
    int formButtonsDown_ = 0;
    bool excludedFromCapture_ = false;          // screen copies leave this window out
    PictureState refresh_ = PictureState::Held; // a refresh's own stage; Held when none runs
    bool waitForBusyPrograms_ = false;          // the picture under way follows the reader's own move
    bool hidden_ = false;
    std::vector<tk::Pixel> edges_; // the edges as of the last picture
    mutable RECT edgeMonitor_{};   // the monitor they lie on
    bool tickEnabled_ = false;     // shown: the program's tick runs its tick
    bool ticking_ = false;         // its tick is under way (it pumps messages)
    bool following_ = false;
    bool fitColumn_ = false;
    HWND listening_ = nullptr;       // the window the pointer hook posts to while following
    std::optional<RECT> lastColumn_; // the column the band read last (screen pixels)
    RECT followLine_{};              // the rows of the line (or the gap) the pointer was last in
};
