// Finding the column being read: columns of text drawn here with GDI, wrapped as a page's columns
// are, beside scroll bars, panels, pictures and the desktop, with each column's ink extent known
// from what was drawn.
#include "lines/columns.h"
#include "toolkit/surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kProse[] =
    L"Readers of two column papers move from the foot of one column to the head of the next and "
    L"expect the band to do the same without ever landing between them or on a line of the other "
    L"column whose baseline happens to sit a few pixels higher or lower than the one being read now "
    L"while the words keep running on in lines of uneven length as prose does in every document";
constexpr wchar_t kJapanese[] =
    L"読者は二段組の論文で一つの段の終わりから次の段の始まりへと目を移しその間に帯が止まることを望まない"
    L"行の高さが隣の段と揃っていなくても読んでいる段の次の行へ帯が移ることが大切である日本語の文には"
    L"単語の間に空白がないので段を分ける余白だけが手掛かりになる";

class Picture {
public:
    Picture(int w, int h, COLORREF paper) { surface_.Resize(w, h, paper); }
    void Fill(RECT r, COLORREF c) { surface_.Fill(r, c); }

    // Wraps `text` into lines no wider than `width` from (x, y), `pitch` rows apart, as many as
    // `lines`; returns the ink's extent [left, right) across them.
    lines::Column Text(int x, int y, int width, int lines, const wchar_t* text, COLORREF ink = 0,
                       int pixels = 13, int pitch = 17, const wchar_t* face = L"Tahoma") {
        HDC dc = surface_.Dc();
        HFONT font = CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                 ANTIALIASED_QUALITY, 0, face);
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        const bool spaced = std::wstring(text).find(L' ') != std::wstring::npos;
        std::wstring all; // the text again and again, so that no line is short but the last
        for (int i = 0; i < 8; ++i) {
            all += text;
            all += spaced ? L" " : L"";
        }
        size_t at = 0;
        int right = x;
        for (int line = 0; line < lines; ++line) {
            // The longest run of words (or of characters, where there are no spaces) that fits.
            size_t end = at, fits = at;
            while (end < all.size()) {
                size_t next = spaced ? all.find(L' ', end + 1) : end + 1;
                next = next == std::wstring::npos ? all.size() : next;
                SIZE size{};
                GetTextExtentPoint32W(dc, all.c_str() + at, static_cast<int>(next - at), &size);
                if (size.cx > width) {
                    break;
                }
                fits = end = next;
            }
            if (fits == at) {
                at = 0; // the text ran out: from its beginning again
                --line;
                continue;
            }
            SIZE size{};
            GetTextExtentPoint32W(dc, all.c_str() + at, static_cast<int>(fits - at), &size);
            TextOutW(dc, x, y + line * pitch, all.c_str() + at, static_cast<int>(fits - at));
            right = std::max(right, x + static_cast<int>(size.cx));
            at = fits < all.size() ? fits + (spaced ? 1 : 0) : 0;
        }
        SelectObject(dc, old);
        DeleteObject(font);
        return lines::Column{x, right};
    }

    std::vector<lines::Column> Columns() const {
        return lines::FindColumns({surface_.Pixels(), surface_.Width(), surface_.Height()});
    }

private:
    tk::Surface surface_;
};

// The columns found are those drawn, in order, each from its ink's left edge to near its right
// (a ragged right edge may end a little short: its longest lines are few).
testing::AssertionResult SameColumns(const std::vector<lines::Column>& found,
                                     const std::vector<lines::Column>& drawn) {
    auto list = [&] {
        std::string s = " found:";
        for (const auto& c : found) {
            s += " [" + std::to_string(c.left) + "," + std::to_string(c.right) + ")";
        }
        s += ", drawn:";
        for (const auto& c : drawn) {
            s += " [" + std::to_string(c.left) + "," + std::to_string(c.right) + ")";
        }
        return s;
    };
    if (found.size() != drawn.size()) {
        return testing::AssertionFailure() << found.size() << " columns," << list();
    }
    for (size_t i = 0; i < found.size(); ++i) {
        if (std::abs(found[i].left - drawn[i].left) > 3 || found[i].right > drawn[i].right + 3 ||
            found[i].right < drawn[i].right - 30) {
            return testing::AssertionFailure() << "column " << i << list();
        }
    }
    return testing::AssertionSuccess();
}

} // namespace

TEST(Columns, TwoOrThreeColumnsWithAlignedOrOffsetBaselinesAndRaggedRightEdges) {
    for (int offset : {0, 7}) {
        Picture page(1000, 340, RGB(255, 255, 255));
        const lines::Column left = page.Text(40, 10, 420, 18, kProse);
        const lines::Column right = page.Text(500, 10 + offset, 420, 18, kProse + 37);
        EXPECT_TRUE(SameColumns(page.Columns(), {left, right})) << "baselines " << offset << " apart";
    }
    Picture three(1000, 340, RGB(255, 255, 255));
    const lines::Column a = three.Text(20, 10, 290, 18, kProse);
    const lines::Column b = three.Text(340, 14, 290, 18, kProse + 50);
    const lines::Column c = three.Text(660, 5, 290, 18, kProse + 90);
    EXPECT_TRUE(SameColumns(three.Columns(), {a, b, c}));
}

TEST(Columns, ATitleAcrossTwoColumnsJoinsNeitherAndJapaneseWithoutSpacesIsOneColumn) {
    Picture page(1000, 340, RGB(255, 255, 255));
    page.Text(200, 8, 700, 1, L"A Title That Runs Across Both Columns Of The Paper", 0, 22, 30);
    const lines::Column left = page.Text(40, 50, 420, 16, kProse);
    const lines::Column right = page.Text(500, 54, 420, 16, kProse + 20);
    EXPECT_TRUE(SameColumns(page.Columns(), {left, right}));
    Picture japanese(1000, 340, RGB(255, 255, 255));
    const lines::Column one = japanese.Text(40, 10, 860, 18, kJapanese, 0, 14, 18, L"MS UI Gothic");
    EXPECT_TRUE(SameColumns(japanese.Columns(), {one}));
}

TEST(Columns, AScrollBarASidePanelAndADesktopBesideThePageBoundItsColumn) {
    // A scroll bar right beside the text, its arrow box level with the first line.
    Picture editor(900, 300, RGB(255, 255, 255));
    const lines::Column text = editor.Text(4, 6, 860, 16, kProse);
    editor.Fill(RECT{864, 0, 880, 300}, RGB(200, 200, 200));
    editor.Fill(RECT{865, 1, 879, 16}, RGB(240, 240, 240));
    editor.Fill(RECT{870, 6, 874, 10}, RGB(0, 0, 0));
    EXPECT_TRUE(SameColumns(editor.Columns(), {text}));
    // A grey side panel with its own lines of text, right against the page.
    Picture withPanel(1000, 300, RGB(255, 255, 255));
    withPanel.Fill(RECT{0, 0, 240, 300}, RGB(225, 228, 232));
    const lines::Column panel = withPanel.Text(10, 6, 220, 16, kProse, RGB(30, 30, 30));
    const lines::Column page = withPanel.Text(250, 6, 700, 16, kProse);
    const auto found = withPanel.Columns();
    EXPECT_TRUE(SameColumns(found, {panel, page}));
    // A page light on dark beside a white desktop: the page's column, on the page's own paper.
    Picture dark(1200, 300, RGB(255, 255, 255));
    dark.Fill(RECT{100, 0, 800, 300}, RGB(30, 32, 40));
    const lines::Column onDark =
        dark.Text(130, 8, 640, 16, kJapanese, RGB(220, 220, 220), 14, 18, L"MS UI Gothic");
    EXPECT_TRUE(SameColumns(dark.Columns(), {onDark}));
}

TEST(Columns, AGreyCodeBlockAndAPictureInsideAColumnStayInIt) {
    Picture page(1000, 340, RGB(255, 255, 255));
    const lines::Column above = page.Text(40, 6, 420, 6, kProse);
    page.Fill(RECT{40, 110, 460, 200}, RGB(238, 240, 242)); // a code block, indented code in it
    page.Text(60, 118, 380, 1, L"for (int i = 0; i < n; ++i) {");
    page.Text(90, 135, 350, 1, L"sum += values[i];");
    page.Text(60, 152, 380, 1, L"}");
    page.Fill(RECT{140, 205, 360, 260}, RGB(60, 120, 180)); // a figure, narrower than the column
    const lines::Column below = page.Text(40, 266, 420, 4, kProse + 40);
    const lines::Column right = page.Text(500, 9, 420, 19, kProse + 80);
    const lines::Column left{above.left, std::max(above.right, below.right)};
    EXPECT_TRUE(SameColumns(page.Columns(), {left, right}));
}

TEST(Columns, TheReaderIsInTheColumnUnderThePointerElseTheOneReadLastElseTheNearest) {
    const std::vector<lines::Column> columns{{40, 460}, {500, 920}};
    lines::ReaderAt reader;
    reader.pointerX = 600;
    reader.pointerOnPage = true;
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 500); // under the pointer
    reader.last = lines::Column{45, 455};
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 500); // the pointer decides over the page
    reader.pointerOnPage = false;                               // on the grip, the desktop, elsewhere
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 40);  // the column read last
    reader.last.reset();
    reader.pointerX = 1500;
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 500); // before any: the nearest
    reader.pointerX = 480;
    reader.pointerOnPage = true; // over the gutter: no text under it
    reader.last = lines::Column{500, 910};
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 500);
    reader.ownBand = lines::Column{30, 470}; // a band fitted to its column reads its own
    reader.pointerX = 700;
    EXPECT_EQ(lines::ChooseColumn(columns, reader)->left, 40);
    EXPECT_FALSE(lines::ChooseColumn({}, reader));
    // Reading order: the next column to the right, the one before to the left, none past the ends.
    EXPECT_EQ(lines::NextColumn(columns, columns[0], 1)->left, 500);
    EXPECT_EQ(lines::NextColumn(columns, columns[1], -1)->left, 40);
    EXPECT_FALSE(lines::NextColumn(columns, columns[1], 1));
    EXPECT_FALSE(lines::NextColumn(columns, columns[0], -1));
}
