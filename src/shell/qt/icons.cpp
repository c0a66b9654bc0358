#include "shell/qt/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <functional>

namespace kelvora {
namespace {

constexpr int kImageWidth = 16;
constexpr int kImageHeight = 15;
constexpr qreal kScales[] = {1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

const QColor kInk(0x30, 0x36, 0x3d);
const QColor kPlay(0x1e, 0x88, 0x3a);
const QColor kLoop(0x15, 0x65, 0xc0);
const QColor kRecord(0xd3, 0x2f, 0x2f);
const QColor kCursor(0xc6, 0x28, 0x28);

void Triangle(QPainter& p, qreal left, qreal top, qreal right, qreal bottom, const QColor& c) {
  QPainterPath path;
  path.moveTo(left, top);
  path.lineTo(right, (top + bottom) / 2);
  path.lineTo(left, bottom);
  path.closeSubpath();
  p.setPen(QPen(c.darker(140), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(c);
  p.drawPath(path);
}

void Magnifier(QPainter& p, bool plus) {
  p.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10.0, 10.0), QPointF(14.0, 14.0));
  p.setPen(QPen(kInk, 1.3));
  p.setBrush(QColor(0xe3, 0xf2, 0xfd));
  p.drawEllipse(QPointF(6.5, 6.5), 5.0, 5.0);
  p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(4.0, 6.5), QPointF(9.0, 6.5));
  if (plus) p.drawLine(QPointF(6.5, 4.0), QPointF(6.5, 9.0));
}

void DrawImage(QPainter& p, int image) {
  switch (image) {
    case 0:  // play
      Triangle(p, 4.0, 2.0, 13.0, 13.0, kPlay);
      break;
    case 1:  // play from cursor: the cursor line, then play
      p.setPen(QPen(kCursor, 1.6, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(2.5, 1.0), QPointF(2.5, 14.0));
      Triangle(p, 6.0, 2.5, 14.0, 12.5, kPlay);
      break;
    case 2: {  // loop play: a circle of arrow around a small play mark
      p.setPen(QPen(kLoop, 1.6, Qt::SolidLine, Qt::FlatCap));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(2.0, 1.5, 12.0, 12.0), 100 * 16, 290 * 16);
      QPainterPath head;  // arrowhead at the arc's end, pointing along it
      head.moveTo(8.6, 0.0);
      head.lineTo(11.6, 1.6);
      head.lineTo(8.6, 3.6);
      head.closeSubpath();
      p.setPen(Qt::NoPen);
      p.setBrush(kLoop);
      p.drawPath(head);
      Triangle(p, 6.5, 5.0, 10.5, 10.0, kPlay);
      break;
    }
    case 3:  // stop
      p.setPen(QPen(kInk.darker(130), 1.0));
      p.setBrush(kInk);
      p.drawRoundedRect(QRectF(3.5, 3.0, 9.0, 9.0), 1.0, 1.0);
      break;
    case 4:  // record
      p.setPen(QPen(kRecord.darker(140), 1.0));
      p.setBrush(kRecord);
      p.drawEllipse(QPointF(8.0, 7.5), 5.0, 5.0);
      break;
    case 5:
      Magnifier(p, true);
      break;
    case 6:
      Magnifier(p, false);
      break;
    default:
      break;
  }
}

QPixmap Render(qreal scale, int width, int height, const std::function<void(QPainter&)>& draw) {
  QPixmap pm(static_cast<int>(std::ceil(width * scale)),
             static_cast<int>(std::ceil(height * scale)));
  pm.setDevicePixelRatio(scale);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pm;
}

void DrawProgramIcon(QPainter& p, qreal size) {
  const qreal u = size / 32.0;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x0d, 0x1b, 0x4c));
  p.drawRoundedRect(QRectF(1 * u, 1 * u, 30 * u, 30 * u), 5 * u, 5 * u);
  p.setBrush(QColor(0x00, 0x00, 0xc0));
  p.drawRect(QRectF(3 * u, 24 * u, 26 * u, 4 * u));  // the overview strip
  QPainterPath wave;
  for (int i = 0; i <= 48; ++i) {
    const qreal x = 4 + i * 0.5;
    const qreal envelope = std::sin(i * 3.14159 / 48);
    const qreal y = 13 - 8 * envelope * std::sin(i * 0.9);
    if (i == 0)
      wave.moveTo(x * u, y * u);
    else
      wave.lineTo(x * u, y * u);
  }
  p.setPen(QPen(QColor(0x00, 0xff, 0x00), std::max<qreal>(1.0, 1.6 * u), Qt::SolidLine,
                Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(wave);
}

}  // namespace

QIcon ToolbarIcon(int image) {
  QIcon icon;
  for (qreal scale : kScales)
    icon.addPixmap(
        Render(scale, kImageWidth, kImageHeight, [image](QPainter& p) { DrawImage(p, image); }));
  return icon;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addPixmap(Render(1.0, size, size, [size](QPainter& p) { DrawProgramIcon(p, size); }));
  return icon;
}

}  // namespace kelvora
