// Effects that add earlier frames of the sound to later ones: an echo with
// feedback and a reverb of fixed delayed taps. Each pass works on any
// SoundView; each command on the selection, or on the whole sound when
// nothing is selected, and can be undone.
#pragma once

#include <cstdint>

#include "effects/sound_view.h"

namespace kelvora {

struct EchoParams {
  int32_t delay = 120;    // ms, 0..1000
  int32_t level = 50;     // percent of the sound in the first echo
  int32_t feedback = 40;  // percent of each echo in the next
};

struct ReverbParams {
  int32_t time = 500;  // ms: stretches the taps, which are laid out for 1000
  int32_t level = 50;  // percent of the taps in the mix
  int32_t dry = 80;    // percent of the sound itself in the mix
};

// Processors in place; 0 after a shortage that `scratch` reported.
int EchoPass(const EchoParams& p, const SoundView& v, const Scratch& scratch);
// In place: the DC removal of its frames (with its own progress texts),
// then the taps over the result, in one pass; one undo. 0 after a shortage
// that `scratch` reported.
int ReverbPass(const ReverbParams& p, const SoundView& v, const Scratch& scratch);

void Echo();
void Reverb();

}  // namespace kelvora
