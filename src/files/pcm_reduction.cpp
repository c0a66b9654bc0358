#include "files/pcm_reduction.h"

#include <cmath>

namespace kelvora {
namespace {

constexpr float kMinus3dB = 0.70710678f;

// Left gain, right gain.
struct SpeakerGains {
  float left, right;
};

SpeakerGains GainsOf(Speaker s) {
  switch (s) {
    case Speaker::kLeft:
      return {1.0f, 0.0f};
    case Speaker::kRight:
      return {0.0f, 1.0f};
    case Speaker::kCenter:
      return {kMinus3dB, kMinus3dB};
    case Speaker::kSideLeft:
    case Speaker::kBackLeft:
      return {kMinus3dB, 0.0f};
    case Speaker::kSideRight:
    case Speaker::kBackRight:
      return {0.0f, kMinus3dB};
    default:  // the LFE carries nothing a stereo pair should play
      return {0.0f, 0.0f};
  }
}

}  // namespace

Downmix MakeDownmix(const std::vector<Speaker>& positions) {
  Downmix m;
  const int n = static_cast<int>(positions.size());
  m.inChannels = n;
  if (n <= 2) {
    m.outChannels = n;
    m.gain.assign(static_cast<size_t>(n) * n, 0.0f);
    for (int i = 0; i < n; ++i) m.gain[static_cast<size_t>(i) * n + i] = 1.0f;
    return m;
  }
  m.outChannels = 2;
  m.gain.assign(2 * static_cast<size_t>(n), 1.0f / static_cast<float>(n));
  for (Speaker s : positions)
    if (s == Speaker::kUnknown) return m;
  for (int i = 0; i < n; ++i) {
    const SpeakerGains g = GainsOf(positions[static_cast<size_t>(i)]);
    m.gain[static_cast<size_t>(i)] = g.left;
    m.gain[static_cast<size_t>(n + i)] = g.right;
  }
  return m;
}

std::vector<Speaker> ConventionalLayout(int channels, bool vorbisOrder) {
  using S = Speaker;
  if (channels == 6)
    return vorbisOrder ? std::vector<S>{S::kLeft,     S::kCenter,    S::kRight,
                                        S::kBackLeft, S::kBackRight, S::kLfe}
                       : std::vector<S>{S::kLeft, S::kRight,    S::kCenter,
                                        S::kLfe,  S::kBackLeft, S::kBackRight};
  if (channels == 8)
    return vorbisOrder ? std::vector<S>{S::kLeft,      S::kCenter,   S::kRight,     S::kSideLeft,
                                        S::kSideRight, S::kBackLeft, S::kBackRight, S::kLfe}
                       : std::vector<S>{S::kLeft,     S::kRight,     S::kCenter,   S::kLfe,
                                        S::kBackLeft, S::kBackRight, S::kSideLeft, S::kSideRight};
  return {};
}

DitherNoise::DitherNoise(uint64_t seed) {
  // Any seed, 0 included, gives a good nonzero start.
  uint64_t z = seed + 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  z ^= z >> 31;
  state_ = static_cast<uint32_t>(z ^ (z >> 32));
  if (state_ == 0) state_ = 0x6B656C76;
}

void Pcm16Reducer::Reduce(const float* in, size_t frames, int16_t* out) {
  const int ni = mix_.inChannels, no = mix_.outChannels;
  const size_t count = frames * static_cast<size_t>(no);
  scaled_.resize(count);
  float* x = scaled_.data();
  if (ni == no) {
    for (size_t k = 0; k < count; ++k) x[k] = in[k] * 32768.0f;
  } else {
    for (size_t f = 0; f < frames; ++f, in += ni)
      for (int o = 0; o < no; ++o) {
        const float* g = &mix_.gain[static_cast<size_t>(o) * ni];
        float sum = 0.0f;
        for (int i = 0; i < ni; ++i) sum += g[i] * in[i];
        x[f * no + o] = sum * 32768.0f;
      }
  }
  bool whole = true;
  // Samples beyond full scale (or NaN) are clipped either way.
  for (size_t k = 0; k < count && whole; ++k)
    whole = !(x[k] <= 32768.0f && x[k] >= -32768.0f) || std::floor(x[k]) == x[k];
  if (!whole) dithered_ = true;
  for (size_t k = 0; k < count; ++k) {
    const float v = x[k];
    // NaN fails both tests and counts as clipped, to silence.
    if (!(v <= 32768.0f && v >= -32768.0f)) {
      ++clipped_;
      out[k] = v > 0.0f ? int16_t{32767} : v < 0.0f ? int16_t{-32768} : int16_t{0};
      continue;
    }
    const float y = whole ? v : std::floor(v + noise_.Next() + 0.5f);
    out[k] = static_cast<int16_t>(y > 32767.0f ? 32767.0f : y < -32768.0f ? -32768.0f : y);
  }
}

}  // namespace kelvora
