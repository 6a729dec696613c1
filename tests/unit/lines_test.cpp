// Finding lines of text in pixels: text drawn here with GDI in two fonts at three sizes, where
// each line's ink is known from the font's own glyph metrics, not from the pixels.
#include "dim/dimLayer.h"
#include "lines/lineFinder.h"
#include "support/helpers.h"
#include "toolkit/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 900;
constexpr wchar_t kText[] = L"Quick brown fox jumps over the lazy dog, Typography 123";

// A picture with text drawn into it, and the ink rows of each line from the glyph metrics.
class Page {
public:
    Page(int height, COLORREF paper) {
        surface_.Resize(kWidth, height, paper);
        paper_ = paper;
    }
    // Draws one line of kText with its top at `y`; returns the line's ink rows from the font.
    lines::Span Text(int y, const wchar_t* face, int pixels, bool antialiased, COLORREF ink) {
        HDC dc = surface_.Dc();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        const auto [top, bottom] = testing_support::DrawTextLine(
            dc, testing_support::TextFont{face, pixels, false, antialiased}, 10, y, kText);
        return lines::Span{top, bottom};
    }
    void Fill(RECT r, COLORREF c) { surface_.Fill(r, c); }
    // As a compositor shows the dim layer over the rectangle: black at its alpha.
    void Darken(RECT r) {
        tk::Pixel* px = surface_.Pixels();
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                tk::Pixel& p = px[static_cast<size_t>(y) * surface_.Width() + x];
                tk::Pixel out = 0;
                for (int shift : {0, 8, 16}) {
                    out |= (((p >> shift) & 0xFF) * (255 - dim::kAlpha) / 255) << shift;
                }
                p = out;
            }
        }
    }
    void Undim(RECT r) { dim::Undim(surface_.Pixels(), surface_.Width(), r); }
    std::vector<lines::Span> Find() const {
        return lines::FindLines({surface_.Pixels(), surface_.Width(), surface_.Height()});
    }

private:
    tk::Surface surface_;
    COLORREF paper_;
};

// Each expected line found once, its centre within 2 pixels of the glyphs' centre.
testing::AssertionResult SameLines(const std::vector<lines::Span>& found,
                                   const std::vector<lines::Span>& expected) {
    if (found.size() != expected.size()) {
        auto r = testing::AssertionFailure()
                 << found.size() << " lines found, " << expected.size() << " drawn:";
        for (const auto& f : found) {
            r << " [" << f.top << "," << f.bottom << ")";
        }
        return r;
    }
    for (size_t i = 0; i < found.size(); ++i) {
        if (std::abs(found[i].Centre2() - expected[i].Centre2()) > 4) {
            return testing::AssertionFailure()
                   << "line " << i << " found at [" << found[i].top << "," << found[i].bottom
                   << "), drawn at [" << expected[i].top << "," << expected[i].bottom << ")";
        }
    }
    return testing::AssertionSuccess();
}

} // namespace

TEST(Lines, TextInTwoFontsAtThreeSizesAntialiasedOrNotDarkOnLightAndLightOnDark) {
    for (const wchar_t* face : {L"Tahoma", L"IPAGothic"}) {
        for (int size : {11, 16, 24}) {
            for (bool aa : {false, true}) {
                for (bool dark : {true, false}) {
                    const COLORREF paper = dark ? RGB(255, 255, 255) : RGB(20, 30, 90);
                    const COLORREF ink = dark ? RGB(0, 0, 0) : RGB(240, 240, 200);
                    Page page(20 * size, paper);
                    std::vector<lines::Span> drawn;
                    int y = size;
                    for (int i = 0; i < 6; ++i) {
                        drawn.push_back(page.Text(y, face, size, aa, ink));
                        y += size * 3 / 2 + (i == 2 ? size : 0); // a paragraph gap after the third
                    }
                    EXPECT_TRUE(SameLines(page.Find(), drawn))
                        << std::string(face, face + wcslen(face)) << " " << size << " px, aa " << aa
                        << ", dark " << dark;
                }
            }
        }
    }
}

TEST(Lines, ColouredTextOnColouredPaperAndLinesWhoseDescendersTouchTheNextLine) {
    Page page(300, RGB(250, 240, 200));
    std::vector<lines::Span> drawn;
    int y = 20;
    for (int i = 0; i < 5; ++i) {
        drawn.push_back(page.Text(y, L"Tahoma", 20, true, RGB(150, 20, 20)));
        y += drawn.back().bottom - drawn.back().top; // the lowest descenders touch the tallest letters below
    }
    EXPECT_TRUE(SameLines(page.Find(), drawn));
}

TEST(Lines, ACaretARuleAndAPictureAreNoLinesOfText) {
    Page page(400, RGB(255, 255, 255));
    std::vector<lines::Span> drawn;
    drawn.push_back(page.Text(20, L"Tahoma", 16, true, RGB(0, 0, 0)));
    page.Fill(RECT{0, 60, kWidth, 62}, RGB(0, 0, 0)); // a rule across the width
    page.Fill(RECT{300, 75, 301, 93}, RGB(0, 0, 0));  // a caret on an empty line
    drawn.push_back(page.Text(110, L"Tahoma", 16, true, RGB(0, 0, 0)));
    page.Fill(RECT{20, 150, 260, 260}, RGB(40, 120, 60)); // a picture
    drawn.push_back(page.Text(290, L"Tahoma", 16, true, RGB(0, 0, 0)));
    page.Fill(RECT{10, 310, 200, 311}, RGB(0, 0, 0)); // an underline under its words
    EXPECT_TRUE(SameLines(page.Find(), drawn));
}

TEST(Lines, TheNextLineIsTheNearestWhoseCentreLiesBeyondTheBands) {
    const std::vector<lines::Span> found{{10, 20}, {30, 41}, {60, 70}};
    EXPECT_EQ(lines::NextLineCentre(found, 15, 1), 35);  // on the first line: the second
    EXPECT_EQ(lines::NextLineCentre(found, 34, 1), 65);  // within 2 rows of the second: the third
    EXPECT_EQ(lines::NextLineCentre(found, 25, 1), 35);  // between lines: the next one down
    EXPECT_EQ(lines::NextLineCentre(found, 35, -1), 15); // and up
    EXPECT_EQ(lines::NextLineCentre(found, 65, 1), std::nullopt);
    EXPECT_EQ(lines::NextLineCentre(found, 15, -1), std::nullopt);
}

TEST(Lines, InACopyThatHoldsTheDimLayerAroundTheBandTheLinesAreFoundOnceItsDarkeningIsUndone) {
    // A band two lines tall in the middle, clear; the dim layer over the rest, as a compositor
    // puts it into every screen copy.
    Page page(260, RGB(255, 255, 255));
    std::vector<lines::Span> drawn;
    for (int i = 0; i < 8; ++i) {
        drawn.push_back(page.Text(10 + 30 * i, L"Tahoma", 16, true, RGB(0, 0, 0)));
    }
    const RECT above{0, 0, kWidth, 100}, below{0, 160, kWidth, 260};
    page.Darken(above);
    page.Darken(below);
    EXPECT_FALSE(SameLines(page.Find(), drawn)); // darkened, the page's paper is not the band's
    page.Undim(above);
    page.Undim(below);
    EXPECT_TRUE(SameLines(page.Find(), drawn));
}

TEST(Lines, DescendersCutOffTheirLineByAThinRowStayWithIt) {
    // As where a band's edge row, read from its picture, barely inks the line it crosses.
    Page page(200, RGB(255, 255, 255));
    std::vector<lines::Span> drawn;
    for (int i = 0; i < 4; ++i) {
        drawn.push_back(page.Text(20 + 40 * i, L"Tahoma", 20, true, RGB(0, 0, 0)));
    }
    const lines::Span& second = drawn[1];
    page.Fill(RECT{0, second.bottom - 4, kWidth, second.bottom - 3},
              RGB(255, 255, 255)); // above the descenders
    EXPECT_TRUE(SameLines(page.Find(), drawn));
}
