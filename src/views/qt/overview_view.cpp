#include "views/qt/overview_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "views/overview.h"
#include "views/qt/scroll_button.h"
#include "views/view_state.h"
#include "views/wave_render.h"

namespace kelvora {
namespace {

const QColor kFrameRed(192, 0, 0);
const QColor kPlayRed(255, 0, 0);

}  // namespace

OverviewCanvas::OverviewCanvas(QWidget* parent) : ViewCanvas(parent, "OverviewCanvas") {
  right_ = new ScrollButton(this, kRightScrollButton, ScrollButton::ArrowIcon(true));
  left_ = new ScrollButton(this, kLeftScrollButton, ScrollButton::ArrowIcon(false));
  for (ScrollButton* b : {right_, left_})
    connect(b, &ScrollButton::Notify, this,
            [](int id, int pressed) { ScrollButtonNotify(id, pressed != 0); });
}

void OverviewCanvas::InvalidateAll() {
  dotsValid_ = false;
  update();
}

void OverviewCanvas::ViewFrameChanged() {
  playX_ = 0;  // the new frame is drawn over a clean area
  update();
}

void OverviewCanvas::DrawPlayPosition(double fraction) {
  playX_ = std::max(playX_, PlayPositionX(fraction));
  update();
}

void OverviewCanvas::resizeEvent(QResizeEvent*) {
  View().overviewWidth = width();
  View().overviewHeight = height();
  left_->Move(QRect(0, 0, kOverviewMargin, height()));
  right_->Move(QRect(width() - kOverviewMargin, 0, kOverviewMargin, height()));
  InvalidateAll();
}

const QImage& OverviewCanvas::Render() {
  if (!FitImage(dots_) || !dotsValid_) {
    dots_.fill(palette().color(QPalette::Button));
    RenderOverview(ImagePixels(dots_), static_cast<int>(dots_.devicePixelRatio()));
    dotsValid_ = true;
  }
  picture_ = dots_.copy();
  QPainter p(&picture_);
  const int h = height();
  const ViewFrameRect frame = ComputeViewFrame();
  if (frame.visible) {
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.fillRect(QRect(frame.x1, 0, frame.x2 - frame.x1, h), kFrameRed);
  }
  if (playX_ > kOverviewMargin) {
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.fillRect(QRect(kOverviewMargin, 0, playX_ - kOverviewMargin, h), kPlayRed);
  }
  return picture_;
}

void OverviewCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OverviewMouseDown(event->position().toPoint().x());
}

void OverviewCanvas::mouseMoveEvent(QMouseEvent* event) {
  OverviewMouseMove(event->position().toPoint().x());
}

void OverviewCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OverviewMouseUp();
}

void OverviewCanvas::wheelEvent(QWheelEvent* event) { wheel_.Handle(event, -1); }

OverviewView::OverviewView(QWidget* parent) : QFrame(parent) {
  setObjectName("OverviewWnd");
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  canvas_ = new OverviewCanvas(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(canvas_);
  // Repeats the scrolling while a scroll button is held.
  timer_ = new QTimer(this);
  timer_->setInterval(kScrollRepeatMs);
  connect(timer_, &QTimer::timeout, this, [] { ScrollRepeatTick(); });
  timer_->start();
}

}  // namespace kelvora
