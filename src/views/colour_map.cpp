#include "views/colour_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kelvora {
namespace {

struct Lab {
  double l, a, b;
};

double Encode(double linear) {  // sRGB transfer curve
  linear = std::clamp(linear, 0.0, 1.0);
  return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

double LabInverse(double t) {
  constexpr double d = 6.0 / 29;
  return t > d ? t * t * t : 3 * d * d * (t - 4.0 / 29);
}

// CIELAB (D65 white) to sRGB in 0..1; false when the colour lies outside
// the sRGB gamut (the channels are then clamped).
bool ToRgb(const Lab& c, double rgb[3]) {
  const double fy = (c.l + 16) / 116, fx = fy + c.a / 500, fz = fy - c.b / 200;
  const double x = 0.95047 * LabInverse(fx), y = LabInverse(fy), z = 1.08883 * LabInverse(fz);
  const double linear[3] = {3.2404542 * x - 1.5371385 * y - 0.4985314 * z,
                            -0.9692660 * x + 1.8760108 * y + 0.0415560 * z,
                            0.0556434 * x - 0.2040259 * y + 1.0572252 * z};
  bool inside = true;
  for (int k = 0; k < 3; ++k) {
    inside = inside && linear[k] >= -1e-9 && linear[k] <= 1 + 1e-9;
    rgb[k] = Encode(linear[k]);
  }
  return inside;
}

uint32_t Pixel(const Lab& c) {
  double rgb[3];
  ToRgb(c, rgb);
  uint32_t p = 0xff000000;
  for (int k = 0; k < 3; ++k) p |= static_cast<uint32_t>(std::lround(rgb[k] * 255)) << (16 - 8 * k);
  return p;
}

// The path: lightness 0 to 96, hue turning from violet (285 degrees) through
// red to yellow (100), chroma rising quickly and easing off toward the light
// end, cut back to the gamut where it leaves it. Then the path is sampled at
// equal steps of its length in CIELAB.
LevelColours MakePerceptual() {
  constexpr int kSteps = 4096;
  std::vector<Lab> path(kSteps);
  for (int i = 0; i < kSteps; ++i) {
    const double t = static_cast<double>(i) / (kSteps - 1);
    const double hue = (285 + 175 * t) * std::numbers::pi / 180;
    double chroma = 65 * std::sin(std::numbers::pi / 2 * std::min(1.0, t / 0.35)) * (1 - 0.25 * t);
    double rgb[3];
    auto at = [&](double c) { return Lab{96 * t, c * std::cos(hue), c * std::sin(hue)}; };
    if (!ToRgb(at(chroma), rgb)) {
      double inside = 0, outside = chroma;
      for (int k = 0; k < 30; ++k) {
        const double mid = (inside + outside) / 2;
        (ToRgb(at(mid), rgb) ? inside : outside) = mid;
      }
      chroma = inside;
    }
    path[i] = at(chroma);
  }
  std::vector<double> length(kSteps, 0.0);
  for (int i = 1; i < kSteps; ++i) {
    const double dl = path[i].l - path[i - 1].l, da = path[i].a - path[i - 1].a,
                 db = path[i].b - path[i - 1].b;
    length[i] = length[i - 1] + std::sqrt(dl * dl + da * da + db * db);
  }
  LevelColours colours{};
  for (int level = 0; level < 256; ++level) {
    const double target = length.back() * level / 255;
    const auto at = std::lower_bound(length.begin(), length.end(), target) - length.begin();
    colours[level] = Pixel(path[std::min<size_t>(at, kSteps - 1)]);
  }
  return colours;
}

LevelColours MakeGrey() {
  LevelColours colours{};
  for (int level = 0; level < 256; ++level) colours[level] = Pixel(Lab{100.0 * level / 255, 0, 0});
  return colours;
}

}  // namespace

const LevelColours& PerceptualColours() {
  static const LevelColours colours = MakePerceptual();
  return colours;
}

const LevelColours& GreyColours() {
  static const LevelColours colours = MakeGrey();
  return colours;
}

}  // namespace kelvora
