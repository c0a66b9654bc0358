// Flanger and vibrato on the swept read; tremolo's swept gain.
#include "effects/modulation.h"

#include <algorithm>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/swept_read.h"
#include "effects/texts.h"
#include "resources/dialogs.h"

namespace kelvora {

namespace {

bool Mono() { return Doc().format.nChannels == 1; }

// Over the view's frames: for frame k, emit(frame, ch, x, w) with the
// sample x and the swept read w at the oscillator's present delay; then the
// oscillator advances at depth depth_at(k). Reads come from the sound as it
// was (the view's source), so the frames already written never feed back.
template <class Fmt, class DepthAt, class Emit>
void Sweep(Fmt fmt, const SoundView& v, int32_t rate, int32_t max_depth, DepthAt depth_at,
           Emit emit) {
  SweepOscillator osc(v.Rate(), rate);
  const SweptRead<Fmt> read{fmt, v.source, v.sourceLength};
  const int64_t first = v.first;
  const int64_t total = (v.sourceLength + fmt.Align() - 1) / fmt.Align();
  const int64_t reach = SweptRead<Fmt>::Reach(max_depth);
  // Frames [safe_lo, safe_hi) read inside the sound at any delay.
  const int64_t safe_lo = std::clamp<int64_t>(reach - first, 0, v.frames);
  const int64_t safe_hi = std::clamp<int64_t>(total - reach - first, safe_lo, v.frames);
  auto frames = [&]<bool kChecked>(int64_t from, int64_t to) {
    uint8_t* frame = v.out + from * fmt.Align();
    for (int64_t k = from; k < to; ++k, frame += fmt.Align()) {
      const int32_t d = osc.delay();
      for (int ch = 0; ch < fmt.Count(); ++ch)
        emit(frame, ch, fmt.Read(frame, ch), read.template At<kChecked>(first + k, d, ch));
      osc.Advance(depth_at(k));
    }
  };
  const ProgressPlan plan = v.Plan(0, v.Align(), v.Length());
  ForEachChunk(v.frames, &plan, [&](int64_t k0, int64_t n) {
    const int64_t k1 = k0 + n;
    const int64_t a = std::clamp(safe_lo, k0, k1), b = std::clamp(safe_hi, a, k1);
    frames.template operator()<true>(k0, a);
    frames.template operator()<false>(a, b);
    frames.template operator()<true>(b, k1);
  });
}

ParamBindings FlangerControls() {
  FlangerParams& p = Params<FlangerParams>();
  // A mono sound has no second channel to keep dry.
  if (Mono()) p.stereo = 0;
  return {{.id = 200, .value = &p.level, .min = 0, .max = 100},
          {.id = 202, .value = &p.depth, .min = 0, .max = 100},
          {.id = 204, .value = &p.rate, .min = 0, .max = 100},
          {.id = 208, .value = &p.stereo, .min = Mono() ? 1 : 0}};
}

ParamBindings VibratoControls() {
  VibratoParams& p = Params<VibratoParams>();
  return {{.id = 200, .value = &p.depth, .min = 0, .max = 100},
          {.id = 202, .value = &p.rate, .min = 1, .max = 200},
          {.id = 204, .value = &p.delay, .min = 0, .max = 100}};
}

ParamBindings TremoloControls() {
  TremoloParams& p = Params<TremoloParams>();
  return {{.id = 200, .value = &p.level, .min = 0, .max = 100},
          {.id = 202, .value = &p.rate, .min = 0, .max = 100},
          {.id = 204, .value = &p.autopan, .min = Mono() ? 1 : 0}};
}

}  // namespace

// The swept read W mixed with the sound: with stereo flange, channel 0
// becomes x * (100 - level) / 100 + W * level / 100 and the others stay dry;
// otherwise every channel becomes (x + W * level / 100) / 2.
void FlangerPass(const FlangerParams& p, const SoundView& v) {
  const int32_t level = p.level, depth = p.depth;
  const bool stereo = p.stereo != 0;
  v.WithFormat([&](auto fmt) {
    auto depth_at = [depth](int64_t) { return depth; };
    if (stereo) {
      Sweep(fmt, v, p.rate, depth, depth_at, [&](uint8_t* frame, int ch, int32_t x, int32_t w) {
        if (ch == 0) fmt.Write(frame, x * (100 - level) / 100 + Held(fmt, w) * level / 100, 0);
      });
    } else {
      Sweep(fmt, v, p.rate, depth, depth_at, [&](uint8_t* frame, int ch, int32_t x, int32_t w) {
        fmt.Write(frame, (x + Held(fmt, w) * level / 100) / 2, ch);
      });
    }
  });
}

// The swept read alone, its depth growing from 0 over the delay time:
// depth * k / R for frame k below R = delay * rate / 10 frames.
void VibratoPass(const VibratoParams& p, const SoundView& v) {
  const auto depth = static_cast<uint32_t>(p.depth);
  const uint32_t rise = static_cast<uint32_t>(p.delay) * v.Rate() / 10u;
  // 64 bits: depth * k passes 2^32 after 43 million frames.
  auto depth_at = [depth, rise](int64_t k) {
    return static_cast<int32_t>(static_cast<uint64_t>(k) < rise
                                    ? uint64_t{depth} * static_cast<uint64_t>(k) / rise
                                    : depth);
  };
  v.WithFormat([&](auto fmt) {
    Sweep(fmt, v, p.rate, p.depth, depth_at,
          [&](uint8_t* frame, int ch, int32_t, int32_t w) { fmt.Write(frame, w, ch); });
  });
}

// The gain dips by g = (s + 10000) * level / 20000 percent, s the table at
// ((n * 102 / rate) * step) mod 1024 for frame n; with auto-pan the odd
// channels dip by level - g instead. n * 102 is kept in 64 bits, so that
// the sweep keeps its phase past 42 million frames.
void TremoloPass(const TremoloParams& p, const SoundView& v) {
  const int32_t level = p.level;
  const auto step = static_cast<uint32_t>(p.rate);
  const bool autopan = p.autopan != 0;
  const uint32_t rate = v.Rate();
  // n * 102 / rate, followed by its remainder.
  uint64_t whole = 0, rest = 0;
  int32_t even[kChunkFrames], odd[kChunkFrames];
  v.WithFormat([&](auto fmt) {
    const ProgressPlan plan = v.Plan(0, v.Align(), v.Length());
    ForEachChunk(v.frames, &plan, [&](int64_t k0, int64_t n) {
      for (int64_t i = 0; i < n; ++i) {
        const uint32_t index = (static_cast<uint32_t>(whole) * step) % kSineTableSize;
        const int32_t g = (SineTable()[index] + 10000) * level / 20000;
        even[i] = 100 - g;
        odd[i] = autopan ? g - level + 100 : 100 - g;
        if (rate == 0) continue;  // no frame period: the sweep stands still
        rest += 102;
        while (rest >= rate) rest -= rate, ++whole;
      }
      uint8_t* frames = v.out + k0 * fmt.Align();
      const int32_t* e = even;
      const int32_t* o = odd;
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        uint8_t* frame = frames + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(frame, fmt.Read(frame, ch) * ((ch & 1) ? o[i] : e[i]) / 100, ch);
      });
    });
  });
}

// ----- Commands ---------------------------------------------------------------

void Flanger() {
  static const EffectRecipe kRecipe{texts::kNameFlanger, kDialogFlanger, FlangerControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    FlangerPass(Params<FlangerParams>(), run.view);
    return 1;
  });
}

void Vibrato() {
  static const EffectRecipe kRecipe{texts::kNameVibrato, kDialogVibrato, VibratoControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    VibratoPass(Params<VibratoParams>(), run.view);
    return 1;
  });
}

void Tremolo() {
  static const EffectRecipe kRecipe{texts::kNameTremolo, kDialogTremolo, TremoloControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    TremoloPass(Params<TremoloParams>(), run.view);
    return 1;
  });
}

}  // namespace kelvora
