#include "dim/dimLayer.h"

#include "marker/livePicture.h"
#include "panel/frmControl.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/screen.h"

#include <algorithm>

namespace dim {

std::vector<RECT> LayerShape(const RECT& monitor, const std::vector<RECT>& bands, int margin) {
    std::vector<RECT> holes;
    std::vector<LONG> ys{monitor.top, monitor.bottom};
    for (const RECT& b : bands) {
        RECT hole{b.left, b.top - margin, b.right, b.bottom + margin};
        RECT cut{};
        if (IntersectRect(&cut, &hole, &monitor)) {
            holes.push_back(cut);
            ys.push_back(cut.top);
            ys.push_back(cut.bottom);
        }
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<RECT> shape;
    // Slab by slab between the edges of the holes: the monitor's width less the holes in the slab.
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const LONG top = ys[i], bottom = ys[i + 1];
        std::vector<std::pair<LONG, LONG>> covered;
        for (const RECT& h : holes) {
            if (h.top <= top && bottom <= h.bottom) {
                covered.emplace_back(h.left, h.right);
            }
        }
        std::sort(covered.begin(), covered.end());
        LONG x = monitor.left;
        for (const auto& [left, right] : covered) {
            if (x < left) {
                shape.push_back({x, top, left, bottom});
            }
            x = std::max(x, right);
        }
        if (x < monitor.right) {
            shape.push_back({x, top, monitor.right, bottom});
        }
    }
    return shape;
}

void Undim(tk::Pixel* pixels, int width, const RECT& r) {
    // The layer is black at kAlpha: a copy holds c * (255 - kAlpha) / 255 of each channel c.
    constexpr int kept = 255 - kAlpha;
    for (LONG y = r.top; y < r.bottom; ++y) {
        tk::Pixel* row = pixels + static_cast<size_t>(y) * width;
        for (LONG x = r.left; x < r.right; ++x) {
            tk::Pixel out = 0;
            for (int shift : {0, 8, 16}) {
                const int c = static_cast<int>((row[x] >> shift) & 0xFF);
                out |= static_cast<tk::Pixel>(std::min(255, (c * 255 + kept / 2) / kept)) << shift;
            }
            row[x] = out;
        }
    }
}

int HoleMargin(tk::CaptureMode mode) {
    return live::ChoosePlan(mode).sensing == live::Sensing::EdgeRows ? 1 : 0;
}

namespace {

struct Layer {
    HWND hwnd = nullptr;
    RECT monitor{};
    std::vector<RECT> shape;
};
std::vector<Layer> g_layers;
bool g_updating = false;

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const RECT& x, const RECT& y) { return EqualRect(&x, &y) != 0; });
}

HWND CreateLayer(const RECT& monitor) {
    static const wchar_t* const kClass = L"TolvinDim";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = tk::Instance();
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kClass;
        registered = RegisterClassW(&wc) != 0;
    }
    // Layered and transparent: every click, the wheel and WindowFromPoint pass through it to the
    // window beneath; never activated, never on the taskbar.
    const HWND h = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClass, L"",
        WS_POPUP, monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top,
        nullptr, nullptr, tk::Instance(), nullptr);
    if (h) {
        SetLayeredWindowAttributes(h, 0, kAlpha, LWA_ALPHA);
        tk::SetLookOnly(h, true);
    }
    return h;
}

void Shape(const Layer& layer) {
    tk::Region rgn(CreateRectRgn(0, 0, 0, 0));
    for (const RECT& r : layer.shape) {
        tk::Region piece(CreateRectRgn(r.left - layer.monitor.left, r.top - layer.monitor.top,
                                       r.right - layer.monitor.left, r.bottom - layer.monitor.top));
        CombineRgn(rgn.get(), rgn.get(), piece.get(), RGN_OR);
    }
    SetWindowRgn(layer.hwnd, rgn.release(), TRUE);
}

void Destroy(Layer& layer) {
    tk::SetLookOnly(layer.hwnd, false);
    DestroyWindow(layer.hwnd);
    layer.hwnd = nullptr;
}

} // namespace

void Update() {
    if (g_updating) {
        return; // moving a layer or the panel tells the markers nothing
    }
    auto panel = frmControl::InstanceIfAny(); // a marker closing as the panel goes makes none
    if (!panel) {
        return;
    }
    bool anyDimmed = false;
    for (int n = 1; n <= panel->mk_max && !anyDimmed; ++n) {
        anyDimmed = panel->mk_table[n].shape && panel->DimRest(n);
    }
    if (!anyDimmed && g_layers.empty()) {
        return; // the usual case costs a glance at the options
    }
    g_updating = true;
    struct Wanted {
        RECT monitor;
        bool dimmed;
        std::vector<RECT> bands;
    };
    std::vector<Wanted> wanted;
    for (int n = 1; n <= panel->mk_max; ++n) {
        const auto& shape = panel->mk_table[n].shape;
        const HWND h = shape ? shape->HwndIfLoaded() : nullptr;
        if (!h || !IsWindowVisible(h)) {
            continue;
        }
        const RECT band = tk::WindowRectOf(h);
        const RECT monitor = tk::MonitorOf(band).pixels;
        auto on = std::find_if(wanted.begin(), wanted.end(),
                               [&](const Wanted& w) { return EqualRect(&w.monitor, &monitor) != 0; });
        if (on == wanted.end()) {
            wanted.push_back({monitor, false, {}});
            on = wanted.end() - 1;
        }
        on->dimmed = on->dimmed || panel->DimRest(n);
        on->bands.push_back(band); // every band on a dimmed monitor stays clear
    }
    const int margin = HoleMargin(tk::CurrentCaptureMode());
    std::vector<Layer> kept;
    bool shown = false;
    for (const Wanted& w : wanted) {
        if (!w.dimmed) {
            continue;
        }
        Layer layer{nullptr, w.monitor, LayerShape(w.monitor, w.bands, margin)};
        auto old = std::find_if(g_layers.begin(), g_layers.end(), [&](const Layer& l) {
            return l.hwnd && EqualRect(&l.monitor, &w.monitor) != 0;
        });
        if (old != g_layers.end()) {
            layer.hwnd = old->hwnd;
            old->hwnd = nullptr;
            if (!SameRects(old->shape, layer.shape)) {
                Shape(layer);
            }
        } else if ((layer.hwnd = CreateLayer(w.monitor)) != nullptr) {
            Shape(layer);
            SetWindowPos(layer.hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            shown = true;
        }
        if (layer.hwnd) {
            kept.push_back(std::move(layer));
        }
    }
    for (Layer& l : g_layers) {
        if (l.hwnd) {
            Destroy(l);
        }
    }
    g_layers = std::move(kept);
    if (shown) {
        // The panel stays above the layer, and usable.
        if (HWND p = panel->HwndIfLoaded(); p && IsWindowVisible(p)) {
            tk::RaiseTopmostWithoutActivating(p);
        }
    }
    g_updating = false;
}

void Clear() {
    for (Layer& l : g_layers) {
        if (l.hwnd) {
            Destroy(l);
        }
    }
    g_layers.clear();
}

std::vector<HWND> Windows() {
    std::vector<HWND> windows;
    for (const Layer& l : g_layers) {
        windows.push_back(l.hwnd);
    }
    return windows;
}

std::vector<RECT> Covered() {
    std::vector<RECT> covered;
    for (const Layer& l : g_layers) {
        covered.insert(covered.end(), l.shape.begin(), l.shape.end());
    }
    return covered;
}

} // namespace dim
