#include "views/frequency_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "views/texts.h"

namespace kelvora {
namespace {

// MIDI numbers of C0 and B8, the notes the read-out names.
constexpr int kLowestNote = 12, kHighestNote = 119;
constexpr const char* kNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                        "F#", "G",  "G#", "A",  "A#", "B"};

// The row (from the top) that shows height t.
int RowOf(double t, int rows) { return rows - 1 - static_cast<int>(std::floor(t * rows)); }

}  // namespace

double FrequencyAxis::BinAt(double t) const {
  const double top = window / 2.0;
  return log ? std::pow(top, t) : t * top;
}

double FrequencyAxis::HeightOf(double hz) const {
  const double top = window / 2.0, bin = hz * window / rate;
  if (!log) return bin / top;
  return bin > 0 ? std::log(bin) / std::log(top) : -1.0;
}

std::vector<RowSource> RowSources(const FrequencyAxis& axis, int rows) {
  std::vector<RowSource> sources(static_cast<size_t>(std::max(rows, 0)));
  const int lastBin = axis.window / 2;
  for (int r = 0; r < rows; ++r) {
    const double lo = axis.BinAt(static_cast<double>(rows - 1 - r) / rows);
    const double hi = axis.BinAt(static_cast<double>(rows - r) / rows);
    // The bins whose centres lie in [lo, hi), the top row keeping the last.
    const int first = static_cast<int>(std::ceil(lo));
    const int end = r == 0 ? lastBin + 1 : static_cast<int>(std::ceil(hi));
    RowSource& s = sources[r];
    if (end > first) {
      s.first = std::min(first, lastBin);
      s.count = std::min(end, lastBin + 1) - s.first;
    } else {
      const double centre = std::min((lo + hi) / 2, static_cast<double>(lastBin));
      s.first = std::min(static_cast<int>(centre), lastBin - 1);
      s.weight = static_cast<int>(std::lround((centre - s.first) * 256));
    }
  }
  return sources;
}

std::string FrequencyLabel(double hz) {
  char text[32];
  if (hz < 1000)
    std::snprintf(text, sizeof text, texts::kHertzLabelFormat, hz);
  else
    std::snprintf(text, sizeof text, texts::kKilohertzLabelFormat, hz / 1000);
  return text;
}

std::vector<FrequencyMark> FrequencyMarks(const FrequencyAxis& axis, int rows, int spacing) {
  std::vector<FrequencyMark> marks;
  if (rows <= 0 || axis.rate <= 0 || axis.window <= 0) return marks;
  const double nyquist = axis.rate / 2;
  auto add = [&](double hz) {
    const double t = axis.HeightOf(hz);
    if (t < 0 || t > 1) return;
    const int row = std::max(0, RowOf(t, rows));
    for (const FrequencyMark& m : marks)
      if (std::abs(m.row - row) < spacing) return;
    marks.push_back({row, FrequencyLabel(hz)});
  };
  if (!axis.log) {
    // The smallest 1-2-5 step whose labels stand `spacing` rows apart.
    double step = std::pow(10.0, std::floor(std::log10(std::max(nyquist, 1e-9))) - 3);
    for (int k = 0; step * rows / nyquist < spacing && k < 40; ++k) step *= (k % 3 == 1) ? 2.5 : 2;
    for (int i = 0; i * step <= nyquist; ++i) add(i * step);
  } else {
    const double low = axis.FrequencyAt(0);
    for (int pass = 0; pass < 3; ++pass) {  // decades first, then 2s and 5s
      const double factor = pass == 0 ? 1 : (pass == 1 ? 5 : 2);
      for (double decade = std::pow(10.0, std::floor(std::log10(low))); decade <= nyquist;
           decade *= 10)
        if (decade * factor >= low) add(decade * factor);
    }
    std::sort(marks.begin(), marks.end(),
              [](const FrequencyMark& a, const FrequencyMark& b) { return a.row > b.row; });
  }
  return marks;
}

std::string FrequencyText(double hz) {
  char text[64];
  std::snprintf(text, sizeof text, hz < 100 ? texts::kLowFrequencyFormat : texts::kFrequencyFormat,
                hz);
  std::string out = text;
  if (hz <= 0) return out;
  const double midi = 69 + 12 * std::log2(hz / 440);
  const long note = std::lround(midi);
  if (note < kLowestNote || note > kHighestNote) return out;
  const int cents = static_cast<int>(std::lround((midi - note) * 100));
  std::snprintf(text, sizeof text, texts::kNoteFormat, kNoteNames[note % 12],
                static_cast<int>(note / 12 - 1), cents);
  return out + text;
}

}  // namespace kelvora
