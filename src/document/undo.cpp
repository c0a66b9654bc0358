#include "document/undo.h"

#include <cstring>
#include <utility>

#include "document/observer.h"

namespace kelvora {

UndoSnapshot& Undo() {
  static UndoSnapshot undo;
  return undo;
}

int TakeUndoSnapshot() {
  SoundDocument& doc = Doc();
  UndoSnapshot& undo = Undo();
  // An empty document still gets a small block, so the handle stays valid.
  if (!undo.data.Resize(doc.length != 0 ? static_cast<size_t>(doc.length) : 10)) return 0;
  undo.selStart = doc.selStart;
  undo.selEnd = doc.selEnd;
  undo.movingEnd = doc.movingEnd;
  undo.anchor = doc.anchor;
  undo.format = doc.format;
  undo.length = doc.length;
  if (doc.length > 0) std::memcpy(undo.data.data(), doc.data.data(), doc.length);
  return 1;
}

void SwapUndo() {
  SoundDocument& doc = Doc();
  UndoSnapshot& undo = Undo();
  std::swap(doc.format, undo.format);
  doc.bytesPerChannelSample = BytesPerChannelSample(doc.format);
  doc.data.Swap(undo.data);
  std::swap(doc.length, undo.length);
  std::swap(doc.selStart, undo.selStart);
  std::swap(doc.selEnd, undo.selEnd);
  std::swap(doc.anchor, undo.anchor);
  std::swap(doc.movingEnd, undo.movingEnd);
  NotifyFormatChanged();
  NotifyDataChanged();
}

void ResetUndoState() {
  Undo().data.Free();
  Undo() = UndoSnapshot{};
}

}  // namespace kelvora
