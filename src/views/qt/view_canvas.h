// What the client areas of both views share: the picture is kept in an
// image that Render() brings up to date, and painting copies the exposed
// part of it to the screen. On a HiDPI screen the image has the screen's
// device pixels (Scale() per pixel), so lines and text stay sharp.
#pragma once

#include <QImage>
#include <QWidget>

#include "views/wave_render.h"

namespace kelvora {

class ViewCanvas : public QWidget {
public:
  // Draws whatever is pending and returns the picture.
  virtual const QImage& Render() = 0;

  // Device pixels per pixel: the screen's ratio rounded to a whole number.
  int Scale() const;

protected:
  // Opaque, following the mouse, with the arrow cursor.
  ViewCanvas(QWidget* parent, const char* name);
  void paintEvent(QPaintEvent* event) override;
  // Whether `image` is the picture for the widget's size and scale; if not
  // it becomes a new one.
  bool FitImage(QImage& image) const;
};

// A Qt RGB32 image as pixels for the renderers (device pixels).
PixelBuffer ImagePixels(QImage& image);

}  // namespace kelvora
