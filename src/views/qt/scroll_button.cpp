#include "views/qt/scroll_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace kelvora {

bool ScrollButton::held_ = false;

ScrollButton::ScrollButton(QWidget* parent, int id, const QPixmap& icon)
    : QWidget(parent), id_(id), icon_(icon) {
  setObjectName(QStringLiteral("ScrollButton%1").arg(id));
  setCursor(Qt::ArrowCursor);
  setGeometry(0, 0, 0, 0);
  show();
}

QPixmap ScrollButton::ArrowIcon(bool right) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath path;  // a small solid triangle in the middle: only 16 columns show
  const qreal tip = right ? 20.5 : 11.5, base = right ? 12.5 : 19.5;
  path.moveTo(base, 10.5);
  path.lineTo(tip, 16.0);
  path.lineTo(base, 21.5);
  path.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPath(path);
  return pixmap;
}

void ScrollButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, palette().color(QPalette::Button));
  const QColor topLeft = pressed_ ? Qt::black : Qt::white;
  const QColor bottomRight = pressed_ ? Qt::white : Qt::black;
  p.fillRect(QRect(0, 0, r.width(), 1), topLeft);
  p.fillRect(QRect(0, 0, 1, r.height()), topLeft);
  p.fillRect(QRect(0, r.height() - 1, r.width(), 1), bottomRight);
  p.fillRect(QRect(r.width() - 1, 0, 1, r.height()), bottomRight);
  const int shift = pressed_ ? 1 : 0;
  p.drawPixmap(r.width() / 2 - 16 + shift, r.height() / 2 - 16 + shift, icon_);
}

void ScrollButton::SetPressed(bool pressed) {
  pressed_ = pressed;
  update();
  emit Notify(id_, pressed ? 1 : 0);
}

void ScrollButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = true;  // the press holds the mouse until the release (Qt's grab)
  SetPressed(true);
}

void ScrollButton::mouseMoveEvent(QMouseEvent* event) {
  if (!held_) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside != pressed_) SetPressed(inside);
}

void ScrollButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = false;
  if (pressed_)
    SetPressed(false);
  else
    update();
}

}  // namespace kelvora
