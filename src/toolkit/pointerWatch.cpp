#include "toolkit/pointerWatch.h"

#include "toolkit/form.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace tk {

namespace {

struct Listener {
    HWND window;
    UINT moved;
    bool movePosted;
};

std::mutex g_lock; // guards everything below but the thread itself, which only the UI thread touches
std::vector<Listener> g_listeners;
POINT g_point{};
DWORD g_pointTime = 0;
bool g_pointHeard = false;
bool g_movedSinceLook = false; // the hook heard a move since the last LookAtPointer
HHOOK g_hook = nullptr;

constexpr DWORD kStopWaitMs = 2000;

// The hook's thread. A plain system thread: one still running as the process ends is no fault.
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;

// Input may be handed to the hook out of order (Wine reads a window's crossing event late and
// reports a place the pointer has since left): an event stamped a little before the latest heard
// is old news. One stamped much earlier comes from another clock (SendInput takes the caller's
// time stamp), and is the pointer's place like any other.
constexpr LONG kLateMs = 1000;
bool ArrivedLate(DWORD time, DWORD latest) {
    const LONG before = static_cast<LONG>(latest - time);
    return before > 0 && before <= kLateMs;
}

// Posts a move to every listener that has read the last one. Called holding g_lock.
void TellMoved() {
    for (Listener& l : g_listeners) {
        if (!l.movePosted && PostMessageW(l.window, l.moved, 0, 0)) {
            l.movePosted = true;
        }
    }
}

LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        const auto message = static_cast<UINT>(wParam);
        std::lock_guard<std::mutex> hold(g_lock);
        g_movedSinceLook = g_movedSinceLook || message == WM_MOUSEMOVE;
        if (!g_pointHeard || !ArrivedLate(info->time, g_pointTime)) {
            g_point = info->pt;
            g_pointTime = info->time;
            g_pointHeard = true;
        }
        if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP) {
            TellMoved(); // (after a click, the window clicked may have come in front of a listener)
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// Thread messages to the hook's thread: set the hook again; remove it without a word (tests).
constexpr UINT kRehook = WM_APP + 1;
constexpr UINT kDropHook = WM_APP + 2;
// Looks in a row that found the pointer moved while the hook heard nothing: the system removed
// the hook (see LowLevelHooksTimeout) and it is set again. (A program that puts the pointer
// somewhere twice in a row makes it be set again too, which does no harm.)
constexpr int kUnheardLooks = 2;
int g_unheardLooks = 0;

// Called holding g_lock.
void RemoveHook() {
    if (g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

void SetHook() {
    std::lock_guard<std::mutex> hold(g_lock);
    RemoveHook();
    g_hook = SetWindowsHookExW(WH_MOUSE_LL, HookProc, Instance(), 0);
}

DWORD WINAPI HookThread(void* param) {
    const HANDLE ready = param;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before anyone posts to it
    SetHook();
    SetEvent(ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kRehook) {
            SetHook();
        } else if (msg.hwnd == nullptr && msg.message == kDropHook) {
            std::lock_guard<std::mutex> hold(g_lock);
            RemoveHook();
        }
        DispatchMessageW(&msg);
    }
    std::lock_guard<std::mutex> hold(g_lock);
    RemoveHook();
    return 0;
}

void StartThread() {
    if (g_thread) {
        return;
    }
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_thread = CreateThread(nullptr, 0, HookThread, ready, 0, &g_threadId);
    if (g_thread) {
        WaitForSingleObject(ready, INFINITE);
    }
    CloseHandle(ready);
}

void StopThread() {
    if (!g_thread) {
        return;
    }
    // A thread that cannot be told, or does not end in time, is not waited for (the program must
    // not hang as it closes a marker or ends): its hook is removed from here, and the thread, which
    // then hears nothing, ends with the process.
    const bool told = PostThreadMessageW(g_threadId, WM_QUIT, 0, 0) != 0;
    if (!told || WaitForSingleObject(g_thread, kStopWaitMs) != WAIT_OBJECT_0) {
        std::lock_guard<std::mutex> hold(g_lock);
        RemoveHook();
    }
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_threadId = 0;
}

} // namespace

bool HearPointer(HWND window, UINT moved) {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto it = std::find_if(g_listeners.begin(), g_listeners.end(),
                               [&](const Listener& l) { return l.window == window; });
        if (it == g_listeners.end()) {
            g_listeners.push_back(Listener{window, moved, false});
        } else {
            *it = Listener{window, moved, false};
        }
    }
    StartThread();
    // Asked only once the hook listens: a move made before is in the answer, one made after is heard.
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_pointHeard) {
        GetCursorPos(&g_point);
    }
    return g_hook != nullptr;
}

void StopHearingPointer(HWND window) {
    bool none = false;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_listeners.erase(std::remove_if(g_listeners.begin(), g_listeners.end(),
                                         [&](const Listener& l) { return l.window == window; }),
                          g_listeners.end());
        none = g_listeners.empty();
        if (none) {
            g_pointHeard = false;
        }
    }
    if (none) {
        StopThread();
    }
}

bool HearingPointer() {
    return g_thread != nullptr;
}

void DropPointerHookForTests() {
    if (g_thread) {
        PostThreadMessageW(g_threadId, kDropHook, 0, 0);
    }
}

bool PointerHookSet() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_hook != nullptr;
}

POINT HeardPointer() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_pointHeard) {
        POINT p{};
        GetCursorPos(&p);
        return p;
    }
    return g_point;
}

void LookAtPointer() {
    if (!g_thread) {
        return;
    }
    POINT now{};
    if (!GetCursorPos(&now)) {
        return;
    }
    std::lock_guard<std::mutex> hold(g_lock);
    const bool quiet = !g_movedSinceLook;
    g_movedSinceLook = false;
    if (!quiet || (now.x == g_point.x && now.y == g_point.y)) {
        g_unheardLooks = quiet ? g_unheardLooks : 0;
        return; // a moving pointer is the hook's to tell
    }
    if (++g_unheardLooks >= kUnheardLooks) {
        g_unheardLooks = 0;
        PostThreadMessageW(g_threadId, kRehook, 0, 0);
    }
    g_point = now;
    g_pointHeard = true;
    TellMoved();
}

void PointerMoveTaken(HWND window) {
    std::lock_guard<std::mutex> hold(g_lock);
    for (Listener& l : g_listeners) {
        if (l.window == window) {
            l.movePosted = false;
        }
    }
}

} // namespace tk
