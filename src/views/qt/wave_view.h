// The waveform view: the plot with its time axis and selection tint, the
// mouse selection, and the horizontal scroll bar (0..100). The picture is
// kept in an image: painting draws only what changed into it and copies it
// to the screen, and a scroll shifts it and draws the uncovered strip.
#pragma once

#include <QFrame>
#include <QImage>
#include <QRegion>

#include "views/qt/spectrogram_paint.h"
#include "views/qt/view_canvas.h"
#include "views/qt/view_wheel.h"

class QScrollBar;

namespace kelvora {

struct WaveGeometry;

// The client area of the view.
class WaveCanvas : public ViewCanvas {
public:
  explicit WaveCanvas(QWidget* parent);
  ~WaveCanvas() override;

  void InvalidateAll();
  // The view start moved right by `columns` whole columns.
  void ScrollColumns(int columns);
  void ClearPlayBand();
  // The playhead on column `x`, -1 for none: laid over the picture, so
  // moving it repaints the two columns only.
  void DrawPlayhead(int x);
  int PlayheadX() const { return playheadX_; }
  const QImage& Render() override;
  // Draws the spectrogram columns the workers have finished.
  void SpectrogramReady();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  void PaintArea(const QRect& area, const WaveGeometry& g);
  void PaintTimeAxis(QPainter& p, const WaveGeometry& g);
  void ApplySelectionTint(const WaveGeometry& g);

  QImage image_;
  QRegion dirty_;  // parts of image_ to draw again
  // The spectrogram's picture carries the selection's red on these columns.
  TintColumns spectrogramTint_;
  ViewWheel wheel_;
  int playheadX_ = -1;
};

class WaveView : public QFrame {
  Q_OBJECT

public:
  explicit WaveView(QWidget* parent = nullptr);

  WaveCanvas* Canvas() const { return canvas_; }
  QScrollBar* ScrollBar() const { return bar_; }

  // What the engine asks of the view.
  void RepaintAll() { canvas_->InvalidateAll(); }
  void SelectionChanged();
  void ScrollColumns(int columns) { canvas_->ScrollColumns(columns); }
  void SetScrollPosition(int position);
  void ClearPlayBand() { canvas_->ClearPlayBand(); }
  void DrawPlayhead(int x) { canvas_->DrawPlayhead(x); }

  // The picture with everything pending drawn (tests, screenshots).
  QImage Picture() { return canvas_->Render(); }

private:
  void OnScrollAction(int action);
  void OnSliderReleased();
  // Puts the thumb where the engine last set it.
  void RestoreThumb();

  WaveCanvas* canvas_ = nullptr;
  QScrollBar* bar_ = nullptr;
  int position_ = 0;
};

}  // namespace kelvora
