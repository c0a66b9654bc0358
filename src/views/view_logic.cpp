#include "views/view_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/sound_document.h"
#include "views/texts.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

// Division rounding toward minus infinity (b > 0).
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

std::string Printf(const char* format, int a) {
  char text[32];
  std::snprintf(text, sizeof text, format, a);
  return text;
}

std::string Printf(const char* format, int a, int b) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// The label of tick k (a tenth of a second each) at this zoom.
std::string TickLabel(int64_t k, int32_t fpp) {
  const int seconds = static_cast<int>(k / 10);
  const int tenth = static_cast<int>(k % 10);
  if (fpp < 64) return Printf(texts::kTenthsLabelFormat, seconds, tenth);
  if (tenth != 0) return std::string();
  if (fpp < 256) return Printf(texts::kSecondsLabelFormat, seconds);
  if (fpp < 1024) return seconds % 2 == 0 ? Printf(texts::kSecondsLabelFormat, seconds) : "";
  return seconds % 4 == 0 ? Printf(texts::kSecondsLabelFormat, seconds) : "";
}

void AddTick(AxisMark& mark, int64_t k, int32_t fpp, int plotBottom) {
  const bool whole = k % 10 == 0;
  if (mark.x >= kPlotLeft)
    mark.tickBottom = std::max(mark.tickBottom, plotBottom + (whole ? 12 : 10));
  if (!whole && fpp >= 64) return;  // tenths at coarse zoom get a tick only
  if (mark.x >= kPlotLeft) mark.grid = true;
  if (mark.x >= 0 && mark.label.empty()) mark.label = TickLabel(k, fpp);
}

}  // namespace

int WaveGeometry::ValueToY(int ch, int32_t v, int scale) const {
  const int64_t n = channels;
  const int64_t h = int64_t{plotHeight} * scale;
  return static_cast<int>(h / (2 * n) + (ch * h) / n + kPlotTop * scale -
                          ((h - 4 * scale) * v * View().verticalZoom) / (n * 65536));
}

bool DrawableFormat() {
  const SoundFormat& f = Doc().format;
  return f.nBlockAlign != 0 && f.nChannels != 0 && Doc().bytesPerChannelSample != 0;
}

WaveGeometry CurrentWaveGeometry() {
  const ViewState& v = View();
  WaveGeometry g;
  g.right = v.clientWidth;
  g.bottom = v.clientHeight;
  g.plotRight = g.right - kRightMargin;
  g.plotBottom = g.bottom - (v.textHeight + 10);
  g.plotHeight = g.plotBottom - kPlotTop;
  g.channels = std::max<int>(1, Doc().format.nChannels);
  g.laneHeight = g.plotHeight / g.channels;
  g.drawingWidth = DrawingWidth();
  return g;
}

int DrawingWidth() { return View().clientWidth - kDrawingWidthLess; }

int64_t DrawStep() {
  const int64_t align = Doc().format.nBlockAlign;
  const int64_t step = (View().framesPerPixel / EffectiveDensity()) * align;
  return step != 0 ? step : align;
}

int64_t PixelToOffset(int64_t px) {
  return px * View().framesPerPixel * Doc().format.nBlockAlign + Doc().viewStart;
}

int64_t OffsetToPixel(int64_t offset) {
  const int64_t align = Doc().format.nBlockAlign;
  if (align == 0) return 0;
  return FloorDiv(FloorDiv(offset - Doc().viewStart, align), View().framesPerPixel);
}

std::string FormatTime(int64_t offset) {
  const SoundFormat& f = Doc().format;
  int64_t ms = 0;
  if (f.nBlockAlign != 0 && f.nSamplesPerSec != 0 && offset > 0) {
    offset = std::min<int64_t>(offset, INT32_MAX);
    ms = static_cast<int64_t>(static_cast<double>(offset) * 1000.0 / f.nBlockAlign /
                              f.nSamplesPerSec);
  }
  char text[32];
  std::snprintf(text, sizeof text, texts::kTimeFormat, static_cast<int>(ms / 1000),
                static_cast<int>(ms % 1000));
  return text;
}

std::vector<AxisMark> TimeAxisPlan(const WaveGeometry& g, int64_t* steps) {
  std::vector<AxisMark> marks;
  int64_t visited = 0;
  if (steps != nullptr) *steps = 0;
  const int64_t spacing = Doc().format.nSamplesPerSec / 10;  // frames per tick
  if (spacing == 0 || !DrawableFormat()) return marks;
  const int64_t fpp = View().framesPerPixel;
  const int64_t align = Doc().format.nBlockAlign;
  // Column of time 0 is -shift; ticks further left than the client's left
  // edge draw nothing, so the walk starts just before the first visible one.
  const int64_t shift = (int64_t{Doc().viewStart} / fpp) / align;
  int64_t k = 0;
  if (shift - kPlotLeft > 0) k = std::max<int64_t>(0, (shift - kPlotLeft) * fpp / spacing - 1);
  for (;; ++visited) {
    const int64_t px = k * spacing / fpp;
    const int64_t x = px - shift + kPlotLeft;
    if (x >= g.plotRight) break;
    // Every tick up to kEnd falls on this column.
    const int64_t kEnd = std::max(k + 1, CeilDiv((px + 1) * fpp, spacing));
    AxisMark mark;
    mark.x = static_cast<int>(x);
    AddTick(mark, k, static_cast<int32_t>(fpp), g.plotBottom);
    // Whole seconds in the column; their labels repeat every four seconds.
    int64_t second = CeilDiv(k, 10) * 10;
    if (second == k) second += 10;
    for (int n = 0; n < 4 && second < kEnd; ++n, second += 10)
      AddTick(mark, second, static_cast<int32_t>(fpp), g.plotBottom);
    if (mark.tickBottom != 0 || mark.grid || !mark.label.empty()) marks.push_back(mark);
    k = kEnd;
  }
  if (steps != nullptr) *steps = visited;
  return marks;
}

std::vector<int> ScaleTickRows(const WaveGeometry& g) {
  std::vector<int> rows;
  for (int j = 0; j <= 8; ++j) rows.push_back(kPlotTop + j * g.plotHeight / 8);
  return rows;
}

std::string VerticalScaleLabel() {
  const int zoom = View().verticalZoom;
  return zoom > 1 ? Printf(texts::kVerticalScaleFormat, zoom) : std::string();
}

SelectionTint ComputeSelectionTint(const WaveGeometry& g) {
  SelectionTint tint;
  const SoundDocument& doc = Doc();
  if (doc.length <= 0 || !DrawableFormat() || g.plotRight <= kPlotLeft) return tint;
  for (int ch = 0; ch < g.channels; ++ch) {
    const int top = g.LaneTop(ch) + 2;
    const int bottom = g.LaneTop(ch) + g.laneHeight - 2;
    if (bottom > top) tint.lanes.push_back({top, bottom});
  }
  int64_t xs = OffsetToPixel(doc.selStart) + kPlotLeft;
  int64_t xe = OffsetToPixel(doc.selEnd) + kPlotLeft;
  if (xe < xs) std::swap(xs, xe);
  if (xe < kPlotLeft || xs >= g.plotRight) return tint;  // out of view: no red anywhere
  if (xs + 2 >= xe) xe += 3;                             // an empty selection shows as a narrow bar
  tint.xs = static_cast<int>(std::max<int64_t>(xs, kPlotLeft));
  tint.xe = static_cast<int>(std::min<int64_t>(xe, g.plotRight));
  return tint;
}

}  // namespace kelvora
