// One level of undo: a full copy of the document's sound, format and
// selection. A second undo swaps back, so it doubles as redo.
#pragma once

#include <cstdint>

#include "document/memory_block.h"
#include "document/sound_document.h"

namespace kelvora {

struct UndoSnapshot {
  MemoryBlock data;
  int32_t length = 0;
  SoundFormat format;
  int32_t selStart = 0, selEnd = 0;
  int32_t anchor = 0, movingEnd = 0;
};

UndoSnapshot& Undo();

// Copies the document into the snapshot. Returns 0 (snapshot left as it
// was, nothing shown) when its block cannot be resized; callers treat that
// like any other shortage of memory.
int TakeUndoSnapshot();
// The undo command: exchanges document and snapshot.
void SwapUndo();

void ResetUndoState();

}  // namespace kelvora
