#include "document/operation.h"

#include "document/sound_document.h"
#include "document/texts.h"
#include "document/undo.h"
#include "platform/platform.h"

namespace kelvora {

void ShowOutOfMemory(const char* caption) { ShowWarning(caption, texts::kOutOfMemory); }

int BeginUndoableOperation(const char* caption, const char* progress, int share) {
  // The copy of an hour of sound takes a second or more: the user sees the
  // operation start with it, not after it. A short one shows nothing.
  const bool shown = Busy().busy && Doc().length > ProgressPiece();
  if (shown) SetProgressStretch(0, share);
  const int taken = TakeUndoSnapshot(progress != nullptr ? progress : caption);
  if (shown) SetProgressStretch(taken ? share : 0, 100);
  if (taken) return 1;
  ShowOutOfMemory(caption);
  return 0;
}

void RestoreAfterShortage(const char* caption) {
  SwapUndo();
  ShowOutOfMemory(caption);
}

int AllocateScratch(MemoryBlock& block, size_t bytes, const char* caption) {
  if (block.Resize(bytes)) return 1;
  RestoreAfterShortage(caption);
  return 0;
}

BusyScope::BusyScope(bool changing) {
  BeginBusy(changing);
  ResetPeakScale();
}

BusyScope::~BusyScope() { EndBusy(); }

}  // namespace kelvora
