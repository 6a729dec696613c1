#include "panel/keys.h"

namespace keys {

namespace {
// MOD_NOREPEAT (Windows 7 and later): holding H down toggles once; the line keys repeat.
constexpr UINT kNoRepeat = 0x4000;
constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr Key kAllKeys[] = {kLineDown, kLineUp, kHideShow, kFollow};

bool IsKey(int id) {
    for (Key key : kAllKeys) {
        if (id == key) {
            return true;
        }
    }
    return false;
}
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

void GlobalKeys::Take(HWND owner, std::function<void(Key)> onKey) {
    GiveBack();
    onKey_ = std::move(onKey);
    hwnd_ = owner;
    const struct {
        Key key;
        UINT modifiers;
        UINT vk;
    } wanted[] = {{kLineDown, kModifiers, VK_DOWN},
                  {kLineUp, kModifiers, VK_UP},
                  {kHideShow, kModifiers | kNoRepeat, 'H'},
                  {kFollow, kModifiers | kNoRepeat, 'F'}};
    for (const auto& k : wanted) {
        if (RegisterHotKey(hwnd_, k.key, k.modifiers, k.vk)) {
            held_ |= 1u << k.key;
        }
    }
}

void GlobalKeys::GiveBack() {
    for (Key key : kAllKeys) {
        if (Held(key)) {
            UnregisterHotKey(hwnd_, key);
        }
    }
    held_ = 0;
    hwnd_ = nullptr;
}

void GlobalKeys::Pressed(int id) const {
    if (IsKey(id) && Held(static_cast<Key>(id)) && onKey_) {
        // The handler may give the keys back (closing the last marker): copy first.
        const auto onKey = onKey_;
        onKey(static_cast<Key>(id));
    }
}

} // namespace keys
