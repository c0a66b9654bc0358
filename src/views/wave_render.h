// The two pictures' sample-heavy parts, drawn straight into 32-bit pixels
// (0xffRRGGBB, the layout of a Qt RGB32 image): the waveform view's green
// trace and the overview's dots. Everything else the widgets draw with
// their painter.
#pragma once

#include <cstdint>

#include "views/view_logic.h"

namespace kelvora {

inline constexpr uint32_t kWaveGreen = 0xff00ff00;
inline constexpr uint32_t kOverviewBlue = 0xff0000c0;

struct PixelBuffer {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // pixels per row
};

// Area of a picture, [left, right) × [top, bottom).
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The waveform of the document from the view start, in the current mode
// and density, on the columns of `area` only. A repaint of any strip gives
// the same pixels as a repaint of the whole view, so that a scrolled
// picture needs only its uncovered strip drawn.
//
// On a screen with `scale` device pixels per pixel (HiDPI) the buffer and
// the area are in device pixels and the trace is drawn at that resolution:
// each column of `g` is `scale` device columns, read at `scale` times the
// density. Scale 1 is the plain picture.
void RenderWaveform(const PixelBuffer& buffer, const WaveGeometry& g, const PixelRect& area,
                    int scale = 1);

// The overview's drawing area (x from 16 to width - 16) in dark blue with
// 64 dots per column and channel, all channels in one lane; the buffer in
// device pixels of `scale` per pixel.
void RenderOverview(const PixelBuffer& buffer, int scale = 1);

}  // namespace kelvora
