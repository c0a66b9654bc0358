// The two engines behind pitch, time stretch and transpose, on blocks of
// frames in a given format:
//  - ResampleLinear reads a block at a fixed rate with linear interpolation
//    (pitch and duration change together, like a tape run faster or slower);
//  - SolaStretch lays short segments of the source at a new spacing, each
//    shifted to where it best matches what is already written and
//    crossfaded into it (duration changes, pitch stays).
// Both read the source as ReadSampleInBlock does: frames outside it are 0.
#pragma once

#include <cstdint>

#include "document/sound_document.h"

namespace kelvora {

// The layout the engines read and write: the sound's format and its bytes
// per channel sample.
struct BlockFormat {
  SoundFormat format;
  int32_t bytesPerChannel = 2;
};

// Segment step G, overlap C and search range H = crossfade length, in
// frames, for a sample rate.
struct SolaSizes {
  int64_t step;
  int64_t overlap;
  int64_t half;
};
SolaSizes SolaSizesFor(uint32_t rate);

// Fills outLen bytes of `out` from srcLen bytes of `src`: output frame j
// interpolates between source frames pos / 100 and pos / 100 + 1 at
// pos = j * step (in hundredths of a frame). Reports ShowProgress(name, v,
// 100) after each frame with v running from `from` to `to` (none for a null
// name).
void ResampleLinear(const BlockFormat& f, const char* name, int from, int to, int32_t step,
                    const uint8_t* src, int64_t srcLen, uint8_t* out, int64_t outLen);

// Fills outLen bytes of `out` (which may hold anything) with srcLen bytes of
// `src` stretched in time; progress as ResampleLinear.
void SolaStretch(const BlockFormat& f, const char* name, int from, int to, const uint8_t* src,
                 int64_t srcLen, uint8_t* out, int64_t outLen);

// ResampleLinear at `step` to resampledLen bytes, streamed into SolaStretch
// back to outLen bytes at `out`: only a few segments of either are held at
// a time. Progress as the two in a row (0 to 50, then 50 to 100). With `mix`
// from 0 to 100 each stretched frame z is mixed into out's own frame x,
// (x * (100 - mix) + z * mix) / 100; with -1 it is written over it.
void ResampleStretch(const BlockFormat& f, const char* name, int32_t step, const uint8_t* src,
                     int64_t srcLen, int64_t resampledLen, uint8_t* out, int64_t outLen,
                     int32_t mix);

// The byte offset (a multiple of the frame size, below overlap / 2 frames)
// at which the source window at byte s best matches the output from byte t:
// the smallest sum of squared differences over overlap / 2 frames of every
// channel, the first of equal sums, 0 when none is below the bound.
int64_t FindBestOverlap(const BlockFormat& f, const uint8_t* out, int64_t outLen, int64_t t,
                        const uint8_t* src, int64_t srcLen, int64_t s, int64_t overlap);

}  // namespace kelvora
