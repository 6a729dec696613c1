// Pages of real documents that nobody here typeset, shown 1:1 as poppler renders them at 96 dpi
// (e2e/pages/README.md): the line keys land on every line, in a paper's two columns and down a
// manual's page.
#include "e2e/tolvin.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::wstring PagesFolder() {
    std::wstring p = TOLVIN_E2E_PAGES;
    if (!p.empty() && p[0] == L'/') { // a Unix path, under Wine
        for (wchar_t& c : p) {
            c = c == L'/' ? L'\\' : c;
        }
        p = L"Z:" + p;
    }
    return p;
}

// The page's lines, column by column, top to bottom: their font boxes' rows (from poppler).
std::vector<std::vector<std::pair<int, int>>> LinesOf(const std::wstring& path) {
    std::vector<std::vector<std::pair<int, int>>> columns(2);
    std::ifstream in(std::string(path.begin(), path.end()));
    std::string row;
    while (std::getline(in, row)) {
        std::istringstream fields(row);
        int column = 0, top = 0, bottom = 0;
        if (row.empty() || row[0] == '#' || !(fields >> column >> top >> bottom) || column < 0 ||
            column > 1) {
            continue;
        }
        columns[column].push_back({top, bottom});
    }
    return columns;
}

bool CentreIn(HWND marker, std::pair<int, int> line) {
    const RECT r = WindowRect(marker);
    const int centre = (r.top + r.bottom - 1) / 2;
    return !HasWindowRegion(marker) && centre >= line.first - 1 && centre <= line.second;
}

// Shows the page `name` 1:1 at the screen's top left, a document of another program holding the
// keyboard, starts the program (its band at the top, grip shown) and, with `fitted`, fits the band
// from its grip (the pointer there: the column nearest it, the rightmost). Then presses the line
// key of each step (`up` for the first `ups` of them) and checks that the band's centre lands on
// each line of `expected` in turn.
void ReadThePage(const wchar_t* name, bool fitted, size_t ups,
                 const std::vector<std::pair<int, int>>& expected) {
    Page::Look look;
    look.picture = PagesFolder() + L"\\" + name + L".bmp";
    Page page(RECT{0, 0, 816, 1056}, look);
    Page doc(RECT{1300, 700, 1800, 1000}, Page::Focus::Take);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == doc.Hwnd(); }, 2000));
    Tolvin app(L"b");
    HWND marker = app.Marker(1);
    ASSERT_NE(marker, nullptr);
    if (fitted) {
        const RECT start = WindowRect(marker);
        ASSERT_TRUE(MenuKeyAt(start.right - Px(705) + Px(500), (start.top + start.bottom) / 2, 'C'));
        ASSERT_TRUE(
            WaitFor([&] { return WindowRect(marker).right < 816 && !HasWindowRegion(marker); }, 3000));
    }
    PointTo(1000, 1060); // away from the page
    int landed = 0;
    std::string missed;
    for (size_t i = 0; i < expected.size(); ++i) {
        KeyChord(i < ups ? VK_UP : VK_DOWN);
        if (WaitFor([&] { return CentreIn(marker, expected[i]); }, 3000)) {
            ++landed;
            continue;
        }
        const RECT r = WindowRect(marker);
        missed += "key " + std::to_string(i) + ": band [" + std::to_string(r.top) + "," +
                  std::to_string(r.bottom) + ") for the line [" + std::to_string(expected[i].first) + "," +
                  std::to_string(expected[i].second) + ")";
        break; // from a band off its line, the keys after it would miss too
    }
    EXPECT_EQ(landed, static_cast<int>(expected.size())) << missed;
    EXPECT_EQ(GetForegroundWindow(), doc.Hwnd());
}

} // namespace

TEST(RealPages, InATwoColumnPaperAFittedBandLandsOnEveryLineUpOneColumnDownItAndOnIntoTheNext) {
    // ACM's conference template (acmart), its sample's second page: two columns, headings, lists,
    // code in typewriter type, links.
    const auto columns = LinesOf(PagesFolder() + L"\\acm-sigconf-2.lines");
    ASSERT_EQ(columns[0].size(), 51u);
    ASSERT_EQ(columns[1].size(), 52u);
    // Up from the top of the right column into the left one's last line and up it, then down it
    // and on into the right column, and down that.
    std::vector<std::pair<int, int>> expected(columns[0].rbegin(), columns[0].rend());
    expected.insert(expected.end(), columns[0].begin() + 1, columns[0].end());
    expected.insert(expected.end(), columns[1].begin(), columns[1].end());
    ReadThePage(L"acm-sigconf-2", true, columns[0].size(), expected);
}

TEST(RealPages, InAOneColumnManualAFullBandLandsOnEveryLineDownThePage) {
    // bzip2's manual, its sixth page: a heading, paragraphs with code words in colour, a list, a
    // running head and the page number.
    const auto columns = LinesOf(PagesFolder() + L"\\bzip2-manual-6.lines");
    ASSERT_EQ(columns[0].size(), 40u);
    ReadThePage(L"bzip2-manual-6", false, 0, columns[0]);
}
