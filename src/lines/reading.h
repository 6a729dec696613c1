// Where the band goes as a reader reads: the line the pointer is in, and the line a key reaches
// in the next column. Decisions only, with no window in them.
#pragma once
#include "lines/lineFinder.h"

#include <optional>
#include <vector>

namespace lines {

// The rows [top, bottom) of the line the pointer's row `y` is in, or of the gap between the lines
// around it (bounded by `above` and `below` where no line is found that way), and the centre the
// band goes to: the line's, or none for a gap (the band stays on the line it frames).
struct PointerLine {
    int top;
    int bottom;
    std::optional<int> centre;
};
PointerLine LineAtPointer(const std::vector<Span>& found, int y, int above, int below);

// Where a key that leaves a column goes in the next one: its first line going down (`direction`
// +1), its last line going up. None where the column has no line.
std::optional<int> EntryLineCentre(const std::vector<Span>& found, int direction);

} // namespace lines
