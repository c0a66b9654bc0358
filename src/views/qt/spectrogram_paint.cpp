#include "views/qt/spectrogram_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include "views/qt/view_canvas.h"
#include "views/spectrogram.h"
#include "views/texts.h"
#include "views/view_logic.h"

namespace kelvora {
namespace {

const QColor kGridBlue(0, 0, 255);
// The waveform's red, laid over at this opacity so that the spectrum
// stays readable through it.
const QColor kTintRed(255, 0, 0, 100);

}  // namespace

TintColumns SpectrogramTint(const WaveGeometry& g) {
  const SelectionTint t = ComputeSelectionTint(g);
  if (t.lanes.empty() || t.xe <= t.xs) return {};
  return {t.xs, t.xe};
}

void PaintSpectrogram(QImage& image, const QRect& area, const WaveGeometry& g, const QFont& font) {
  const int s = static_cast<int>(image.devicePixelRatio());
  RenderSpectrogram(
      ImagePixels(image), g,
      PixelRect{area.left() * s, area.top() * s, (area.right() + 1) * s, (area.bottom() + 1) * s},
      s);
  QPainter p(&image);
  p.setClipRect(area);
  p.setFont(font);
  const SelectionTint tint = ComputeSelectionTint(g);
  for (const AxisMark& m : TimeAxisPlan(g)) {
    if (!m.grid) continue;
    for (const SelectionTint::Rows& lane : tint.lanes)
      p.fillRect(QRect(m.x, lane.top, 1, lane.bottom - lane.top), kGridBlue);
  }
  for (const SelectionTint::Rows& lane : tint.lanes)
    if (tint.xe > tint.xs)
      p.fillRect(QRect(tint.xs, lane.top, tint.xe - tint.xs, lane.bottom - lane.top), kTintRed);

  // The ruler: ticks on the axis line, labels right-aligned against them,
  // each kept inside its lane and clear of the lane's L or R.
  const QFontMetrics fm(font);
  const int textHeight = fm.height();
  p.setPen(Qt::black);
  const char* laneNames[2] = {texts::kLeftLane, texts::kRightLane};
  for (int ch = 0; ch < g.channels && ch < 2 && g.channels >= 2; ++ch)
    p.drawText(QRect(2, g.LaneTop(ch) + 2, kAxisX - 4, textHeight), Qt::AlignLeft | Qt::AlignTop,
               laneNames[ch]);
  for (const RulerMark& m : SpectrogramRuler(g, textHeight + textHeight / 2)) {
    p.fillRect(QRect(40, m.y, 5, 1), Qt::black);
    const int ch = std::clamp((m.y - kPlotTop) / std::max(g.laneHeight, 1), 0, g.channels - 1);
    const int laneTop = g.LaneTop(ch), laneBottom = laneTop + g.laneHeight;
    const int top = std::clamp(m.y - textHeight / 2, laneTop, laneBottom - textHeight);
    if (g.channels >= 2 && top < laneTop + 2 + textHeight) continue;
    p.drawText(QRect(0, top, 38, textHeight), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(m.label));
  }
}

}  // namespace kelvora
