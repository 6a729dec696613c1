// "Dim the rest": a dark see-through layer over every monitor on which a marker has the option
// on, with a clear hole for each band on that monitor. It takes no input and never the focus, is
// left out of every question about the windows around a marker, and moves only when a band does.
#pragma once
#include "toolkit/capture.h"
#include "toolkit/surface.h"

#include <windows.h>

#include <vector>

namespace dim {

// How dark the layer is: black at about half opacity.
constexpr BYTE kAlpha = 128;

// Where screen copies hold the layer (under a compositor it is in every copy, at its alpha over
// what lies beneath), undoes its darkening in the rectangle `r` of a picture of `width` pixels a
// row: each channel back to what lay beneath, as near as the copy's rounding allows.
void Undim(tk::Pixel* pixels, int width, const RECT& r);
// Every layer's rectangles (screen pixels): where screen copies hold the layer.
std::vector<RECT> Covered();

// The layer's shape on `monitor`: the monitor less every band (screen pixels), each band grown by
// `margin` rows above and below and cut to the monitor. Rectangles without overlaps, top to bottom.
std::vector<RECT> LayerShape(const RECT& monitor, const std::vector<RECT>& bands, int margin);

// The rows a hole leaves clear above and below a band: where a resting marker notices changes by
// the rows just outside its band, those rows must show what lies beneath, not the layer.
int HoleMargin(tk::CaptureMode mode);

// Brings the layers in line with the markers: a marker that moved, changed size, showed, hid or
// closed, or whose option changed. Does nothing when nothing changed.
void Update();
// Takes every layer away (the program ends).
void Clear();
// The layer windows there are now (for tests).
std::vector<HWND> Windows();

} // namespace dim
