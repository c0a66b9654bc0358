// The loudness meter: integrated loudness, loudness range, sample and true
// peak and the largest momentary and short-term loudness of any stretch of
// sound, as EBU R128 and ITU-R BS.1770 define them. The gating, the range
// and the K-weighted energies come from libebur128; the true peak is this
// file's own 4x interpolation (the standard's filter, in integers), which
// costs a fraction of the library's.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "effects/sound_view.h"

namespace kelvora {

// Each figure is empty where the sound gives nothing to measure: silence,
// or too short for its window (400 ms for the integrated loudness and the
// momentary loudness, 3 s for the range).
struct LoudnessFigures {
  std::optional<double> integrated;    // LUFS
  std::optional<double> range;         // LU
  std::optional<double> samplePeak;    // dBFS
  std::optional<double> truePeak;      // dBTP, never below the sample peak
  std::optional<double> momentaryMax;  // LUFS, 400 ms windows every 100 ms
  std::optional<double> shortTermMax;  // LUFS, 3 s windows every 100 ms
};

enum class MeterOutcome { kMeasured, kStopped, kRateTooLow, kNoMemory };

// Below this rate the K-weighting's 1.7 kHz shelf lies above half the rate
// and the filter the library designs is no longer meaningful.
inline constexpr uint32_t kMinLoudnessRate = 4000;

// Measures v's frames in `source` (all channels; `out` is not used) in
// pieces of 100 ms, showing progress under v.progress; `stop` (may be
// empty) is asked after each piece and ends the measurement.
MeterOutcome MeasureLoudness(const SoundView& v, const std::function<bool()>& stop,
                             LoudnessFigures* figures);

}  // namespace kelvora
