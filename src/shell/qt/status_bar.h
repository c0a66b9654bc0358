// The status bar: four sunken parts, the last reaching to the window's
// right edge. Format, length, cursor or selection, and the position under
// the mouse. Each part is as wide as the longest text it can show for the
// current sound, at the bar's font, and never narrower than it was made
// (right edges at 150, 250 and 500 pixels).
#pragma once

#include <QStatusBar>
#include <QString>
#include <array>

namespace kelvora {

class StatusBar : public QStatusBar {
public:
  static constexpr int kParts = 4;
  static constexpr std::array<int, kParts - 1> kRightEdges = {150, 250, 500};

  explicit StatusBar(QWidget* parent);

  void SetText(int part, const QString& text);
  QString Text(int part) const;
  int Height() const { return height(); }
  // Paints at once, not at the next turn of the event loop.
  void Update() { repaint(); }
  // The part's rectangle in the bar's own coordinates.
  QRect PartRect(int part) const;
  // The whole text of the part at `pos` when it does not fit the part, for
  // a tip (a note in the last part of a narrow window); else empty.
  QString TipAt(const QPoint& pos) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // Sizes the parts again for the current sound (format or length changed).
  void FitParts();

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

private:
  std::array<QString, kParts> texts_;
  std::array<int, kParts - 1> rightEdges_ = kRightEdges;
};

}  // namespace kelvora
