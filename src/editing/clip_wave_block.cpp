#include "editing/clip_wave_block.h"

#include <cstring>

#include "document/byte_order.h"

namespace kelvora {

int BuildClipWaveBlock(const SoundFormat& f, const uint8_t* sound, int32_t n, MemoryBlock& block) {
  static const uint8_t kTemplate[46] = {'R', 'I', 'F', 'F', 0,   0,   0, 0, 'W', 'A', 'V', 'E',
                                        'f', 'm', 't', ' ', 18,  0,   0, 0, 0,   0,   0,   0,
                                        0,   0,   0,   0,   0,   0,   0, 0, 0,   0,   0,   0,
                                        0,   0,   'd', 'a', 't', 'a', 0, 0, 0,   0};
  if (!block.Resize(static_cast<size_t>(n) + 46)) return 0;
  uint8_t* b = block.data();
  std::memcpy(b, kTemplate, sizeof kTemplate);
  PutLe32(b + 4, static_cast<uint32_t>(n) + 38);
  WriteFormatLe(b + kClipFormatOffset, f);
  PutLe32(b + kClipSizeOffset, static_cast<uint32_t>(n));
  if (n > 0) std::memcpy(b + kClipHeaderBytes, sound, n);
  return 1;
}

int ParseClipWaveBlock(const uint8_t* block, size_t size, SoundFormat& f, const uint8_t** sound,
                       int32_t* n) {
  if (size < kClipHeaderBytes) return 0;
  f = ReadFormatLe(block + kClipFormatOffset);
  uint64_t declared = GetLe32(block + kClipSizeOffset);
  uint64_t present = size - kClipHeaderBytes;
  uint64_t bytes = declared < present ? declared : present;
  if (bytes > 0x7fffffe0u) bytes = 0x7fffffe0u;
  *sound = block + kClipHeaderBytes;
  *n = static_cast<int32_t>(bytes);
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

}  // namespace kelvora
