// The program's pictures, drawn in code so that they stay sharp at any
// screen scale: the seven toolbar images and the program icon.
#pragma once

#include <QIcon>

namespace kelvora {

// Toolbar image 0..6: play, play from cursor, loop play, stop, record,
// zoom in, zoom out. 16 × 15 logical pixels.
QIcon ToolbarIcon(int image);

// The program icon (a green waveform on a dark blue tile).
QIcon ProgramIcon();

}  // namespace kelvora
