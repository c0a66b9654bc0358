#include "files/mulaw.h"

#include <array>

namespace kelvora {
namespace {

constexpr int32_t kBias = 132;
constexpr int32_t kClip = 32635;

// Magnitude offset of each exponent: 132 x (2^e - 1).
constexpr int32_t kExponentBase[8] = {0, 132, 396, 924, 1980, 4092, 8316, 16764};

// floor(log2 i), with 0 for 0 and 1.
constexpr std::array<uint8_t, 256> MakeExponentTable() {
  std::array<uint8_t, 256> t{};
  for (int i = 2; i < 256; ++i) {
    int e = 0;
    while ((i >> (e + 1)) != 0) ++e;
    t[i] = static_cast<uint8_t>(e);
  }
  return t;
}
constexpr std::array<uint8_t, 256> kExponent = MakeExponentTable();

struct DecodeTable {
  uint8_t bytes[256][2];  // little-endian 16-bit sample of each code
  DecodeTable() {
    for (int c = 0; c < 256; ++c) {
      auto v = static_cast<uint16_t>(MuLawDecode(static_cast<uint8_t>(c)));
      bytes[c][0] = static_cast<uint8_t>(v);
      bytes[c][1] = static_cast<uint8_t>(v >> 8);
    }
  }
};

struct EncodeTable {
  uint8_t codes[65536];
  EncodeTable() {
    for (int v = 0; v < 65536; ++v) codes[v] = MuLawEncode(static_cast<int16_t>(v));
  }
};

}  // namespace

int32_t MuLawDecode(uint8_t code) {
  const int v = static_cast<uint8_t>(~code);
  const int e = (v >> 4) & 7;
  const int32_t magnitude = ((v & 0x0F) << (e + 3)) + kExponentBase[e];
  return (v & 0x80) ? -magnitude : magnitude;
}

uint8_t MuLawEncode(int32_t value) {
  int32_t x = value < -32768 ? -32768 : (value > 32767 ? 32767 : value);
  int sign = 0;
  if (x < 0) {
    sign = 0x80;
    x = -x;
  }
  if (x > kClip) x = kClip;
  x += kBias;
  const int e = kExponent[(x >> 7) & 0xFF];
  const int m = (x >> (e + 3)) & 0x0F;
  const auto code = static_cast<uint8_t>(~(sign | (e << 4) | m));
  return code == 0 ? 0x02 : code;
}

void MuLawDecodeToPcm16(const uint8_t* codes, size_t count, uint8_t* pcm16le) {
  static const DecodeTable table;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* s = table.bytes[codes[i]];
    pcm16le[2 * i] = s[0];
    pcm16le[2 * i + 1] = s[1];
  }
}

const uint8_t* MuLawEncodeTable() {
  static const EncodeTable table;
  return table.codes;
}

void MuLawEncodePcm16(const uint8_t* pcm16le, size_t count, uint8_t* codes) {
  const uint8_t* table = MuLawEncodeTable();
  for (size_t i = 0; i < count; ++i) codes[i] = table[pcm16le[2 * i] | (pcm16le[2 * i + 1] << 8)];
}

}  // namespace kelvora
