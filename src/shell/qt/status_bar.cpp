#include "shell/qt/status_bar.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "shell/main_window.h"

namespace kelvora {

namespace {
constexpr int kTextMargin = 4;
constexpr int kVerticalPadding = 3;

// The text's own rectangle, as paintEvent draws it.
QRect TextRect(const QRect& part, int index) {
  return part.adjusted(index == 0 ? 0 : 2, 1, 0, -1).adjusted(kTextMargin, 0, -kTextMargin, 0);
}
}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  setObjectName("StatusBar");
}

void StatusBar::SetText(int part, const QString& text) {
  if (part < 0 || part >= kParts || texts_[part] == text) return;
  texts_[part] = text;
  // Part 1 changes with every change of format or length.
  if (part == 1) FitParts();
  update(PartRect(part));
}

void StatusBar::FitParts() {
  const std::vector<std::string> longest = LongestStatusTexts();
  const QFontMetrics fm = fontMetrics();
  std::array<int, kParts - 1> edges{};
  int left = 0;
  for (int part = 0; part < kParts - 1; ++part) {
    // The text's margins, the gap before the panel and its two borders.
    const int need = fm.horizontalAdvance(QString::fromStdString(longest[part])) + 2 * kTextMargin +
                     (part == 0 ? 0 : 2) + 2;
    const int minimum = kRightEdges[part] - (part == 0 ? 0 : kRightEdges[part - 1]);
    left += std::max(need, minimum);
    edges[part] = left;
  }
  if (edges == rightEdges_) return;
  rightEdges_ = edges;
  update();
}

void StatusBar::changeEvent(QEvent* event) {
  QStatusBar::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitParts();
}

QString StatusBar::Text(int part) const {
  return part >= 0 && part < kParts ? texts_[part] : QString();
}

QRect StatusBar::PartRect(int part) const {
  const int left = part == 0 ? 0 : rightEdges_[part - 1];
  const int right = part < kParts - 1 ? rightEdges_[part] : std::max(width(), left);
  return QRect(left, 0, right - left, height());
}

QString StatusBar::TipAt(const QPoint& pos) const {
  for (int part = 0; part < kParts; ++part) {
    if (!PartRect(part).contains(pos)) continue;
    const int room = TextRect(PartRect(part), part).width();
    return fontMetrics().horizontalAdvance(texts_[part]) > room ? texts_[part] : QString();
  }
  return QString();
}

bool StatusBar::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QStatusBar::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = TipAt(help->pos());
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), tip, this);
  return true;
}

QSize StatusBar::sizeHint() const {
  return QSize(rightEdges_.back() + 100, fontMetrics().height() + 2 * kVerticalPadding + 2);
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
    p.drawText(TextRect(PartRect(part), part), Qt::AlignVCenter | Qt::AlignLeft, texts_[part]);
    p.restore();
  }
}

}  // namespace kelvora
