// The holder of the two context menus: the marker menu and the panel menu. Every item runs
// its command from the program's command table.
#pragma once
#include "toolkit/handles.h"

#include <windows.h>

#include <memory>
#include <string>

class frmMenu {
public:
    enum Item : UINT {
        mn_add_mark = 100,
        mn_pen_xor,
        mn_pen_merge,
        mn_pen_copy,
        mn_hide_btn,
        mn_show_top,
        mn_just_winw,
        mn_mouse_touka,
        mn_exit,
        mn_end,
        mn_var_no,
        mn_add_mark2,
        mn_end2,
        mn_key_down, // the global keys, listed with what they do
        mn_key_up,
        mn_key_hide,
        mn_dim_rest,       // darken everything on the monitor but the bands
        mn_show_in_shares, // markers show in screen shares, recordings and remote viewers
        mn_follow,         // the band follows the pointer line by line
        mn_key_follow,
        mn_fit_column, // the band as wide as its column of text
    };

    static std::shared_ptr<frmMenu> Instance();
    // Forgets the holder once the program has ended, so that a test starts from fresh menus.
    static void Discard();

    frmMenu();
    HMENU popmenu() const { return popmenu_.get(); }
    HMENU sysmenu() const { return sysmenu_.get(); }

    // Shows `menu` at the pointer and runs the chosen command before returning.
    void PopupMenu(HMENU menu, HWND owner, UINT flags);
    // Runs the command of an item, as choosing it does.
    void Choose(UINT id);

    void SetChecked(Item item, bool checked);
    // A key item shows greyed where another program holds the key.
    void SetEnabled(Item item, bool enabled);
    bool Enabled(Item item) const;
    bool Checked(Item item) const;
    void SetVersionCaption(const std::wstring& text);
    std::wstring Caption(Item item) const;

    void mn_add_mark_Click();
    void mn_pen_xor_Click();
    void mn_pen_merge_Click();
    void mn_pen_copy_Click();
    void mn_hide_btn_Click();
    void mn_show_top_Click();
    void mn_just_winw_Click();
    void mn_mouse_touka_Click();
    void mn_exit_Click();
    void mn_end_Click();
    void mn_add_mark2_Click();
    void mn_end2_Click();
    void mn_key_Click(Item item);
    void mn_dim_rest_Click();
    void mn_show_in_shares_Click();
    void mn_follow_Click();

private:
    HMENU RootOf(Item item) const;

    tk::Menu popmenu_;
    tk::Menu sysmenu_;
};
