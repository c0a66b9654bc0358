// The engine both equalizers share: each channel of the selection cut into
// 1024-frame blocks that overlap by half, each block transformed, ranges of
// its bins scaled by real gains, transformed back, and its middle kept.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/real_fft.h"
#include "effects/sound_view.h"

namespace kelvora {

// Bins lo < i < hi (both bounds left alone) multiplied by gain. Ranges that
// overlap multiply, in the order of the list.
struct FftBand {
  int32_t lo = 0;
  int32_t hi = 0;
  double gain = 1.0;
};

// Filters `frames` frames of every channel in format `f`, reading `source`
// and writing `out` (laid out like the sound's data; they may not overlap). Block after
// block (hop 512): the frames of the block, zero past the end; forward;
// the bands; inverse; the result truncated toward zero and clipped. The
// first block of a channel writes its frames 0..1023, every later one its
// frames 256..1023, the tail as far as the frames go. One ShowProgress per
// band and block under `label` (none for null), at frames done + channel *
// frames, against channels * frames. Long passes share the blocks with a second thread,
// with the same result to the bit; progress events are dispatched only
// while it waits. `work` holds FftFilterWorkBytes() bytes.
size_t FftFilterWorkBytes();
void FftBlockFilter(const SoundView& f, const std::vector<FftBand>& bands, const char* label,
                    uint8_t* work, const uint8_t* source, uint8_t* out, int64_t frames);

// An equalizer's pass: the view's frames from its source through the
// filter into v.out. 0 after a shortage of the FFT buffer that `scratch`
// reported.
int EqualizerPass(const std::vector<FftBand>& bands, const SoundView& v, const Scratch& scratch);

}  // namespace kelvora
