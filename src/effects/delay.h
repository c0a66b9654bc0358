// Effects that add earlier frames of the sound to later ones: an echo with
// feedback and a reverb of fixed delayed taps. Each works on the selection,
// or on the whole sound when nothing is selected, and can be undone.
#pragma once

#include <cstdint>

namespace kelvora {

struct EchoParams {
  int32_t delay = 120;    // ms, 0..1000
  int32_t level = 50;     // percent of the sound in the first echo
  int32_t feedback = 40;  // percent of each echo in the next
};
EchoParams& EchoParameters();

struct ReverbParams {
  int32_t time = 500;  // ms: stretches the taps, which are laid out for 1000
  int32_t level = 50;  // percent of the taps in the mix
  int32_t dry = 80;    // percent of the sound itself in the mix
};
ReverbParams& ReverbParameters();

void Echo();
// Removes the DC first, as a command of its own that one Undo takes back
// together with the reverb.
void Reverb();

// The parameters of this family back to their start values.
void ResetDelayParameters();

}  // namespace kelvora
