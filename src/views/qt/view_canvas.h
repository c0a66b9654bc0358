// What the client areas of both views share: the picture is kept in an
// image that Render() brings up to date, and painting copies the exposed
// part of it to the screen.
#pragma once

#include <QImage>
#include <QWidget>

#include "views/wave_render.h"

namespace kelvora {

class ViewCanvas : public QWidget {
public:
  // Draws whatever is pending and returns the picture.
  virtual const QImage& Render() = 0;

protected:
  // Opaque, following the mouse, with the arrow cursor.
  ViewCanvas(QWidget* parent, const char* name);
  void paintEvent(QPaintEvent* event) override;
};

// A Qt RGB32 image as pixels for the renderers.
PixelBuffer ImagePixels(QImage& image);

}  // namespace kelvora
