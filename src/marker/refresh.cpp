// The marker's picture: the background refresh (with its wait for the programs beneath and the
// second copy that confirms the first) and the live picture of a resting marker.
#include "marker/livePicture.h"
#include "marker/markShape.h"
#include "marker/palette.h"
#include "startup/basTolvin.h"
#include "toolkit/handles.h"
#include "toolkit/screen.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Refreshes under way in the whole program. While one marker is an outline, what lies just
// outside another marker's band may be that outline, not the windows beneath: no marker senses
// its edges then.
int g_refreshesUnderWay = 0;

bool g_livePicture = true;
long g_picturesTaken = 0;

class RefreshUnderWay {
public:
    RefreshUnderWay() {
        ++g_refreshesUnderWay;
        ZOrder::ForgetShared(); // the marker changes shape: what the others see changes
    }
    ~RefreshUnderWay() { --g_refreshesUnderWay; }
    RefreshUnderWay(const RefreshUnderWay&) = delete;
    RefreshUnderWay& operator=(const RefreshUnderWay&) = delete;
};

// Other programs repaint in their own time: a window beneath repaints what the outline uncovered
// when its thread next looks at its messages (under Wine the display's report of the uncovered
// area is read there; on Windows the WM_PAINT waits there). A message sent to that thread is
// answered when it looks; the second answer comes only after it has looked once more, with the
// report or the WM_PAINT in hand. Within `boundMs` in all: a hung program cannot hang the marker.
struct Repainters {
    int threads = 0;   // other programs' threads with windows beneath
    bool late = false; // one of them had not answered when the time was up (busy, not hung)
};

Repainters LetOtherProgramsRepaint(HWND me, DWORD boundMs) {
    const DWORD start = GetTickCount();
    Repainters found;
    std::vector<DWORD> asked;
    for (HWND w : ZOrder().OverlapsBelow(me)) {
        const DWORD thread = GetWindowThreadProcessId(w, nullptr);
        if (thread == GetCurrentThreadId() || std::find(asked.begin(), asked.end(), thread) != asked.end()) {
            continue;
        }
        asked.push_back(thread);
        for (int round = 0; round < 2; ++round) {
            const DWORD spent = GetTickCount() - start;
            DWORD_PTR answer = 0;
            if (spent >= boundMs) {
                found.late = true;
                break;
            }
            if (!SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, boundMs - spent, &answer)) {
                // A hung program is given up at once; one that let the time run out is only busy.
                found.late = GetTickCount() - start >= boundMs;
                break;
            }
        }
    }
    found.threads = static_cast<int>(asked.size());
    return found;
}

// Pieces of screen rows, read through a picture kept for the purpose (no GDI objects made each
// time) and shared for a moment: markers lying side by side or on top of each other read the
// same rows, and with many markers each row is read a few times a second, not once per marker.
class ScreenRows {
public:
    // Appends the pixels of `pieces` (rows one pixel high) to `out`. `fresh`: read now, whatever
    // was read a moment ago (the edges that go with a new picture).
    void Append(const std::vector<RECT>& pieces, bool fresh, std::vector<tk::Pixel>& out) {
        const DWORD now = GetTickCount();
        for (auto it = read_.begin(); it != read_.end();) {
            it = fresh || now - it->when > kShareMs ? read_.erase(it) : it + 1;
        }
        std::optional<tk::WindowDc> screen; // one screen DC for all the pieces not read lately
        for (const RECT& piece : pieces) {
            const Read* known = nullptr;
            for (const Read& r : read_) {
                known = EqualRect(&r.piece, &piece) ? &r : known;
            }
            if (!known) {
                if (!screen) {
                    screen.emplace(GetDesktopWindow());
                }
                const int w = piece.right - piece.left;
                scratch_.Resize(w, 1, 0);
                scratch_.CopyFromScreen(screen->get(), piece.left, piece.top, w, 1);
                const tk::Pixel* p = scratch_.Pixels();
                if (!p) {
                    continue;
                }
                read_.push_back(Read{piece, now, std::vector<tk::Pixel>(p, p + w)});
                known = &read_.back();
            }
            out.insert(out.end(), known->pixels.begin(), known->pixels.end());
        }
    }

private:
    // Less than a tick: a change is still seen at the tick after the one that read the row. The
    // markers' looks of one program tick come one after another, so each row is read once a tick.
    static constexpr DWORD kShareMs = 200;
    struct Read {
        RECT piece;
        DWORD when;
        std::vector<tk::Pixel> pixels;
    };
    std::vector<Read> read_;
    tk::Surface scratch_;
};

ScreenRows& SharedScreenRows() {
    static ScreenRows rows;
    return rows;
}

// Where markers are left out of copies: one copy of the screen a live tick per monitor, of the
// area that holds the bands resting on it, which each marker takes its part of. Every read of the
// screen is a read back from the compositor; 100 markers would otherwise make 700 a second.
class MonitorCopies {
public:
    // Copies `band` (screen pixels, on `monitor`) into `out` (of the band's size), from a copy
    // taken this live tick or a new one. `me`: the marker asking, which rests there.
    void CopyBand(const void* me, const RECT& band, const RECT& monitor, tk::Surface& out) {
        const DWORD now = GetTickCount();
        Announce(me, band, monitor, now);
        // A copy no band has taken its part of for a while is of a monitor without resting bands
        // (or one that has gone): its pixels are let go.
        copies_.erase(std::remove_if(copies_.begin(), copies_.end(),
                                     [&](const Copy& c) { return now - c.when > kUnusedMs; }),
                      copies_.end());
        Copy* copy = nullptr;
        for (Copy& c : copies_) {
            copy = EqualRect(&c.monitor, &monitor) ? &c : copy;
        }
        if (!copy) {
            copies_.push_back(Copy{monitor, {}, 0, {}});
            copy = &copies_.back();
        }
        if (!live::CopyServes(copy->area, now - copy->when, band)) {
            std::vector<RECT> bands;
            for (const Resting& r : resting_) {
                if (EqualRect(&r.monitor, &monitor)) {
                    bands.push_back(r.band);
                }
            }
            copy->area = live::CopyArea(bands);
            copy->when = now;
            const int w = copy->area.right - copy->area.left, h = copy->area.bottom - copy->area.top;
            copy->pixels.Resize(w, h, 0);
            copy->pixels.CopyFromScreen(copy->area.left, copy->area.top, w, h);
            ++copiesTaken_;
        }
        BitBlt(out.Dc(), 0, 0, band.right - band.left, band.bottom - band.top, copy->pixels.Dc(),
               band.left - copy->area.left, band.top - copy->area.top, SRCCOPY);
    }
    long CopiesTaken() const { return copiesTaken_; }

private:
    // A band counts as resting while its marker has looked within two live intervals.
    static constexpr DWORD kRestingMs = 300;
    static constexpr DWORD kUnusedMs = 2000;
    struct Resting {
        const void* marker;
        RECT band;
        RECT monitor;
        DWORD when;
    };
    struct Copy {
        RECT monitor;
        RECT area;
        DWORD when;
        tk::Surface pixels;
    };
    void Announce(const void* me, const RECT& band, const RECT& monitor, DWORD now) {
        resting_.erase(
            std::remove_if(resting_.begin(), resting_.end(),
                           [&](const Resting& r) { return r.marker == me || now - r.when > kRestingMs; }),
            resting_.end());
        resting_.push_back(Resting{me, band, monitor, now});
    }
    std::vector<Resting> resting_;
    std::vector<Copy> copies_;
    long copiesTaken_ = 0;
};

MonitorCopies& SharedMonitorCopies() {
    static MonitorCopies copies;
    return copies;
}

} // namespace

live::Plan markShape::LivePlan() {
    return live::ChoosePlan(tk::CurrentCaptureMode());
}

void markShape::CaptureModeChanged() {
    const HWND me = HwndIfLoaded();
    if (!me) {
        return;
    }
    excludedFromCapture_ = tk::FollowCaptureMode(me);
    if (tips_.Hwnd()) {
        tk::FollowCaptureMode(tips_.Hwnd());
    }
    EnableTimer(kLiveTimer, LivePlan().intervalMs, LivePlan().sensing == live::Sensing::CopyInPlace);
    if (pen_mode != palette::kCopyPen && !frame_hwnd) {
        Label1_MouseUp(1, 0, 0, 0);
    }
}

void markShape::CopyInPlace(bool on) {
    excludedFromCapture_ = on || tk::CurrentCaptureMode() == tk::CaptureMode::Excluded;
    const live::Plan plan = live::ChoosePlan(on ? tk::CaptureMode::Excluded : tk::CurrentCaptureMode());
    EnableTimer(kLiveTimer, plan.intervalMs, plan.sensing == live::Sensing::CopyInPlace);
}

void markShape::NewProgramTick() {
    ZOrder::ForgetShared();
}

long markShape::LiveScreenCopies() {
    return SharedMonitorCopies().CopiesTaken();
}

long markShape::PicturesTaken() {
    return g_picturesTaken;
}

void markShape::SetLivePicture(bool on) {
    g_livePicture = on;
}

markShape::PictureState markShape::State() const {
    if (refresh_ != PictureState::Held) {
        return refresh_;
    }
    if (frame_hwnd) {
        return touka_on ? PictureState::PassThrough : PictureState::Dragging;
    }
    return PictureState::Held;
}

bool markShape::HasFrameRegion() const {
    tk::Region probe(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(HwndIfLoaded(), probe.get()) != ERROR;
}

bool markShape::CopyScreenImage() {
    // The window's own rectangle and client size, in the pixels the system reports: twips divided
    // by a rounded twips-per-pixel miss rows and columns wherever 1440 / dpi is no whole number.
    const RECT r = tk::WindowRectOf(HwndIfLoaded());
    RECT client{};
    GetClientRect(HwndIfLoaded(), &client);
    if (!surface_.CopyFromScreen(r.left, r.top, client.right, client.bottom)) {
        return false; // no copy to be had: the picture stays as it was
    }
    HideProtected(surface_, r);
    Invalidate();
    return true;
}

void markShape::HideProtected(tk::Surface& picture, const RECT& at) const {
    // Only a compositor keeps a window's content out of copies; without one nothing is hidden.
    if (!tk::ProtectedWindowsMatter(tk::CurrentCaptureMode())) {
        return;
    }
    std::vector<live::Beneath> beneath;
    for (HWND w : ZOrder().OverlapsBelow(HwndIfLoaded())) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId()) { // the program's own windows are left out of copies by design
            beneath.push_back(live::Beneath{tk::WindowRectOf(w), tk::ProtectsItsContent(w)});
        }
    }
    // There the band shows its tint over plain paper: never black, never another window's text.
    for (RECT part : live::ProtectedParts(at, beneath)) {
        OffsetRect(&part, -at.left, -at.top);
        picture.Fill(part, kPaper);
    }
}

void markShape::GoFrameShape() {
    frame_hwnd = HwndIfLoaded();
    MakeFrameRegion(frame_hwnd);
    surface_.Clear(kBackColor);
    Shape1.visible = false;
    Invalidate();
}

void markShape::GoFullShape() {
    if (frame_hwnd) {
        SetWindowRgn(frame_hwnd, nullptr, TRUE);
    }
    frame_hwnd = nullptr;
    Shape1.visible = true;
    Invalidate();
}

bool markShape::PumpAndRefresh() {
    tk::DoEvents();
    if (!Unloaded()) {
        Label1_MouseUp(1, 0, 0, 0);
    }
    return !Unloaded(); // false: the marker was closed meanwhile, and the tick must stop
}

void markShape::Label1_MouseUp(int Button, int, float, float) {
    if (Button != 1 || !HwndIfLoaded()) {
        return;
    }
    // Keep this marker alive until the refresh has finished, whatever runs in its pumps.
    const auto keep = weak_from_this().lock();
    RefreshUnderWay underWay;
    ++g_picturesTaken;
    if (excludedFromCapture_) {
        RefreshInPlace();
    } else {
        RefreshAsOutline();
    }
    if (refresh_ != PictureState::Held && !Unloaded() && !frame_hwnd) {
        refresh_ = PictureState::Held;
    }
}

void markShape::RefreshAsOutline() {
    GoFrameShape();
    refresh_ = PictureState::Outlined;
    // The windows beneath repaint what the marker uncovered. The display reports the uncovered
    // area only after it has taken the new shape: the first pass sends the shape, the wait lets
    // the reports arrive, other programs are given the time to read theirs and the second pass
    // delivers ours.
    const DWORD start = GetTickCount();
    DWORD bound = live::kRepaintWaitMs;
    tk::Surface again; // a second copy, to confirm the first
    bool copied = true;
    for (int copies = 0;; ++copies) {
        tk::DoEvents();
        tk::WaitForDisplay();
        const Repainters others =
            LetOtherProgramsRepaint(HwndIfLoaded(), bound - std::min(GetTickCount() - start, bound));
        if (others.late) {
            // A busy program has not yet repainted what the outline uncovered: the screen there
            // still shows the band, and a copy now would hold the band's own tint for good.
            bound = waitForBusyPrograms_ ? live::kLateRepaintWaitMs : live::kLateTickRepaintWaitMs;
        }
        tk::DoEvents();
        // A step or another refresh handled in those passes has already taken the picture and
        // given the marker its full shape back; a copy now would hold the marker's own tint.
        if (Unloaded() || !frame_hwnd || refresh_ != PictureState::Outlined) {
            return;
        }
        tk::WaitForCompositor();
        if (copies == 0) {
            if (!CopyScreenImage()) {
                copied = false; // the old picture and its edges stay
                break;
            }
            if (others.threads == 0) {
                break; // only this program's windows (repainted in the passes) and the desktop beneath
            }
            continue;
        }
        // A window that repainted between the two copies was late for the first: take the newer
        // one and look again, until two agree or the time is up.
        again.Resize(surface_.Width(), surface_.Height(), kBackColor);
        const RECT r = tk::WindowRectOf(HwndIfLoaded());
        if (!again.CopyFromScreen(r.left, r.top, again.Width(), again.Height())) {
            break; // the first copy stands
        }
        const bool same =
            !live::Differ(again.Pixels(), surface_.Pixels(),
                          static_cast<size_t>(again.Width()) * static_cast<size_t>(again.Height()));
        if (!same) {
            surface_.CopyFrom(again);
        }
        if (same || GetTickCount() - start >= bound) {
            break;
        }
    }
    if (copied) {
        edges_ = SenseEdges(true);
    }
    GoFullShape();
    refresh_ = PictureState::Held;
}

void markShape::RefreshInPlace() {
    // The marker is left out of screen copies: the copy shows what lies behind it while the bar
    // stays as it is. `frame_hwnd` still tells the other handlers that a refresh is under way.
    frame_hwnd = HwndIfLoaded();
    refresh_ = PictureState::CopyingInPlace;
    tk::DoEvents();
    if (Unloaded() || frame_hwnd != HwndIfLoaded() || HasFrameRegion() ||
        refresh_ != PictureState::CopyingInPlace) {
        // A step, a refresh, a drag or a pass-through click handled meanwhile has taken over;
        // once it is done the marker rests again and its picture stays live.
        if (refresh_ == PictureState::CopyingInPlace) {
            refresh_ = PictureState::Held;
        }
        return;
    }
    // Right after a move, a release or a new hole in the dim layer, the last composed frame can
    // still show the windows beneath as they were.
    tk::WaitForCompositor();
    CopyScreenImage();
    edgeMonitor_ = tk::MonitorOf(tk::WindowRectOf(HwndIfLoaded())).pixels; // the live copies' monitor
    frame_hwnd = nullptr;
    refresh_ = PictureState::Held;
    Invalidate();
}

std::vector<tk::Pixel> markShape::SenseEdges(bool fresh) const {
    std::vector<tk::Pixel> pixels;
    const RECT band = tk::WindowRectOf(HwndIfLoaded());
    // The monitor is asked with every new picture (the marker has moved, or the monitors have
    // changed and the marker was brought back); a look in between reuses it, since asking the
    // system costs more than the rest of the look.
    if (fresh || IsRectEmpty(&edgeMonitor_)) {
        edgeMonitor_ = tk::MonitorOf(band).pixels;
    }
    SharedScreenRows().Append(live::EdgeRows(band, edgeMonitor_, tk::OwnWindowRects(HwndIfLoaded())), fresh,
                              pixels);
    return pixels;
}

bool markShape::EdgesChanged() const {
    // Not while another marker is an outline (what lies outside this band may be its interior),
    // nor while this one is anything but resting. What changed stays a change until a refresh
    // has taken the picture and the edges with it.
    if (!g_livePicture || g_refreshesUnderWay > 0 || State() != PictureState::Held) {
        return false;
    }
    return SenseEdges(false) != edges_;
}

void markShape::LiveCopy() {
    if (!g_livePicture || hidden_ || g_refreshesUnderWay > 0 || State() != PictureState::Held ||
        pen_mode == palette::kCopyPen || tk::SessionLocked() ||
        live::CopiesPaused(tk::ModalLoopOpen(), tk::MsSinceModalLoopEnded())) {
        return;
    }
    const RECT r = tk::WindowRectOf(HwndIfLoaded());
    RECT client{};
    GetClientRect(HwndIfLoaded(), &client);
    tk::Surface fresh;
    fresh.Resize(client.right, client.bottom, kBackColor);
    if (fresh.Width() != surface_.Width() || fresh.Height() != surface_.Height()) {
        return;
    }
    if (IsRectEmpty(&edgeMonitor_)) {
        edgeMonitor_ = tk::MonitorOf(r).pixels;
    }
    SharedMonitorCopies().CopyBand(this, r, edgeMonitor_, fresh);
    HideProtected(fresh, r);
    if (live::Differ(fresh.Pixels(), surface_.Pixels(),
                     static_cast<size_t>(fresh.Width()) * static_cast<size_t>(fresh.Height()))) {
        surface_.CopyFrom(fresh);
        ++g_picturesTaken;
        Invalidate();
    }
}
