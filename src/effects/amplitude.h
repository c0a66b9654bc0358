// The amplitude effects of the effects menu: volume with pan, fades,
// normalize, reverse, phase inversion, DC removal and silence. Each pass
// works on any SoundView; each command on the selection, or on the whole
// sound when nothing is selected, and can be undone. How an effect is
// added: src/effects/README.md.
#pragma once

#include <cstdint>

#include "effects/sound_view.h"

namespace kelvora {

struct VolumeParams {
  int32_t volume = 100;  // percent, 0..200
  int32_t pan = 50;      // 0 right silent ... 50 centre ... 100 left silent
  int32_t limiter = 1;   // scale the result down instead of clipping it
};

// Point maps.
void VolumePass(const VolumeParams& p, const SoundView& v);
void NormalizePass(const SoundView& v);
void InvertPhasePass(const SoundView& v);
// Processors in place.
void FadePass(bool fade_in, const SoundView& v);
void ReversePass(const SoundView& v);
void SilencePass(const SoundView& v);
// Per channel m = (m * 127 + x) / 128 from 0, and x - m written; `sums`
// holds 128 m per channel (one more slot than channels) and carries it from
// call to call. Reads v's source, writes `out` (v.out or a block like it).
void RemoveDcPass(const SoundView& v, double* sums, uint8_t* out);

void Volume();
void FadeIn();
void FadeOut();
void Normalize();
void Reverse();
void InvertPhase();
void RemoveDc();
void SilenceSelection();

}  // namespace kelvora
