#include "views/wave_input.h"

#include <algorithm>
#include <cstdio>

#include "document/busy.h"
#include "document/sound_document.h"
#include "platform/platform.h"
#include "views/spectrogram.h"
#include "views/texts.h"
#include "views/view_logic.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

long Frame(int64_t offset) {
  const int align = Doc().format.nBlockAlign;
  return align != 0 ? static_cast<long>(offset / align) : 0;
}

// The offset under a mouse x: left of the plot counts as its left edge,
// beyond the data as the data length.
int64_t MouseOffset(int x) {
  const int64_t pos = PixelToOffset(std::max(0, x - kPlotLeft));
  return std::clamp<int64_t>(pos, 0, std::max(Doc().length, 0));
}

void SetStatus(int part, const std::string& text) { Services().ui->SetStatusText(part, text); }

void ExtendSelectionTo(int64_t pos) {
  SoundDocument& doc = Doc();
  doc.movingEnd = static_cast<int32_t>(pos);
  doc.selStart = std::min(doc.anchor, doc.movingEnd);
  doc.selEnd = std::max(doc.anchor, doc.movingEnd);
  DrawSelection();
}

}  // namespace

std::string PositionStatusText(int64_t offset) {
  char text[96];
  std::snprintf(text, sizeof text, texts::kMousePositionFormat, FormatTime(offset).c_str(),
                Frame(offset));
  return text;
}

std::string CursorStatusText() {
  const SoundDocument& doc = Doc();
  char text[96];
  std::snprintf(text, sizeof text, texts::kCursorFormat, FormatTime(doc.selStart).c_str(),
                Frame(doc.selStart));
  return text;
}

std::string CursorOrSelectionStatusText() {
  const SoundDocument& doc = Doc();
  if (doc.selStart == doc.selEnd) return CursorStatusText();
  char text[128];
  std::snprintf(text, sizeof text, texts::kSelectionFormat, FormatTime(doc.selStart).c_str(),
                FormatTime(doc.selEnd).c_str(), Frame(doc.selStart), Frame(doc.selEnd));
  return text;
}

void WaveMouseDown(int x, int) {
  if (Busy().busy) return;
  SoundDocument& doc = Doc();
  View().dragging = true;
  const auto pos = static_cast<int32_t>(MouseOffset(x));
  doc.movingEnd = doc.anchor = doc.selStart = doc.selEnd = pos;
  DrawSelection();
}

void WaveMouseMove(int x, int y, bool leftButtonDown) {
  if (Busy().busy) return;
  const int64_t pos = MouseOffset(x);
  SetStatus(3, PositionStatusText(pos) + SpectrogramPointerText(y));
  if (leftButtonDown && View().dragging) ExtendSelectionTo(pos);
  SetStatus(2, CursorOrSelectionStatusText());
}

void WaveMouseUp(int x, int y) {
  if (Busy().busy) return;
  const int64_t pos = MouseOffset(x);
  if (View().dragging) {
    SoundDocument& doc = Doc();
    // The lane the button comes up in adds its channel; nothing removes one.
    if (doc.format.nChannels >= 2)
      doc.channelMask |= (y - kPlotTop > CurrentWaveGeometry().plotBottom / 2) ? 2u : 1u;
    ExtendSelectionTo(pos);
  }
  View().dragging = false;
}

void WaveDoubleClick() {
  if (Busy().busy) return;
  SelectAll();
}

int ScrollPositionFromViewStart() {
  const SoundDocument& doc = Doc();
  if (doc.length <= 0) return 0;
  return static_cast<int>(int64_t{doc.viewStart} * 100 / doc.length);
}

void SetScrollPositionFromViewStart() {
  if (Doc().length != 0) Services().ui->SetScrollPosition(ScrollPositionFromViewStart());
}

void ScrollBy(int64_t bytes) {
  SetScrollPositionFromViewStart();
  const int64_t column = int64_t{View().framesPerPixel} * Doc().format.nBlockAlign;
  if (column != 0 && bytes % column == 0)
    Services().ui->ScrollWaveView(static_cast<int>(bytes / column));
  else
    Services().ui->RepaintWaveView();
  Services().ui->ViewFrameChanged();
}

void WaveScrollColumns(int columns) {
  if (Busy().busy) return;
  SoundDocument& doc = Doc();
  const int64_t delta = int64_t{columns} * View().framesPerPixel * doc.format.nBlockAlign;
  const int64_t old = doc.viewStart;
  int64_t start = old + delta;
  if (delta < 0) {
    start = std::max<int64_t>(start, 0);
  } else if (start >= doc.length) {
    return;  // a step that would reach the end is not made
  }
  if (start == old) return;
  doc.viewStart = static_cast<int32_t>(start);
  ScrollBy(start - old);
}

void WaveScrollThumb(int position) {
  if (Busy().busy) return;
  SoundDocument& doc = Doc();
  if (doc.length <= 0) return;
  const int align = std::max<int>(doc.format.nBlockAlign, 1);
  int64_t start = int64_t{std::clamp(position, 0, 100)} * doc.length / 100;
  start -= start % align;
  doc.viewStart = static_cast<int32_t>(start);
  SetScrollPositionFromViewStart();
  Services().ui->RepaintWaveView();
  Services().ui->ViewFrameChanged();
}

}  // namespace kelvora
