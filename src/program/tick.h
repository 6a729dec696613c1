// The one tick of the whole program: twice a second every shown marker takes its tick in turn, so
// that resting markers wake the program twice a second however many there are.
#pragma once
#include <cstddef>
#include <vector>

namespace tick {

// What the program tick needs to know of a marker.
struct MarkerState {
    bool exists = false;     // a marker holds this number and has been shown
    bool hidden = false;     // hidden with the others: no ticks, no copies
    bool ticking = false;    // its tick is still running (it pumps messages)
    bool refreshing = false; // its refresh is pumping: its tick would start another
};

struct Plan {
    std::vector<std::size_t> markers; // their indexes in the list given, in order
    bool again = false;               // nothing now: the tick comes again in kRetryMs
};

// What this program tick does. While a marker's refresh pumps, no marker ticks: a tick's refresh
// inside that pump would keep the first marker an outline until it ended, so the whole tick waits
// a moment for it to finish.
Plan Choose(const std::vector<MarkerState>& markers);

// How often the program ticks, how late the system may make a tick to fold it with other
// wake-ups, and how soon a tick that waited for a refresh comes again.
constexpr unsigned kIntervalMs = 500;
constexpr unsigned kToleranceMs = 100;
constexpr unsigned kRetryMs = 50;

} // namespace tick
