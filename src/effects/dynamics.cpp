// Noise gate, compressor, distortion and noise removal.
#include "effects/dynamics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"
#include "resources/dialogs.h"

namespace kelvora {

namespace {

// ----- Noise gate -------------------------------------------------------------

ParamBindings NoiseGateControls() {
  NoiseGateParams& p = Params<NoiseGateParams>();
  return {{.id = 200, .value = &p.level, .min = 0, .max = 100},
          {.id = 202, .value = &p.attack, .min = 1, .max = 500},
          {.id = 204, .value = &p.release, .min = 1, .max = 500}};
}

// Frames for `ms` milliseconds, in unsigned arithmetic. A rate so low that
// this is 0 opens or closes the gate within one frame instead of dividing
// by zero.
uint32_t GateFrames(int32_t ms, uint32_t rate) {
  const uint32_t frames = static_cast<uint32_t>(ms) * rate / 1000;
  return std::max(frames, 1u);
}

}  // namespace

// The gain G (millionths) applies in whole percent; after each frame it
// closes by 1/R or opens by 1/A depending on a peak P that rises at once and
// falls by 10 per frame.
void NoiseGatePass(const NoiseGateParams& params, const SoundView& v) {
  const auto open = static_cast<int32_t>(1000000u / GateFrames(params.attack, v.Rate()));
  const auto close = static_cast<int32_t>(1000000u / GateFrames(params.release, v.Rate()));
  const int32_t threshold = params.level * 32768 / 100;
  int32_t gain = 1000000, peak = 0;
  // Per chunk: the loudest sample of each frame, then the short chain of
  // peak and gain alone, then the gains applied; the two ends vectorise.
  std::vector<int32_t> loud(kChunkFrames), percent(kChunkFrames);
  v.WithFormat([&](auto fmt) {
    const ProgressPlan plan = v.Plan(0, v.Align(), v.Length());
    ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t n) {
      uint8_t* frames = v.out + first * fmt.Align();
      int32_t* l = loud.data();
      int32_t* p = percent.data();
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        int32_t m = 0;
        for (int ch = 0; ch < fmt.Count(); ++ch)
          m = std::max(m, std::abs(fmt.Read(frames + i * fmt.Align(), ch)));
        l[i] = m;
      });
      for (int64_t i = 0; i < n; ++i) {
        p[i] = gain / 10000;
        peak = std::max(peak, l[i]);
        gain = peak < threshold ? std::max(gain - close, 0) : std::min(gain + open, 1000000);
        peak -= 10;
      }
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        uint8_t* frame = frames + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(frame, p[i] * fmt.Read(frame, ch) / 100, ch);
      });
    });
  });
}

// ----- Compressor -------------------------------------------------------------

namespace {

ParamBindings CompressorControls() {
  CompressorParams& p = Params<CompressorParams>();
  return {{.id = 200, .value = &p.output, .min = 0, .max = 100},
          {.id = 202, .value = &p.ratio, .min = 1, .max = 100}};
}

}  // namespace

// The envelope of a frame is the mean magnitude of its channels held at the
// sound's sample width, followed at once on the way up and by at most 10 per
// frame on the way down. Every frame's envelope depends only on the frames up
// to it, so envelope and gain are worked out in the one pass that writes,
// and no envelope block is needed (nor can one be short).
void CompressorPass(const CompressorParams& params, const SoundView& v) {
  const int32_t output = params.output, ratio = params.ratio;
  // The gain for every envelope value; below 512 the frame is silenced.
  std::vector<int32_t> gains(32768, 0);
  for (int32_t v = 512; v < 32768; ++v) {
    const int32_t g = std::min(output * 32767 / v, 100);
    gains[v] = (output * (100 - ratio) + g * ratio) / 100;
  }
  v.WithFormat([&](auto fmt) {
    int32_t hold = 0;
    ForEachChunk(v.frames, nullptr, [&](int64_t first, int64_t n) {
      uint8_t* frame = v.out + first * fmt.Align();
      for (int64_t i = 0; i < n; ++i, frame += fmt.Align()) {
        int32_t sum = 0;
        for (int ch = 0; ch < fmt.Count(); ++ch) sum += std::abs(fmt.Read(frame, ch));
        const int32_t v = Held(fmt, std::min(sum / fmt.Count(), 32767));
        hold = std::max(hold, v);
        const int32_t gain = gains[static_cast<size_t>(Held(fmt, hold))];
        hold -= 10;
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(frame, fmt.Read(frame, ch) * gain / 100, ch);
      }
    });
  });
}

// ----- Distortion -------------------------------------------------------------

namespace {

ParamBindings DistortionControls() {
  DistortionParams& p = Params<DistortionParams>();
  return {{.id = 200, .value = &p.depth, .min = 0, .max = 100},
          {.id = 202, .value = &p.mode, .min = kFuzz},
          {.id = 203, .value = &p.mode, .min = kOverdrive}};
}

struct Shaper {
  int32_t depth;
  bool overdrive;
  int32_t operator()(int, int32_t x) const {
    int32_t d;
    if (overdrive)
      d = static_cast<int32_t>(x >= 0 ? std::sqrt(double(x)) * 128 : -std::sqrt(double(-x)) * 128);
    else
      d = x >= 2500 ? 10000 : (x <= -2500 ? -10000 : 4 * x);
    return (d * depth + x * (100 - depth)) / 100;
  }
};

}  // namespace

void DistortionPass(const DistortionParams& params, const SoundView& v) {
  const Shaper shape{params.depth, params.mode != kFuzz};
  v.WithFormat([&](auto fmt) {
    MapSamples(fmt, v.out, v.frames, ChannelSet{true, 0}, 0, v.Plan(0, v.Align(), v.Length()),
               shape);
  });
}

// ----- Noise removal ----------------------------------------------------------

namespace {

ParamBindings NoiseRemovalControls() {
  NoiseRemovalParams& p = Params<NoiseRemovalParams>();
  return {{.id = 200, .value = &p.random, .min = 0, .max = 100},
          {.id = 202, .value = &p.impulse, .min = 0, .max = 10}};
}

// One stage over channel ch of the view's frames: kernel(line, n, frame)
// writes n frames from `frame` given line[j] = the sample `pad` frames
// before frame j as it was before the stage wrote anything (the view's
// frames as they stand, the sound's own frames around them, 0 outside the
// sound). The window slides a chunk at a time, carrying over the values the
// stage has already overwritten.
template <class Fmt, class Kernel>
void ChannelStage(Fmt fmt, const SoundView& v, int ch, int pad, const ProgressPlan& plan,
                  Kernel kernel) {
  std::vector<int32_t> line(static_cast<size_t>(kChunkFrames + 2 * pad));
  auto fill = [&](int64_t from, int64_t to, int32_t* out) {  // frames of the view
    for (int64_t f = from; f < to; ++f)
      *out++ = f >= 0 && f < v.frames
                   ? fmt.Read(v.out + f * fmt.Align(), ch)
                   : ReadFrameOrZero(fmt, v.source, v.sourceLength, v.first + f, ch);
  };
  int64_t carried = 0;
  ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t n) {
    if (first == 0) {
      fill(-pad, n + pad, line.data());
    } else {
      std::copy(line.begin() + carried, line.begin() + carried + 2 * pad, line.begin());
      fill(first + pad, first + n + pad, line.data() + 2 * pad);
    }
    carried = n;
    kernel(line.data(), n, v.out + first * fmt.Align());
  });
}

// The middle of a sorted window of 2W + 1 values, slid one value at a time:
// the same value a fresh ascending sort of the window gives. The window is
// small, so positions are found by counting, which vectorises, and the
// values between the leaving and the entering one shift by one place.
template <int W>
class SlidingMedian {
public:
  explicit SlidingMedian(const int32_t* values) {
    std::copy(values, values + kSize, sorted_);
    std::sort(sorted_, sorted_ + kSize);
  }
  int32_t Middle() const { return sorted_[W]; }
  void Replace(int32_t out, int32_t in) {
    int at = 0, to = 0;
    for (int i = 0; i < kSize; ++i) {
      at += sorted_[i] < out;
      to += sorted_[i] < in;
    }
    // sorted_[at] is the leaving value; `to` counts it when it is smaller.
    if (to > at) {
      for (int i = at; i < to - 1; ++i) sorted_[i] = sorted_[i + 1];
      sorted_[to - 1] = in;
    } else {
      for (int i = at; i > to; --i) sorted_[i] = sorted_[i - 1];
      sorted_[to] = in;
    }
  }

private:
  static constexpr int kSize = 2 * W + 1;
  int32_t sorted_[kSize];
};

// The median stage of channel ch for a half width W known at compile time.
template <int W, class Fmt>
void MedianStage(Fmt fmt, const SoundView& v, int ch, const ProgressPlan& plan) {
  std::optional<SlidingMedian<W>> window;
  ChannelStage(fmt, v, ch, W + 1, plan, [&](const int32_t* line, int64_t n, uint8_t* out) {
    for (int64_t j = 0; j < n; ++j, out += fmt.Align()) {
      const int32_t* c = line + j + W + 1;
      if (!window) window.emplace(c - W);
      fmt.Write(out, window->Middle(), ch);
      window->Replace(c[-W], c[W + 1]);
    }
  });
}

template <class Fmt, int... W>
void MedianStageOf(int width, Fmt fmt, const SoundView& v, int ch, const ProgressPlan& plan,
                   std::integer_sequence<int, W...>) {
  ((width == W + 1 ? MedianStage<W + 1>(fmt, v, ch, plan) : void()), ...);
}

}  // namespace

// Per channel: smoothing toward the mean of seven neighbours (the centre
// counted three times), limited to S * 3276 / 100 either way; then the
// median of 2W + 1 neighbours of the smoothed sound. Each stage reads what
// the previous one wrote, never its own results.
void NoiseRemovalPass(const NoiseRemovalParams& params, const SoundView& v) {
  const int32_t limit = params.random * 3276 / 100;
  const int width = std::clamp(params.impulse, 0, 10);
  const int64_t total = 2 * int64_t{v.Channels()} * v.Length();
  v.WithFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    for (int ch = 0; ch < fmt.Count(); ++ch) {
      const ProgressPlan smooth = v.Plan(2 * ch * v.Length(), align, total);
      // With S = 0 every value is held to itself.
      if (limit <= 0) {
        ForEachChunk(v.frames, &smooth, [](int64_t, int64_t) {});
      } else {
        ChannelStage(fmt, v, ch, 3, smooth, [&](const int32_t* line, int64_t n, uint8_t* out) {
          for (int64_t j = 0; j < n; ++j, out += align) {
            const int32_t* c = line + j + 3;
            const int32_t x = c[0];
            const int32_t sum = 3 * x + c[1] + c[-1] + c[2] + c[-2] + c[3] + c[-3];
            const int32_t a = std::clamp(sum / 9, x - limit, x + limit);
            fmt.Write(out, a, ch);
          }
        });
      }
      const ProgressPlan median = v.Plan((2 * ch + 1) * v.Length(), align, total);
      if (width == 0) {  // the median of one value is that value
        ForEachChunk(v.frames, &median, [](int64_t, int64_t) {});
        continue;
      }
      MedianStageOf(width, fmt, v, ch, median, std::make_integer_sequence<int, 10>());
    }
  });
}

// ----- Commands ---------------------------------------------------------------

void NoiseGate() {
  static const EffectRecipe kRecipe{texts::kNameNoiseGate, kDialogNoiseGate, NoiseGateControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    NoiseGatePass(Params<NoiseGateParams>(), run.view);
    return 1;
  });
}

void Compressor() {
  static const EffectRecipe kRecipe{texts::kNameCompressor, kDialogCompressor, CompressorControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    CompressorPass(Params<CompressorParams>(), run.view);
    return 1;
  });
}

void Distortion() {
  static const EffectRecipe kRecipe{texts::kNameDistortion, kDialogDistortion, DistortionControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    DistortionPass(Params<DistortionParams>(), run.view);
    return 1;
  });
}

void NoiseRemoval() {
  static const EffectRecipe kRecipe{texts::kNameNoiseRemoval, kDialogNoiseRemoval,
                                    NoiseRemovalControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    NoiseRemovalPass(Params<NoiseRemovalParams>(), run.view);
    return 1;
  });
}

}  // namespace kelvora
