#include "files/ima_adpcm.h"

#include "document/byte_order.h"

namespace kelvora {
namespace {

constexpr int32_t kStep[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexAdjust[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

int ClampIndex(int i) { return i < 0 ? 0 : (i > 88 ? 88 : i); }

struct Channel {
  int32_t value = 0;
  int index = 0;

  int16_t Decode(int nibble) {
    const int32_t step = kStep[index];
    int32_t diff = step >> 3;
    if (nibble & 4) diff += step;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 1) diff += step >> 2;
    if (nibble & 8) diff = -diff;
    value += diff;
    value = value < -32768 ? -32768 : (value > 32767 ? 32767 : value);
    index = ClampIndex(index + kIndexAdjust[nibble & 7]);
    return static_cast<int16_t>(value);
  }
};

inline uint8_t* Put(uint8_t* out, int32_t v) {
  PutLe16(out, static_cast<uint16_t>(v));
  return out + 2;
}

size_t StereoGroups(size_t size) { return (size - ImaAdpcmHeaderBytes(2)) / 8; }

}  // namespace

size_t ImaAdpcmOutputBytes(size_t size, int channels) {
  const size_t header = ImaAdpcmHeaderBytes(channels);
  if (size < header) return 0;
  if (channels == 1) return (1 + 2 * (size - header)) * 2;
  return (1 + 8 * StereoGroups(size)) * 4;
}

size_t ImaAdpcmDecodeBlock(const uint8_t* block, size_t size, int channels, uint8_t* out) {
  const size_t header = ImaAdpcmHeaderBytes(channels);
  if (size < header) return 0;
  Channel ch[2];
  uint8_t* p = out;
  for (int c = 0; c < channels; ++c) {
    ch[c].value = static_cast<int16_t>(GetLe16(block + 4 * c));
    // The index byte is unsigned: 0xFF clamps to 88.
    ch[c].index = ClampIndex(block[4 * c + 2]);
    p = Put(p, ch[c].value);
  }
  if (channels == 1) {
    for (size_t i = header; i < size; ++i) {
      p = Put(p, ch[0].Decode(block[i] & 0x0F));
      p = Put(p, ch[0].Decode(block[i] >> 4));
    }
    return static_cast<size_t>(p - out);
  }
  // Only whole groups that lie inside the block are decoded.
  const size_t groups = StereoGroups(size);
  for (size_t g = 0; g < groups; ++g) {
    const uint8_t* left = block + header + 8 * g;
    const uint8_t* right = left + 4;
    for (int j = 0; j < 8; ++j) {
      const int shift = (j & 1) ? 4 : 0;  // low nibble first
      p = Put(p, ch[0].Decode((left[j >> 1] >> shift) & 0x0F));
      p = Put(p, ch[1].Decode((right[j >> 1] >> shift) & 0x0F));
    }
  }
  return static_cast<size_t>(p - out);
}

}  // namespace kelvora
