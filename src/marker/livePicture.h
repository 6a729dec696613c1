// When a marker's picture is out of date, and whether a copy has settled. Decisions only, with
// no window in them, so that each can be tested alone.
#pragma once
#include "toolkit/capture.h"
#include "toolkit/surface.h"

#include <windows.h>

#include <cstddef>
#include <vector>

namespace live {

// How a resting marker notices that what lies behind it has changed.
enum class Sensing {
    // Where the marker shows in screen copies, what lies behind the band cannot be seen without
    // shrinking it. The rows just above and below the band can: a scroll, a page turned or a window
    // recoloured changes them too. Compared at every tick; a change refreshes the marker.
    EdgeRows,
    // Where the marker is left out of screen copies, a copy of its own rectangle shows what lies
    // behind it without any change of shape: copied now and then, and shown when it differs.
    CopyInPlace,
};

struct Plan {
    Sensing sensing;
    unsigned intervalMs; // how often the screen is looked at
};

// Chosen from the capture path the system allows.
Plan ChoosePlan(tk::CaptureMode mode);

// Whether the end of a grip drag copies what lies behind before the marker takes its full shape
// back. Left out of copies, it can, and must: the full shape would first show the picture the
// drag cleared, as a solid bar. As an outline it copies in the refresh that follows, which waits
// for the windows beneath to repaint at the new place.
bool CopyBeforeFullShape(tk::CaptureMode mode);

// The screen a marker senses (band: the marker's rectangle, monitor: the monitor it is on, ours:
// the program's other visible windows, all in screen pixels): the row just above and the row just
// below the band, across its width, where they lie on that monitor and no window of the program
// covers them (there they would show another marker's band, not what lies behind). Pieces of
// rows, left to right; none for a band that fills its monitor's height.
std::vector<RECT> EdgeRows(const RECT& band, const RECT& monitor, const std::vector<RECT>& ours = {});

// A window beneath a band, nearest first: where it is, and whether it keeps its content out of
// screen copies (display affinity).
struct Beneath {
    RECT rect;
    bool protects;
};
// The parts of `band` (screen pixels) where a copy would show a protected window (black, or what
// lies behind it, another window's content): where such a window lies in the band and no window
// nearer the band covers it. Pieces that do not overlap.
std::vector<RECT> ProtectedParts(const RECT& band, const std::vector<Beneath>& beneath);

// Whether live copies wait: while a menu of the program is open, and for a moment after it closed
// (it fades out), a copy would take the menu into the band's picture.
bool CopiesPaused(bool menuOpen, DWORD msSinceMenuClosed);
constexpr DWORD kMenuFadeMs = 250;

// Where markers are left out of copies, resting markers on one monitor share one copy a live tick:
// the smallest rectangle that holds their bands.
RECT CopyArea(const std::vector<RECT>& bands);
// Whether a copy of `area` taken `ageMs` ago serves `band` in this live tick: it holds the whole
// band and is younger than the tick.
bool CopyServes(const RECT& area, DWORD ageMs, const RECT& band);
// How long a shared copy serves: less than the live interval, so that every marker's look sees
// the screen as it was at most this long ago.
constexpr DWORD kSharedCopyMs = 100;

// Whether two pictures of the same size differ anywhere.
bool Differ(const tk::Pixel* a, const tk::Pixel* b, std::size_t count);

// How long a refresh waits, at most, for windows beneath to repaint what the outline uncovered
// and for two copies that agree: the marker must not stay an outline, which clicks and the wheel
// pass through, for longer than a blink.
constexpr DWORD kRepaintWaitMs = 80;
// How long the picture after a move of the reader's waits when a program beneath has not even
// answered by then: a program busy for a moment (or starved of the processor on a busy machine)
// has not repainted, and a copy would hold the band itself. Only a hung program, or one busy for
// longer still, is copied as it is.
constexpr DWORD kLateRepaintWaitMs = 600;
// The same for the pictures the program takes of its own accord (the ticks'): shorter, since with
// many markers the waits follow one another, and the program must go on answering the reader.
constexpr DWORD kLateTickRepaintWaitMs = 250;

} // namespace live
