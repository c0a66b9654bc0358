// The waveform view from the keyboard and the fit zoom: cursor keys that
// move the cursor (or, with Shift, the selection's moving end as a drag
// does) and keep it in sight, and the zoom levels that fit the sound or
// the selection into the view.
#pragma once

#include <cstdint>

namespace kelvora {

enum class CursorStep { kStart, kEnd, kLeft, kRight, kLeftTenth, kRightTenth };

// Left and Right step one pixel column's frames at the current zoom; the
// tenth steps a tenth of the view's columns. With `extend` the selection
// runs from its anchor to the new position, else it collapses there. The
// view scrolls by whole columns as far as needed to show the position.
void MoveCursor(CursorStep step, bool extend);

// The finest zoom level at which `frames` frames fit in the view's
// columns; the coarsest when none does.
int FitLevel(int64_t frames);
// 全体を表示: the whole sound, scrolled to its start. Nothing for an empty one.
void FitAll();
// 選択範囲を表示: the selection in the middle of the view (its start at the
// left edge when even the coarsest level cannot show it all). Nothing
// without a selection.
void FitSelection();
// A file was opened: fits the whole sound when the current level would
// show it on less than a tenth of the view and View().fitOnOpen is set.
void FitOnOpen();

}  // namespace kelvora
