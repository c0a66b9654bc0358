// What the waveform view and the overview show, kept beside the document:
// zoom, density, display mode, and the client sizes the widgets report.
// The widgets in views/qt draw from it; the engine changes it.
#pragma once

#include <cstdint>

namespace kelvora {

inline constexpr int kZoomLevels = 7;
// Frames per pixel of each zoom level, coarsest first.
inline constexpr int32_t kFramesPerPixel[kZoomLevels] = {4096, 1024, 256, 64, 16, 4, 1};
inline constexpr int32_t kMinDensity = 1;
inline constexpr int32_t kMaxDensity = 128;

struct ViewState {
  int zoomLevel = 1;
  int32_t framesPerPixel = 1024;
  int32_t density = 8;       // 1..128 samples drawn per pixel column
  int32_t displayMode = 1;   // 0 points, 1 lines
  int32_t trackMode = 0;     // follow the scroll-bar thumb while dragging
  int32_t verticalZoom = 1;  // 1, 2, 4 or 8: the waveform's height magnified
  bool dragging = false;     // a mouse selection in the waveform view
  bool fitOnOpen = true;     // [Options] fitonopen: a file opens fitted when small
  // The waveform view's client area (left and top are 0) and the height of
  // one line of its label font, as the widget last reported them.
  int clientWidth = 0;
  int clientHeight = 0;
  int textHeight = 0;
  // The overview's client area.
  int overviewWidth = 0;
  int overviewHeight = 0;
  bool pressing = false;  // the left button went down in the overview
  int scrollStep = 0;     // -10, 0, +10: a scroll button is held
};

ViewState& View();

// Frames per pixel from the level, and the check mark of the zoom items.
void SetZoom(int level);
// Redraws the selection tint from the document's selection.
void DrawSelection();
// Fills the band between plot and time axis light grey (end of playback).
void ClearPlayBand();

// The zoom commands: 40072 and 40051..40056 pick a level, 40057 and 40058
// step it. Each keeps the cursor in the middle of the view.
void SetZoomLevel(int level);
void ZoomIn();
void ZoomOut();
// View start so that the moving end stands in the middle of the view.
void CenterOnCursor();
// Bytes one pixel column stands for at the current zoom; 0 for a format
// that cannot be drawn.
int64_t ColumnBytes();
// Makes `level` current: its scale and the menu's check mark.
void UseZoomLevel(int level);
// After a change of scale: the view drawn from `start` (kept within the
// sound), with the scroll bar and the overview's frame following.
void ShowViewFrom(int64_t start);
// The view moved to start at `start`, shifting what is drawn.
void ScrollViewTo(int64_t start);

// The density as drawing uses it: always within 1..128.
int32_t EffectiveDensity();

void ResetViewState();

}  // namespace kelvora
