#include "toolkit/pointerWatch.h"

#include "toolkit/form.h"

namespace tk {

namespace {
HHOOK g_hook = nullptr;
PointerHeard g_heard;

LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_heard) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (g_heard(static_cast<UINT>(wParam), info->pt)) {
            return 1;
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
} // namespace

void HearPointer(PointerHeard heard) {
    g_heard = std::move(heard);
    if (!g_hook) {
        g_hook = SetWindowsHookExW(WH_MOUSE_LL, HookProc, Instance(), 0);
    }
}

void StopHearingPointer() {
    if (g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    g_heard = nullptr;
}

bool HearingPointer() {
    return g_hook != nullptr;
}

} // namespace tk
