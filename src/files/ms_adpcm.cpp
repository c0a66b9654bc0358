#include "files/ms_adpcm.h"

#include <cstdint>

#include "document/byte_order.h"

namespace kelvora {
namespace {

constexpr int32_t kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                768, 614, 512, 409, 307, 230, 230, 230};
constexpr int32_t kCoef1[7] = {256, 512, 0, 192, 240, 460, 392};
constexpr int32_t kCoef2[7] = {0, -256, 0, 64, 0, -208, -232};

// A hostile stream can make the delta grow by 3x per nibble. Capped here,
// delta x 768 still fits 32 bits; any delta this large clips every sample
// that uses it, so real streams never reach it.
constexpr int32_t kMaxDelta = INT32_MAX / 768;

struct Channel {
  int predictor = 0;
  int32_t delta = 0;
  int32_t sample1 = 0, sample2 = 0;

  int16_t Decode(int nibble) {
    int32_t next = (delta * kAdapt[nibble]) >> 8;
    if (next < 16) next = 16;
    if (next > kMaxDelta) next = kMaxDelta;
    const int32_t n = nibble >= 8 ? nibble - 16 : nibble;
    const int32_t prediction = (sample1 * kCoef1[predictor] + sample2 * kCoef2[predictor]) >> 8;
    int32_t s = n * delta + prediction;
    s = s < -32768 ? -32768 : (s > 32767 ? 32767 : s);
    sample2 = sample1;
    sample1 = s;
    delta = next;
    return static_cast<int16_t>(s);
  }
};

inline uint8_t* Put(uint8_t* out, int32_t v) {
  PutLe16(out, static_cast<uint16_t>(v));
  return out + 2;
}

}  // namespace

size_t MsAdpcmOutputBytes(size_t size, int channels) {
  const size_t header = MsAdpcmHeaderBytes(channels);
  if (size < header) return 0;
  // Two header samples per channel, then two nibbles per byte.
  return (2 * size_t(channels) + 2 * (size - header)) * 2;
}

size_t MsAdpcmDecodeBlock(const uint8_t* block, size_t size, int channels, uint8_t* out) {
  const size_t header = MsAdpcmHeaderBytes(channels);
  if (size < header) return 0;
  Channel ch[2];
  const int n = channels;  // fields are grouped: every channel's predictor, then deltas...
  for (int c = 0; c < n; ++c) {
    ch[c].predictor = block[c] > 6 ? 0 : block[c];
    ch[c].delta = static_cast<int16_t>(GetLe16(block + n + 2 * c));
    ch[c].sample1 = static_cast<int16_t>(GetLe16(block + 3 * n + 2 * c));
    ch[c].sample2 = static_cast<int16_t>(GetLe16(block + 5 * n + 2 * c));
  }
  uint8_t* p = out;
  for (int c = 0; c < n; ++c) p = Put(p, ch[c].sample2);
  for (int c = 0; c < n; ++c) p = Put(p, ch[c].sample1);
  // Mono: both nibbles are successive samples. Stereo: high left, low right.
  Channel& hi = ch[0];
  Channel& lo = ch[n - 1];
  for (size_t i = header; i < size; ++i) {
    p = Put(p, hi.Decode(block[i] >> 4));
    p = Put(p, lo.Decode(block[i] & 0x0F));
  }
  return static_cast<size_t>(p - out);
}

}  // namespace kelvora
