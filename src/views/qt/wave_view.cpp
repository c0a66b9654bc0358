#include "views/qt/wave_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstring>

#include "document/sound_document.h"
#include "views/spectrogram.h"
#include "views/texts.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"
#include "views/wave_render.h"

namespace kelvora {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kLightGrey(192, 192, 192);
const QColor kPlayhead(255, 255, 255);  // apart from every colour of the waveform

bool HasData() { return Doc().length > 0 && DrawableFormat(); }

// The canvas the spectrogram's workers report to: the latest one made.
WaveCanvas* g_spectrogramCanvas = nullptr;

}  // namespace

WaveCanvas::WaveCanvas(QWidget* parent) : ViewCanvas(parent, "WaveCanvas") {
  setFocusPolicy(Qt::ClickFocus);
  g_spectrogramCanvas = this;
  // Called on a worker thread: the columns are collected on this one.
  SetSpectrogramWakeup([this] {
    QMetaObject::invokeMethod(
        this, [this] { SpectrogramReady(); }, Qt::QueuedConnection);
  });
}

WaveCanvas::~WaveCanvas() {
  if (g_spectrogramCanvas != this) return;
  SetSpectrogramWakeup(nullptr);
  g_spectrogramCanvas = nullptr;
}

void WaveCanvas::SpectrogramReady() {
  const WaveGeometry g = CurrentWaveGeometry();
  for (const ColumnSpan& c : CollectSpectrogramColumns())
    dirty_ += QRect(kPlotLeft + c.left, kPlotTop, c.right - c.left, g.plotHeight);
  if (!dirty_.isEmpty()) update();
}

void WaveCanvas::InvalidateAll() {
  dirty_ = rect();
  update();
}

void WaveCanvas::resizeEvent(QResizeEvent*) {
  ViewState& v = View();
  v.clientWidth = width();
  v.clientHeight = height();
  const QFontMetrics fm = fontMetrics();
  v.textHeight = fm.height() + std::max(0, fm.leading());
  InvalidateAll();
}

const QImage& WaveCanvas::Render() {
  if (!FitImage(image_)) dirty_ = rect();
  const WaveGeometry g = CurrentWaveGeometry();
  const bool spectrogram = SpectrogramShown();
  if (spectrogram) {
    // The red is painted with the spectrogram: where it moved, paint again.
    const TintColumns tint = SpectrogramTint(g);
    if (tint != spectrogramTint_)
      for (const TintColumns& c : {spectrogramTint_, tint})
        if (c.right > c.left) dirty_ += QRect(c.left, kPlotTop, c.right - c.left, g.plotHeight);
    spectrogramTint_ = tint;
  }
  if (!dirty_.isEmpty()) {
    const QRegion todo = dirty_ & QRegion(image_.rect());
    dirty_ = QRegion();
    for (const QRect& area : todo) PaintArea(area, g);
  }
  // Depends on the selection alone, so it is simply laid on again.
  if (!spectrogram) ApplySelectionTint(g);
  return image_;
}

void WaveCanvas::PaintArea(const QRect& area, const WaveGeometry& g) {
  const int plotWidth = g.plotRight - kPlotLeft;
  const bool spectrogram = SpectrogramShown();
  {
    QPainter p(&image_);
    p.setClipRect(area);
    p.setFont(font());
    const QColor face = palette().color(QPalette::Button);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    p.fillRect(area, face);
    if (plotWidth > 0 && g.plotHeight > 0)
      p.fillRect(QRect(kPlotLeft, kPlotTop, plotWidth, g.plotHeight), Qt::black);
    // A sunken frame around the plot.
    p.fillRect(QRect(kPlotLeft - 1, kPlotTop - 1, plotWidth + 2, 1), shadow);
    p.fillRect(QRect(kPlotLeft - 1, kPlotTop - 1, 1, g.plotHeight + 2), shadow);
    p.fillRect(QRect(g.plotRight, kPlotTop - 1, 1, g.plotHeight + 2), light);
    p.fillRect(QRect(kPlotLeft - 1, g.plotBottom, plotWidth + 2, 1), light);
    PaintTimeAxis(p, g);
    if (!HasData()) return;
    const int n = g.channels;
    for (int k = n - 1; k >= 1; --k) {  // raised bars between lanes
      const int y = g.laneHeight * k + kPlotTop;
      p.fillRect(QRect(kPlotLeft, y - 2, plotWidth, 1), light);
      p.fillRect(QRect(kPlotLeft, y - 1, plotWidth, 3), face);
      p.fillRect(QRect(kPlotLeft, y + 2, plotWidth, 1), shadow);
    }
    // The spectrogram has no centre lines, and names its lanes itself.
    for (int k = n; k >= 1 && !spectrogram; --k) {
      const int y = g.laneHeight * (k - 1) + g.laneHeight / 2 + kPlotTop;
      p.fillRect(QRect(kPlotLeft, y, plotWidth, 1), kBlue);
    }
    if (n >= 2 && !spectrogram) {
      p.setPen(Qt::black);
      p.drawText(QRect(0, kPlotTop, kPlotLeft, g.laneHeight), Qt::AlignCenter, texts::kLeftLane);
      p.drawText(QRect(0, kPlotTop + g.laneHeight, kPlotLeft, g.laneHeight), Qt::AlignCenter,
                 texts::kRightLane);
    }
  }
  if (spectrogram && HasData()) {
    PaintSpectrogram(image_, area, g, font());
  } else if (HasData()) {
    const int s = static_cast<int>(image_.devicePixelRatio());
    RenderWaveform(
        ImagePixels(image_), g,
        PixelRect{area.left() * s, area.top() * s, (area.right() + 1) * s, (area.bottom() + 1) * s},
        s);
  }
}

void WaveCanvas::PaintTimeAxis(QPainter& p, const WaveGeometry& g) {
  const int plotWidth = g.plotRight - kPlotLeft;
  const int p0 = g.plotBottom;
  p.fillRect(QRect(kAxisX, kPlotTop, 1, g.plotHeight + 1), Qt::black);
  p.fillRect(QRect(kPlotLeft, p0 + 8, plotWidth + 1, 1), Qt::black);
  p.fillRect(QRect(0, p0 + 9, width(), height() - (p0 + 9)), kLightGrey);
  p.setPen(Qt::black);
  const int ascent = p.fontMetrics().ascent();
  for (const AxisMark& m : TimeAxisPlan(g)) {
    if (m.tickBottom != 0)
      p.fillRect(QRect(m.x, p0 + 8, 1, m.tickBottom - (p0 + 8) + 1), Qt::black);
    if (!m.label.empty())
      p.drawText(QPoint(m.x, p0 + 12 + ascent), QString::fromStdString(m.label));
    if (m.grid) p.fillRect(QRect(m.x, kPlotTop, 1, g.plotHeight), kBlue);
  }
  if (SpectrogramShown()) return;  // the frequency ruler instead
  for (int row : ScaleTickRows(g)) p.fillRect(QRect(40, row, 5, 1), Qt::black);
  const QString label = QString::fromStdString(VerticalScaleLabel());
  if (label.isEmpty() || !HasData()) return;
  for (int ch = 0; ch < g.channels; ++ch)
    p.drawText(QRect(0, g.LaneTop(ch) + 1, kAxisX - 6, g.laneHeight / 2),
               Qt::AlignRight | Qt::AlignTop, label);
}

void WaveCanvas::ApplySelectionTint(const WaveGeometry& g) {
  const SelectionTint t = ComputeSelectionTint(g);
  if (t.lanes.empty()) return;
  QPainter p(&image_);
  for (const SelectionTint::Rows& lane : t.lanes) {
    const int h = lane.bottom - lane.top;
    p.setCompositionMode(QPainter::RasterOp_NotSourceAndDestination);  // red removed
    p.fillRect(QRect(kPlotLeft, lane.top, t.xs - kPlotLeft, h), kRed);
    p.fillRect(QRect(t.xe, lane.top, g.plotRight - t.xe, h), kRed);
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);  // red added
    p.fillRect(QRect(t.xs, lane.top, t.xe - t.xs, h), kRed);
  }
}

void WaveCanvas::ScrollColumns(int columns) {
  if (columns == 0) return;
  Render();
  const WaveGeometry g = CurrentWaveGeometry();
  const int width = g.plotRight - kPlotLeft;
  const int top = kPlotTop, bottom = height();
  if (width <= 0 || bottom <= top) return;
  if (std::abs(columns) >= width) {
    dirty_ += QRect(kPlotLeft, top, width, bottom - top);
  } else {
    // The picture moves left when the view start moves right; the image
    // has `s` device pixels per pixel.
    const int s = static_cast<int>(image_.devicePixelRatio());
    const int kept = (width - std::abs(columns)) * s, shift = columns * s;
    for (int y = top * s; y < bottom * s; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image_.scanLine(y)) + kPlotLeft * s;
      if (shift > 0)
        std::memmove(row, row + shift, kept * sizeof(uint32_t));
      else
        std::memmove(row - shift, row, kept * sizeof(uint32_t));
    }
    const int stripLeft = columns > 0 ? g.plotRight - columns : kPlotLeft;
    dirty_ += QRect(stripLeft, top, std::abs(columns), bottom - top);
  }
  // The spectrogram's red moved with its picture.
  TintColumns& t = spectrogramTint_;
  t = {std::max(t.left - columns, kPlotLeft), std::min(t.right - columns, g.plotRight)};
  if (t.right <= t.left) t = {};
  // Labels reach past the plot's ends; the strip under it is cheap to redo.
  dirty_ += QRect(0, g.plotBottom + 8, this->width(), bottom - (g.plotBottom + 8));
  update();
}

void WaveCanvas::ClearPlayBand() {
  Render();
  const WaveGeometry g = CurrentWaveGeometry();
  const QRect band(0, g.plotBottom + 4, width(), 4);
  QPainter(&image_).fillRect(band, kLightGrey);
  update(band);
}

namespace {

QRect PlayheadRect(int x) {
  const WaveGeometry g = CurrentWaveGeometry();
  return QRect(x, kPlotTop, 1, std::max(g.plotHeight, 0));
}

}  // namespace

void WaveCanvas::DrawPlayhead(int x) {
  if (x == playheadX_) return;
  if (playheadX_ >= 0) update(PlayheadRect(playheadX_));
  playheadX_ = x;
  if (x >= 0) update(PlayheadRect(x));
}

void WaveCanvas::paintEvent(QPaintEvent* event) {
  ViewCanvas::paintEvent(event);
  if (playheadX_ < 0) return;
  const QRect line = PlayheadRect(playheadX_) & event->rect();
  if (!line.isEmpty()) QPainter(this).fillRect(line, kPlayhead);
}

void WaveCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  WaveMouseDown(pos.x(), pos.y());
}

void WaveCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  WaveMouseMove(pos.x(), pos.y(), (event->buttons() & Qt::LeftButton) != 0);
}

void WaveCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  WaveMouseUp(pos.x(), pos.y());
}

void WaveCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  WaveDoubleClick();
}

void WaveCanvas::wheelEvent(QWheelEvent* event) {
  wheel_.Handle(event, std::max(0, event->position().toPoint().x() - kPlotLeft));
}

WaveView::WaveView(QWidget* parent) : QFrame(parent) {
  setObjectName("WaveWnd");
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  canvas_ = new WaveCanvas(this);
  bar_ = new QScrollBar(Qt::Horizontal, this);
  bar_->setObjectName("WaveScrollBar");
  bar_->setRange(0, 100);
  bar_->setSingleStep(1);
  bar_->setPageStep(10);
  bar_->setFocusPolicy(Qt::NoFocus);
  bar_->setContextMenuPolicy(Qt::NoContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(canvas_, 1);
  layout->addWidget(bar_);
  connect(bar_, &QAbstractSlider::actionTriggered, this, &WaveView::OnScrollAction);
  connect(bar_, &QAbstractSlider::sliderReleased, this, &WaveView::OnSliderReleased);
}

void WaveView::SelectionChanged() { canvas_->update(); }

void WaveView::SetScrollPosition(int position) {
  position_ = position;
  // A thumb under the pointer stays there until it is released.
  if (!bar_->isSliderDown()) RestoreThumb();
}

void WaveView::RestoreThumb() {
  const QSignalBlocker block(bar_);
  bar_->setValue(position_);
}

void WaveView::OnScrollAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      WaveScrollColumns(-kLineColumns);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      WaveScrollColumns(kLineColumns);
      break;
    case QAbstractSlider::SliderPageStepSub:
      WaveScrollColumns(-kPageColumns);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      WaveScrollColumns(kPageColumns);
      break;
    case QAbstractSlider::SliderMove:
      if (bar_->isSliderDown()) {
        if (View().trackMode) WaveScrollThumb(bar_->sliderPosition());
        return;  // the thumb follows the pointer
      }
      // The wheel over the bar: a line step its way.
      if (bar_->sliderPosition() != position_)
        WaveScrollColumns(bar_->sliderPosition() < position_ ? -kLineColumns : kLineColumns);
      break;
    default:
      break;
  }
  // The bar itself never moves the thumb; the view start does.
  RestoreThumb();
}

void WaveView::OnSliderReleased() {
  WaveScrollThumb(bar_->sliderPosition());
  RestoreThumb();
}

}  // namespace kelvora
