// The pixels of a dialog's drawing area (the melody keyboard, the envelope
// frame). Both dialog hosts keep one of these per area, so what a dialog
// procedure draws is the same pixel for pixel with and without a screen.
// Coordinates are relative to the area; everything is clipped to it.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvora {

// 0xRRGGBB.
using Rgb = uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kBlue = 0x0000FF;

class PixelCanvas {
public:
  PixelCanvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Pixel(int x, int y) const;
  const std::vector<Rgb>& pixels() const { return pixels_; }
  // Grows with every change, so a host can tell when to repaint.
  uint64_t version() const { return version_; }

  void SetPixel(int x, int y, Rgb color);
  // Rectangles exclude their right and bottom edges.
  void FillRect(int left, int top, int right, int bottom, Rgb color);
  // A one-pixel outline of the rectangle.
  void FrameRect(int left, int top, int right, int bottom, Rgb color);
  void InvertRect(int left, int top, int right, int bottom);
  // A line from (x0, y0) up to but excluding (x1, y1), so that a polyline
  // drawn segment by segment touches every pixel once; inverting it twice
  // restores the picture.
  void Line(int x0, int y0, int x1, int y1, Rgb color);
  void InvertLine(int x0, int y0, int x1, int y1);

private:
  template <typename Plot>
  void Walk(int x0, int y0, int x1, int y1, Plot plot);

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
  uint64_t version_ = 0;
};

}  // namespace kelvora
