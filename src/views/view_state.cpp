#include "views/view_state.h"

#include "platform/platform.h"

namespace kelvora {

ViewState& View() {
  static ViewState view;
  return view;
}

void SetZoom(int level) {
  if (level < 0) level = 0;
  if (level >= kZoomLevels) level = kZoomLevels - 1;
  View().framesPerPixel = kFramesPerPixel[level];
  Services().ui->SetZoomChecks(level);
}

void DrawSelection() { Services().ui->SelectionChanged(); }

void ResetViewState() { View() = ViewState{}; }

}  // namespace kelvora
