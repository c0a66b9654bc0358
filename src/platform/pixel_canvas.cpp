#include "platform/pixel_canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace kelvora {

PixelCanvas::PixelCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), kBlack) {}

Rgb PixelCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void PixelCanvas::SetPixel(int x, int y, Rgb color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = color & 0xFFFFFF;
  ++version_;
}

void PixelCanvas::FillRect(int left, int top, int right, int bottom, Rgb color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (right <= left || bottom <= top) return;
  for (int y = top; y < bottom; ++y)
    std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + left, right - left,
                color & 0xFFFFFF);
  ++version_;
}

void PixelCanvas::FrameRect(int left, int top, int right, int bottom, Rgb color) {
  if (right <= left || bottom <= top) return;
  FillRect(left, top, right, top + 1, color);
  FillRect(left, bottom - 1, right, bottom, color);
  FillRect(left, top, left + 1, bottom, color);
  FillRect(right - 1, top, right, bottom, color);
}

void PixelCanvas::InvertRect(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      Rgb& p = pixels_[static_cast<size_t>(y) * width_ + x];
      p = ~p & 0xFFFFFF;
    }
  ++version_;
}

// Bresenham from the first point, stopping before the last one.
template <typename Plot>
void PixelCanvas::Walk(int x0, int y0, int x1, int y1, Plot plot) {
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    if (x0 >= 0 && y0 >= 0 && x0 < width_ && y0 < height_)
      plot(pixels_[static_cast<size_t>(y0) * width_ + x0]);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  ++version_;
}

void PixelCanvas::Line(int x0, int y0, int x1, int y1, Rgb color) {
  Walk(x0, y0, x1, y1, [color](Rgb& p) { p = color & 0xFFFFFF; });
}

void PixelCanvas::InvertLine(int x0, int y0, int x1, int y1) {
  Walk(x0, y0, x1, y1, [](Rgb& p) { p = ~p & 0xFFFFFF; });
}

}  // namespace kelvora
