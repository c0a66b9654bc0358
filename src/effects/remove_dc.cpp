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

void RemoveDc() {
  static const EffectRecipe kRecipe{texts::kNameRemoveDc};
  RunEffect(kRecipe, [](EffectRun& run) {
    // Reads the undo copy, so it writes over the frames it has read.
    std::vector<double> sums(static_cast<size_t>(run.view.Channels()) + 1, 0.0);
    RemoveDcPass(run.view, sums.data(), run.view.out);
    return 1;
  });
}

}  // namespace kelvora
