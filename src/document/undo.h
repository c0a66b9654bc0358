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

// Copies the document into the snapshot. Inside an operation (busy) the
// window keeps painting meanwhile and, given a name, the copy's progress is
// shown under it. Returns 0 (snapshot left as it was, nothing shown) when
// its block cannot be resized; callers treat that like any other shortage
// of memory.
int TakeUndoSnapshot(const char* progress = nullptr);

// memmove in pieces, for copies and moves (to before from) of long sounds:
// as TakeUndoSnapshot, busy keeps the window painted, and a name shows
// progress from the first piece on when there is more than one.
void MoveShowingProgress(uint8_t* to, const uint8_t* from, int64_t length, const char* name);
int64_t ProgressPiece();
// For an operation that replaces the whole document, right after its
// snapshot: the snapshot also keeps the document's path, FileKind and
// modified flag as they are now, and undo and redo exchange them too.
void KeepFileInUndo();
// The undo command: exchanges document and snapshot.
void SwapUndo();

void ResetUndoState();

}  // namespace kelvora
