// The amplitude effects of the effects menu: volume with pan, fades,
// normalize, reverse, phase inversion, DC removal and silence. Each works on
// the selection, or on the whole sound when nothing is selected, and can be
// undone. How an effect is added: src/effects/README.md.
#pragma once

#include <cstdint>

namespace kelvora {

struct VolumeParams {
  int32_t volume = 100;  // percent, 0..200
  int32_t pan = 50;      // 0 right silent ... 50 centre ... 100 left silent
  int32_t limiter = 1;   // scale the result down instead of clipping it
};
VolumeParams& VolumeParameters();

void Volume();
void FadeIn();
void FadeOut();
void Normalize();
void Reverse();
void InvertPhase();
void RemoveDc();
void SilenceSelection();

// The parameters of this family back to their start values.
void ResetAmplitudeParameters();

}  // namespace kelvora
