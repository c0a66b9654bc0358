// The playhead: the played position as a line in the waveform view, kept
// in sight by turning a page when it runs out of the view.
#pragma once

#include <cstdint>

namespace kelvora {

// Playback has played up to byte `offset` (-1: it ended, the line goes).
// Unless the user is dragging, a position beyond the view's right edge
// turns the view by one page, one anywhere else out of view brings the view
// start to it (a loop starting again); then the line is drawn on the
// position's column, or removed when that column is not in the plot.
void ShowPlayhead(int64_t offset);

}  // namespace kelvora
