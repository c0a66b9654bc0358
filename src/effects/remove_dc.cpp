// DC removal: a one-pole high-pass that subtracts a running mean.
#include "effects/remove_dc.h"

#include <cstring>
#include <vector>

#include "effects/amplitude.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"

namespace kelvora {

void RemoveDcPass(const SoundView& v, double* sums, uint8_t* out) {
  v.WithFormat([&](auto fmt) {
    // Bytes that an odd layout never writes keep their values.
    if constexpr (!decltype(fmt)::kPacked)
      if (out != v.SourceRange()) std::memmove(out, v.SourceRange(), v.Length());
    const int32_t align = fmt.Align();
    const ProgressPlan plan = v.Plan(0, align, v.Length());
    ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t count) {
      uint8_t* o = out + first * align;
      RemoveDcFrames(fmt, v.SourceRange() + first * align, count, sums,
                     [&](int64_t i, int ch, int32_t x) { fmt.Write(o + i * align, x, ch); });
    });
  });
}

namespace {

// Per channel the running mean, then the pass into the result block.
struct DcRemover {
  std::vector<double> sums;  // one mean per channel, however many there are

  int Start(const SoundView& v, const Scratch&) {
    sums.assign(static_cast<size_t>(v.Channels()) + 1, 0.0);
    return 1;
  }
  int64_t ResultBytes(const SoundView& v) const { return v.Length(); }
  int32_t ResultSpare() const { return 32; }
  void Render(const SoundView& v, uint8_t* out) { RemoveDcPass(v, sums.data(), out); }
};

}  // namespace

void RemoveDc() {
  static const EffectRecipe kRecipe{texts::kNameRemoveDc};
  RunEffect(kRecipe, [](EffectRun& run) { return RunProcessor(run, DcRemover{}); });
}

}  // namespace kelvora
