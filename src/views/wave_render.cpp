#include "views/wave_render.h"

#include <algorithm>
#include <cstdlib>

#include "document/sound_document.h"
#include "views/overview.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

// The bytes that may be read: the data, and never past the block (a paint
// may run while an operation pumps events between changing the length and
// resizing the block).
int64_t ReadableLength(const SoundDocument& doc) {
  return std::min<int64_t>(doc.length, static_cast<int64_t>(doc.data.size()));
}

// Green pixels clipped to one area; lines leave their end point out.
class Pen {
public:
  Pen(const PixelBuffer& b, const PixelRect& area) : b_(b) {
    clip_.left = std::max(area.left, 0);
    clip_.top = std::max(area.top, 0);
    clip_.right = std::min(area.right, b.width);
    clip_.bottom = std::min(area.bottom, b.height);
  }
  bool Empty() const { return clip_.left >= clip_.right || clip_.top >= clip_.bottom; }

  void Set(int x, int y) const {
    if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom)
      b_.pixels[static_cast<ptrdiff_t>(y) * b_.stride + x] = kWaveGreen;
  }

  // From (x, from) toward (x, to), `to` itself left out.
  void Column(int x, int from, int to) const {
    if (x < clip_.left || x >= clip_.right || from == to) return;
    int top = from < to ? from : to + 1;
    int bottom = from < to ? to : from + 1;  // exclusive
    top = std::max(top, clip_.top);
    bottom = std::min(bottom, clip_.bottom);
    for (int y = top; y < bottom; ++y)
      b_.pixels[static_cast<ptrdiff_t>(y) * b_.stride + x] = kWaveGreen;
  }

  void Line(int x0, int y0, int x1, int y1) const {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
      Set(x0, y0);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }

private:
  const PixelBuffer& b_;
  PixelRect clip_;
};

struct Trace {
  const Pen* pen;  // clipped to the channel's lane
  const WaveGeometry& g;
  const uint8_t* base;  // the frame at the view start
  int64_t available;    // bytes from there to the end of the data
  int64_t firstColumn;
  int xEnd;
  int64_t step;
  int64_t columnBytes;  // bytes per column of the geometry
  int align;
  bool lines;
  int scale;  // device columns per column
};

template <class Access>
void TraceChannel(const Access& sa, const Trace& t, int ch) {
  const bool onePerColumn = t.step * t.scale >= t.columnBytes;
  const int left = kPlotLeft * t.scale;
  // Samples are read on the whole view's grid (multiples of the step from
  // the view start), whichever column the area starts at.
  const int64_t firstOffset = t.firstColumn * t.columnBytes / t.scale / t.step * t.step;
  int prevX = static_cast<int>(firstOffset * t.scale / t.columnBytes) + left;
  int32_t low = 100000, high = -100000;
  int penX = 0, penY = 0;
  bool first = true;
  auto y = [&](int32_t v) { return t.g.ValueToY(ch, v, t.scale); };
  for (int64_t o = firstOffset; o + t.align <= t.available; o += t.step) {
    const int x = static_cast<int>(o * t.scale / t.columnBytes) + left;
    const int32_t v = sa.Read(t.base + o, ch);
    if (x >= t.xEnd) {
      // Finish the last column as the wider picture would, so that a strip
      // drawn alone joins its neighbour exactly.
      if (t.lines && !first) {
        if (onePerColumn) {
          t.pen->Line(penX, penY, x, y(v));
        } else {
          t.pen->Column(prevX, y(std::min(low, v)), y(std::max(high, v)) - 1);
        }
      }
      return;
    }
    if (!t.lines) {
      t.pen->Set(x, y(v));
    } else if (onePerColumn) {
      const int yv = y(v);
      if (!first) t.pen->Line(penX, penY, x, yv);
      penX = x;
      penY = yv;
    } else {
      low = std::min(low, v);
      high = std::max(high, v);
      if (x != prevX) {
        // v joins both columns, so neighbouring columns touch.
        t.pen->Column(prevX, y(low), y(high) - 1);
        low = high = v;
      }
    }
    prevX = x;
    first = false;
  }
  // The data ended inside the area: its last column and last point.
  if (t.lines && !first) {
    if (onePerColumn)
      t.pen->Set(penX, penY);
    else
      t.pen->Column(prevX, y(low), y(high) - 1);
  }
}

}  // namespace

void RenderWaveform(const PixelBuffer& buffer, const WaveGeometry& g, const PixelRect& area,
                    int scale) {
  SoundDocument& doc = Doc();
  if (!DrawableFormat() || doc.viewStart < 0 || ReadableLength(doc) <= doc.viewStart) return;
  scale = std::max(scale, 1);
  if (Pen(buffer, area).Empty()) return;
  const int64_t x0 = std::max(0, area.left - kPlotLeft * scale);
  const int64_t align = doc.format.nBlockAlign;
  // The same number of samples per device column as per column at scale 1.
  int64_t step = DrawStep();
  if (scale > 1) {
    step = View().framesPerPixel / (int64_t{EffectiveDensity()} * scale) * align;
    if (step == 0) step = align;
  }
  Trace t{nullptr, g, doc.bytes() + doc.viewStart, ReadableLength(doc) - doc.viewStart,
          // One column early: the line into the area's first column starts there.
          std::max<int64_t>(0, x0 - 1), std::min(area.right, g.plotRight * scale), step,
          int64_t{View().framesPerPixel} * align, doc.format.nBlockAlign, View().displayMode != 0,
          scale};
  const SampleAccess sa = Samples();
  for (int ch = 0; ch < doc.format.nChannels; ++ch) {
    // A magnified trace is cut off at the edges of its lane.
    const int top = g.LaneTop(ch) * scale, bottom = (g.LaneTop(ch) + g.laneHeight) * scale;
    const Pen lanePen(buffer, PixelRect{area.left, std::max(area.top, top), area.right,
                                        std::min(area.bottom, bottom)});
    if (lanePen.Empty()) continue;
    t.pen = &lanePen;
    TraceChannel(sa, t, ch);
  }
}

void RenderOverview(const PixelBuffer& buffer, int scale) {
  scale = std::max(scale, 1);
  const int left = kOverviewMargin * scale, right = buffer.width - kOverviewMargin * scale;
  for (int y = 0; y < buffer.height; ++y)
    for (int x = left; x < right; ++x)
      buffer.pixels[static_cast<ptrdiff_t>(y) * buffer.stride + x] = kOverviewBlue;
  SoundDocument& doc = Doc();
  const int w = right - left;
  if (w <= 0 || doc.length <= 0 || !DrawableFormat()) return;
  const int h = buffer.height;
  const int align = doc.format.nBlockAlign;
  const int channels = doc.format.nChannels;
  const double length = doc.length;
  const int64_t readable = ReadableLength(doc);
  const uint8_t* data = doc.bytes();
  const SampleAccess sa = Samples();
  const int64_t reads = int64_t{w} * kOverviewReadsPerColumn;
  for (int64_t j = 0; j < reads; ++j) {
    int64_t offset = static_cast<int64_t>(j * length / w / kOverviewReadsPerColumn);
    offset -= offset % align;
    if (offset + align > readable) continue;
    const int x = static_cast<int>(j / kOverviewReadsPerColumn) + left;
    for (int ch = 0; ch < channels; ++ch) {
      const int64_t v = sa.Read(data + offset, ch);
      const int64_t y = h / 2 - ((h - 4 * scale) * v) / 65536;
      if (y >= 0 && y < h) buffer.pixels[y * buffer.stride + x] = kWaveGreen;
    }
  }
}

}  // namespace kelvora
