// Moving a marker by lines of text: the lines are found in what lies around the band, in the
// pixels of whatever program shows it, and the band is put on the next one.
#include "dim/dimLayer.h"
#include "lines/lineFinder.h"
#include "marker/markShape.h"
#include "marker/palette.h"
#include "panel/keys.h"
#include "startup/basTolvin.h"
#include "toolkit/capture.h"
#include "toolkit/screen.h"
#include "toolkit/units.h"

#include <algorithm>

namespace {

RECT Clipped(const RECT& r, const RECT& to) {
    RECT out{};
    IntersectRect(&out, &r, &to);
    return out;
}

} // namespace

std::vector<lines::Span> markShape::LinesAround(int top, int bottom, int x) const {
    const HWND me = HwndIfLoaded();
    const RECT band = tk::WindowRectOf(me);
    const RECT monitor = tk::MonitorOf(band).pixels;
    const RECT area = Clipped(RECT{band.left, top, band.right, bottom}, monitor);
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        return {};
    }
    tk::Surface strip;
    strip.Resize(w, h, 0);
    strip.CopyFromScreen(area.left, area.top, w, h);
    // Where the marker shows in copies the band's rows show its tint: its picture holds what lies
    // behind it (left out of copies, the screen shows that already).
    if (!excludedFromCapture_ && surface_.Height() > 2) {
        // Its edges were taken while the marker was its outline, which they show: the rows and
        // columns next to them stand in for them.
        const int x = band.left - area.left, y = band.top - area.top, pw = surface_.Width(),
                  last = surface_.Height() - 1, right = pw - 1;
        const HDC from = surface_.Dc(), to = strip.Dc();
        BitBlt(to, x, y + 1, pw, last - 1, from, 0, 1, SRCCOPY);
        BitBlt(to, x, y, pw, 1, from, 0, 1, SRCCOPY);
        BitBlt(to, x, y + last, pw, 1, from, 0, last - 1, SRCCOPY);
        BitBlt(to, x, y, 1, last + 1, to, x + 1, y, SRCCOPY);
        BitBlt(to, x + right, y, 1, last + 1, to, x + right - 1, y, SRCCOPY);
    }
    const lines::Strip read{strip.Pixels(), w, h};
    // The program's other windows (markers, the panel, and the dim layer where it lies around the
    // band) show nothing of the page: there the strip is plain paper.
    const COLORREF paper = [&] {
        const tk::Pixel p = lines::PaperOf(read);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }();
    std::vector<RECT> hidden = tk::OwnWindowRects(me);
    if (!dim::Windows().empty() && !tk::WaitsForCompositor(tk::CurrentCaptureMode())) {
        hidden.push_back(RECT{area.left, area.top, area.right, band.top});
        hidden.push_back(RECT{area.left, band.bottom, area.right, area.bottom});
    }
    for (const RECT& r : hidden) {
        RECT part = Clipped(r, area);
        if (!IsRectEmpty(&part)) {
            OffsetRect(&part, -area.left, -area.top);
            strip.Fill(part, paper);
        }
    }
    // Where the band lies over several programs, the lines are those of the window beneath `x`.
    lines::Strip columns = read;
    const POINT at{std::clamp<LONG>(x, band.left, band.right - 1), (band.top + band.bottom) / 2};
    for (HWND beneath : ZOrder().OverlapsBelow(me)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(beneath, &pid);
        const RECT frame = tk::VisibleFrame(beneath);
        if (pid != GetCurrentProcessId() && PtInRect(&frame, at)) {
            columns.left = std::max(frame.left, band.left) - area.left;
            columns.right = std::min(frame.right, band.right) - area.left;
            break;
        }
    }
    std::vector<lines::Span> found = lines::FindLines(columns);
    for (lines::Span& s : found) {
        s.top += area.top;
        s.bottom += area.top;
    }
    return found;
}

void markShape::MoveLines(int count) {
    const RECT band = tk::WindowRectOf(HwndIfLoaded());
    const int h = band.bottom - band.top;
    const RECT monitor = tk::MonitorOf(band).pixels;
    // Where the marker shows in copies, its picture stands in for the band's rows: take it afresh,
    // as the page beneath may have repainted late after the last move.
    if (!excludedFromCapture_ && pen_mode != palette::kCopyPen) {
        const auto keep = weak_from_this().lock();
        Label1_MouseUp(1, 0, 0, 0);
        if (Unloaded()) {
            return;
        }
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    const int dir = count > 0 ? 1 : -1;
    // Both ways, so that the line under the band is found whole whichever way it goes.
    const std::vector<lines::Span> found =
        LinesAround(band.top - lines::Reach(h), band.bottom + lines::Reach(h), pointer.x);
    int top = band.top;
    bool onText = false;
    for (int i = 0; i < std::abs(count); ++i) {
        // The band's centre row is top + (h - 1) / 2: put it on the next line's centre.
        if (auto centre = lines::NextLineCentre(found, top + (h - 1) / 2, dir)) {
            top = *centre - (h - 1) / 2;
            onText = true;
        } else {
            top += dir * h; // no text there: a line is the band's own height
        }
        top = std::max(top, static_cast<int>(monitor.top));
        top = std::min(top, static_cast<int>(monitor.bottom) - h);
    }
    if (!onText) {
        // Nothing found: exactly as a line of the band's own height has always moved.
        MoveToTop(tk::CInt(
            keys::LineTop(Top(), Height(), tk::TwipsY(monitor.top), tk::TwipsY(monitor.bottom), count)));
        return;
    }
    MoveToTop(tk::CInt(tk::TwipsY(top)));
}
