// One level of undo: a full copy of the document's sound, format and
// selection. A second undo swaps back, so it doubles as redo.
#pragma once

#include <cstdint>
#include <string>

#include "document/memory_block.h"
#include "document/sound_document.h"

namespace kelvora {

struct UndoSnapshot {
  MemoryBlock data;
  int32_t length = 0;
  SoundFormat format;
  int32_t selStart = 0, selEnd = 0;
  int32_t anchor = 0, movingEnd = 0;
  // Set when the operation put another document in place of this one (an
  // open, New, a recording): the sound alone under the other's name would
  // send the next Save to the wrong file.
  bool holdsFile = false;
  std::string path;
  int32_t fileKind = 0;
  bool modified = false;
};

UndoSnapshot& Undo();

// Copies the document into the snapshot. Returns 0 (snapshot left as it
// was, nothing shown) when its block cannot be resized; callers treat that
// like any other shortage of memory.
int TakeUndoSnapshot();
// For an operation that replaces the whole document, right after its
// snapshot: the snapshot also keeps the document's path, FileKind and
// modified flag as they are now, and undo and redo exchange them too.
void KeepFileInUndo();
// The undo command: exchanges document and snapshot.
void SwapUndo();

void ResetUndoState();

}  // namespace kelvora
