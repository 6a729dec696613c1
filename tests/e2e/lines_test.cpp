// Lines of text with real keys: the line keys put the band on each line of another program's
// page, whatever its size, skipping the gaps between paragraphs, and back up.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testing_support;

namespace {

// Once the marker has its full shape back: whether its band's centre is within 2 pixels of the
// centre of the line [top, bottom).
bool CentredOn(HWND marker, std::pair<int, int> line) {
    const RECT r = WindowRect(marker);
    return !HasWindowRegion(marker) && std::abs((r.top + r.bottom - 1) - (line.first + line.second - 1)) <= 4;
}

std::string Where(HWND marker, std::pair<int, int> line) {
    const RECT r = WindowRect(marker);
    return "band [" + std::to_string(r.top) + "," + std::to_string(r.bottom) + "), line [" +
           std::to_string(line.first) + "," + std::to_string(line.second) + ")";
}

} // namespace

TEST(Lines, TheLineKeysPutTheBandOnEachLineOfAPageWhateverItsSizeAndBackUp) {
    Page::Look look;
    look.text = true;
    Page page(RECT{0, 0, 1200, 640}, look); // there before the program: its marker comes in front
    ASSERT_NE(page.Hwnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return page.TextLines().size() == 8; }, 3000));
    const auto lines = page.TextLines();
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    // The keys reach the program while a window of a Wine program has the keyboard.
    Page doc(RECT{1300, 700, 1800, 1000}, Page::Focus::Take);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    MouseMoveTo(300, 900); // the lines are read from the window beneath the pointer's column
    for (size_t i = 0; i < lines.size(); ++i) {
        KeyChord(VK_DOWN);
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, lines[i]); }, 3000))
            << "down to line " << i << ": " << Where(marker, lines[i]);
    }
    for (size_t i = lines.size() - 1; i-- > 0;) {
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, lines[i]); }, 3000))
            << "up to line " << i << ": " << Where(marker, lines[i]);
    }
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
}
