#include "views/navigation.h"

#include <algorithm>

#include "document/sound_document.h"
#include "platform/platform.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

// The view start that shows `pos`, moved by whole columns as little as can be.
int64_t StartShowing(int64_t pos) {
  const SoundDocument& doc = Doc();
  const int64_t column = ColumnBytes();
  const int64_t columns = std::max(DrawingWidth(), 1);
  const int64_t start = doc.viewStart;
  if (column <= 0) return start;
  if (pos < start)
    return std::max<int64_t>(0, start - (start - pos + column - 1) / column * column);
  const int64_t beyond = (pos - start) / column - (columns - 1);
  return beyond > 0 ? start + beyond * column : start;
}

}  // namespace

void MoveCursor(CursorStep step, bool extend) {
  SoundDocument& doc = Doc();
  const int32_t align = doc.format.nBlockAlign;
  if (align <= 0) return;
  // The moving end is the cursor; operations that set the selection without
  // it leave the selection's end there.
  const int64_t moving =
      doc.movingEnd == doc.selStart || doc.movingEnd == doc.selEnd ? doc.movingEnd : doc.selEnd;
  const int64_t tenth = std::max<int64_t>(DrawingWidth() / 10, 1) * ColumnBytes();
  int64_t pos = moving;
  switch (step) {
    case CursorStep::kStart:
      pos = 0;
      break;
    case CursorStep::kEnd:
      pos = doc.length;
      break;
    case CursorStep::kLeft:
      pos -= ColumnBytes();
      break;
    case CursorStep::kRight:
      pos += ColumnBytes();
      break;
    case CursorStep::kLeftTenth:
      pos -= tenth;
      break;
    case CursorStep::kRightTenth:
      pos += tenth;
      break;
  }
  pos = std::clamp<int64_t>(pos, 0, std::max(doc.length, 0));
  pos -= pos % align;
  if (extend) {
    doc.anchor = moving == doc.selStart ? doc.selEnd : doc.selStart;
    doc.movingEnd = static_cast<int32_t>(pos);
  } else {
    doc.anchor = doc.movingEnd = static_cast<int32_t>(pos);
  }
  doc.selStart = std::min(doc.anchor, doc.movingEnd);
  doc.selEnd = std::max(doc.anchor, doc.movingEnd);
  DrawSelection();
  ScrollViewTo(StartShowing(pos));
}

int FitLevel(int64_t frames) {
  const int64_t columns = std::max(DrawingWidth(), 1);
  for (int level = kZoomLevels - 1; level > 0; --level)
    if ((frames + kFramesPerPixel[level] - 1) / kFramesPerPixel[level] <= columns) return level;
  return 0;
}

void FitAll() {
  const SoundDocument& doc = Doc();
  if (doc.format.nBlockAlign == 0 || doc.length <= 0) return;
  UseZoomLevel(FitLevel(doc.frames()));
  ShowViewFrom(0);
}

void FitSelection() {
  const SoundDocument& doc = Doc();
  const int64_t align = doc.format.nBlockAlign;
  if (!doc.HasSelection() || align == 0) return;
  const int64_t frames = (int64_t{doc.selEnd} - doc.selStart) / align;
  const int level = FitLevel(frames);
  // Half the room the selection leaves, in whole frames, before it.
  const int64_t room = int64_t{std::max(DrawingWidth(), 1)} * kFramesPerPixel[level] - frames;
  UseZoomLevel(level);
  ShowViewFrom(doc.selStart - std::max<int64_t>(room / 2, 0) * align);
}

void FitOnOpen() {
  const SoundDocument& doc = Doc();
  if (!View().fitOnOpen || DrawingWidth() <= 0) return;
  const int64_t columns =
      (int64_t{doc.frames()} + View().framesPerPixel - 1) / View().framesPerPixel;
  if (columns * 10 < DrawingWidth()) FitAll();
}

}  // namespace kelvora
