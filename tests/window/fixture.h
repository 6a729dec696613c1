// A registry started in-process, with the end of the program recorded instead of
// ending the test runner, and every window closed afterwards.
#pragma once
#include "menu/frmMenu.h"
#include "panel/frmControl.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

extern int g_programEnds;

// A message-only window of class `name` whose procedure runs registry operations inside whatever
// pump delivers its messages (made once per class).
inline HWND ActorWindow(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
    return CreateWindowExW(0, name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        opt_top = false;
        opt_btn = false;
        g_programEnds = 0;
        frmControl::Discard();
        frmMenu::Discard(); // every test starts from menus with no check marks
    }
    void TearDown() override {
        tk::SetSessionLocked(false); // a test that failed while "locked" leaves the next ones unlocked
        auto panel = frmControl::Instance();
        if (panel->mk_max > 0 && !panel->Unloaded()) {
            panel->DelAllMarker();
        }
        frmControl::Discard();
        testing_support::Pump(30);
    }
    std::shared_ptr<frmControl> Start() {
        auto panel = frmControl::Instance();
        panel->InitMarker();
        return panel;
    }
    static std::shared_ptr<markShape> Marker(int n) { return frmControl::Instance()->mk_table[n].shape; }
};
