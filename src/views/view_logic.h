// The waveform view's geometry and its mappings between pixels and byte
// offsets, the time axis, and the selection tint: everything the widget
// draws, worked out without a window system.
//
// Offsets and products are 64-bit: a pixel times 4096 frames times the
// block align passes 2^31 long before a sound does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvora {

inline constexpr int kPlotLeft = 48;  // left margin 32 + 16
inline constexpr int kPlotTop = 8;
inline constexpr int kRightMargin = 16;
inline constexpr int kAxisX = 44;  // the vertical black line left of the plot
inline constexpr int kDrawingWidthLess = 64;

struct WaveGeometry {
  int right = 0;       // R: client right
  int bottom = 0;      // B: client bottom
  int plotRight = 0;   // R - 16, first column right of the plot
  int plotBottom = 0;  // P, first row below the plot
  int plotHeight = 0;  // H = P - 8
  int channels = 1;    // N, at least 1
  int laneHeight = 0;  // H / N
  int drawingWidth = 0;
  int LaneTop(int ch) const { return laneHeight * ch + kPlotTop; }
  // y(v) in lane ch: full scale spans the lane less 4 / N pixels, times the
  // vertical zoom (rows beyond the lane are for the caller to clip). With a
  // `scale` above 1 the row is counted in device pixels of a screen that
  // has that many per pixel.
  int ValueToY(int ch, int32_t v, int scale = 1) const;
};

// From the client size and text height in View() and the channel count.
WaveGeometry CurrentWaveGeometry();
// Columns the waveform view shows: its client width less 64.
int DrawingWidth();

// Whether the document's format lets anything be drawn from it at all (a
// hostile header may carry a block align or channel count of 0).
bool DrawableFormat();

// px counts from the plot's left edge. Not clamped.
int64_t PixelToOffset(int64_t px);
// Column (from the plot's left edge) of a byte offset; offsets left of the
// view give negative columns, rounded toward minus infinity so that a
// selection ending left of the view never lands on column 0.
int64_t OffsetToPixel(int64_t offset);

// "%d.%03d": seconds and milliseconds of a byte offset. "0.000" for a
// format without a rate or block align.
std::string FormatTime(int64_t offset);

// One column of the time axis. Several ticks that fall on one column (low
// rates, coarse zoom) are merged: the longest tick, a grid line if any has
// one, the first non-empty label.
struct AxisMark {
  int x = 0;
  int tickBottom = 0;  // last row of the tick below the axis; 0 for no tick
  bool grid = false;   // blue line through the plot
  std::string label;   // written at (x, P + 12) when not empty
};
// The ticks left of the right end of the plot, in order. Empty when the
// rate is below 10 Hz (no tenth of a second to step by) or nothing can be
// drawn. `steps` (may be null) receives how many columns the walk visited:
// one per column at most, however many ticks fall on each.
std::vector<AxisMark> TimeAxisPlan(const WaveGeometry& g, int64_t* steps = nullptr);

// Rows of the nine ticks of the vertical scale, top to bottom. Magnified,
// they stand for the same fractions of the smaller range the lanes show.
std::vector<int> ScaleTickRows(const WaveGeometry& g);
// What the top of a lane stands for when magnified ("1/4" at x4); empty at x1.
std::string VerticalScaleLabel();

// The selection tint: red on columns [xs, xe) of every lane's tint rows,
// red removed from the rest of the plot's columns. xs == xe when the
// selection is not in view (everything loses its red).
struct SelectionTint {
  int xs = kPlotLeft, xe = kPlotLeft;
  struct Rows {
    int top, bottom;  // [top, bottom)
  };
  std::vector<Rows> lanes;
};
SelectionTint ComputeSelectionTint(const WaveGeometry& g);

// Bytes between two samples drawn in one column: (frames per pixel /
// density) frames, at least one frame.
int64_t DrawStep();

}  // namespace kelvora
