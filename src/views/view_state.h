// What the waveform view shows, kept beside the document: zoom, density,
// display mode. The widgets in views/qt draw from it; the engine changes it.
#pragma once

#include <cstdint>

namespace kelvora {

inline constexpr int kZoomLevels = 7;
// Frames per pixel of each zoom level, coarsest first.
inline constexpr int32_t kFramesPerPixel[kZoomLevels] = {4096, 1024, 256, 64, 16, 4, 1};

struct ViewState {
  int zoomLevel = 1;
  int32_t framesPerPixel = 1024;
  int32_t density = 8;      // 1..128 samples drawn per pixel column
  int32_t displayMode = 1;  // 0 points, 1 lines
  int32_t trackMode = 0;    // follow the scroll-bar thumb while dragging
  bool dragging = false;
};

ViewState& View();

// Frames per pixel from the level, and the check mark of the zoom items.
void SetZoom(int level);
// Redraws the selection tint from the document's selection.
void DrawSelection();

void ResetViewState();

}  // namespace kelvora
