// Little- and big-endian field access for the file formats.
#pragma once

#include <cstdint>

#include "document/sound_document.h"

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

// The 18-byte format record as WAV files and clipboard blocks store it.
inline SoundFormat ReadFormatLe(const uint8_t* p) {
  SoundFormat f;
  f.wFormatTag = GetLe16(p);
  f.nChannels = GetLe16(p + 2);
  f.nSamplesPerSec = GetLe32(p + 4);
  f.nAvgBytesPerSec = GetLe32(p + 8);
  f.nBlockAlign = GetLe16(p + 12);
  f.wBitsPerSample = GetLe16(p + 14);
  f.cbSize = GetLe16(p + 16);
  return f;
}
inline void WriteFormatLe(uint8_t* p, const SoundFormat& f) {
  PutLe16(p, f.wFormatTag);
  PutLe16(p + 2, f.nChannels);
  PutLe32(p + 4, f.nSamplesPerSec);
  PutLe32(p + 8, f.nAvgBytesPerSec);
  PutLe16(p + 12, f.nBlockAlign);
  PutLe16(p + 14, f.wBitsPerSample);
  PutLe16(p + 16, f.cbSize);
}

}  // namespace kelvora
