// The spectrogram's frequency axis: which bins each pixel row of a lane
// shows, where the ruler's labels go, and the frequency and musical note
// under the pointer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvora {

// Height t runs from 0 at a lane's bottom edge to 1 at its top edge.
// Linear: 0 Hz to half the rate. Logarithmic: from the first bin above 0 Hz
// (rate / window) to half the rate, each octave the same height.
struct FrequencyAxis {
  double rate = 0;
  int window = 0;
  bool log = false;

  // Position in bins (bin k is k * rate / window Hz) at height t.
  double BinAt(double t) const;
  double FrequencyAt(double t) const { return BinAt(t) * rate / window; }
  // The height of a frequency; outside 0..1 when the axis does not show it.
  double HeightOf(double hz) const;
};

// Where one pixel row reads its level: the highest of `count` bins from
// `first`, so that a tone narrower than the row still shows; or, for a row
// narrower than a bin (count 0), between bins `first` and `first + 1`,
// weighted weight / 256 toward the second.
struct RowSource {
  int32_t first = 0;
  int32_t count = 0;
  int32_t weight = 0;
};
// One per row of a lane `rows` high, the top row first.
std::vector<RowSource> RowSources(const FrequencyAxis& axis, int rows);

// A label of the ruler: `row` counts from the lane's top row.
struct FrequencyMark {
  int row = 0;
  std::string label;
};
// Round frequencies at least `spacing` rows apart: a 1-2-5 step on a linear
// axis, decades and then their doubles and fives on a logarithmic one.
std::vector<FrequencyMark> FrequencyMarks(const FrequencyAxis& axis, int rows, int spacing);
// "500", "1k", "2.5k", "20k".
std::string FrequencyLabel(double hz);

// "440 Hz  A4 +0セント": the frequency, and within C0..B8 the nearest note
// (A4 = 440 Hz, sharps for the black keys) and how far off it is in cents.
std::string FrequencyText(double hz);

}  // namespace kelvora
