#include "panel/keys.h"

namespace keys {

namespace {
// MOD_NOREPEAT (Windows 7 and later): holding H down toggles once; the line keys repeat.
constexpr UINT kNoRepeat = 0x4000;
constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
} // namespace

double LineTop(double top, double height, double monitorTop, double monitorBottom, int lines) {
    double n = top + lines * height;
    if (n < monitorTop) {
        n = monitorTop;
    }
    if (monitorBottom - height < n) {
        n = monitorBottom - height;
    }
    return n;
}

void GlobalKeys::Take(std::function<void(Key)> onKey) {
    GiveBack();
    onKey_ = std::move(onKey);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TolvinKeys";
    RegisterClassW(&wc); // fails harmlessly once the class exists
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                            nullptr);
    if (!hwnd_) {
        return;
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const struct {
        Key key;
        UINT modifiers;
        UINT vk;
    } wanted[] = {{kLineDown, kModifiers, VK_DOWN},
                  {kLineUp, kModifiers, VK_UP},
                  {kHideShow, kModifiers | kNoRepeat, 'H'}};
    for (const auto& k : wanted) {
        if (RegisterHotKey(hwnd_, k.key, k.modifiers, k.vk)) {
            held_ |= 1u << k.key;
        }
    }
}

void GlobalKeys::GiveBack() {
    if (!hwnd_) {
        return;
    }
    for (Key key : {kLineDown, kLineUp, kHideShow}) {
        if (Held(key)) {
            UnregisterHotKey(hwnd_, key);
        }
    }
    held_ = 0;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK GlobalKeys::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<GlobalKeys*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (msg == WM_HOTKEY && self && self->onKey_) {
        const int id = static_cast<int>(w);
        if (id == kLineDown || id == kLineUp || id == kHideShow) {
            // The handler may give the keys back (a move cannot, but keep it safe): copy first.
            const auto onKey = self->onKey_;
            onKey(static_cast<Key>(id));
        }
        return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

} // namespace keys
