#include "e2e/tolvin.h"
#include "support/failureShots.h"
#include "support/helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

std::wstring g_tolvinPath;

namespace {
std::wstring WindowsPath(std::wstring p) {
    if (!p.empty() && p[0] == L'/') {
        for (auto& c : p) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        p = L"Z:" + p;
    }
    return p;
}

// The first window of `cls` (and `caption`, if given) that belongs to process `pid`: a window of
// a program ended a moment ago can still be found for a while.
HWND FindOwnWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption) {
    for (HWND w = FindWindowExW(nullptr, nullptr, cls, caption); w;
         w = FindWindowExW(nullptr, w, cls, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) {
            return w;
        }
    }
    return nullptr;
}

// Whether process `pid` has made any window of the program's.
bool HasProgramWindow(DWORD pid) {
    for (const wchar_t* cls : {L"TolvinProgram", L"TolvinControl", L"TolvinMarker"}) {
        if (FindOwnWindow(pid, cls, nullptr)) {
            return true;
        }
    }
    return false;
}
} // namespace

Tolvin::Tolvin(const std::wstring& arguments, const std::wstring& program) {
    KillStrayTolvins();
    std::wstring cmd = L"\"" + program + L"\"";
    if (!arguments.empty()) {
        cmd += L" " + arguments;
    }
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    // Wine's CreateProcess now and then fails with ERROR_INTERNAL_ERROR right after another
    // process has ended (seen in about one run of the suite in three): the start is tried again,
    // and said so. Any other failure, or a third, stands.
    for (int attempt = 1; attempt <= 3 && !started_; ++attempt) {
        started_ =
            CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
        if (!started_) {
            const DWORD error = GetLastError();
            std::fprintf(stderr, "CreateProcess failed with error %lu (attempt %d)\n", error, attempt);
            if (error != ERROR_INTERNAL_ERROR) {
                break;
            }
            testing_support::Pump(200);
            continue;
        }
        // Wine also now and then ends a process as it starts, before the program has run: its
        // Linux side stops in the C library's exit ("Inconsistency detected by ld.so", seen once in
        // about six runs of the suite), the exit code left 0. The program makes its windows first
        // thing, so a process that ended with none of its own is started again, and said so.
        bool windows = false;
        testing_support::WaitFor(
            [&] {
                windows = HasProgramWindow(pi_.dwProcessId);
                return windows || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0;
            },
            10000);
        if (!windows && WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr,
                         "tolvin.exe ended as it started, before any window of its own (attempt %d)\n",
                         attempt);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
            started_ = false;
        }
    }
}

Tolvin::~Tolvin() {
    if (started_) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    // A terminated process's windows linger a moment; the next test must not find them.
    testing_support::WaitFor(
        [] { return !FindWindowW(L"TolvinMarker", nullptr) && !FindWindowW(L"TolvinControl", nullptr); },
        5000);
}

HWND Tolvin::Marker(int n, int ms) const {
    const std::wstring caption = L"Tolvin No." + std::to_wstring(n);
    HWND found = nullptr;
    // Shown, in its band, and the panel set up: the caption comes a moment earlier.
    HWND panel = nullptr;
    const bool ready = testing_support::WaitFor(
        [&] {
            found = FindOwnWindow(pi_.dwProcessId, L"TolvinMarker", caption.c_str());
            panel = Panel();
            return found && IsWindowVisible(found) && panel && IsWindowVisible(panel) &&
                   (GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_LAYERED);
        },
        ms);
    if (!ready) {
        // Say what was missing, so that a slow or failed start can be told apart.
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        std::fprintf(stderr, "marker %d not ready: process %s (code %lu), marker %s%s, panel %s%s%s\n", n,
                     code == STILL_ACTIVE ? "running" : "ended", code, found ? "found" : "missing",
                     found && !IsWindowVisible(found) ? " hidden" : "", panel ? "found" : "missing",
                     panel && !IsWindowVisible(panel) ? " hidden" : "",
                     panel && !(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_LAYERED) ? " not layered" : "");
    }
    // Then let the program handle what is pending: a sent message is answered once its thread
    // pumps again, after the step of start-up (or of the menu command) under way.
    DWORD_PTR answer = 0;
    if (found) {
        SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    }
    return found;
}

HWND Tolvin::Panel() const {
    return FindOwnWindow(pi_.dwProcessId, L"TolvinControl", nullptr);
}

HWND Tolvin::Program() const {
    return FindOwnWindow(pi_.dwProcessId, L"TolvinProgram", nullptr);
}

HWND Tolvin::Grip(int n) const {
    return FindWindowExW(Marker(n), nullptr, L"TolvinElement", nullptr);
}

bool Tolvin::WaitForExit(int ms, DWORD* code) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) {
        return false;
    }
    if (code) {
        GetExitCodeProcess(pi_.hProcess, code);
    }
    return true;
}

void KillStrayTolvins() {
    for (int i = 0; i < 20; ++i) {
        HWND w = FindWindowW(L"TolvinControl", nullptr);
        if (!w) {
            w = FindWindowW(L"TolvinMarker", nullptr);
        }
        if (!w) {
            return;
        }
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(p, 1);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
        testing_support::Pump(100);
    }
    testing_support::WaitFor(
        [] { return !FindWindowW(L"TolvinMarker", nullptr) && !FindWindowW(L"TolvinControl", nullptr); },
        5000);
}

void KeyChord(WORD vk) {
    INPUT in[8]{};
    const WORD keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, vk};
    for (int i = 0; i < 4; ++i) {
        in[i].type = in[7 - i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = in[7 - i].ki.wVk = keys[i];
        in[7 - i].ki.dwFlags = KEYEVENTF_KEYUP;
        if (keys[i] == VK_DOWN || keys[i] == VK_UP) {
            in[i].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            in[7 - i].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
    }
    SendInput(8, in, sizeof in[0]);
}

void Type(const char* letters) {
    for (const char* c = letters; *c; ++c) {
        testing_support::KeyPress(static_cast<WORD>(*c));
    }
}

namespace {
// Whether a marker over `at` is only its outline, taking a new picture: clicks pass through it.
bool MarkerOutlinedAt(POINT at) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TolvinMarker", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TolvinMarker", nullptr)) {
        RECT r{};
        GetWindowRect(w, &r);
        if (IsWindowVisible(w) && PtInRect(&r, at) && testing_support::HasWindowRegion(w)) {
            return true;
        }
    }
    return false;
}
} // namespace

void Click(int x, int y, int button) {
    // As a reader would, once a marker there shows its picture again (a page repainting late
    // keeps it an outline for a moment on a busy machine).
    testing_support::PointTo(x, y);
    testing_support::WaitFor([&] { return !MarkerOutlinedAt(POINT{x, y}); }, 3000);
    testing_support::MouseButtonAt(x, y, button, true);
    testing_support::MouseButtonAt(x, y, button, false);
}

namespace {
std::string Describe(HWND w) {
    if (!w) {
        return "none";
    }
    wchar_t cls[64] = {}, text[64] = {};
    GetClassNameW(w, cls, 64);
    GetWindowTextW(GetAncestor(w, GA_ROOT), text, 64);
    return testing::PrintToString(std::wstring(cls)) + " of " + testing::PrintToString(std::wstring(text));
}
// Each shown top-level window over `at`, from the top: its class, rectangle, extended style and
// whether it has a region (a marker's outline).
std::string WindowsAt(POINT at) {
    std::string all;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(w, &r);
        if (IsWindowVisible(w) && PtInRect(&r, at)) {
            char line[96];
            std::snprintf(line, sizeof line, " [%ld,%ld,%ld,%ld) ex %lx%s;", r.left, r.top, r.right, r.bottom,
                          static_cast<unsigned long>(GetWindowLongPtrW(w, GWL_EXSTYLE)),
                          testing_support::HasWindowRegion(w) ? " outlined" : "");
            all.append(" ").append(Describe(w)).append(line);
        }
    }
    return all;
}
} // namespace

std::string WindowsThere(POINT at) {
    return WindowsAt(at);
}

bool WaitForStep(HWND marker, int top, int ms) {
    return testing_support::WaitFor(
        [&] {
            return testing_support::WindowRect(marker).top == top &&
                   !testing_support::HasWindowRegion(marker);
        },
        ms);
}

void LetMarkersRefresh() {
    testing_support::Pump(800);
}

testing::AssertionResult MenuKeyAt(int x, int y, WORD vk, bool settle) {
    return MenuKeysAt(x, y, {vk}, settle);
}

testing::AssertionResult MenuKeysAt(int x, int y, std::initializer_list<WORD> keys, bool settle) {
    using testing_support::OpenMenu;
    // The last menu has gone first.
    if (!testing_support::NoMenuShown()) {
        return testing::AssertionFailure() << "a menu is still open";
    }
    Click(x, y, 2);
    HWND menu = OpenMenu();
    if (!menu) {
        HWND under = WindowFromPoint(POINT{x, y});
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(under, nullptr), &gui);
        DWORD_PTR answer = 0;
        const bool answers = SendMessageTimeoutW(under, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
        return testing::AssertionFailure()
               << "no menu at " << x << "," << y << " over " << Describe(under)
               << (answers ? "" : " (not answering)") << "; its thread: flags " << gui.flags << ", capture "
               << Describe(gui.hwndCapture) << ", menu owner " << Describe(gui.hwndMenuOwner) << ", active "
               << Describe(gui.hwndActive) << "; foreground " << Describe(GetForegroundWindow())
               << "; the windows there, topmost first:" << WindowsAt(POINT{x, y});
    }
    const std::string before = Describe(GetForegroundWindow());
    for (WORD vk : keys) {
        testing_support::KeyPress(vk);
    }
    // The last key chooses an item, which closes the menu.
    const bool closed = testing_support::NoMenuShown();
    if (!closed) {
        return testing::AssertionFailure() << "the menu did not take the key; foreground was " << before
                                           << ", now " << Describe(GetForegroundWindow());
    }
    if (settle) {
        LetMarkersRefresh();
    }
    return testing::AssertionSuccess();
}

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing_support::SaveScreenshotsOfFailures();
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_tests path\\to\\tolvin.exe\n");
        return 2;
    }
    g_tolvinPath = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
