// The overview of the whole sound below the waveform view: where a click
// puts the cursor and the view, the frame of the stretch the waveform view
// shows, the played part, and the two scroll buttons at its ends.
#pragma once

#include <cstdint>

namespace kelvora {

inline constexpr int kOverviewMargin = 16;  // each end is covered by a button
inline constexpr int kOverviewReadsPerColumn = 64;
inline constexpr int kRightScrollButton = 10000;
inline constexpr int kLeftScrollButton = 10001;
inline constexpr int kScrollButtonColumns = 10;
inline constexpr int kScrollRepeatMs = 100;

// Byte offset under an overview x, on the frame boundary below it: the
// start of the sound left of the drawing area, the end right of it.
// Clicks and the status text share it.
int64_t OverviewXToOffset(int x);

// The dark-red frame over [x1, x2) at full height.
struct ViewFrameRect {
  bool visible = false;
  int x1 = 0, x2 = 0;
};
ViewFrameRect ComputeViewFrame();
// Right end (exclusive) of the played part that starts at x = 16.
int PlayPositionX(double fraction);

// Redraws the frame; the played part disappears with the old frame.
void DrawViewFrame();
// Adds the played part up to `fraction` of the drawing area (playback).
void DrawPlayPosition(double fraction);

void OverviewMouseDown(int x);
void OverviewMouseMove(int x);
void OverviewMouseUp();

// Moves the waveform view by `step` columns, stopping one frame before
// the end of the data.
void ScrollByButtons(int step);
// A scroll button was pressed (or released, or left while held).
void ScrollButtonNotify(int id, bool pressed);
// The 100 ms timer.
void ScrollRepeatTick();

}  // namespace kelvora
