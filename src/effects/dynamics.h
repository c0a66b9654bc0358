// Effects on the level of the signal: noise gate, compressor, distortion and
// noise removal. Each works on the selection, or on the whole sound when
// nothing is selected, and can be undone.
#pragma once

#include <cstdint>

namespace kelvora {

struct NoiseGateParams {
  int32_t level = 20;    // percent of full scale below which the gate closes
  int32_t attack = 50;   // ms to open fully
  int32_t release = 50;  // ms to close fully
};
NoiseGateParams& NoiseGateParameters();

struct CompressorParams {
  int32_t output = 50;  // percent of full scale the envelope is brought toward
  int32_t ratio = 50;   // percent: 100 follows the envelope, less a fixed gain
};
CompressorParams& CompressorParameters();

enum DistortionMode : int32_t { kFuzz = 0, kOverdrive = 1 };
struct DistortionParams {
  int32_t depth = 50;  // percent of shaped signal in the mix
  int32_t mode = kOverdrive;
};
DistortionParams& DistortionParameters();

struct NoiseRemovalParams {
  int32_t random = 10;  // 0..100: how far smoothing may move a sample
  int32_t impulse = 0;  // 0..10: half width of the running median
};
NoiseRemovalParams& NoiseRemovalParameters();

void NoiseGate();
void Compressor();
void Distortion();
void NoiseRemoval();

// The parameters of this family back to their start values.
void ResetDynamicsParameters();

}  // namespace kelvora
