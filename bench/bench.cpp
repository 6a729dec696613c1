// Prints timing and memory figures for the marker's costly paths. Run under Wine (or on
// Windows) on an otherwise idle desktop; no figure here is a pass/fail test.
#include "lines/columns.h"
#include "lines/lineFinder.h"
#include "marker/markShape.h"
#include "support/helpers.h"
#include "panel/frmControl.h"
#include "startup/basTolvin.h"
#include "toolkit/form.h"
#include "toolkit/surface.h"
#include "toolkit/capture.h"
#include "toolkit/screen.h"
#include "toolkit/units.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    double median, worst;
};

Stats Measure(int runs, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// CPU seconds used so far by the Wine server of this prefix, read through Wine's Z: drive
// (Linux /proc); -1 where there is none (on Windows).
double WineServerCpuSeconds() {
    wchar_t prefix[1024] = {};
    if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024)) {
        return -1;
    }
    char wanted[1100];
    std::snprintf(wanted, sizeof wanted, "WINEPREFIX=%ls", prefix);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
    double seconds = -1;
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &fd)) {
        const std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
        std::ifstream comm(dir + "\\comm");
        std::string name;
        if (!(comm >> name) || name.rfind("wineserver", 0) != 0) {
            continue;
        }
        std::ifstream env(dir + "\\environ", std::ios::binary);
        const std::string all((std::istreambuf_iterator<char>(env)), std::istreambuf_iterator<char>());
        if (all.find(wanted) == std::string::npos) {
            continue;
        }
        std::ifstream stat(dir + "\\stat");
        std::string field;
        unsigned long long utime = 0, stime = 0;
        for (int i = 1; i <= 15 && (stat >> field); ++i) {
            if (i == 14) {
                utime = std::stoull(field);
            } else if (i == 15) {
                stime = std::stoull(field);
            }
        }
        seconds = (utime + stime) / 100.0; // clock ticks of 1/100 s
        break;
    }
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
    return seconds;
}

void Print(const char* what, Stats s) {
    std::printf("%-58s median %8.3f ms   worst %8.3f ms\n", what, s.median, s.worst);
}

double FiletimeMs(FILETIME f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) /
           10000.0;
}

// The message loop, run for `length`, waking at least every `wakeMs`.
void RunMessagesFor(Clock::duration length, DWORD wakeMs = 50) {
    for (const auto start = Clock::now(); Clock::now() - start < length;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wakeMs, QS_ALLINPUT);
        tk::DoEvents();
    }
}

// CPU used while the markers rest for `seconds` with the message loop running, in % of one core:
// the program alone and (under Wine) the program with the Wine server.
void PrintIdleCpu(const char* what, int seconds) {
    const long pictures = markShape::PicturesTaken();
    FILETIME c, e, k0, u0, k1, u1;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k0, &u0);
    const double server0 = WineServerCpuSeconds();
    RunMessagesFor(std::chrono::seconds(seconds));
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k1, &u1);
    const double cpuMs = FiletimeMs(k1) - FiletimeMs(k0) + FiletimeMs(u1) - FiletimeMs(u0);
    const double program = cpuMs / (10.0 * seconds);
    if (server0 >= 0) {
        const double server = (WineServerCpuSeconds() - server0) * 100.0 / seconds;
        std::printf("%-58s %6.2f %% of one core (program %.2f + Wine server %.2f), %ld pictures\n", what,
                    program + server, program, server, markShape::PicturesTaken() - pictures);
    } else {
        std::printf("%-58s %6.2f %% of one core\n", what, program);
    }
}

// Both, in turns, so that a change in the machine's speed meanwhile shows.
void PrintIdleCpuWithAndWithoutLivePicture(const char* what, int seconds) {
    for (int round = 0; round < 2; ++round) {
        markShape::SetLivePicture(false);
        PrintIdleCpu((std::string(what) + ", no live picture").c_str(), seconds);
        markShape::SetLivePicture(true);
        PrintIdleCpu((std::string(what) + ", live picture").c_str(), seconds);
    }
}

// Screen copies a second that resting markers take for their live pictures, on the path where they
// copy in place (forced here: Wine cannot leave a window out of copies) and on the outline path.
void PrintLiveCopies(frmControl& panel, const char* what, int seconds) {
    for (bool inPlace : {true, false}) {
        for (int n = 1; n <= panel.mk_max; ++n) {
            if (auto& shape = panel.mk_table[n].shape) {
                shape->CopyInPlace(inPlace);
            }
        }
        const long copies = markShape::LiveScreenCopies(), pictures = markShape::PicturesTaken();
        RunMessagesFor(std::chrono::seconds(seconds));
        const double perSecond = static_cast<double>(inPlace ? markShape::LiveScreenCopies() - copies
                                                             : markShape::PicturesTaken() - pictures) /
                                 seconds;
        std::printf("%-58s %6.1f screen copies a second\n",
                    (std::string(what) + (inPlace ? ", copying in place" : ", outline path")).c_str(),
                    perSecond);
    }
}

// A page of another program (here: another thread, with its own message loop) beneath a resting
// marker changes colour: how long until the marker's picture shows it. Changes come at random
// moments of the tick.
void PrintTimeToShowAChange(markShape& m) {
    const RECT r = tk::WindowRectOf(m.Hwnd());
    testing_support::Page page(RECT{0, r.top - 40, 1000, r.bottom + 40}, testing_support::Page::Look{});
    SetWindowPos(page.Hwnd(), m.Hwnd(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    m.Label1_MouseUp(1, 0, 0, 0);
    Print("one look at a resting marker's edges (rows shared)", Measure(200, [&] { m.EdgesChanged(); }));
    // What a look is made of when it reads the screen itself.
    Print("  the monitor it is on", Measure(200, [&] { tk::MonitorOf(r); }));
    Print("  the program's own windows (remembered)", Measure(200, [&] { tk::OwnWindowRects(m.Hwnd()); }));
    Print("  the program's own windows (asked afresh)", Measure(200, [&] {
              tk::ForgetOwnWindows();
              tk::OwnWindowRects(m.Hwnd());
          }));
    {
        tk::Surface row;
        row.Resize(r.right - r.left, 1, 0);
        Print("  one screen row read",
              Measure(200, [&] { row.CopyFromScreen(r.left, r.bottom, r.right - r.left, 1); }));
    }
    COLORREF colour = RGB(255, 255, 255);
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        colour = colour == RGB(255, 255, 255) ? RGB(0, 0, 0) : RGB(255, 255, 255);
        RunMessagesFor(std::chrono::milliseconds(37 * i % 500), 5);
        page.SetLook(testing_support::Page::Look{colour});
        const auto t0 = Clock::now();
        while (m.Picture().PixelAt(300, 5) != colour && Clock::now() - t0 < std::chrono::seconds(3)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            tk::DoEvents();
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    Print("a change beneath a resting marker shows in its band after", Stats{ms[ms.size() / 2], ms.back()});
}

// Lines of text: what finding them costs for a key, and what following the pointer costs.
void PrintLines(markShape& m) {
    {
        tk::Surface strip;
        strip.Resize(1920, 231, RGB(255, 255, 255)); // five band heights either side of a band
        testing_support::DrawDocument(strip.Dc(), RGB(0, 0, 0));
        Print("finding the lines in a 1920 x 231 strip", Measure(200, [&] {
                  lines::FindLines({strip.Pixels(), strip.Width(), strip.Height()});
              }));
        // What a key costs now: the columns across the strip, then the lines of the one read.
        tk::Surface two;
        two.Resize(1920, 231, RGB(255, 255, 255));
        testing_support::DrawTwoColumns(two.Dc(), RGB(0, 0, 0));
        Print("the column and its lines in a 1920 x 231 strip of two columns", Measure(200, [&] {
                  lines::Strip read{two.Pixels(), two.Width(), two.Height()};
                  const auto columns = lines::FindColumns(read);
                  lines::ReaderAt reader;
                  reader.pointerX = 300;
                  if (const auto c = lines::ChooseColumn(columns, reader)) {
                      read.left = c->left;
                      read.right = c->right;
                  }
                  lines::FindLines(read);
              }));
    }
    testing_support::Page::Look look;
    look.text = true;
    testing_support::Page page(RECT{0, 0, 1200, 640}, look);
    SetWindowPos(page.Hwnd(), m.Hwnd(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    m.Move(0, 0);
    m.Label1_MouseUp(1, 0, 0, 0);
    int dir = 1;
    Print("one line key over a page of text (read, find, move, picture)", Measure(40, [&] {
              m.MoveLines(dir);
              dir = m.Top() > 3000 ? -1 : m.Top() < 600 ? 1 : dir;
          }));
    // Following: the pointer moves to another line every 200 ms, then rests.
    const std::vector<std::pair<int, int>> lines = page.TextLines();
    m.SetFollowing(true);
    std::atomic<bool> moving{true};
    std::thread mover([&] {
        for (int i = 0; moving; ++i) {
            const auto& l = lines[static_cast<size_t>(i) % lines.size()];
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dx = 300 * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            in.mi.dy = (l.first + l.second) / 2 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            // Under Wine injected input leaves the X pointer behind, and the pointer's place is
            // read from it once the input is older than a moment: it is put there too, first
            // (Wine moves the X pointer only for a SetCursorPos that changes the pointer's place).
            SetCursorPos(300, (l.first + l.second) / 2);
            SendInput(1, &in, sizeof in);
            Sleep(200);
        }
    });
    PrintIdleCpu("CPU of a marker following a pointer moving a line per 200 ms, 10 s", 10);
    moving = false;
    mover.join();
    // The last line's move and picture are not the resting pointer's (a program tick is 0.5 s).
    RunMessagesFor(std::chrono::seconds(1));
    PrintIdleCpu("CPU of a marker following a resting pointer, 10 s", 10);
    m.SetFollowing(false);
    m.Move(0, 3000);
}

} // namespace

int wmain() {
    tk::SetEndProgramAction([] {});
    std::printf("screen %d x %d pixels, %d dpi\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), GetDeviceCaps(GetDC(nullptr), LOGPIXELSY));
    const auto t0 = Clock::now();
    auto panel = frmControl::Instance();
    panel->InitMarker();
    std::printf("%-58s %8.1f ms\n", "start-up: InitMarker to marker 1 shown",
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    auto m = panel->mk_table[1].shape;
    m->Move(0, 3000);
    const tk::CaptureMode mode = tk::CurrentCaptureMode();
    const char* modeName = mode == tk::CaptureMode::Excluded                 ? "left out of screen copies"
                           : mode == tk::CaptureMode::OutlineAfterCompositor ? "outline, then the compositor"
                                                                             : "outline (no compositor)";
    std::printf("refresh path on this system: %s\n", modeName);
    const Stats refresh = Measure(200, [&] { m->Label1_MouseUp(1, 0, 0, 0); });
    Print("background refresh of a screen-wide marker (frame, pump, capture, full)", refresh);
    // On the outline paths the bar is an outline from the start of the refresh until it has its
    // full shape back, the last step; left out of copies it never is one.
    Print("time the bar shows as an outline, per refresh",
          mode == tk::CaptureMode::Excluded ? Stats{} : refresh);
    Print("refresh followed by its repaint", Measure(200, [&] {
              m->Label1_MouseUp(1, 0, 0, 0);
              UpdateWindow(m->Hwnd());
          }));
    {
        // The capture alone: the marker's own rectangle copied from the screen.
        RECT r{};
        GetWindowRect(m->Hwnd(), &r);
        tk::Surface copy;
        copy.Resize(r.right - r.left, r.bottom - r.top, 0);
        Print("screen copy of the marker's rectangle alone (CopyScreenImage)",
              Measure(500, [&] { copy.CopyFromScreen(r.left, r.top, r.right - r.left, r.bottom - r.top); }));
    }
    {
        // One grip-drag move event: the grip slides and the marker follows.
        m->Pnl_scale_MouseDown(1, 0, 100, 100);
        int i = 0;
        Print("one grip-drag move event", Measure(400, [&] {
                  ++i;
                  m->Pnl_scale_MouseMove(1, 0, static_cast<float>(100 + (i % 40) * 15),
                                         static_cast<float>(100 + (i % 2) * 15));
              }));
        m->Pnl_scale_MouseUp(1, 0, 100, 100);
        m->Move(0, 3000);
    }
    Print("one tick's z-order walks (1 marker)", Measure(200, [&] {
              CountWindowsAbove(m->Hwnd());
              FindOverlapBelow(m->Hwnd());
          }));
    PrintTimeToShowAChange(*m);
    PrintLines(*m);
    {
        // Three markers resting over the (white) desktop.
        panel->AddMarker();
        panel->AddMarker();
        panel->mk_table[2].shape->Move(0, 6000);
        panel->mk_table[3].shape->Move(0, 9000);
        for (int n = 1; n <= 3; ++n) {
            panel->mk_table[n].shape->Label1_MouseUp(1, 0, 0, 0);
        }
        PrintIdleCpuWithAndWithoutLivePicture("CPU of 3 resting markers over 20 s", 20);
        PrintLiveCopies(*panel, "3 resting markers", 5);
        // One of them dims the rest: a step now moves the layer's hole too; at rest it costs nothing.
        panel->MyMarkerNo(1);
        int dir = 1;
        auto step = [&] {
            m->MoveMark(dir);
            dir = -dir;
        };
        Print("one step of a marker (no dim layer)", Measure(100, step));
        panel->CheckDimRest();
        Print("one step of a marker that dims the rest", Measure(100, step));
        PrintIdleCpu("CPU of 3 resting markers, one dimming the rest, over 20 s", 20);
        panel->CheckDimRest();
    }

    const double before = testing_support::CommitChargeMb();
    const auto addStart = Clock::now();
    for (int i = 4; i <= 100; ++i) {
        panel->AddMarker();
        if (i % 25 == 0) {
            std::printf("  %3d markers after %8.1f ms\n", i,
                        std::chrono::duration<double, std::milli>(Clock::now() - addStart).count());
        }
    }
    std::printf("%-58s %8.3f MB\n", "memory added per marker",
                (testing_support::CommitChargeMb() - before) / 97);
    // Fifty other windows, as a busy desktop has.
    std::vector<HWND> others;
    for (int i = 0; i < 50; ++i) {
        others.push_back(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20 * i,
                                         300 + 5 * i, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                         nullptr));
        UpdateWindow(others.back()); // painted now, not inside the ticks measured below
    }
    tk::DoEvents();
    Print("one tick's z-order walks (100 markers, 50 other windows)", Measure(100, [&] {
              CountWindowsAbove(m->Hwnd());
              FindOverlapBelow(m->Hwnd());
          }));
    {
        // One tick on its own: with the program's tick stopped its pumping finds nothing to
        // deliver, so the figure is this tick's work alone.
        KillTimer(panel->ProgramHwnd(), ProgramWindow::kTickTimer);
        // Let every new window finish its first painting (a pass delivers only what was
        // pending when it began, so this takes many passes).
        const auto drainStart = Clock::now();
        while (GetQueueStatus(QS_ALLINPUT) != 0 && Clock::now() - drainStart < std::chrono::seconds(5)) {
            tk::DoEvents();
        }
        Print("one whole tracking tick (lowest of 100 markers)", Measure(100, [&] { m->Timer1_Timer(); }));
        Print("one program tick: every one of 100 markers' ticks",
              Measure(20, [&] { panel->TickMarkers(); }));
        tk::SetCoalescedTimer(panel->ProgramHwnd(), ProgramWindow::kTickTimer, tick::kIntervalMs,
                              tick::kToleranceMs);
    }
    // What a tick is made of under Wine: round trips to the server, one for the z-order list
    // and one for every other program's window it walks past.
    Print("the z-order list alone (one enumeration)", Measure(100, [&] { ZOrder z; }));
    Print("one server round trip (an empty PeekMessage)", Measure(100, [&] {
              MSG msg;
              PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
          }));
    int windows = 0, visible = 0, foreign = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        ++windows;
        visible += IsWindowVisible(w) ? 1 : 0;
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        foreign += pid != GetCurrentProcessId() ? 1 : 0;
    }
    std::printf("top-level windows: %d (%d visible, %d of other programs)\n", windows, visible, foreign);
    Print("CountWindowsAbove (lowest of 100 markers)", Measure(100, [&] { CountWindowsAbove(m->Hwnd()); }));
    Print("FindOverlapBelow (lowest of 100 markers)", Measure(100, [&] { FindOverlapBelow(m->Hwnd()); }));
    RECT rc;
    Print("GetWindowRect x1000 (own window)", Measure(20, [&] {
              for (int i = 0; i < 1000; ++i)
                  GetWindowRect(m->Hwnd(), &rc);
          }));
    Print("IsWindowVisible x1000 (own window)", Measure(20, [&] {
              for (int i = 0; i < 1000; ++i)
                  IsWindowVisible(m->Hwnd());
          }));
    Print("GetWindow x1000 (own window)", Measure(20, [&] {
              for (int i = 0; i < 1000; ++i)
                  GetWindow(m->Hwnd(), GW_HWNDPREV);
          }));
    PrintIdleCpuWithAndWithoutLivePicture("CPU of 100 resting markers over 20 s", 20);
    PrintLiveCopies(*panel, "100 resting markers", 5);
    for (HWND w : others) {
        DestroyWindow(w);
    }
    panel->DelAllMarker();
    return 0;
}
