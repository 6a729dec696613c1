#include "menu/frmMenu.h"

#include "panel/frmControl.h"
#include "program/commands.h"
#include "toolkit/menu.h"

namespace {
std::shared_ptr<frmMenu> g_menu;
}

std::shared_ptr<frmMenu> frmMenu::Instance() {
    if (!g_menu) {
        g_menu = std::make_shared<frmMenu>();
    }
    return g_menu;
}

void frmMenu::Discard() {
    g_menu.reset();
}

frmMenu::frmMenu() : popmenu_(CreatePopupMenu()), sysmenu_(CreatePopupMenu()) {
    HMENU pop = popmenu_.get();
    tk::AppendItem(pop, mn_add_mark, L"マーカーの追加(&A)");
    HMENU mn_pen = tk::AppendSubmenu(pop, L"ペン効果(&P)");
    tk::AppendItem(mn_pen, mn_pen_xor, L"Xor");
    tk::AppendItem(mn_pen, mn_pen_merge, L"Merge");
    tk::AppendItem(mn_pen, mn_pen_copy, L"不透明");
    tk::AppendItem(pop, mn_hide_btn, L"ボタンを自動的に隠す(&H)");
    tk::AppendItem(pop, mn_show_top, L"常に手前に表示(&T)");
    tk::AppendItem(pop, mn_just_winw, L"背後のウィンドウ幅に合わせる(&W)");
    tk::AppendItem(pop, mn_mouse_touka, L"マウスクリックでマーカーを透過(&M)");
    tk::AppendItem(pop, mn_dim_rest, L"周囲を暗くする(&D)");
    tk::AppendItem(pop, mn_follow, L"マウスに追従(&F)");
    tk::AppendItem(pop, mn_fit_column, L"段に合わせる(&C)");
    tk::AppendSeparator(pop);
    tk::AppendItem(pop, mn_exit, L"このマーカーを終了(&X)");
    tk::AppendItem(pop, mn_end, L"すべてのマーカーを終了(&Z)");

    HMENU sys = sysmenu_.get();
    HMENU mn_ver = tk::AppendSubmenu(sys, L"バージョン(&V)");
    tk::AppendItem(mn_ver, mn_var_no, L"");
    tk::AppendSeparator(sys);
    HMENU mn_keys = tk::AppendSubmenu(sys, L"キー操作(&K)");
    tk::AppendItem(mn_keys, mn_key_down, L"現在のマーカーを1行下へ\tCtrl+Alt+Shift+↓");
    tk::AppendItem(mn_keys, mn_key_up, L"現在のマーカーを1行上へ\tCtrl+Alt+Shift+↑");
    tk::AppendItem(mn_keys, mn_key_hide, L"すべて隠す／表示\tCtrl+Alt+Shift+H");
    tk::AppendItem(mn_keys, mn_key_follow, L"現在のマーカーをマウスに追従\tCtrl+Alt+Shift+F");
    tk::AppendItem(sys, mn_show_in_shares, L"画面共有に表示(&S)");
    tk::AppendSeparator(sys);
    tk::AppendItem(sys, mn_add_mark2, L"マーカーの追加(&A)");
    tk::AppendSeparator(sys);
    tk::AppendItem(sys, mn_end2, L"すべてのマーカーを終了(&Z)");
}

HMENU frmMenu::RootOf(Item item) const {
    return item == mn_var_no || item == mn_add_mark2 || item == mn_end2 || item == mn_key_down ||
                   item == mn_key_up || item == mn_key_hide || item == mn_key_follow ||
                   item == mn_show_in_shares
               ? sysmenu_.get()
               : popmenu_.get();
}

void frmMenu::SetEnabled(Item item, bool enabled) {
    tk::SetEnabled(RootOf(item), item, enabled);
}
bool frmMenu::Enabled(Item item) const {
    return tk::IsEnabled(RootOf(item), item);
}

void frmMenu::SetChecked(Item item, bool checked) {
    tk::SetChecked(RootOf(item), item, checked);
}
bool frmMenu::Checked(Item item) const {
    return tk::IsChecked(RootOf(item), item);
}
void frmMenu::SetVersionCaption(const std::wstring& text) {
    tk::SetCaption(sysmenu_.get(), mn_var_no, text);
}
std::wstring frmMenu::Caption(Item item) const {
    return tk::CaptionOf(RootOf(item), item);
}

void frmMenu::PopupMenu(HMENU menu, HWND owner, UINT flags) {
    // Hold the holder for the command: it may end up closing the owner window.
    std::shared_ptr<frmMenu> keep = Instance();
    // The marker the menu is for (the grip's marker has just been made the current one) stays in
    // front of the document the keyboard goes back to.
    Choose(tk::TrackAtPointer(menu, owner, flags, frmControl::Instance()->CurrentMarkerHwnd()));
}

namespace {
using commands::Command;

struct MenuCommand {
    frmMenu::Item item;
    Command command;
};
// clang-format off
constexpr MenuCommand kMenuCommands[] = {
    {frmMenu::mn_add_mark,    Command::AddMarker},
    {frmMenu::mn_pen_xor,     Command::PenXor},
    {frmMenu::mn_pen_merge,   Command::PenMerge},
    {frmMenu::mn_pen_copy,    Command::PenCopy},
    {frmMenu::mn_hide_btn,    Command::HideButton},
    {frmMenu::mn_show_top,    Command::ShowTop},
    {frmMenu::mn_just_winw,   Command::JustWidth},
    {frmMenu::mn_mouse_touka, Command::MouseTouka},
    {frmMenu::mn_dim_rest,    Command::DimRest},
    {frmMenu::mn_exit,        Command::CloseMarker},
    {frmMenu::mn_end,         Command::CloseAll},
    {frmMenu::mn_add_mark2,   Command::AddMarker},
    {frmMenu::mn_end2,        Command::CloseAll},
    {frmMenu::mn_key_down,    Command::LineDown},
    {frmMenu::mn_key_up,      Command::LineUp},
    {frmMenu::mn_key_hide,    Command::HideShow},
    {frmMenu::mn_show_in_shares, Command::ShowInShares},
    {frmMenu::mn_follow,         Command::FollowPointer},
    {frmMenu::mn_key_follow,     Command::FollowPointer},
    {frmMenu::mn_fit_column,     Command::FitColumn},
};
// clang-format on

void RunItem(frmMenu::Item item) {
    for (const MenuCommand& c : kMenuCommands) {
        if (c.item == item) {
            commands::Run(c.command);
            return;
        }
    }
}
} // namespace

void frmMenu::Choose(UINT id) {
    RunItem(static_cast<Item>(id)); // nothing chosen (0) and the version line run nothing
}

void frmMenu::mn_key_Click(Item item) {
    RunItem(item); // chosen here, each does what its key does
}

void frmMenu::mn_add_mark_Click() {
    RunItem(mn_add_mark);
}
void frmMenu::mn_pen_xor_Click() {
    RunItem(mn_pen_xor);
}
void frmMenu::mn_pen_merge_Click() {
    RunItem(mn_pen_merge);
}
void frmMenu::mn_pen_copy_Click() {
    RunItem(mn_pen_copy);
}
void frmMenu::mn_hide_btn_Click() {
    RunItem(mn_hide_btn);
}
void frmMenu::mn_show_top_Click() {
    RunItem(mn_show_top);
}
void frmMenu::mn_just_winw_Click() {
    RunItem(mn_just_winw);
}
void frmMenu::mn_mouse_touka_Click() {
    RunItem(mn_mouse_touka);
}
void frmMenu::mn_dim_rest_Click() {
    RunItem(mn_dim_rest);
}
void frmMenu::mn_show_in_shares_Click() {
    RunItem(mn_show_in_shares);
}
void frmMenu::mn_follow_Click() {
    RunItem(mn_follow);
}
void frmMenu::mn_exit_Click() {
    RunItem(mn_exit);
}
void frmMenu::mn_end_Click() {
    RunItem(mn_end);
}
void frmMenu::mn_add_mark2_Click() {
    RunItem(mn_add_mark2);
}
void frmMenu::mn_end2_Click() {
    RunItem(mn_end2);
}
