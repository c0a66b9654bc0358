// Pitch, time stretch and transpose (with harmonize): the pitch and time
// effects of the effects menu, built on the engines of resample_sola.h. Each
// works on the selection, or on the whole sound when nothing is selected,
// and can be undone.
#pragma once

#include <cstdint>

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
PitchParams& PitchParameters();
TimeStretchParams& TimeStretchParameters();
TransposeParams& TransposeParameters();

void Pitch();
void TimeStretch();
void Transpose();

// The parameters of this family back to their start values.
void ResetPitchTimeParameters();

}  // namespace kelvora
