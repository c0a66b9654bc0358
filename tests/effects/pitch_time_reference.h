// The pitch and time engines as plainly written: every sample through
// ReadSampleInBlock, ReadSample and WriteSample, one ShowProgress call per
// frame, double sums in the overlap search. Positions are 64-bit.
#pragma once

#include <algorithm>
#include <cstdint>

#include "document/busy.h"
#include "document/sound_document.h"

namespace kelvora::reference {

inline int32_t At(const uint8_t* block, int64_t length, int64_t offset, int ch) {
  // As integers: the frame may lie outside the block entirely.
  return ReadSampleInBlock(
      block, length, reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(block) + offset),
      ch);
}

inline void Resample(const char* name, int from, int to, int64_t step, const uint8_t* src,
                     int64_t srcLen, uint8_t* out, int64_t outLen) {
  const int align = Doc().format.nBlockAlign, channels = Doc().format.nChannels;
  ResetPeakScale();
  int64_t pos = 0, done = 0;
  for (int64_t j = 0; j * align < outLen; ++j) {
    for (int ch = 0; ch < channels; ++ch) {
      const int32_t a = At(src, srcLen, pos / 100 * align, ch);
      const int32_t b = At(src, srcLen, (pos + 100) / 100 * align, ch);
      WriteSample(out + j * align, a + (b - a) * static_cast<int32_t>(pos % 100) / 100, ch);
    }
    done += align;
    ShowProgress(name, static_cast<int32_t>(from + done * (to - from) / outLen), 100);
    pos += step;
  }
}

inline int64_t Overlap(const uint8_t* out, int64_t outLen, int64_t t, const uint8_t* src,
                       int64_t srcLen, int64_t s, int64_t c) {
  const int align = Doc().format.nBlockAlign, channels = Doc().format.nChannels;
  const int64_t h = c / 2;
  double best = static_cast<double>(h) * 4294836225.0;
  int64_t best_i = 0;
  for (int64_t i = 0; i < h; ++i) {
    double sum = 0;
    for (int ch = 0; ch < channels; ++ch)
      for (int64_t k = 0; k < h; ++k) {
        const double d =
            At(src, srcLen, s + k * align, ch) - At(out, outLen, t + (i + k) * align, ch);
        sum += d * d;
      }
    if (sum < best) {
      best = sum;
      best_i = i;
    }
  }
  return best_i * align;
}

inline void Stretch(const char* name, int from, int to, const uint8_t* src, int64_t srcLen,
                    uint8_t* out, int64_t outLen) {
  const int align = Doc().format.nBlockAlign, channels = Doc().format.nChannels;
  const int64_t g = std::max<int64_t>(1, Doc().format.nSamplesPerSec / 30), c = g / 4, h = c / 2;
  ResetPeakScale();
  for (int64_t f = 0; f < c && f * align < outLen; ++f)
    for (int ch = 0; ch < channels; ++ch) WriteSample(out + f * align, 0, ch);
  for (int64_t s = 0, t = 0, e = 0; t < outLen; e += align) {
    const int64_t f = Overlap(out, outLen, t, src, srcLen, s, c);
    for (int64_t j = 0; j < g + c - f / align && t + f + j * align < outLen; ++j) {
      uint8_t* o = out + t + f + j * align;
      for (int ch = 0; ch < channels; ++ch) {
        const int64_t m = At(src, srcLen, s + j * align, ch);
        const int64_t v = j < h ? (m * j + int64_t{ReadSample(o, ch)} * (h - j)) * 2 / c : m;
        WriteSample(o, static_cast<int32_t>(v), ch);
      }
      ShowProgress(name, static_cast<int32_t>(from + g * e * (to - from) / outLen), 100);
    }
    s += static_cast<int64_t>(static_cast<double>(g * srcLen) / outLen) * align;
    t += g * align;
  }
}

}  // namespace kelvora::reference
