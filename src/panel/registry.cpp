// The marker registry and the per-marker options of the control panel object.
#include "dim/dimLayer.h"
#include "menu/frmMenu.h"
#include "panel/frmControl.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "toolkit/menu.h"

#include "version.h"

namespace {
std::shared_ptr<frmControl> g_instance;
}

std::shared_ptr<frmControl> frmControl::Instance() {
    if (!g_instance) {
        g_instance = std::make_shared<frmControl>();
    }
    return g_instance;
}

std::shared_ptr<frmControl> frmControl::InstanceIfAny() {
    return g_instance;
}

void frmControl::Discard() {
    g_instance.reset();
}

void frmControl::ShowNumber(int n) {
    L_no.SetText(std::to_wstring(n));
}

void frmControl::InitMarker() {
    mk_max = 0;
    AddMarker();
    frmMenu::Instance()->SetVersionCaption(L"Ver." + std::to_wstring(TOLVIN_VERSION_MAJOR) + L"." +
                                           std::to_wstring(TOLVIN_VERSION_MINOR) + L"." +
                                           std::to_wstring(TOLVIN_VERSION_PATCH));
    Show();
}

void frmControl::AddMarker() {
    if (mk_max == kMaxMarkers) {
        tk::MsgBox(L"Unable to add more marker!", L"Operation canceled!", MB_OK | MB_ICONEXCLAMATION,
                   CurrentMarkerHwnd());
        return;
    }
    // A marker still being shown holds its number, and an add chosen while it is shown finds
    // that number taken: the search never passes the last number.
    int n = 1;
    while (n <= kMaxMarkers && mk_table[n].shape) {
        ++n;
    }
    if (n > kMaxMarkers) {
        tk::MsgBox(L"Unable to add more marker!", L"Operation canceled!", MB_OK | MB_ICONEXCLAMATION,
                   CurrentMarkerHwnd());
        return;
    }
    MarkerRec& rec = mk_table[n];
    rec = MarkerRec{};
    rec.show_top = opt_top;
    rec.just_winw = false;
    rec.pen_xor = true;
    rec.pen_merge = false;
    rec.pen_copy = false;
    rec.hide_btn = !opt_btn;
    rec.mouse_touka = false;
    rec.vertical_line = false;
    rec.shape = markShape::New();
    // Showing pumps messages: hold the marker even if it is closed meanwhile.
    std::shared_ptr<markShape> shape = rec.shape;
    if (n > mk_max) {
        mk_max = n; // before showing: an add chosen meanwhile counts this number as handed out
    }
    shape->ShowMark(n, rec.show_top);
    if (tk::TakeCaptureModeLowered()) {
        CaptureModeChanged(); // the new marker could not be left out of copies: neither are the others
    }
    if (mk_table[n].shape != shape) {
        return; // closed while it was being shown: the registry has chosen the current marker
    }
    mk_cur = n;
    ShowNumber(n);
}

void frmControl::MyMarkerNo(int mk_no) {
    mk_cur = mk_no;
    ShowNumber(mk_no);
    const MarkerRec& rec = mk_table[mk_cur];
    auto menu = frmMenu::Instance();
    menu->SetChecked(frmMenu::mn_show_top, rec.show_top);
    menu->SetChecked(frmMenu::mn_just_winw, rec.just_winw);
    menu->SetChecked(frmMenu::mn_pen_xor, rec.pen_xor);
    menu->SetChecked(frmMenu::mn_pen_merge, rec.pen_merge);
    menu->SetChecked(frmMenu::mn_pen_copy, rec.pen_copy);
    menu->SetChecked(frmMenu::mn_hide_btn, rec.hide_btn);
    menu->SetChecked(frmMenu::mn_mouse_touka, rec.mouse_touka);
    menu->SetChecked(frmMenu::mn_dim_rest, rec.dim_rest);
    menu->SetChecked(frmMenu::mn_follow, rec.follow);
    menu->SetChecked(frmMenu::mn_fit_column, rec.fit_column);
}

HWND frmControl::CurrentMarkerHwnd() const {
    const auto& shape = mk_table[mk_cur].shape;
    return shape ? shape->HwndIfLoaded() : nullptr;
}

void frmControl::DispMarkerMostTop() {
    MarkerRec& rec = mk_table[mk_cur];
    rec.show_top = !rec.show_top;
    if (auto shape = rec.shape) {
        SetTopMost(*shape, rec.show_top);
    }
}

void frmControl::DelMarker() {
    std::shared_ptr<markShape> closing = mk_table[mk_cur].shape;
    if (closing) {
        closing->Unload();
    }
    mk_table[mk_cur].shape.reset();
    for (int n = 1; n <= mk_max; ++n) {
        if (mk_table[n].shape) {
            mk_cur = n;
            ShowNumber(n);
            return;
        }
    }
    Unload();
    tk::EndProgram();
}

void frmControl::DelAllMarker() {
    for (int n = 1; n <= mk_max; ++n) {
        if (std::shared_ptr<markShape> closing = mk_table[n].shape) {
            closing->Unload();
            mk_table[n].shape.reset();
        }
    }
    Unload();
    tk::EndProgram();
}

bool frmControl::JustWidth(int mk_no) const {
    return mk_table[mk_no].just_winw;
}

int frmControl::PenEffect(int mk_no) const {
    const MarkerRec& rec = mk_table[mk_no];
    if (rec.pen_xor) {
        return 7;
    }
    if (rec.pen_merge) {
        return 15;
    }
    return 13;
}

bool frmControl::HideBtn(int mk_no) const {
    return mk_table[mk_no].hide_btn;
}
bool frmControl::MouseTouka(int mk_no) const {
    return mk_table[mk_no].mouse_touka;
}
bool frmControl::VerticalLine(int mk_no) const {
    return mk_table[mk_no].vertical_line;
}

void frmControl::CheckHideBtn() {
    mk_table[mk_cur].hide_btn = !mk_table[mk_cur].hide_btn;
}
void frmControl::CheckJustWidth() {
    mk_table[mk_cur].just_winw = !mk_table[mk_cur].just_winw;
}
void frmControl::CheckMouseTouka() {
    mk_table[mk_cur].mouse_touka = !mk_table[mk_cur].mouse_touka;
}
bool frmControl::DimRest(int mk_no) const {
    return mk_table[mk_no].dim_rest;
}
void frmControl::CheckDimRest() {
    mk_table[mk_cur].dim_rest = !mk_table[mk_cur].dim_rest;
    frmMenu::Instance()->SetChecked(frmMenu::mn_dim_rest, mk_table[mk_cur].dim_rest);
    dim::Update();
}

void frmControl::CheckFollowPointer() {
    MarkerRec& rec = mk_table[mk_cur];
    if (!rec.shape) {
        return;
    }
    rec.follow = !rec.follow;
    frmMenu::Instance()->SetChecked(frmMenu::mn_follow, rec.follow);
    rec.shape->SetFollowing(rec.follow);
}

void frmControl::CheckFitColumn() {
    MarkerRec& rec = mk_table[mk_cur];
    if (!rec.shape) {
        return;
    }
    rec.fit_column = !rec.fit_column;
    frmMenu::Instance()->SetChecked(frmMenu::mn_fit_column, rec.fit_column);
    // Fitting reads the screen and takes a picture, which pumps: hold the marker meanwhile.
    const std::shared_ptr<markShape> shape = rec.shape;
    shape->SetFitColumn(rec.fit_column);
}

void frmControl::SelCopyPen() {
    MarkerRec& rec = mk_table[mk_cur];
    if (rec.pen_copy) {
        return;
    }
    rec.pen_copy = true;
    rec.pen_merge = false;
    rec.pen_xor = false;
}

void frmControl::SelMergePen() {
    MarkerRec& rec = mk_table[mk_cur];
    if (rec.pen_merge) {
        return;
    }
    rec.pen_merge = true;
    rec.pen_xor = false;
    rec.pen_copy = false;
}

void frmControl::SelXorPen() {
    MarkerRec& rec = mk_table[mk_cur];
    if (rec.pen_xor) {
        return;
    }
    rec.pen_xor = true;
    rec.pen_merge = false;
    rec.pen_copy = false;
}
