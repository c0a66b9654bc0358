// The wheel over either view: the event's modifiers pick scrolling,
// zooming or the vertical zoom, and each keeps its own part-notches.
#pragma once

#include "views/wheel_input.h"

class QWheelEvent;

namespace kelvora {

struct ViewWheel {
  WheelNotches scroll, zoom, vertical;
  // `pointerColumn`: the column from the plot's left edge under the
  // pointer, or -1 where there is none (the overview).
  void Handle(QWheelEvent* event, int pointerColumn);
};

}  // namespace kelvora
