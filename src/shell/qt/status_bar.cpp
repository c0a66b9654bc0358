#include "shell/qt/status_bar.h"

#include <QPainter>

namespace kelvora {

namespace {
constexpr int kTextMargin = 4;
constexpr int kVerticalPadding = 3;
}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  setObjectName("StatusBar");
}

void StatusBar::SetText(int part, const QString& text) {
  if (part < 0 || part >= kParts || texts_[part] == text) return;
  texts_[part] = text;
  update(PartRect(part));
}

QString StatusBar::Text(int part) const {
  return part >= 0 && part < kParts ? texts_[part] : QString();
}

QRect StatusBar::PartRect(int part) const {
  const int left = part == 0 ? 0 : kRightEdges[part - 1];
  const int right = part < kParts - 1 ? kRightEdges[part] : std::max(width(), left);
  return QRect(left, 0, right - left, height());
}

QSize StatusBar::sizeHint() const {
  return QSize(kRightEdges.back() + 100, fontMetrics().height() + 2 * kVerticalPadding + 2);
}

QSize StatusBar::minimumSizeHint() const { return QSize(0, sizeHint().height()); }

void StatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  for (int part = 0; part < kParts; ++part) {
    // Parts stand two pixels apart, each a sunken panel.
    QRect r = PartRect(part).adjusted(part == 0 ? 0 : 2, 1, 0, -1);
    if (r.width() <= 0) continue;
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(palette().color(QPalette::WindowText));
    p.save();
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    p.drawText(r.adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignVCenter | Qt::AlignLeft,
               texts_[part]);
    p.restore();
  }
}

}  // namespace kelvora
