// Hearing the pointer anywhere on the desktop, over any program's window, while something needs it
// (a low-level mouse hook): while the pointer rests, nothing runs but a look at its place on the
// program's tick.
//
// The hook runs on a thread of its own that does nothing else, so the system never waits for the
// program's windows to answer before it moves the pointer (a low-level hook that keeps the input
// waiting too long is skipped, or on Windows removed: see LowLevelHooksTimeout). The hook only
// records where the pointer is and posts to the windows that listen.
#pragma once
#include <windows.h>

namespace tk {

// `window` hears the pointer: `moved` is posted to it once for a burst of moves (again only after
// it calls PointerMoveTaken), and after a left release. The hook only listens: every press and
// release goes on to the window it was meant for. Listening again with the same window changes
// what it hears. False when the system refused the hook: the pointer is then followed by
// LookAtPointer alone.
bool HearPointer(HWND window, UINT moved);
void StopHearingPointer(HWND window);
bool HearingPointer();
// Whether the hook is set now (the system may remove it silently; LookAtPointer notices and sets it
// again), and, for tests, a hook removed as the system removes one, without a word.
bool PointerHookSet();
void DropPointerHookForTests();

// Where the pointer is, as the hook last heard it (GetCursorPos before any move was heard).
POINT HeardPointer();
// A pointer put somewhere by a program (SetCursorPos) is not input, and no hook hears it: called
// now and then, this asks where the pointer is and, if it rests somewhere other than where it was
// last heard, tells the listeners as a move. While the pointer moves, the hook alone tells. Two
// looks in a row that find such a move set the hook again: the system may have removed it.
void LookAtPointer();
// The window has read the latest move: the next one is posted again.
void PointerMoveTaken(HWND window);

} // namespace tk
