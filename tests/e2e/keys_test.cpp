// The global keys with real key input, while another program's document has the keyboard.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Ctrl+Alt+Shift and `vk`, pressed and let go.
void Chord(WORD vk) {
    INPUT in[8]{};
    const WORD keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, vk};
    for (int i = 0; i < 4; ++i) {
        in[i].type = in[7 - i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = in[7 - i].ki.wVk = keys[i];
        in[7 - i].ki.dwFlags = KEYEVENTF_KEYUP;
        if (keys[i] == VK_DOWN || keys[i] == VK_UP) {
            in[i].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            in[7 - i].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
    }
    SendInput(8, in, sizeof in[0]);
}

} // namespace

TEST(Keys, TheLineKeysMoveTheMarkerALineWhileTheDocumentKeepsTheKeyboard) {
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    Page doc(RECT{100, 200, 900, 700}, Page::Focus::Take);
    ASSERT_NE(doc.Hwnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    const RECT r = WindowRect(marker);
    const int line = r.bottom - r.top;
    Type("AB");
    Chord(VK_DOWN);
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    Type("CD");
    Chord(VK_DOWN);
    EXPECT_TRUE(WaitForStep(marker, r.top + 2 * line));
    Chord(VK_UP);
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    Type("EF");
    EXPECT_TRUE(WaitFor([&] { return doc.Chars() == 6; }, 2000)) << doc.Chars() << " of 6 arrived";
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
    // Hidden and shown again: where it was.
    Chord('H');
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(marker) && !IsWindowVisible(app.Panel()); }, 2000));
    Chord('H');
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(marker) && IsWindowVisible(app.Panel()); }, 2000));
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
}
