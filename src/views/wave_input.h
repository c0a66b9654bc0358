// What the waveform view's mouse and horizontal scroll bar do to the
// document and the view start, and the status texts they write. While an
// operation runs (busy) the handlers change nothing.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

// x, y in the view's client coordinates.
void WaveMouseDown(int x, int y);
void WaveMouseMove(int x, int y, bool leftButtonDown);
void WaveMouseUp(int x, int y);
void WaveDoubleClick();

// Status part 3: "%s(Sec) %ld(Samples)" for a byte offset.
std::string PositionStatusText(int64_t offset);
// Status part 2: the cursor ("Cur :...") or the selection ("Sel :...").
std::string CursorStatusText();
std::string CursorOrSelectionStatusText();

// Scroll bar (range 0..100). Line steps are 8 columns, page steps 80; a
// negative count moves left.
inline constexpr int kLineColumns = 8;
inline constexpr int kPageColumns = 80;
void WaveScrollColumns(int columns);
// The thumb released, or dragged while following the scroll bar is on.
void WaveScrollThumb(int position);
// view start × 100 / data length; 0 for an empty sound.
int ScrollPositionFromViewStart();
// Sets the bar from the view start, when there is data.
void SetScrollPositionFromViewStart();
// After the view start moved by `bytes`: the bar, the picture (shifted when
// the move is a whole number of columns, else repainted) and the
// overview's frame.
void ScrollBy(int64_t bytes);

}  // namespace kelvora
