// Echo with feedback, and the reverb's fixed taps.
#include "effects/delay.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/remove_dc.h"
#include "effects/texts.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

// ----- Echo -----------------------------------------------------------------

// The echo line E starts with D frames of 0, and E[k + D] = x[k] * level /
// 100 + E[k] * feedback / 100, held at the sound's width; the sound becomes
// x[k] + E[k]. E[k] is needed only from frame k - D to frame k, so a ring of
// D frames holds all of it and the result is written in the same pass.
// With D = 0, E[k] is read before anything wrote it and counts as 0: each
// frame becomes x + x * level / 100.
struct Echoer {
  uint32_t delay = 0;  // D frames
  int32_t level = 0, feedback = 0;
  MemoryBlock ring;  // E at frame k in slot (k mod D) * channels + ch

  int Start(const EchoParams& p, const SoundView& v, const Scratch& scratch) {
    delay = v.Rate() * static_cast<uint32_t>(p.delay) / 1000u;
    level = p.level;
    feedback = p.feedback;
    // Echoes of the frames that fall after their end are dropped.
    if (delay == 0 || delay >= v.frames) return 1;
    return scratch.Get(ring, size_t{delay} * v.Channels() * sizeof(int32_t), true);
  }

  void Render(const SoundView& v, uint8_t* out) {
    v.WithFormat([&](auto fmt) {
      const ProgressPlan plan = v.Plan(0, v.Align(), v.Length());
      if (delay >= v.frames) {
        ForEachChunk(v.frames, &plan, [](int64_t, int64_t) {});
        return;
      }
      const int32_t l = level, f = feedback;
      if (delay == 0) {
        ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t n) {
          uint8_t* frames = out + first * fmt.Align();
          VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
            uint8_t* frame = frames + i * fmt.Align();
            for (int ch = 0; ch < fmt.Count(); ++ch) {
              const int32_t x = fmt.Read(frame, ch);
              fmt.Write(frame, x + Held(fmt, x * l / 100), ch);
            }
          });
        });
        return;
      }
      auto* e = reinterpret_cast<int32_t*>(ring.data());
      const int channels = fmt.Count();
      int64_t slot = 0;  // k mod D
      ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t n) {
        // Runs of frames whose slots are consecutive: no frame in a run
        // reads a slot another one writes, so each run vectorises.
        for (int64_t done = 0; done < n;) {
          const int64_t m = std::min(n - done, int64_t{delay} - slot);
          uint8_t* frames = out + (first + done) * fmt.Align();
          int32_t* line = e + slot * channels;
          VectorLoop(m, [=](int64_t i) KELVORA_ALWAYS_INLINE {
            uint8_t* frame = frames + i * fmt.Align();
            int32_t* held = line + i * channels;
            for (int ch = 0; ch < channels; ++ch) {
              const int32_t x = fmt.Read(frame, ch);
              const int32_t echo = held[ch];
              held[ch] = Held(fmt, x * l / 100 + echo * f / 100);
              fmt.Write(frame, x + echo, ch);
            }
          });
          done += m;
          slot += m;
          if (slot == delay) slot = 0;
        }
      });
    });
  }
};

// ----- Reverb ---------------------------------------------------------------

struct Tap {
  uint32_t ms;   // at a reverb time of 1000 ms
  int32_t gain;  // 1/128
};
constexpr std::array<Tap, 28> kReverbTaps = {{
    {61, 100}, {62, 85},  {88, 64}, {93, 2},   {95, 3},   {96, 1},   {102, 73},
    {155, 52}, {208, 19}, {212, 3}, {215, 32}, {241, 27}, {248, 16}, {259, 2},
    {267, 1},  {328, 7},  {357, 2}, {410, 12}, {429, 10}, {448, 2},  {452, 4},
    {561, 2},  {568, 1},  {617, 3}, {656, 1},  {707, 1},  {805, 1},  {978, 3},
}};

// Each frame becomes dry% of itself plus, per tap, the frame dk earlier
// times gain * level / 12800, every term truncated. The taps read the sound
// with its frames' DC removed (the frames before them as they are, 0 before
// the data start), never the results. One pass forwards removes the DC of
// each chunk into planes of 16-bit samples (as the sound's width holds
// them), one per channel, lays the taps on from there and writes the frames;
// the planes keep only the widest tap's reach behind the chunk.
struct Reverberator {
  std::array<int64_t, kReverbTaps.size()> reach{};   // dk in frames
  std::array<int32_t, kReverbTaps.size()> weight{};  // gain * level
  int32_t dry = 0;
  int64_t widest = 0;
  int64_t capacity = 0;  // frames per plane
  MemoryBlock planes;

  int Start(const ReverbParams& p, const SoundView& v, const Scratch& scratch) {
    const uint32_t rate = v.Rate();
    const auto time = static_cast<uint32_t>(p.time);
    for (size_t t = 0; t < kReverbTaps.size(); ++t) {
      reach[t] = rate * kReverbTaps[t].ms / 1000u * time / 1000u;
      weight[t] = kReverbTaps[t].gain * p.level;
      widest = std::max(widest, reach[t]);
    }
    dry = p.dry;
    // The reach behind, and room ahead for enough chunks that moving the
    // reach back to the start costs little.
    capacity = widest + std::max(widest, 16 * kChunkFrames);
    return scratch.Get(planes, static_cast<size_t>(capacity * v.Channels()) * sizeof(int16_t));
  }
  int16_t* Plane(int ch) { return reinterpret_cast<int16_t*>(planes.data()) + ch * capacity; }

  template <class Fmt>
  void Run(Fmt fmt, const SoundView& v) {
    const int32_t align = fmt.Align();
    const int channels = fmt.Count();
    // The planes hold frames from `base` (absolute) on, `held` of them.
    int64_t base = v.first - std::min(widest, v.first), held = v.first - base;
    for (int ch = 0; ch < channels; ++ch) {
      int16_t* plane = Plane(ch);
      const uint8_t* from = v.source + base * align;
      VectorLoop(held, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        plane[i] = static_cast<int16_t>(fmt.Read(from + i * align, ch));
      });
    }
    std::vector<double> sums(static_cast<size_t>(channels) + 1, 0.0);
    std::vector<int32_t> acc(kChunkFrames);
    Progress progress{v, 0, 0};
    for (int64_t k0 = 0; k0 < v.frames; k0 += kChunkFrames) {
      const int64_t n = std::min(kChunkFrames, v.frames - k0), a0 = v.first + k0;
      if (held + n > capacity) {
        for (int ch = 0; ch < channels; ++ch)
          std::memmove(Plane(ch), Plane(ch) + held - widest, widest * sizeof(int16_t));
        base += held - widest;
        held = widest;
      }
      RemoveDcFrames(fmt, v.SourceRange() + k0 * align, n, sums.data(),
                     [&](int64_t i, int ch, int32_t x) {
                       Plane(ch)[held + i] = static_cast<int16_t>(Held(fmt, x));
                     });
      held += n;
      for (int ch = 0; ch < channels; ++ch) {
        const int16_t* here = Plane(ch) + (a0 - base);
        int32_t* sum = acc.data();
        std::fill(sum, sum + n, 0);
        for (size_t t = 0; t < reach.size(); ++t) {
          const int32_t w = weight[t];
          if (w == 0) continue;
          // Frames whose tap lies before the data start read 0.
          const int64_t skip = std::clamp<int64_t>(reach[t] - a0, 0, n);
          const int16_t* from = here + skip - reach[t];
          int32_t* to = sum + skip;
          VectorLoop(n - skip,
                     [=](int64_t i) KELVORA_ALWAYS_INLINE { to[i] += from[i] * w / 12800; });
        }
        uint8_t* frames = v.out + k0 * align;
        const int32_t d = dry;
        VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
          fmt.Write(frames + i * fmt.Align(), here[i] * d / 100 + sum[i], ch);
        });
      }
      progress.To(2 * (k0 + n));
    }
  }

  // The progress calls of the DC removal over every frame and then of the
  // taps over every frame, as when they ran one after the other, spread
  // over the one pass: `calls` of them out in all.
  struct Progress {
    const SoundView& v;
    int64_t dc, taps;  // frames reported by each
    void To(int64_t calls) {
      if (v.progress == nullptr) return;
      const int64_t d = std::min(calls, v.frames) - dc;
      if (d > 0) ShowProgressSpan(texts::kNameRemoveDc, dc * v.Align(), v.Align(), d, v.Length());
      dc += std::max<int64_t>(d, 0);
      const int64_t t = calls - v.frames - taps;
      if (t > 0) ShowProgressSpan(v.progress, taps * v.Align(), v.Align(), t, v.Length());
      taps += std::max<int64_t>(t, 0);
    }
  };
};

}  // namespace

int EchoPass(const EchoParams& p, const SoundView& v, const Scratch& scratch) {
  Echoer echo;
  if (!echo.Start(p, v, scratch)) return 0;
  echo.Render(v, v.out);
  return 1;
}

int ReverbPass(const ReverbParams& p, const SoundView& v, const Scratch& scratch) {
  Reverberator reverb;
  if (!reverb.Start(p, v, scratch)) return 0;
  v.WithFormat([&](auto fmt) { reverb.Run(fmt, v); });
  return 1;
}

namespace {

ParamBindings EchoControls() {
  EchoParams& p = Params<EchoParams>();
  return {{.id = 200, .value = &p.delay, .min = 0, .max = 1000},
          {.id = 202, .value = &p.level, .min = 0, .max = 100},
          {.id = 204, .value = &p.feedback, .min = 0, .max = 100}};
}

ParamBindings ReverbControls() {
  ReverbParams& p = Params<ReverbParams>();
  return {{.id = 200, .value = &p.time, .min = 0, .max = 2000},
          {.id = 202, .value = &p.level, .min = 0, .max = 100},
          {.id = 204, .value = &p.dry, .min = 0, .max = 100}};
}

}  // namespace

void Echo() {
  static const EffectRecipe kRecipe{texts::kNameEcho, kDialogEcho, EchoControls};
  RunEffect(kRecipe,
            [](EffectRun& run) { return EchoPass(Params<EchoParams>(), run.view, run.scratch); });
}

void Reverb() {
  static const EffectRecipe kRecipe{texts::kNameReverb, kDialogReverb, ReverbControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    return ReverbPass(Params<ReverbParams>(), run.view, run.scratch);
  });
}

}  // namespace kelvora
