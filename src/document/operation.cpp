#include "document/operation.h"

#include "document/sound_document.h"
#include "document/texts.h"
#include "document/undo.h"
#include "platform/platform.h"

namespace kelvora {

void ShowOutOfMemory(const char* caption) { ShowWarning(caption, texts::kOutOfMemory); }

int BeginUndoableOperation(const char* caption) {
  if (TakeUndoSnapshot()) return 1;
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
