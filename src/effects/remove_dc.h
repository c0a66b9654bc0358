// The running mean of DC removal, for the effect itself and the reverb's
// first stage.
#pragma once

#include <cstdint>

#include "document/frame_format.h"

namespace kelvora {

// Per channel, m = (m * 127 + x) / 128 and the output is trunc(x - m),
// emitted as emit(i, ch, value) for frame i of n read from `in`. The mean
// is carried as s = 128 m in `sums` (one per channel): scaling by a power of
// two is exact, so s * (127 / 128) + x rounds exactly as m * 127 + x does
// and s / 128 is m to the bit, while the chain from frame to frame loses one
// operation. (Only while the mean has decayed below 2^-1000 over silence do
// the two differ, and then both output 0 until the next non-zero sample
// absorbs them.)
template <class Fmt, class Emit>
void RemoveDcFrames(Fmt fmt, const uint8_t* in, int64_t n, double* sums, Emit emit) {
  auto step = [&](int64_t i, int ch, double& s) KELVORA_ALWAYS_INLINE {
    const int32_t x = fmt.Read(in + i * fmt.Align(), ch);
    s = s * 0.9921875 + x;
    emit(i, ch, static_cast<int32_t>(x - s * 0.0078125));
  };
  if constexpr (Fmt::kPacked) {
    // Locals, so that the chain from frame to frame stays in registers.
    double s0 = sums[0], s1 = Fmt::kChannels == 2 ? sums[1] : 0.0;
    for (int64_t i = 0; i < n; ++i) {
      step(i, 0, s0);
      if constexpr (Fmt::kChannels == 2) step(i, 1, s1);
    }
    sums[0] = s0;
    if constexpr (Fmt::kChannels == 2) sums[1] = s1;
  } else {
    for (int64_t i = 0; i < n; ++i)
      for (int ch = 0; ch < fmt.Count(); ++ch) step(i, ch, sums[ch]);
  }
}

}  // namespace kelvora
