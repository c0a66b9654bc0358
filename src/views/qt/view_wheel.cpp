#include "views/qt/view_wheel.h"

#include <QWheelEvent>

namespace kelvora {

void ViewWheel::Handle(QWheelEvent* event, int pointerColumn) {
  event->accept();
  const QPoint angle = event->angleDelta();
  // Some systems turn Shift + wheel into a sideways wheel by themselves.
  const int upright = angle.y() != 0 ? angle.y() : angle.x();
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool shift = (mods & Qt::ShiftModifier) != 0;
  if (ctrl && shift) {
    StepVerticalZoom(vertical.Take(upright));
  } else if (ctrl) {
    const int notches = zoom.Take(upright);
    if (pointerColumn < 0)
      WheelZoomAtViewMiddle(notches);
    else
      WheelZoom(notches, pointerColumn);
  } else {
    // A sideways wheel, or Shift with an upright one, scrolls as the plain
    // wheel does.
    WheelScroll(scroll.Take(angle.x() != 0 ? angle.x() : angle.y()));
  }
}

}  // namespace kelvora
