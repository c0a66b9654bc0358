// Effects swept by a low-frequency oscillator: flanger, vibrato and tremolo.
// Each pass works on any SoundView; each command on the selection, or on the
// whole sound when nothing is selected, and can be undone.
#pragma once

#include <cstdint>

#include "effects/sound_view.h"

namespace kelvora {

struct FlangerParams {
  int32_t level = 100;  // percent of the swept sound in the mix
  int32_t depth = 20;   // frames the read swings either way
  int32_t rate = 20;    // 1/10 Hz
  int32_t stereo = 0;   // sweep the first channel only, keep the second dry
};

struct VibratoParams {
  int32_t depth = 20;  // frames the read swings either way
  int32_t rate = 100;  // 1/10 Hz, 1..200
  int32_t delay = 0;   // 1/10 s over which the depth grows from 0
};

struct TremoloParams {
  int32_t level = 100;  // percent the gain dips at most
  int32_t rate = 20;    // about 1/10 Hz (a cycle takes 1024 / (rate * 102) s)
  int32_t autopan = 0;  // odd channels swing against even ones
};

// Processors in place.
void FlangerPass(const FlangerParams& p, const SoundView& v);
void VibratoPass(const VibratoParams& p, const SoundView& v);
void TremoloPass(const TremoloParams& p, const SoundView& v);

void Flanger();
void Vibrato();
void Tremolo();

}  // namespace kelvora
