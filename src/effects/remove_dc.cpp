// DC removal: a one-pole high-pass that subtracts a running mean.
#include <cstring>
#include <vector>

#include "effects/amplitude.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

// Per channel, m = (m * 127 + x) / 128 and the output is trunc(x - m).
// The mean is carried as s = 128 m: scaling by a power of two is exact, so
// s * (127 / 128) + x rounds exactly as m * 127 + x does and s / 128 is m
// to the bit, while the chain from frame to frame loses one operation. (Only
// while the mean has decayed below 2^-1000 over silence do the two differ,
// and then both output 0 until the next non-zero sample absorbs them.)
template <class Fmt>
void RemoveDcChunk(Fmt fmt, const uint8_t* in, uint8_t* out, int64_t n, double* sums) {
  auto step = [&](int ch, double& s) KELVORA_ALWAYS_INLINE {
    const int32_t x = fmt.Read(in, ch);
    s = s * 0.9921875 + x;
    fmt.Write(out, static_cast<int32_t>(x - s * 0.0078125), ch);
  };
  if constexpr (Fmt::kPacked) {
    // Locals, so that the chain from frame to frame stays in registers.
    double s0 = sums[0], s1 = Fmt::kChannels == 2 ? sums[1] : 0.0;
    for (int64_t i = 0; i < n; ++i, in += fmt.Align(), out += fmt.Align()) {
      step(0, s0);
      if constexpr (Fmt::kChannels == 2) step(1, s1);
    }
    sums[0] = s0;
    if constexpr (Fmt::kChannels == 2) sums[1] = s1;
  } else {
    for (int64_t i = 0; i < n; ++i, in += fmt.Align(), out += fmt.Align())
      for (int ch = 0; ch < fmt.Count(); ++ch) step(ch, sums[ch]);
  }
}

// Per channel the running mean, then the pass into the result block.
struct DcRemover {
  std::vector<double> sums;  // one mean per channel, however many there are

  int Start(EffectRun& run) {
    sums.assign(static_cast<size_t>(run.channels) + 1, 0.0);
    return 1;
  }
  int64_t ResultBytes(const EffectRun& run) const { return run.length; }
  int32_t ResultSpare() const { return 32; }
  void Flow(EffectRun& run, uint8_t* out) {
    WithFrameFormat([&](auto fmt) {
      // Bytes that an odd layout never writes keep their values.
      if constexpr (!decltype(fmt)::kPacked) std::memcpy(out, run.SourceSelection(), run.length);
      const int32_t align = fmt.Align();
      const ProgressPlan plan{run.name, 0, align, run.length};
      ForEachChunk(run.frames, &plan, [&](int64_t first, int64_t count) {
        RemoveDcChunk(fmt, run.SourceSelection() + first * align, out + first * align, count,
                      sums.data());
      });
    });
  }
};

}  // namespace

void RemoveDc() {
  static const EffectRecipe kRecipe{texts::kNameRemoveDc};
  DcRemover remover;
  RunProcessor(kRecipe, remover);
}

}  // namespace kelvora
