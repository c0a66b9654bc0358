// Pitch, time stretch and transpose (with harmonize): the pitch and time
// effects of the effects menu, built on the engines of resample_sola.h. Each
// pass works on any SoundView; each command on the selection, or on the
// whole sound when nothing is selected, and can be undone.
#pragma once

#include <cstdint>

#include "effects/sound_view.h"

namespace kelvora {

struct PitchParams {
  int32_t pitch = 100;  // percent of the playback rate, 50..200
};
struct TimeStretchParams {
  int32_t speed = 100;  // percent, 20..400; the pitch stays
};
struct TransposeParams {
  int32_t cents = 0;      // -1200..1200
  int32_t harmonize = 0;  // mix the transposed sound with the original
  int32_t mix = 50;       // percent of the transposed sound in the mix
};
// Resizing processors (effect_runner.h): the frames become a result of
// another length.
// A tape run faster or slower: N frames become N * 100 / pitch.
struct Pitcher {
  PitchParams params;
  int32_t pitch = 100;
  int64_t frames = 0;
  int Start(const SoundView& v, const Scratch& scratch);
  int64_t ResultBytes(const SoundView& v) const { return frames * v.Align(); }
  int32_t ResultSpare() const { return 320; }
  void Render(const SoundView& v, uint8_t* out);
};
// N frames become N * 100 / speed, the pitch kept.
struct Stretcher {
  TimeStretchParams params;
  int64_t frames = 0;
  int Start(const SoundView& v, const Scratch& scratch);
  int64_t ResultBytes(const SoundView& v) const { return frames * v.Align(); }
  int32_t ResultSpare() const { return 16; }
  void Render(const SoundView& v, uint8_t* out);
};
// A processor in place: resampled by the interval, stretched back to the
// frames' length, mixed with them when harmonizing.
void TransposePass(const TransposeParams& p, const SoundView& v);

void Pitch();
void TimeStretch();
void Transpose();

}  // namespace kelvora
