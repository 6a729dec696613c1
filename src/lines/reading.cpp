#include "lines/reading.h"

#include <algorithm>

namespace lines {

PointerLine LineAtPointer(const std::vector<Span>& found, int y, int above, int below) {
    for (const Span& s : found) {
        if (y >= s.top && y < s.bottom) {
            return {s.top, s.bottom, (s.Centre2() + 1) / 2};
        }
        if (s.bottom <= y) {
            above = std::max(above, s.bottom);
        } else {
            below = std::min(below, s.top);
        }
    }
    return {above, below, std::nullopt};
}

std::optional<int> EntryLineCentre(const std::vector<Span>& found, int direction) {
    if (found.empty()) {
        return std::nullopt;
    }
    const Span& entry = direction > 0 ? found.front() : found.back();
    return (entry.Centre2() + 1) / 2;
}

} // namespace lines
