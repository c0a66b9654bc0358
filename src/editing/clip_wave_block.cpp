#include "editing/clip_wave_block.h"

#include <cstring>

#include "document/byte_order.h"

namespace kelvora {

void WriteClipHeader(const SoundFormat& f, uint32_t n, uint8_t* h) {
  std::memcpy(h, "RIFF", 4);
  PutLe32(h + 4, n + 38);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe32(h + 16, 18);
  WriteFormatLe(h + kClipFormatOffset, f);
  // A data chunk's name would start at 38; the size covers its last letters.
  std::memcpy(h + 38, "da", 2);
  PutLe32(h + kClipSizeOffset, n);
}

int BuildClipWaveBlock(const SoundFormat& f, const uint8_t* sound, int32_t n, MemoryBlock& block) {
  if (!block.Resize(static_cast<size_t>(n) + 46)) return 0;
  uint8_t* b = block.data();
  WriteClipHeader(f, static_cast<uint32_t>(n), b);
  if (n > 0) std::memcpy(b + kClipHeaderBytes, sound, n);
  b[kClipHeaderBytes + n] = b[kClipHeaderBytes + n + 1] = 0;
  return 1;
}

int ParseClipWaveBlock(const uint8_t* block, size_t size, SoundFormat& f, const uint8_t** sound,
                       int32_t* n) {
  if (block == nullptr || size < kClipHeaderBytes) return 0;
  const uint64_t declared = GetLe32(block + kClipSizeOffset);
  if (declared > size - kClipHeaderBytes || declared > 0x7fffffe0u) return 0;
  f = ReadFormatLe(block + kClipFormatOffset);
  *sound = block + kClipHeaderBytes;
  *n = static_cast<int32_t>(declared);
  return 1;
}

int StandardWaveHeader(const uint8_t* block, size_t size, uint8_t* h, int32_t* n) {
  SoundFormat f;
  const uint8_t* sound = nullptr;
  if (!ParseClipWaveBlock(block, size, f, &sound, n)) return 0;
  std::memcpy(h, "RIFF", 4);
  PutLe32(h + 4, static_cast<uint32_t>(*n) + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe32(h + 16, 16);
  uint8_t record[kSoundFormatBytes];
  WriteFormatLe(record, f);
  std::memcpy(h + 20, record, 16);
  std::memcpy(h + 36, "data", 4);
  PutLe32(h + 40, static_cast<uint32_t>(*n));
  return 1;
}

bool IsStandardPcmWave(const uint8_t* image, size_t size) {
  return size >= kClipHeaderBytes && std::memcmp(image, "RIFF", 4) == 0 &&
         std::memcmp(image + 8, "WAVEfmt ", 8) == 0 && GetLe32(image + 16) == 16 &&
         GetLe16(image + 20) == 1 && std::memcmp(image + 36, "data", 4) == 0 &&
         GetLe32(image + 40) <= size - kClipHeaderBytes;
}

bool LocatePcmWave(const uint8_t* image, size_t size, SoundFormat* f, size_t* soundAt,
                   uint32_t* n) {
  if (size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
    return false;
  bool haveFormat = false;
  for (size_t at = 12; size - at >= 8;) {
    const uint64_t length = GetLe32(image + at + 4);
    const size_t body = at + 8;
    if (length > size - body) return false;  // cut short, or lying
    if (std::memcmp(image + at, "fmt ", 4) == 0 && length >= 16) {
      uint8_t record[kSoundFormatBytes] = {};
      std::memcpy(record, image + body, length >= kSoundFormatBytes ? kSoundFormatBytes : 16);
      *f = ReadFormatLe(record);
      haveFormat = f->wFormatTag == 1;
      if (!haveFormat) return false;
    } else if (std::memcmp(image + at, "data", 4) == 0) {
      if (!haveFormat || length > 0x7fffffe0u) return false;
      *soundAt = body;
      *n = static_cast<uint32_t>(length);
      return true;
    }
    at = body + static_cast<size_t>(length) + (length & 1);
    if (at > size) break;
  }
  return false;
}

}  // namespace kelvora
