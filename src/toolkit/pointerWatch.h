// Hearing the pointer anywhere on the desktop, over any program's window, while something needs it
// (a low-level mouse hook): nothing runs while the pointer rests.
#pragma once
#include <windows.h>

#include <functional>

namespace tk {

// Called, inside the hook, with each move, press and release (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...)
// and the pointer's place in screen pixels. It must be quick (post a message, answer); true keeps
// the input from the window beneath.
using PointerHeard = std::function<bool(UINT message, POINT at)>;

// Starts hearing the pointer (or hands it to another callback); StopHearingPointer ends it.
void HearPointer(PointerHeard heard);
void StopHearingPointer();
bool HearingPointer();

} // namespace tk
