// The overview: the whole sound squeezed into the view's width, the frame
// of the stretch the waveform view shows, the played part, and a scroll
// button at each end. The dots are drawn once per change of the data or
// size and kept; a new frame or play position only recolours a copy.
#pragma once

#include <QFrame>
#include <QImage>

#include "views/qt/view_canvas.h"
#include "views/qt/view_wheel.h"

class QTimer;

namespace kelvora {

class ScrollButton;

// The client area of the overview.
class OverviewCanvas : public ViewCanvas {
public:
  explicit OverviewCanvas(QWidget* parent);

  ScrollButton* LeftButton() const { return left_; }
  ScrollButton* RightButton() const { return right_; }

  // The data changed: the dots are drawn again at the next paint.
  void InvalidateAll();
  void ViewFrameChanged();
  void DrawPlayPosition(double fraction);
  const QImage& Render() override;

protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  ViewWheel wheel_;
  QImage dots_;  // background and waveform
  bool dotsValid_ = false;
  QImage picture_;  // with the frame and played part on top
  int playX_ = 0;   // the played part reaches up to here (exclusive)
  ScrollButton* left_ = nullptr;
  ScrollButton* right_ = nullptr;
};

class OverviewView : public QFrame {
public:
  explicit OverviewView(QWidget* parent = nullptr);

  OverviewCanvas* Canvas() const { return canvas_; }

  void RepaintAll() { canvas_->InvalidateAll(); }
  void ViewFrameChanged() { canvas_->ViewFrameChanged(); }
  void DrawPlayPosition(double fraction) { canvas_->DrawPlayPosition(fraction); }
  QImage Picture() { return canvas_->Render(); }

private:
  OverviewCanvas* canvas_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace kelvora
