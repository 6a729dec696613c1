// The global keys with real key input, while another program's document has the keyboard.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

using namespace testing_support;

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
    KeyChord(VK_DOWN);
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    Type("CD");
    KeyChord(VK_DOWN);
    EXPECT_TRUE(WaitForStep(marker, r.top + 2 * line));
    KeyChord(VK_UP);
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    Type("EF");
    EXPECT_TRUE(WaitFor([&] { return doc.Chars() == 6; }, 2000)) << doc.Chars() << " of 6 arrived";
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
    // Hidden and shown again: where it was.
    KeyChord('H');
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(marker) && !IsWindowVisible(app.Panel()); }, 2000));
    KeyChord('H');
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(marker) && IsWindowVisible(app.Panel()); }, 2000));
    EXPECT_TRUE(WaitForStep(marker, r.top + line));
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
}
