// The pieces of the standard operation sequence that every edit, effect and
// generator repeats: snapshot, scratch allocation with its shortage path,
// and the busy scope around the pass.
//
//   SelectAllIfEmpty();
//   if (!RunDialog(...)) return;                       // parameters
//   BusyScope busy;                                    // before the copy
//   if (!BeginUndoableOperation(kName)) return;        // snapshot
//   MemoryBlock scratch;
//   if (!AllocateScratch(scratch, n, kName)) return;   // restores on failure
//   ... pass with ShowProgress ... ; Doc().modified = true;
#pragma once

#include <cstddef>

#include "document/busy.h"
#include "document/memory_block.h"

namespace kelvora {

// TakeUndoSnapshot, reporting a shortage under `caption` when the snapshot
// itself cannot be made (the document is then untouched). Returns 1 or 0.
// Inside the busy state the copy shows progress under `progress` (the
// caption when null) as the first `share` percent of the operation's one
// bar, and the operation's own progress fills the rest.
int BeginUndoableOperation(const char* caption, const char* progress = nullptr, int share = 10);

// Puts the document back from the snapshot taken at the start of the
// operation and shows "メモリーが足りません" under `caption`.
void RestoreAfterShortage(const char* caption);

// Resizes `block` to `bytes`; on failure RestoreAfterShortage and 0.
int AllocateScratch(MemoryBlock& block, size_t bytes, const char* caption);

// Shows "メモリーが足りません" under `caption` with nothing else.
void ShowOutOfMemory(const char* caption);

// BeginBusy and ResetPeakScale on entry, EndBusy on every way out.
class BusyScope {
public:
  explicit BusyScope(bool changing = true);
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace kelvora
