// What the mouse wheel does over the waveform view and the overview: it
// scrolls through time, a tenth of the visible width a notch, within the
// scroll bar's limits; with Ctrl it zooms in or out one level and keeps the
// time under the pointer in its column; with Ctrl and Shift it steps the
// vertical zoom. While an operation runs (busy) the wheel changes nothing.
#pragma once

#include <cstdint>

namespace kelvora {

// Wheels report eighths of a degree, 120 a notch; fine-grained wheels and
// touchpads report parts of one. Collects them into whole notches.
class WheelNotches {
public:
  // Adds `delta` and returns the whole notches it completes (positive away
  // from the user, or to the left on a sideways wheel); the rest is kept.
  int Take(int delta);
  void Clear() { rest_ = 0; }

private:
  int rest_ = 0;
};

inline constexpr int kWheelNotch = 120;
// A notch scrolls this fraction of the drawing width.
inline constexpr int kWheelScrollDivisor = 10;

// The vertical zoom's factors, smallest first, and their menu items.
inline constexpr int kVerticalZooms[] = {1, 2, 4, 8};

// Columns a notch scrolls: a tenth of the drawing width, at least one.
int WheelScrollColumns();
// Scrolls by `notches` (positive toward the start of the sound). Left the
// view stops at 0; right it goes as far as a whole number of columns keeps
// the view start below the data length.
void WheelScroll(int notches);
// Zooms in by `notches` levels (out when negative), keeping the time at
// `px` (columns from the plot's left edge, clamped to the plot) in that
// column as far as the start of the sound allows.
void WheelZoom(int notches, int px);
// The overview has no time of its own under the pointer: the middle of
// the waveform view stays where it is.
void WheelZoomAtViewMiddle(int notches);

// The vertical zoom: `factor` is one of kVerticalZooms. Draws the view
// again, sets the check marks and remembers it in [Options] "vzoom".
void SetVerticalZoom(int factor);
// One step per notch up (away from the user) or down, within x1..x8.
void StepVerticalZoom(int notches);
// Start-up: "vzoom" from the settings (other values give x1), and the marks.
void LoadVerticalZoomSetting();
void ShowVerticalZoomChecks();

}  // namespace kelvora
