// The engine both equalizers share: each channel of the selection cut into
// 1024-frame blocks that overlap by half, each block transformed, ranges of
// its bins scaled by real gains, transformed back, and its middle kept.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/effect_runner.h"
#include "effects/real_fft.h"

namespace kelvora {

// Bins lo < i < hi (both bounds left alone) multiplied by gain. Ranges that
// overlap multiply, in the order of the list.
struct FftBand {
  int32_t lo = 0;
  int32_t hi = 0;
  double gain = 1.0;
};

// Filters `frames` frames of every channel, reading `source` and writing
// `out` (laid out like the sound's data; they may not overlap). Block after
// block (hop 512): the frames of the block, zero past the end; forward;
// the bands; inverse; the result truncated toward zero and clipped. The
// first block of a channel writes its frames 0..1023, every later one its
// frames 256..1023, the tail as far as the frames go. One ShowProgress per
// band and block under `label`, at frames done + channel * frames, against
// channels * frames. Long passes share the blocks with a second thread,
// with the same result to the bit; progress events are dispatched only
// while it waits. `work` holds FftFilterWorkBytes() bytes.
size_t FftFilterWorkBytes();
void FftBlockFilter(const std::vector<FftBand>& bands, const char* label, uint8_t* work,
                    const uint8_t* source, uint8_t* out, int64_t frames);

// An equalizer's whole operation: the recipe's sequence around the filter,
// over the bands `bands` gives for the sound's sample rate. The FFT buffer's
// shortage restores the sound under the recipe's caption.
int RunFftEqualizer(const EffectRecipe& recipe, const char* label,
                    std::vector<FftBand> (*bands)(uint32_t rate));

}  // namespace kelvora
