// Moving a marker by lines of text: the lines are found in what lies around the band, in the
// pixels of whatever program shows it, in the column being read, and the band is put on the next
// one; a band fitted to its column reads on into the next column.
#include "dim/dimLayer.h"
#include "lines/columns.h"
#include "lines/reading.h"
#include "marker/markShape.h"
#include "marker/palette.h"
#include "panel/frmControl.h"
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

// A band fitted to its column reaches this far (twips) past the column's ink on each side.
constexpr double kColumnMargin = 120;

// The top-level window of another program that shows at `p`: the page a reader reads there.
HWND PageAt(POINT p) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() || !IsWindowVisible(w) || IsIconic(w)) {
            continue;
        }
        // Overlays that let input through (another program's) show no page of their own.
        const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
        if ((ex & WS_EX_LAYERED) && (ex & WS_EX_TRANSPARENT)) {
            continue;
        }
        const RECT frame = tk::VisibleFrame(w);
        if (PtInRect(&frame, p)) {
            return w;
        }
    }
    return nullptr;
}

lines::Column InStrip(const RECT& r, const RECT& area) {
    return lines::Column{r.left - area.left, r.right - area.left};
}

} // namespace

tk::Surface markShape::ReadScreen(const RECT& area) const {
    const HWND me = HwndIfLoaded();
    const RECT band = tk::WindowRectOf(me);
    const int w = area.right - area.left, h = area.bottom - area.top;
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
    const bool dimmed = !dim::Windows().empty();
    if (dimmed && tk::WaitsForCompositor(tk::CurrentCaptureMode())) {
        // Composed, the dim layer is see-through in the copy, at its alpha: what lies beneath it
        // comes back (darkened, the page's paper would differ from the band's clear rows).
        for (RECT r : dim::Covered()) {
            if (IntersectRect(&r, &r, &area)) {
                OffsetRect(&r, -area.left, -area.top);
                dim::Undim(strip.Pixels(), w, r);
            }
        }
    }
    // The program's other windows (markers, the panel, and, opaque without a compositor, the dim
    // layer around the band) show nothing of the page: there the strip is plain paper.
    const COLORREF paper = [&] {
        const tk::Pixel p = lines::PaperOf(lines::Strip{strip.Pixels(), w, h});
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }();
    std::vector<RECT> hidden = tk::OwnWindowRects(me);
    if (dimmed && !tk::WaitsForCompositor(tk::CurrentCaptureMode())) {
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
    return strip;
}

markShape::Reading markShape::ReadLines(int top, int bottom, POINT pointer, bool ownColumn) const {
    const HWND me = HwndIfLoaded();
    const RECT band = tk::WindowRectOf(me);
    const RECT monitor = tk::MonitorOf(band).pixels;
    Reading out;
    // The page is the window beneath the band at the pointer's column; a band fitted to its column
    // reads the page under its own middle, and the pointer itself decides while following.
    const POINT at = ownColumn    ? POINT{(band.left + band.right) / 2, (band.top + band.bottom) / 2}
                     : following_ ? pointer
                                  : POINT{std::clamp<LONG>(pointer.x, band.left, band.right - 1),
                                          (band.top + band.bottom) / 2};
    const HWND page = PageAt(at);
    out.window = page ? Clipped(tk::VisibleFrame(page), monitor) : monitor;
    if (IsRectEmpty(&out.window)) {
        out.window = monitor;
    }
    const RECT across = following_ ? out.window : Clipped(band, out.window);
    out.area = Clipped(RECT{across.left, top, across.right, bottom}, out.window);
    const int w = out.area.right - out.area.left, h = out.area.bottom - out.area.top;
    if (w <= 0 || h <= 0) {
        return out;
    }
    const tk::Surface strip = ReadScreen(out.area);
    const lines::Strip read{strip.Pixels(), w, h};
    const std::vector<lines::Column> columns = lines::FindColumns(read);
    lines::ReaderAt reader;
    reader.pointerX = pointer.x - out.area.left;
    const RECT grip = tk::WindowRectOf(Pnl_scale.Hwnd());
    reader.pointerOnPage =
        PtInRect(&out.window, pointer) && !PtInRect(&grip, pointer) && (!page || PageAt(pointer) == page);
    if (lastColumn_) {
        reader.last = InStrip(*lastColumn_, out.area);
    }
    if (ownColumn) {
        reader.ownBand = InStrip(band, out.area);
    }
    lines::Strip in = read;
    if (const auto column = lines::ChooseColumn(columns, reader)) {
        in.left = column->left;
        in.right = column->right;
        out.column =
            RECT{column->left + out.area.left, out.area.top, column->right + out.area.left, out.area.bottom};
    }
    // (No column found: the lines across the whole width, as the strip shows them.)
    out.found = lines::FindLines(in);
    for (lines::Span& s : out.found) {
        s.top += out.area.top;
        s.bottom += out.area.top;
    }
    for (const lines::Column& c : columns) {
        out.columns.push_back(
            RECT{c.left + out.area.left, out.area.top, c.right + out.area.left, out.area.bottom});
    }
    return out;
}

std::optional<markShape::Entry> markShape::ReadOn(const Reading& from, int centre, int direction) const {
    if (!from.column) {
        return std::nullopt;
    }
    // The whole height of the page the band reads, across its width.
    const RECT area = from.window;
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        return std::nullopt;
    }
    const tk::Surface strip = ReadScreen(area);
    const lines::Strip read{strip.Pixels(), w, h};
    const std::vector<lines::Column> columns = lines::FindColumns(read);
    lines::ReaderAt reader;
    reader.ownBand = InStrip(*from.column, area);
    const auto current = lines::ChooseColumn(columns, reader);
    if (!current) {
        return std::nullopt;
    }
    auto linesOf = [&](const lines::Column& c) {
        lines::Strip in = read;
        in.left = c.left;
        in.right = c.right;
        std::vector<lines::Span> found = lines::FindLines(in);
        for (lines::Span& s : found) {
            s.top += area.top;
            s.bottom += area.top;
        }
        return found;
    };
    auto entry = [&](const lines::Column& c, std::vector<lines::Span> found, int to) {
        Entry e;
        e.centre = to;
        e.reading.window = area;
        e.reading.area = area;
        e.reading.column = RECT{c.left + area.left, area.top, c.right + area.left, area.bottom};
        e.reading.found = std::move(found);
        return e;
    };
    // The column may go on past what was looked at around the band (beyond a figure).
    std::vector<lines::Span> here = linesOf(*current);
    if (const auto next = lines::NextLineCentre(here, centre, direction)) {
        return entry(*current, std::move(here), *next);
    }
    const auto beside = lines::NextColumn(columns, *current, direction);
    if (!beside) {
        return std::nullopt;
    }
    std::vector<lines::Span> there = linesOf(*beside);
    const auto first = lines::EntryLineCentre(there, direction);
    if (!first) {
        return std::nullopt;
    }
    return entry(*beside, std::move(there), *first);
}

void markShape::FitToColumn(const RECT& column) {
    const HWND me = HwndIfLoaded();
    const RECT band = tk::WindowRectOf(me);
    const RECT monitor = tk::MonitorOf(band).pixels;
    const int margin = tk::PixelsX(kColumnMargin);
    const LONG left = std::max(monitor.left, column.left - margin);
    const LONG right =
        std::min(monitor.right, std::max(column.right + margin, left + tk::PixelsX(kPanelWidth)));
    if (left == band.left && right == band.right) {
        return;
    }
    Move(tk::TwipsX(left), Top(), tk::TwipsX(right - left), Height());
    Pnl_scale.Move(ScaleWidth() - kPanelWidth, tk::Tx()); // the grip at its right end
    if (frame_hwnd) {
        MakeFrameRegion(frame_hwnd);
    }
}

void markShape::SetFitColumn(bool on) {
    const HWND me = HwndIfLoaded();
    if (!me || on == fitColumn_) {
        return;
    }
    fitColumn_ = on;
    const auto keep = weak_from_this().lock();
    if (on) {
        // A picture taken while the menu was open holds the menu: take it afresh first.
        if (!excludedFromCapture_ && pen_mode != palette::kCopyPen) {
            Label1_MouseUp(1, 0, 0, 0);
            if (Unloaded()) {
                return;
            }
        }
        FitToColumnUnderBand();
    } else {
        // Across its monitor again, as a release of the grip puts it.
        const RECT monitor = tk::MonitorOf(tk::WindowRectOf(me)).pixels;
        Move(tk::TwipsX(monitor.left), Top(), tk::TwipsX(monitor.right - monitor.left), Height());
        Pnl_scale.Move(ScaleWidth() - kPanelWidth, tk::Tx());
    }
    if (pen_mode != palette::kCopyPen && !Unloaded()) {
        Label1_MouseUp(1, 0, 0, 0);
    }
}

void markShape::FitToColumnUnderBand() {
    if (!fitColumn_ || Unloaded()) {
        return;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    const RECT band = tk::WindowRectOf(HwndIfLoaded());
    const int h = band.bottom - band.top;
    const Reading r = ReadLines(band.top - lines::Reach(h), band.bottom + lines::Reach(h), pointer, false);
    if (r.column) {
        lastColumn_ = r.column;
        FitToColumn(*r.column);
    }
}

void markShape::MoveLines(int count) {
    const HWND me = HwndIfLoaded();
    // The band a key moves is one the reader can see: in front of the page (without taking the
    // keyboard from it), as a click on the marker puts it.
    tk::KeepInFront(me);
    const RECT band = tk::WindowRectOf(me);
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
    Reading reading =
        ReadLines(band.top - lines::Reach(h), band.bottom + lines::Reach(h), pointer, fitColumn_);
    if (reading.column) {
        lastColumn_ = reading.column;
    }
    int top = band.top;
    bool onText = false;
    for (int i = 0; i < std::abs(count); ++i) {
        // The band's centre row is top + (h - 1) / 2: put it on the next line's centre.
        const int centre = top + (h - 1) / 2;
        if (auto next = lines::NextLineCentre(reading.found, centre, dir)) {
            top = *next - (h - 1) / 2;
            onText = true;
        } else if (auto entry = fitColumn_ ? ReadOn(reading, centre, dir) : std::nullopt) {
            // Past the column's last line (or first): on into the next column.
            reading = std::move(entry->reading);
            lastColumn_ = reading.column;
            top = entry->centre - (h - 1) / 2;
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
    if (fitColumn_ && reading.column) {
        FitToColumn(*reading.column);
    }
    MoveToTop(tk::CInt(tk::TwipsY(top)));
}
