#include "document/replace_selection.h"

#include <cstring>

#include "document/operation.h"
#include "document/sound_document.h"

namespace kelvora {

uint8_t* ResizeSelection(int64_t length, const char* caption, int32_t spare) {
  SoundDocument& doc = Doc();
  const int64_t tail = int64_t{doc.length} - doc.selEnd;
  const int64_t new_length = int64_t{doc.length} - (doc.selEnd - doc.selStart) + length;
  const auto block = static_cast<size_t>(new_length + spare);
  // Grow before anything moves, so that a shortage leaves the sound whole.
  if (length < 0 || new_length > kMaxSoundBytes ||
      (block > doc.data.size() && !doc.data.Resize(block))) {
    ShowOutOfMemory(caption);
    return nullptr;
  }
  uint8_t* base = doc.bytes();
  if (tail > 0) std::memmove(base + doc.selStart + length, base + doc.selEnd, tail);
  // A shrink that fails only leaves more spare room.
  if (block < doc.data.size()) doc.data.Resize(block);
  doc.length = static_cast<int32_t>(new_length);
  doc.selEnd = doc.selStart + static_cast<int32_t>(length);
  return doc.bytes() + doc.selStart;
}

int ReplaceSelection(const uint8_t* bytes, int32_t length, const char* caption, int32_t spare) {
  uint8_t* to = ResizeSelection(length, caption, spare);
  if (to == nullptr) return 0;
  if (length > 0 && bytes != nullptr) std::memcpy(to, bytes, length);
  return 1;
}

}  // namespace kelvora
