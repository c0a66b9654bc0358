#include "files/load_support.h"

namespace kelvora {

uint64_t NextChunk(FileReader& file, uint64_t pos, uint32_t size) {
  uint64_t next = pos + 8 + size;
  if (size & 1) {
    file.Seek(next);
    uint8_t pad = 0xFF;
    if (file.Read(&pad, 1) == 1 && pad == 0) ++next;
  }
  return next;
}

int PrepareLoadBlock(LoadedSound& sound, uint64_t bytes) {
  return sound.data.Resize(static_cast<size_t>(bytes) + kLoadSpareBytes) != 0;
}

int AcceptLoad(LoadedSound& sound, const SoundFormat& f, uint64_t bytes) {
  sound.format = f;
  sound.bytes = bytes;
  return 1;
}

int RejectSignature(LoadedSound& sound, const char* text) {
  sound.messages[0] = text;
  sound.badSignature = true;
  return 0;
}

int RejectLoad(LoadedSound& sound, const char* text, const SoundFormat* record, const char* first) {
  sound.messages[0] = first != nullptr ? first : text;
  sound.messages[1] = first != nullptr ? text : nullptr;
  sound.hasRecord = record != nullptr;
  if (record != nullptr) sound.record = *record;
  return 0;
}

}  // namespace kelvora
