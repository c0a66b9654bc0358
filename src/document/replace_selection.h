// Puts a result of another length in place of the selection: one built in
// a block of its own, or one written straight into the resized selection.
#pragma once

#include <cstdint>

namespace kelvora {

// Replaces the bytes of the selection with `length` bytes from `bytes` (not
// inside the document's block): the data after the selection follows them,
// the data length and the selection end move with it, and the block keeps
// `spare` bytes beyond the data. Selection start, anchor, channel mask and
// view start stay. Returns 1; or 0 after "メモリーが足りません" under
// `caption` when the block cannot grow or the length would pass
// kMaxSoundBytes, and then the document is exactly as it was. Null `bytes`
// leaves the gap for the caller to fill.
int ReplaceSelection(const uint8_t* bytes, int32_t length, const char* caption, int32_t spare = 16);

// The same with the new bytes left to the caller: returns where the
// selection's `length` bytes now start (their contents unspecified), or
// null after the shortage message, the document then exactly as it was. A
// block that shrinks gives its pages back.
uint8_t* ResizeSelection(int64_t length, const char* caption, int32_t spare = 16);

}  // namespace kelvora
