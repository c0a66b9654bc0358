// The engine the flanger and the vibrato share: an oscillator that sweeps a
// delay along SineTable, and the sound read at that delay with linear
// interpolation between frames.
#pragma once

#include <cstdint>

#include "document/frame_format.h"
#include "document/sine_table.h"
#include "effects/sound_view.h"

namespace kelvora {

// The phase p counts 1/10 Hz steps and wraps at 10 * rate, so a cycle takes
// 10 * rate / step frames; the delay d, in 1/10000 frame, is SineTable at
// p * 1024 / (10 * rate) times the depth in frames. The table position is
// kept in 64 bits, so fast rates do not wrap it.
class SweepOscillator {
public:
  SweepOscillator(uint32_t sample_rate, int32_t step)
      : period_(uint64_t{sample_rate} * 10), step_(static_cast<uint32_t>(step)) {}
  int32_t delay() const { return delay_; }
  // The next frame's phase, and d from it at `depth`.
  void Advance(int32_t depth) {
    phase_ += step_;
    if (phase_ >= period_) {
      phase_ -= period_;
      index_ = period_ == 0 ? 0 : static_cast<uint32_t>(phase_ * kSineTableSize / period_);
    }
    // The index only grows between wraps, so it is followed by comparison.
    while (period_ != 0 && index_ + 1 < kSineTableSize &&
           (index_ + 1) * period_ <= phase_ * kSineTableSize)
      ++index_;
    delay_ = SineTable()[index_] * depth;
  }

private:
  uint64_t period_;
  uint64_t step_;
  uint64_t phase_ = 0;
  uint64_t index_ = 0;
  int32_t delay_ = 0;
};

// Channel ch of the sound at frame + d / 10000: with q = d / 10000 and
// r = d % 10000 (both truncated toward zero), a = frame + q and b = frame +
// (d + 10000) / 10000, a + (b - a) * r / 10000. Reads outside the block are
// 0; `kChecked` false is for frames whose reads all lie inside it.
template <class Fmt>
struct SweptRead {
  Fmt fmt;
  const uint8_t* base;
  int64_t length;  // bytes

  // Frames this far either side of the current one may be read at `depth`.
  static int64_t Reach(int32_t depth) { return int64_t{depth} + 1; }

  template <bool kChecked>
  int32_t At(int64_t frame, int32_t d, int ch) const {
    const int64_t fa = frame + d / 10000, fb = frame + (d + 10000) / 10000;
    int32_t a, b;
    if constexpr (kChecked) {
      a = ReadFrameOrZero(fmt, base, length, fa, ch);
      b = ReadFrameOrZero(fmt, base, length, fb, ch);
    } else {
      a = fmt.Read(base + fa * fmt.Align(), ch);
      b = fmt.Read(base + fb * fmt.Align(), ch);
    }
    return a + (b - a) * (d % 10000) / 10000;
  }
};

}  // namespace kelvora
