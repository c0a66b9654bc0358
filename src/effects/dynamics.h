// Effects on the level of the signal: noise gate, compressor, distortion and
// noise removal. Each pass works on any SoundView; each command on the
// selection, or on the whole sound when nothing is selected, and can be
// undone.
#pragma once

#include <cstdint>

#include "effects/sound_view.h"

namespace kelvora {

struct NoiseGateParams {
  int32_t level = 20;    // percent of full scale below which the gate closes
  int32_t attack = 50;   // ms to open fully
  int32_t release = 50;  // ms to close fully
};

struct CompressorParams {
  int32_t output = 50;  // percent of full scale the envelope is brought toward
  int32_t ratio = 50;   // percent: 100 follows the envelope, less a fixed gain
};

enum DistortionMode : int32_t { kFuzz = 0, kOverdrive = 1 };
struct DistortionParams {
  int32_t depth = 50;  // percent of shaped signal in the mix
  int32_t mode = kOverdrive;
};

struct NoiseRemovalParams {
  int32_t random = 10;  // 0..100: how far smoothing may move a sample
  int32_t impulse = 0;  // 0..10: half width of the running median
};

// Processors in place.
void NoiseGatePass(const NoiseGateParams& p, const SoundView& v);
void CompressorPass(const CompressorParams& p, const SoundView& v);
void NoiseRemovalPass(const NoiseRemovalParams& p, const SoundView& v);
// A point map.
void DistortionPass(const DistortionParams& p, const SoundView& v);

void NoiseGate();
void Compressor();
void Distortion();
void NoiseRemoval();

}  // namespace kelvora
