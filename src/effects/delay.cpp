// Echo with feedback, and the reverb's fixed taps.
#include "effects/delay.h"

#include <algorithm>
#include <array>
#include <vector>

#include "effects/amplitude.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"

namespace kelvora {

EchoParams& EchoParameters() {
  static EchoParams params;
  return params;
}
ReverbParams& ReverbParameters() {
  static ReverbParams params;
  return params;
}

void ResetDelayParameters() {
  EchoParameters() = {};
  ReverbParameters() = {};
}

namespace {

// ----- Echo -----------------------------------------------------------------

ParamBindings EchoControls() {
  EchoParams& p = EchoParameters();
  return {{.id = 200, .value = &p.delay, .min = 0, .max = 1000},
          {.id = 202, .value = &p.level, .min = 0, .max = 100},
          {.id = 204, .value = &p.feedback, .min = 0, .max = 100}};
}

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

  int Start(EffectRun& run) {
    const EchoParams& p = EchoParameters();
    delay = Doc().format.nSamplesPerSec * static_cast<uint32_t>(p.delay) / 1000u;
    level = p.level;
    feedback = p.feedback;
    // Echoes of the selection that fall after its end are dropped.
    if (delay == 0 || delay >= run.frames) return 1;
    return run.Scratch(ring, size_t{delay} * run.channels * sizeof(int32_t), true);
  }
  int64_t ResultBytes(const EffectRun&) const { return kInPlace; }
  int32_t ResultSpare() const { return 16; }

  void Flow(EffectRun& run, uint8_t* out) {
    WithFrameFormat([&](auto fmt) {
      const ProgressPlan plan{run.name, 0, run.align, run.length};
      if (delay >= run.frames) {
        ForEachChunk(run.frames, &plan, [](int64_t, int64_t) {});
        return;
      }
      const int32_t l = level, f = feedback;
      if (delay == 0) {
        ForEachChunk(run.frames, &plan, [&](int64_t first, int64_t n) {
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
      ForEachChunk(run.frames, &plan, [&](int64_t first, int64_t n) {
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

ParamBindings ReverbControls() {
  ReverbParams& p = ReverbParameters();
  return {{.id = 200, .value = &p.time, .min = 0, .max = 2000},
          {.id = 202, .value = &p.level, .min = 0, .max = 100},
          {.id = 204, .value = &p.dry, .min = 0, .max = 100}};
}

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
// times gain * level / 12800, every term truncated. The taps read the DC-
// removed sound and never the results, so they come from a copy of it: one
// plane per channel from the earliest frame a tap reaches (not before the
// data start, where reads are 0) to the selection end.
struct Reverberator {
  std::array<int64_t, kReverbTaps.size()> reach{};   // dk in frames
  std::array<int32_t, kReverbTaps.size()> weight{};  // gain * level
  int32_t dry = 0;
  int64_t first = 0, lo = 0, span = 0;  // frames: selection start, plane start, plane length
  MemoryBlock planes;

  int Start(EffectRun& run) {
    const ReverbParams& p = ReverbParameters();
    const uint32_t rate = Doc().format.nSamplesPerSec;
    const auto time = static_cast<uint32_t>(p.time);
    int64_t widest = 0;
    for (size_t t = 0; t < kReverbTaps.size(); ++t) {
      reach[t] = rate * kReverbTaps[t].ms / 1000u * time / 1000u;
      weight[t] = kReverbTaps[t].gain * p.level;
      widest = std::max(widest, reach[t]);
    }
    dry = p.dry;
    first = run.align == 0 ? 0 : run.start / run.align;
    lo = first - std::min(widest, first);
    span = first + run.frames - lo;
    if (!run.Scratch(planes, static_cast<size_t>(span * run.channels) * sizeof(int16_t) + 32))
      return 0;
    run.RunCommandFirst(RemoveDc);
    WithFrameFormat([&](auto fmt) {
      const uint8_t* from = Doc().bytes() + lo * fmt.Align();
      for (int ch = 0; ch < fmt.Count(); ++ch) {
        int16_t* plane = Plane(ch);
        VectorLoop(span, [=](int64_t i) KELVORA_ALWAYS_INLINE {
          plane[i] = static_cast<int16_t>(fmt.Read(from + i * fmt.Align(), ch));
        });
      }
    });
    return 1;
  }
  int64_t ResultBytes(const EffectRun&) const { return kInPlace; }
  int32_t ResultSpare() const { return 16; }
  int16_t* Plane(int ch) { return reinterpret_cast<int16_t*>(planes.data()) + ch * span; }

  void Flow(EffectRun& run, uint8_t* out) {
    std::vector<int32_t> acc(kChunkFrames);
    WithFrameFormat([&](auto fmt) {
      const ProgressPlan plan{run.name, 0, run.align, run.length};
      ForEachChunk(run.frames, &plan, [&](int64_t k0, int64_t n) {
        for (int ch = 0; ch < fmt.Count(); ++ch) {
          const int16_t* here = Plane(ch) + (first + k0 - lo);  // frame k0 of the selection
          int32_t* sum = acc.data();
          std::fill(sum, sum + n, 0);
          for (size_t t = 0; t < reach.size(); ++t) {
            const int32_t w = weight[t];
            if (w == 0) continue;
            // Frames whose tap lies before the data start read 0.
            const int64_t skip = std::clamp<int64_t>(reach[t] - (first + k0), 0, n);
            const int16_t* from = here + skip - reach[t];
            int32_t* to = sum + skip;
            VectorLoop(n - skip,
                       [=](int64_t i) KELVORA_ALWAYS_INLINE { to[i] += from[i] * w / 12800; });
          }
          uint8_t* frames = out + k0 * fmt.Align();
          const int32_t d = dry;
          VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
            fmt.Write(frames + i * fmt.Align(), here[i] * d / 100 + sum[i], ch);
          });
        }
      });
    });
  }
};

}  // namespace

void Echo() {
  static const EffectRecipe kRecipe{texts::kNameEcho, 108, EchoControls};
  Echoer echo;
  RunProcessor(kRecipe, echo);
}

void Reverb() {
  static const EffectRecipe kRecipe{texts::kNameReverb, 129, ReverbControls};
  Reverberator reverb;
  RunProcessor(kRecipe, reverb);
}

}  // namespace kelvora
