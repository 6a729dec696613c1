// The control panel: the registry that owns every marker and keeps its options, and the
// small always-in-front window with the current number, the spinner and the wheel.
#pragma once
#include "marker/markShape.h"
#include "panel/keys.h"
#include "program/programWindow.h"
#include "panel/steps.h"
#include "toolkit/element.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/screen.h"

#include <array>
#include <memory>
#include <vector>

struct MarkerRec {
    std::shared_ptr<markShape> shape;
    bool show_top = false;
    bool just_winw = false;
    bool pen_xor = false;
    bool pen_merge = false;
    bool pen_copy = false;
    bool hide_btn = false;
    bool mouse_touka = false;
    bool vertical_line = false;
    bool dim_rest = false;   // everything on its monitor but the bands darkened
    bool follow = false;     // the band follows the pointer line by line
    bool fit_column = false; // the band as wide as the column of text it lies on
};

class frmControl : public tk::Form {
public:
    static constexpr int kMaxMarkers = 100;

    // The one panel object, created on first use.
    static std::shared_ptr<frmControl> Instance();
    // The panel object if there is one (never makes one).
    static std::shared_ptr<frmControl> InstanceIfAny();
    // Forgets the panel object once the program has ended, so that a test can start over.
    static void Discard();

    // Registry.
    void InitMarker();
    void MyMarkerNo(int mk_no);
    void AddMarker();
    void DispMarkerMostTop();
    void DelMarker();
    void DelAllMarker();
    // The current marker's window (null when there is none).
    HWND CurrentMarkerHwnd() const;

    // Options of one marker, and changes to the current one.
    bool JustWidth(int mk_no) const;
    int PenEffect(int mk_no) const;
    bool HideBtn(int mk_no) const;
    bool MouseTouka(int mk_no) const;
    bool VerticalLine(int mk_no) const;
    bool DimRest(int mk_no) const;
    void CheckHideBtn();
    void CheckJustWidth();
    void CheckMouseTouka();
    void CheckDimRest();
    // The current marker follows the pointer, or stops following it.
    void CheckFollowPointer();
    // The current marker's band as wide as its column of text, or across its monitor again.
    void CheckFitColumn();
    void SelCopyPen();
    void SelMergePen();
    void SelXorPen();

    // Panel window.
    void WheelPlus();
    void WheelMinus();
    void Form_MouseDown(int Button);
    void VScroll1_Change();
    // Moves the current marker `n` steps (positive downwards). Called while a move is under way,
    // it adds the steps to those still to make: no step is lost and no move runs inside another.
    void StepCurrentMarker(int n);
    // The same by whole lines: a line is the marker's own height.
    void MoveCurrentMarkerLines(int n);
    // Hides every marker and the panel (nothing ticks or copies), or shows them again where they
    // were, with fresh pictures.
    void ToggleHidden();
    bool Hidden() const { return hidden_; }
    // The global keys, held from the panel's set-up until it closes.
    const keys::GlobalKeys& Keys() const;
    // The program's own hidden window (null before the panel's set-up and after it closes).
    HWND ProgramHwnd() const;
    // The panel's window icon (bringing the window into being, as markers take it).
    HICON Icon();
    void TakeFocus();
    // The number label's colours: cyan, or the system's in high contrast.
    void ApplyContrast();
    // After monitors went, came or moved: markers and the panel left on no monitor come back
    // onto the primary one.
    void KeepEverythingOnScreen();
    // The program's tick: every shown marker's tick in turn, but those still in theirs. False: a
    // refresh is pumping, and the tick is to come again a moment later.
    bool TickMarkers();
    // The capture path was chosen again: every marker takes a new picture.
    void CaptureModeChanged();
    // Markers shown in screen shares, recordings and remote viewers (taking their pictures as
    // outlines), or left out of them again where the system can.
    void CheckShowInShares();

    std::array<MarkerRec, kMaxMarkers + 1> mk_table; // numbers 1..100; 0 unused
    int mk_max = 0;
    int mk_cur = 0;

    tk::Element L_no;
    tk::ScrollBar VScroll1;
    tk::TextBox Text1;

    static constexpr COLORREF kBackColor = 0x00FF8080;  // also the transparency key
    static constexpr UINT kWmGetDpiScaledSize = 0x02E4; // WM_GETDPISCALEDSIZE, Windows 10 1703 and later

    // Public for tests: the panel's own set-up and closing steps.
    void Form_Unload() override;

protected:
    WindowDesign Design() const override;
    void CreateElements() override;
    void Form_Load() override;
    void Paint(HDC dc, const RECT& area) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void ShowNumber(int n);
    void PlaceBottomRight();

    void MoveCurrentMarker();

    tk::WindowDrag drag_;
    steps::Backlog backlog_;
    bool stepping_ = false;
    bool ticking_ = false; // a program tick is under way (its markers' ticks pump messages)
    bool hidden_ = false;
    std::shared_ptr<ProgramWindow> program_;

    tk::Icon icon_;
    tk::Font numberFont_;
    tk::Bitmap picture_;
};
