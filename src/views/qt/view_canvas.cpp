#include "views/qt/view_canvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace kelvora {

ViewCanvas::ViewCanvas(QWidget* parent, const char* name) : QWidget(parent) {
  setObjectName(name);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setCursor(Qt::ArrowCursor);
}

void ViewCanvas::paintEvent(QPaintEvent* event) {
  const QImage& picture = Render();
  QPainter p(this);
  p.drawImage(event->rect(), picture, event->rect());
}

PixelBuffer ImagePixels(QImage& image) {
  return PixelBuffer{reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                     static_cast<int>(image.bytesPerLine() / 4)};
}

}  // namespace kelvora
