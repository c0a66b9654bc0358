// Little- and big-endian access to the words of sound data, file headers
// and clipboard blocks, whatever the processor's own order.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace kelvora {

inline uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLe32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline uint16_t GetBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t GetBe32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutBe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void PutBe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// A 16-bit sample: signed, little-endian. These sit in the hot loops, so on
// a little-endian processor they are plain loads and stores.
inline int32_t LoadLe16(const uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
  } else {
    return static_cast<int16_t>(GetLe16(p));
  }
}

inline void StoreLe16(uint8_t* p, int32_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    int16_t s = static_cast<int16_t>(v);
    std::memcpy(p, &s, 2);
  } else {
    PutLe16(p, static_cast<uint16_t>(v));
  }
}

}  // namespace kelvora
