// A flat push button with an icon that reports press and release to its
// owner; the overview's two ends. Leaving the button while it is held
// counts as a release, coming back onto it as a new press.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace kelvora {

class ScrollButton : public QWidget {
  Q_OBJECT

public:
  // Created visible and of zero size; Move places it.
  ScrollButton(QWidget* parent, int id, const QPixmap& icon);

  int Id() const { return id_; }
  bool Pressed() const { return pressed_; }
  void Move(const QRect& r) { setGeometry(r); }
  // Some scroll button holds the mouse.
  static bool MouseHeld() { return held_; }

  // The icons: an arrow to the right (141) or to the left (142), 32 × 32.
  static QPixmap ArrowIcon(bool right);

signals:
  void Notify(int id, int pressed);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void SetPressed(bool pressed);

  int id_;
  QPixmap icon_;
  bool pressed_ = false;
  static bool held_;
};

}  // namespace kelvora
