// The status bar: four sunken parts whose right edges stand at 150, 250
// and 500 pixels, the last reaching to the window's right edge. Format,
// length, cursor or selection, and the position under the mouse.
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

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  std::array<QString, kParts> texts_;
};

}  // namespace kelvora
