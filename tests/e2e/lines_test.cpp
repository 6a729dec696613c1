// Lines of text with real keys: the line keys put the band on each line of another program's
// page, whatever its size, skipping the gaps between paragraphs, and back up.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

// A page of text of another program, there before the program (its marker comes in front), and a
// document of another program that has the keyboard (the keys reach the program all the same).
class PageOfText : public testing::Test {
protected:
    void SetUp() override {
        Page::Look look;
        look.text = true;
        page_ = std::make_unique<Page>(RECT{0, 0, 1200, 640}, look);
        ASSERT_NE(page_->Hwnd(), nullptr);
        ASSERT_TRUE(WaitFor([&] { return page_->TextLines().size() == 8; }, 3000));
        lines = page_->TextLines();
        app_ = std::make_unique<Tolvin>(L"b");
        marker = app_->Marker(1);
        ASSERT_NE(marker, nullptr);
        doc_ = std::make_unique<Page>(RECT{1300, 700, 1800, 1000}, Page::Focus::Take);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc_->Hwnd(); }, 2000));
        PointTo(300, 900); // the lines are read from the window beneath the pointer's column
    }

    std::unique_ptr<Page> page_, doc_;
    std::unique_ptr<Tolvin> app_;
    std::vector<std::pair<int, int>> lines;
    HWND marker = nullptr;
};

TEST_F(PageOfText, TheLineKeysPutTheBandOnEachLineWhateverItsSizeAndBackUp) {
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
    EXPECT_EQ(GetForegroundWindow(), doc_->Hwnd());
}

// A page of two columns of another program, their baselines offset, a scroll bar at its right edge.
TEST_F(PageOfText,
       InTwoColumnsAFittedBandReadsDownOneColumnIntoTheNextAndBackAndAFullOneReadsThePointersColumn) {
    page_.reset();
    Page::Look look;
    look.twoColumns = true;
    Page page(RECT{0, 0, 1000, 640}, look);
    ASSERT_TRUE(WaitFor([&] { return page.TextLines().size() == 20; }, 3000));
    const std::vector<std::pair<int, int>> all = page.TextLines();
    const std::vector<std::pair<int, int>> left(all.begin(), all.begin() + 10),
        right(all.begin() + 10, all.end());
    SetWindowPos(marker, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LetMarkersRefresh();
    // 段に合わせる from the grip's menu: the pointer on the grip (over the desktop, beside the page),
    // the band takes the column nearest it, the right one, and spans it alone.
    const RECT start = WindowRect(marker);
    ASSERT_TRUE(MenuKeyAt(start.right - Px(705) + Px(500), (start.top + start.bottom) / 2, 'C'));
    auto inColumn = [&](int from, int to) {
        const RECT r = WindowRect(marker);
        return r.left >= from && r.right <= to;
    };
    ASSERT_TRUE(WaitFor([&] { return inColumn(490, 1000) && !HasWindowRegion(marker); }, 3000))
        << WindowRect(marker).left << "-" << WindowRect(marker).right;
    // Up from above the right column's first line: into the left column's last line, then up it.
    for (size_t i = left.size(); i-- > 0;) {
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, left[i]) && inColumn(0, 490); }, 3000))
            << "up to left line " << i << ": " << Where(marker, left[i]) << ", band from "
            << WindowRect(marker).left << " to " << WindowRect(marker).right;
    }
    // Down the left column, on into the right one, and down it.
    for (size_t i = 1; i < all.size(); ++i) {
        KeyChord(VK_DOWN);
        const int from = i < 10 ? 0 : 490, to = i < 10 ? 490 : 1000;
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, all[i]) && inColumn(from, to); }, 3000))
            << "down to line " << i << ": " << Where(marker, all[i]) << ", band from "
            << WindowRect(marker).left << " to " << WindowRect(marker).right;
    }
    // 段に合わせる off: the band spans its monitor again, and reads the column under the pointer.
    const RECT fitted = WindowRect(marker);
    ASSERT_TRUE(MenuKeyAt(fitted.right - Px(705) + Px(500), (fitted.top + fitted.bottom) / 2, 'C'));
    ASSERT_TRUE(WaitFor([&] { return WindowRect(marker).left == 0 && !HasWindowRegion(marker); }, 3000));
    // From the right column's last line, up the left one (its baselines lie higher)...
    PointTo(300, 600); // over the left column, below its lines
    for (size_t i = 9; i > 6; --i) {
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, left[i]); }, 3000))
            << "full band, left line " << i << ": " << Where(marker, left[i]);
    }
    // ... and down the right one, with the pointer over it.
    PointTo(700, 600);
    for (size_t i = 7; i < 10; ++i) {
        KeyChord(VK_DOWN);
        EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, right[i]); }, 3000))
            << "full band, right line " << i << ": " << Where(marker, right[i]);
    }
    EXPECT_EQ(GetForegroundWindow(), doc_->Hwnd());
}

TEST(Lines, InWinesNotepadTheLineKeysSkipBlankLinesAndLandOnEachLineOfText) {
    // A file with blank lines between its paragraphs, shown by Notepad, there before the program.
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"tolvin-lines.txt";
    const char text[] =
        "Jumping quickly over lazy dogs\r\nPacking boxes with five dozen jugs\r\n\r\n"
        "Sphinx of black quartz, judge my vow\r\n\r\n\r\nGlib jocks quiz nymph to vex dwarf\r\n"
        "How vexingly quick daft zebras jump\r\n";
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, text, sizeof text - 1, &written, nullptr);
    CloseHandle(f);
    std::wstring command = L"notepad.exe \"" + path + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    struct Ends { // Notepad and the file go however the test ends
        PROCESS_INFORMATION& pi;
        const std::wstring& path;
        ~Ends() {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            DeleteFileW(path.c_str());
        }
    } ends{pi, path};
    HWND notepad = nullptr, edit = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            notepad = FindWindowW(L"Notepad", nullptr);
            edit = notepad ? FindWindowExW(notepad, nullptr, L"Edit", nullptr) : nullptr;
            return edit && IsWindowVisible(notepad);
        },
        10000));
    SetWindowPos(notepad, nullptr, 40, 60, 900, 500, SWP_NOZORDER);
    // Each line of text's cell, from the edit control: blank lines have none.
    std::vector<std::pair<int, int>> cells;
    ASSERT_TRUE(WaitFor(
        [&] {
            cells.clear();
            POINT origin{0, 0};
            ClientToScreen(edit, &origin);
            const int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
            std::vector<int> tops;
            for (int i = 0; i < count; ++i) {
                const LRESULT first = SendMessageW(edit, EM_LINEINDEX, i, 0);
                const LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, first, 0);
                tops.push_back(origin.y + static_cast<short>(HIWORD(pos)));
            }
            const int pitch = count > 1 ? tops[1] - tops[0] : 0;
            for (int i = 0; i < count && pitch > 0; ++i) {
                if (SendMessageW(edit, EM_LINELENGTH, SendMessageW(edit, EM_LINEINDEX, i, 0), 0) > 0) {
                    cells.push_back({tops[i], tops[i] + pitch});
                }
            }
            return cells.size() == 5;
        },
        5000));
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    SetForegroundWindow(notepad); // the keys reach the program while a Wine window has the keyboard
    MouseMoveTo(300, 800);        // beneath the band at the pointer's column: Notepad
    // The band's centre on each line of text in turn (the page test above checks the centre to the
    // pixel; Notepad's cells hold its ink a few pixels off their middle), down and back up.
    auto inCell = [&](std::pair<int, int> c) {
        const RECT r = WindowRect(marker);
        const int centre = (r.top + r.bottom - 1) / 2;
        return centre >= c.first && centre < c.second;
    };
    auto onCell = [&](std::pair<int, int> c) { return inCell(c) && !HasWindowRegion(marker); };
    // The band dragged by its grip onto the first line, as a reader starts: the scroll bar's arrow
    // beside that line is no ink of it, and the first key goes on to the second line.
    const RECT start = WindowRect(marker);
    const int gripX = start.right - Px(705) + Px(500), grab = (start.top + start.bottom) / 2;
    MouseDrag(gripX, grab, gripX,
              grab + (cells[0].first + cells[0].second) / 2 - (start.top + start.bottom) / 2, 8, 0);
    ASSERT_TRUE(WaitFor([&] { return onCell(cells[0]); }, 3000)) << Where(marker, cells[0]);
    PointTo(300, 800); // away again, over no text
    for (size_t i = 1; i < cells.size(); ++i) {
        KeyChord(VK_DOWN);
        EXPECT_TRUE(WaitFor([&] { return onCell(cells[i]); }, 3000))
            << "down to line " << i << ": " << Where(marker, cells[i]);
    }
    for (size_t i = cells.size() - 1; i-- > 0;) {
        KeyChord(VK_UP);
        EXPECT_TRUE(WaitFor([&] { return onCell(cells[i]); }, 3000))
            << "up to line " << i << ": " << Where(marker, cells[i]);
    }
    // A click in Notepad puts it in front of the marker; a line key brings the marker back in
    // front of it, and Notepad keeps the keyboard.
    auto above = [](HWND a, HWND b) { // a lies above b in the z-order
        for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == b) {
                return true;
            }
        }
        return false;
    };
    auto clickNotepad = [&](int x, int y) { // as a reader coming back to it from elsewhere
        SetForegroundWindow(GetDesktopWindow());
        WaitFor([&] { return GetForegroundWindow() != notepad; }, 1000);
        ClickAt(x, y);
    };
    clickNotepad(600, cells[4].second + 40);
    ASSERT_TRUE(WaitFor([&] { return above(notepad, marker) && GetForegroundWindow() == notepad; }, 3000))
        << "notepad above: " << above(notepad, marker) << ", foreground " << GetForegroundWindow();
    KeyChord(VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return above(marker, notepad) && onCell(cells[1]); }, 3000))
        << Where(marker, cells[1]);
    EXPECT_EQ(GetForegroundWindow(), notepad);
    // Following the pointer over Notepad, the band stays above it, and after a click through the
    // band into the text (which reaches it: Notepad keeps the keyboard and comes in front), too.
    KeyChord('F');
    const int mid3 = (cells[3].first + cells[3].second) / 2;
    PointTo(150, mid3);
    EXPECT_TRUE(WaitFor(
        [&] { return PointerStaysAt(150, mid3) && onCell(cells[3]) && above(marker, notepad); }, 3000))
        << Where(marker, cells[3]);
    clickNotepad(150, mid3);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == notepad && above(marker, notepad); }, 3000));
    // The click moved Notepad's caret: the band takes a new picture of the page (under Wine as an
    // outline for a moment) and never leaves the line.
    EXPECT_TRUE(inCell(cells[3])) << Where(marker, cells[3]);
    EXPECT_TRUE(WaitFor([&] { return onCell(cells[3]); }, 3000)) << Where(marker, cells[3]);
}

TEST_F(PageOfText, AMarkerFollowingThePointerFramesTheLineUnderItAndLetsClicksThrough) {
    Page& page = *page_;
    Page& doc = *doc_;
    KeyChord('F'); // the current marker follows the pointer
    auto mid = [&](size_t i) { return (lines[i].first + lines[i].second) / 2; };
    for (size_t i : {0, 1, 2, 4, 3, 7, 5}) {
        const int x = 300 + 37 * static_cast<int>(i);
        PointTo(x, mid(i));
        EXPECT_TRUE(WaitFor([&] { return PointerStaysAt(x, mid(i)) && CentredOn(marker, lines[i]); }, 3000))
            << "pointer on line " << i << ": " << Where(marker, lines[i]);
    }
    Pump(100);
    ASSERT_TRUE(
        WaitFor([&] { return PointerStaysAt(300 + 37 * 5, mid(5)) && CentredOn(marker, lines[5]); }, 3000));
    // Moving within the line makes no move and takes no picture: the band never turns outline.
    const RECT resting = WindowRect(marker);
    bool still = true;
    for (int x = 320; x < 900; x += 20) {
        PointTo(x, mid(5) + (x / 20) % 3 - 1);
        Pump(10);
        const RECT now = WindowRect(marker);
        still = still && EqualRect(&resting, &now) && !HasWindowRegion(marker);
    }
    EXPECT_TRUE(still);
    // A program puts the pointer on another line: no hook hears that, and the band goes there too.
    SetCursorPos(1600, mid(6));
    EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, lines[6]); }, 3000)) << Where(marker, lines[6]);
    // A program stamps its input by a clock of its own, a minute ahead: the band goes there, and
    // then still follows the pointer as it goes on moving (never resting for a tick) in line 4.
    MouseMoveTo(450, mid(2), GetTickCount() + 60000);
    SetCursorPos(450, mid(2)); // the X pointer too (see PointTo)
    EXPECT_TRUE(WaitFor([&] { return CentredOn(marker, lines[2]); }, 3000)) << Where(marker, lines[2]);
    int wiggle = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            PointTo(450 + ++wiggle % 7, mid(4));
            return CentredOn(marker, lines[4]);
        },
        3000))
        << Where(marker, lines[4]);
    // A click on the band reaches the page beneath it.
    const int clicks = page.Clicks();
    ClickAt(500, mid(5));
    EXPECT_TRUE(WaitFor([&] { return page.Clicks() == clicks + 1; }, 2000))
        << "clicks " << page.Clicks() - clicks << " under " << WindowFromPoint(POINT{500, mid(5)}) << " page "
        << page.Hwnd() << " marker " << marker << " fg " << GetForegroundWindow();
    // Hidden, the band does not follow; shown again, it goes to the line the pointer went to.
    KeyChord('H');
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(marker); }, 2000));
    const RECT hidden = WindowRect(marker);
    PointTo(337, mid(1));
    Pump(300);
    const RECT stayed = WindowRect(marker);
    EXPECT_TRUE(EqualRect(&hidden, &stayed)) << Where(marker, lines[5]);
    KeyChord('H');
    EXPECT_TRUE(WaitFor(
        [&] { return IsWindowVisible(marker) && PointerStaysAt(337, mid(1)) && CentredOn(marker, lines[1]); },
        3000))
        << Where(marker, lines[1]);
    // The key again: following stops, and the band stays where it is.
    const RECT shown = WindowRect(marker);
    KeyChord('F');
    // (Only once the program has taken the key: the bar lets input through no more.)
    ASSERT_TRUE(
        WaitFor([&] { return (GetWindowLongPtrW(marker, GWL_EXSTYLE) & WS_EX_TRANSPARENT) == 0; }, 3000));
    PointTo(300, mid(6));
    Pump(700);
    const RECT after = WindowRect(marker);
    EXPECT_TRUE(EqualRect(&shown, &after)) << Where(marker, lines[1]);
    // Following never took the keyboard: the program never had the foreground.
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    EXPECT_NE(pid, app_->ProcessId());
    EXPECT_TRUE(GetForegroundWindow() == doc.Hwnd() || GetForegroundWindow() == page.Hwnd());
}

TEST_F(PageOfText, TheGripOfAFollowingMarkerTakesItsOwnRightClickAndNoneMeantForAWindowAboveIt) {
    KeyChord('F');
    const int y = (lines[3].first + lines[3].second) / 2;
    PointTo(400, y);
    ASSERT_TRUE(WaitFor([&] { return PointerStaysAt(400, y) && CentredOn(marker, lines[3]); }, 3000));
    const RECT grip = WindowRect(app_->Grip(1));
    const int gx = (grip.left + grip.right) / 2, gy = (grip.top + grip.bottom) / 2;
    // A window of another program brought in front and kept there (a video, a note) over the grip's
    // end of the bar: a right click there is that window's, and no menu of the marker's opens.
    auto over = std::make_unique<Page>(RECT{grip.left - 40, 0, 1920, 600}, Page::Focus::Take);
    SetWindowPos(over->Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PointTo(gx, gy);
    ASSERT_TRUE(WaitFor([&] { return PointerStaysAt(gx, gy); }, 2000));
    Pump(300); // time for the program to hear the pointer's arrival, were it to take input there
    ClickAt(gx, gy, 2);
    EXPECT_TRUE(WaitFor([&] { return over->RightClicks() == 1; }, 2000))
        << over->RightClicks() << " (the page beneath " << page_->RightClicks() << ", the document "
        << doc_->RightClicks() << ") under the pointer " << WindowFromPoint(POINT{gx, gy})
        << ", the window above " << over->Hwnd() << ", the bar " << marker << " (" << std::hex
        << GetWindowLongPtrW(marker, GWL_EXSTYLE) << std::dec << "), its grip " << app_->Grip(1);
    EXPECT_EQ(OpenMenu(1000), nullptr);
    // Moved away (keeping the keyboard): the grip is on top under the pointer again, and its right
    // click opens the marker's menu, which a click outside it closes.
    SetWindowPos(over->Hwnd(), nullptr, grip.left - 40, 700, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // What lies just outside the band changed (the desktop shows there now): at its next tick the
    // marker takes a new picture, as an outline that a click passes through. A reader sees that
    // blink and clicks after it; so does the test (when the blink is missed, the tick is over).
    WaitFor([&] { return HasWindowRegion(marker); }, 1500);
    const RECT now = WindowRect(app_->Grip(1));
    const RECT bar = WindowRect(marker);
    const POINT on{bar.right - Px(705) + Px(500), (now.top + now.bottom) / 2}; // where the menu tests press
    PointTo(on.x, on.y);
    // Once the program has taken the pointer's arrival: the bar takes input there, and the system
    // finds the marker under the pointer. (With the window beneath it changed, the marker takes a
    // new picture as an outline, which a click passes through: as a reader would, the test waits
    // until the marker shows it.)
    ASSERT_TRUE(WaitFor(
        [&] {
            return PointerStaysAt(on.x, on.y) &&
                   !(GetWindowLongPtrW(marker, GWL_EXSTYLE) & WS_EX_TRANSPARENT) &&
                   GetAncestor(WindowFromPoint(on), GA_ROOT) == marker && !HasWindowRegion(marker);
        },
        3000))
        << "the bar still lets input through over its grip";
    ClickAt(on.x, on.y, 2);
    EXPECT_NE(OpenMenu(3000), nullptr)
        << "under the pointer " << WindowFromPoint(on) << ", the grip " << app_->Grip(1) << ", the bar "
        << marker << ", in front " << GetForegroundWindow() << "; there:" << WindowsThere(on)
        << "; right clicks on the page beneath " << page_->RightClicks() << ", on the document "
        << doc_->RightClicks() << ", on the window moved away " << over->RightClicks();
    const int y6 = (lines[6].first + lines[6].second) / 2;
    ClickAt(300, y6);
    EXPECT_TRUE(NoMenuShown(3000));
    // Closed, it follows again.
    EXPECT_TRUE(WaitFor([&] { return PointerStaysAt(300, y6) && CentredOn(marker, lines[6]); }, 3000))
        << Where(marker, lines[6]);
}
