#include "document/undo.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "document/busy.h"
#include "document/observer.h"
#include "platform/platform.h"

namespace kelvora {

int64_t ProgressPiece() { return int64_t{8} << 20; }

void MoveShowingProgress(uint8_t* to, const uint8_t* from, int64_t length, const char* name) {
  // Pieces small enough that a fresh block's first touch (the kernel zeroes
  // every page) still lets the window paint several times a second. A copy
  // of one piece is over too soon to show anything.
  const int64_t piece = ProgressPiece();
  const bool shown = Busy().busy && name != nullptr && length > piece;
  if (shown) ShowProgressUpdate(name, 0, length);
  for (int64_t done = 0; done < length; done += piece) {
    std::memmove(to + done, from + done, static_cast<size_t>(std::min(piece, length - done)));
    if (done + piece >= length) break;
    if (shown)
      ShowProgressUpdate(name, done + piece, length);
    else if (Busy().busy)
      Services().ui->DispatchOnePendingEvent();
  }
}

UndoSnapshot& Undo() {
  static UndoSnapshot undo;
  return undo;
}

int TakeUndoSnapshot(const char* progress) {
  MarkDocumentChanging();
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
  undo.holdsFile = false;
  MoveShowingProgress(undo.data.data(), doc.data.data(), doc.length, progress);
  return 1;
}

void KeepFileInUndo() {
  const SoundDocument& doc = Doc();
  UndoSnapshot& undo = Undo();
  undo.holdsFile = true;
  undo.path = doc.path;
  undo.fileKind = doc.fileKind;
  undo.modified = doc.modified;
}

void SwapUndo() {
  MarkDocumentChanging();
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
  if (undo.holdsFile) {
    std::swap(doc.path, undo.path);
    std::swap(doc.fileKind, undo.fileKind);
    std::swap(doc.modified, undo.modified);
    NotifyTitleChanged();
  }
  NotifyFormatChanged();
  NotifyDataChanged();
}

void ResetUndoState() {
  Undo().data.Free();
  Undo() = UndoSnapshot{};
}

}  // namespace kelvora
