#include "files/load_support.h"

namespace kelvora {

uint64_t NextChunk(FileReader& file, uint64_t pos, uint32_t size) {
  if (size == 0) {
    // A header of eight zero bytes leads to the next eight; a run of them
    // (the tail of a sparse file can be a terabyte) is passed in one step,
    // to the first header in it that is not all zero.
    uint8_t id[4] = {1};
    file.Seek(pos);
    if (file.Read(id, 4) == 4 && (id[0] | id[1] | id[2] | id[3]) == 0) {
      const uint64_t nonzero = file.FirstNonZero(pos + 8);
      return nonzero > pos ? pos + (nonzero - pos) / 8 * 8 : pos + 8;
    }
  }
  uint64_t next = pos + 8 + size;
  if (size & 1) {
    file.Seek(next);
    uint8_t pad = 0xFF;
    if (file.Read(&pad, 1) == 1 && pad == 0) ++next;
  }
  return next;
}

int PrepareLoadBlock(LoadedSound& sound, uint64_t bytes) {
  return sound.data.Resize(static_cast<size_t>(bytes) + kSpareBytes) != 0;
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
