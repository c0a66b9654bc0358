#include "files/pcm_reduction.h"

#include <cstring>

namespace kelvora {
namespace {

constexpr float kMinus3dB = 0.70710678f;

// Floats as bits: 32768.0 (full scale), infinity, -32768.0 and 32767.0.
constexpr uint32_t kFullScaleBits = 0x47000000, kInfinityBits = 0x7F800000;
constexpr uint32_t kMinimumBits = 0xC7000000, kMaximumBits = 0x46FFFE00;

uint32_t BitsOf(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

float FloatOf(uint32_t b) {
  float v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

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
  uint64_t z = seed + 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  key_ = static_cast<uint32_t>(z ^ (z >> 31) ^ (z >> 32));
}

void DitherNoise::Fill(float* noise, size_t count) {
  for (size_t k = 0; k < count; ++k) {
    uint32_t h = (counter_ + static_cast<uint32_t>(k)) * 0x9E3779B1u ^ key_;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    noise[k] = (static_cast<float>(static_cast<int32_t>(h >> 16)) +
                static_cast<float>(static_cast<int32_t>(h & 0xFFFF)) - 65535.0f) *
               (1.0f / 65536.0f);
  }
  counter_ += static_cast<uint32_t>(count);
}

void Pcm16Reducer::Reduce(const float* in, size_t frames, int16_t* out) {
  const size_t ni = static_cast<size_t>(mix_.inChannels),
               no = static_cast<size_t>(mix_.outChannels);
  // Pieces small enough that every pass over them stays in the cache.
  const size_t piece = kPieceSamples / no;
  for (size_t done = 0; done < frames; done += piece) {
    const size_t n = frames - done < piece ? frames - done : piece;
    ReducePiece(in + done * ni, n, out + done * no);
  }
}

void Pcm16Reducer::ReducePiece(const float* in, size_t frames, int16_t* out) {
  const size_t ni = static_cast<size_t>(mix_.inChannels),
               no = static_cast<size_t>(mix_.outChannels);
  const size_t count = frames * no;
  float* x = scaled_;
  if (ni == no) {
    for (size_t k = 0; k < count; ++k) x[k] = in[k] * 32768.0f;
  } else {
    for (size_t f = 0; f < frames; ++f, in += ni)
      for (size_t o = 0; o < no; ++o) {
        const float* g = &mix_.gain[o * ni];
        float sum = 0.0f;
        for (size_t i = 0; i < ni; ++i) sum += g[i] * in[i];
        x[f * no + o] = sum * 32768.0f;
      }
  }
  // Every pass but the mix works on the bits with masks, free of branches
  // and of comparisons that NaN would make signal, so that it vectorises.
  // Samples beyond full scale are clipped, NaN becomes silence.
  int32_t fraction = 0, clipped = 0;
  for (size_t k = 0; k < count; ++k) {
    const uint32_t b = BitsOf(x[k]);
    const int32_t within = (b & 0x7FFFFFFF) <= kFullScaleBits;
    const float v = FloatOf(b & (0u - static_cast<uint32_t>(within)));
    fraction |= static_cast<int32_t>(v != static_cast<float>(static_cast<int32_t>(v)));
    clipped += 1 - within;
  }
  clipped_ += clipped;
  // Whole values (16-bit sound in a float file, silence) need no dither.
  float* noise = noise_values_;
  if (fraction) {
    dithered_ = true;
    noise_.Fill(noise, count);
  } else {
    std::memset(noise, 0, count * sizeof(float));
  }
  for (size_t k = 0; k < count; ++k) {
    const uint32_t b = BitsOf(x[k]), magnitude = b & 0x7FFFFFFF;
    const uint32_t within = 0u - static_cast<uint32_t>(magnitude <= kFullScaleBits);
    const uint32_t nan = 0u - static_cast<uint32_t>(magnitude > kInfinityBits);
    const uint32_t beyond = ((b >> 31) ? kMinimumBits : kMaximumBits) & ~nan;
    const float v = FloatOf((BitsOf(x[k] + noise[k]) & within) | (beyond & ~within));
    // Rounded to the nearest whole value, ties to even (no bias): 1.5 x 2^23
    // leaves no fraction bits in the sum.
    int32_t y = static_cast<int32_t>((v + 12582912.0f) - 12582912.0f);
    y = y > 32767 ? 32767 : y;
    y = y < -32768 ? -32768 : y;
    out[k] = static_cast<int16_t>(y);
  }
}

}  // namespace kelvora
