// Fades, normalize, reverse, phase inversion and silence.
#include "effects/amplitude.h"

#include <cstring>

#include "effects/effect_runner.h"
#include "effects/texts.h"

namespace kelvora {

// Frame k of n is multiplied by (from + step * k) / n, the quotient in
// floating point and the product truncated.
void FadePass(bool fade_in, const SoundView& v) {
  const auto frames = static_cast<int32_t>(v.frames);
  const int32_t step = fade_in ? 1 : -1;
  const int32_t from = fade_in ? 0 : frames;
  v.WithFormat([&](auto fmt) {
    const ProgressPlan plan = v.Plan(0, 1, frames);
    ForEachChunk(frames, &plan, [&](int64_t first, int64_t n) {
      uint8_t* p = v.out + first * fmt.Align();
      const auto k0 = static_cast<int32_t>(first);
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        const int32_t k = k0 + static_cast<int32_t>(i);
        const double factor = static_cast<double>(from + step * k) / frames;
        uint8_t* frame = p + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(frame, static_cast<int32_t>(fmt.Read(frame, ch) * factor), ch);
      });
    });
  });
}

void NormalizePass(const SoundView& v) {
  const int64_t total = 2 * v.Length();
  v.WithFormat([&](auto fmt) {
    const int32_t peak = PeakOfMap(fmt, v.out, v.frames, fmt.Count(), v.Plan(0, v.Align(), total),
                                   [](int, int32_t x) { return x; });
    // The write still scales by the peak: a peak of 32768 is scaled once
    // more. A silent selection has no gain to apply and is written back.
    MapSamples(fmt, v.out, v.frames, ChannelSet{true, 0}, peak,
               v.Plan(v.Length(), v.Align(), total),
               [peak](int, int32_t x) { return peak == 0 ? x : x * 32767 / peak; });
  });
}

void InvertPhasePass(const SoundView& v) {
  v.WithFormat([&](auto fmt) {
    MapSamples<false>(fmt, v.out, v.frames, ChannelSet{true, 0}, 0, v.Plan(0, 1, v.frames),
                      [](int, int32_t x) { return -x; });
  });
}

void ReversePass(const SoundView& v) {
  const auto frames = static_cast<int32_t>(v.frames);
  v.WithFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    const int32_t align = fmt.Align();
    const ProgressPlan plan = v.Plan(0, 1, frames);
    ForEachChunk(frames / 2, &plan, [&](int64_t first, int64_t n) {
      uint8_t* front = v.out + first * align;
      uint8_t* back = v.out + (frames - 1 - first) * align;
      if constexpr (Fmt::kPacked) {
        // A sample read and written back unscaled keeps its bytes, so
        // exchanging whole frames is the exchange of every channel.
        using Raw = typename Fmt::Raw;
        VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
          Raw a, b;
          std::memcpy(&a, front + i * sizeof(Raw), sizeof(Raw));
          std::memcpy(&b, back - i * sizeof(Raw), sizeof(Raw));
          std::memcpy(front + i * sizeof(Raw), &b, sizeof(Raw));
          std::memcpy(back - i * sizeof(Raw), &a, sizeof(Raw));
        });
      } else {
        for (int64_t i = 0; i < n; ++i, front += align, back -= align)
          for (int ch = 0; ch < fmt.Count(); ++ch) {
            const int32_t a = fmt.Read(front, ch);
            fmt.Write(front, fmt.Read(back, ch), ch);
            fmt.Write(back, a, ch);
          }
      }
    });
  });
}

void SilencePass(const SoundView& v) {
  const ChannelSet set = v.Masked();
  uint8_t* p = v.out;
  const int64_t frames = v.frames;
  v.WithFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    if constexpr (Fmt::kPacked) {
      if (set.Has(0) && (fmt.Count() == 1 || set.Has(1))) {
        std::memset(p, Fmt::kBits == 8 ? 128 : 0, size_t(frames) * fmt.Align());
        return;
      }
    }
    VectorLoop(frames, [=](int64_t i) KELVORA_ALWAYS_INLINE {
      for (int ch = 0; ch < fmt.Count(); ++ch)
        if (set.Has(ch)) fmt.Write(p + i * fmt.Align(), 0, ch);
    });
  });
}

// ----- Commands --------------------------------------------------------------

void FadeIn() {
  static const EffectRecipe kRecipe{texts::kNameFadeIn};
  RunEffect(kRecipe, [](EffectRun& run) {
    FadePass(true, run.view);
    return 1;
  });
}

void FadeOut() {
  static const EffectRecipe kRecipe{texts::kNameFadeOut};
  RunEffect(kRecipe, [](EffectRun& run) {
    FadePass(false, run.view);
    return 1;
  });
}

void Normalize() {
  static const EffectRecipe kRecipe{texts::kNameNormalize};
  RunEffect(kRecipe, [](EffectRun& run) {
    NormalizePass(run.view);
    return 1;
  });
}

void Reverse() {
  static const EffectRecipe kRecipe{texts::kNameReverse};
  RunEffect(kRecipe, [](EffectRun& run) {
    if (!Doc().HasSelection()) return 0;  // nothing to change, nothing to mark
    ReversePass(run.view);
    return 1;
  });
}

void InvertPhase() {
  static const EffectRecipe kRecipe{texts::kNameInvertPhase};
  RunEffect(kRecipe, [](EffectRun& run) {
    if (!Doc().HasSelection()) return 0;  // nothing to change, nothing to mark
    InvertPhasePass(run.view);
    return 1;
  });
}

// Quick enough to need neither the busy state nor progress.
void SilenceSelection() {
  static const EffectRecipe kRecipe{.name = texts::kNameSilence, .busy = false};
  RunEffect(kRecipe, [](EffectRun& run) {
    SilencePass(run.view);
    return 1;
  });
}

}  // namespace kelvora
