#include "views/qt/view_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kelvora {

ViewCanvas::ViewCanvas(QWidget* parent, const char* name) : QWidget(parent) {
  setObjectName(name);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setCursor(Qt::ArrowCursor);
}

int ViewCanvas::Scale() const {
  return std::max(1, static_cast<int>(std::lround(devicePixelRatioF())));
}

bool ViewCanvas::FitImage(QImage& image) const {
  const int scale = Scale();
  const QSize pixels = size().expandedTo(QSize(1, 1)) * scale;
  if (image.size() == pixels && image.devicePixelRatio() == scale) return true;
  image = QImage(pixels, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  return false;
}

void ViewCanvas::paintEvent(QPaintEvent* event) {
  const QImage& picture = Render();
  QPainter p(this);
  const QRect r = event->rect();
  const int scale = static_cast<int>(picture.devicePixelRatio());
  p.drawImage(r, picture, QRect(r.topLeft() * scale, r.size() * scale));
}

PixelBuffer ImagePixels(QImage& image) {
  return PixelBuffer{reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                     static_cast<int>(image.bytesPerLine() / 4)};
}

}  // namespace kelvora
