// What the effect benchmarks share: ten minutes of 44.1 kHz 16-bit stereo
// music-like material in the document, put back before every iteration.
#pragma once

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "test_support.h"

namespace kelvora {

constexpr int64_t kFrames = 44100LL * 600;  // 26.46 M
constexpr int64_t kBytes = kFrames * 4;

// Music-like material: two tones and noise, peaking near 22000.
inline const std::vector<uint8_t>& Material() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> b(kBytes);
    std::mt19937 rng(7);
    for (int64_t i = 0; i < kFrames * 2; ++i) {
      const double t = static_cast<double>(i / 2);
      const auto v = static_cast<int16_t>(12000 * std::sin(t * 0.0314) +
                                          6000 * std::sin(t * 0.00171 + (i & 1)) +
                                          static_cast<int>(rng() % 8001) - 4000);
      std::memcpy(&b[i * 2], &v, 2);
    }
    return b;
  }();
  return bytes;
}

struct Engine {
  HeadlessPlatform platform;
  Engine() {
    platform.Install();
    StartEngine();
    SetDocument(MakeFormat(44100, 16, 2), Material());
  }
  // Puts the material back before an iteration, outside the timing.
  void Restore() {
    SoundDocument& doc = Doc();
    std::memcpy(doc.bytes(), Material().data(), kBytes);
    doc.length = static_cast<int32_t>(kBytes);
    doc.selStart = doc.selEnd = 0;
    doc.channelMask = 3;
    platform.ui.statusLog.clear();
  }
};

inline Engine& TheEngine() {
  static Engine engine;
  return engine;
}

}  // namespace kelvora
