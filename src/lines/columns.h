// Columns of text in a picture of the screen: where a reader's lines run from and to, found in
// the pixels alone. Two-column papers, a scroll bar or a side panel beside the text, a desktop of
// another colour beside a page: each column is read on its own, on its own paper. Decisions
// only, with no window in them.
#pragma once
#include "lines/lineFinder.h"

#include <optional>
#include <vector>

namespace lines {

// A column of text: the picture's columns [left, right) between its outermost ink.
struct Column {
    int left;
    int right;
    int Width() const { return right - left; }
    bool Holds(int x) const { return x >= left && x < right; }
};

// The columns of text in the strip's columns [left, right), left to right. A column is bounded by
// gutters (paper down the height of the strip, wider than the spaces between words, under all but
// a heading that spans several columns) and by what is not text: a surface of another colour (a
// scroll bar, a panel, a frame, the desktop beside a page) or a picture. Its paper is its own
// surface's colour. Only columns that hold some lines of text are given.
std::vector<Column> FindColumns(const Strip& strip);

// Which column the reader is in, among `columns` (left to right).
struct ReaderAt {
    int pointerX = 0;              // the pointer's column in the picture
    bool pointerOnPage = false;    // the pointer is over the window read (not the grip, the desktop, ...)
    std::optional<Column> last;    // the column read last, in the picture's columns, if any
    std::optional<Column> ownBand; // a band fitted to its column reads the column under it
};
// The column under the pointer where the pointer is over text; otherwise the column the band read
// last (the one that overlaps it most), and before any, the one nearest the pointer. A band fitted
// to its column reads its own. None where there is no column.
std::optional<Column> ChooseColumn(const std::vector<Column>& columns, const ReaderAt& reader);

// The column after `current` in reading order (`direction` +1: the next one to the right, -1: the
// one to its left), among `columns` left to right. None at the last (or first) column.
std::optional<Column> NextColumn(const std::vector<Column>& columns, const Column& current, int direction);

} // namespace lines
