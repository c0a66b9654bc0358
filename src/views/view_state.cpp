#include "views/view_state.h"

#include <algorithm>

#include "document/sound_document.h"
#include "platform/platform.h"
#include "views/spectrogram.h"
#include "views/view_logic.h"
#include "views/wave_input.h"

namespace kelvora {

ViewState& View() {
  static ViewState view;
  return view;
}

void SetZoom(int level) {
  level = std::clamp(level, 0, kZoomLevels - 1);
  View().framesPerPixel = kFramesPerPixel[level];
  Services().ui->SetZoomChecks(level);
}

void DrawSelection() {
  Services().ui->SelectionChanged();
  // The status text follows every change of the selection, not only the
  // mouse moves, or it would disagree with the tint.
  Services().ui->SetStatusText(2, CursorOrSelectionStatusText());
}

void ClearPlayBand() { Services().ui->ClearPlayBand(); }

int32_t EffectiveDensity() { return std::clamp(View().density, kMinDensity, kMaxDensity); }

void CenterOnCursor() {
  SoundDocument& doc = Doc();
  const int64_t half = DrawingWidth() / 2;
  const int64_t start =
      doc.movingEnd - half * doc.format.nBlockAlign * int64_t{View().framesPerPixel};
  doc.viewStart = static_cast<int32_t>(std::clamp<int64_t>(start, 0, std::max(doc.length, 0)));
}

int64_t ColumnBytes() { return int64_t{View().framesPerPixel} * Doc().format.nBlockAlign; }

void UseZoomLevel(int level) {
  View().zoomLevel = level;
  SetZoom(level);
}

void ShowViewFrom(int64_t start) {
  Doc().viewStart = static_cast<int32_t>(std::clamp<int64_t>(start, 0, std::max(Doc().length, 0)));
  if (Doc().length != 0) SetScrollPositionFromViewStart();
  Services().ui->RepaintWaveView();
  Services().ui->ViewFrameChanged();
}

void ScrollViewTo(int64_t start) {
  SoundDocument& doc = Doc();
  const int64_t old = doc.viewStart;
  if (start == old) return;
  doc.viewStart = static_cast<int32_t>(start);
  ScrollBy(start - old);
}

void SetZoomLevel(int level) {
  level = std::clamp(level, 0, kZoomLevels - 1);
  UseZoomLevel(level);
  CenterOnCursor();
  ShowViewFrom(Doc().viewStart);
}

void ZoomIn() {
  if (View().zoomLevel < kZoomLevels - 1) return SetZoomLevel(View().zoomLevel + 1);
  Services().ui->RepaintWaveView();
  Services().ui->ViewFrameChanged();
}

void ZoomOut() {
  if (View().zoomLevel > 0) return SetZoomLevel(View().zoomLevel - 1);
  Services().ui->RepaintWaveView();
  Services().ui->ViewFrameChanged();
}

void ResetViewState() {
  View() = ViewState{};
  ResetSpectrogramState();
}

}  // namespace kelvora
