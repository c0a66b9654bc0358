// Silence, white noise and tones: each opens room at the insertion point,
// then writes over the new frames.
#include <algorithm>
#include <cstring>

#include "document/frame_format.h"
#include "document/operation.h"
#include "document/params.h"
#include "document/sine_table.h"
#include "effects/effect_runner.h"
#include "generators/generators.h"
#include "generators/texts.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

int64_t OpenRoomAtInsertionPoint(int64_t bytes, const char* caption) {
  SoundDocument& doc = Doc();
  const int64_t length = int64_t{doc.length} + bytes;
  if (length > kMaxSoundBytes || !doc.data.Resize(static_cast<size_t>(length) + kSpareBytes)) {
    RestoreAfterShortage(caption);
    return -1;
  }
  const int32_t at = std::clamp(doc.movingEnd, 0, doc.length);
  uint8_t* base = doc.bytes();
  std::memmove(base + at + bytes, base + at, static_cast<size_t>(doc.length - at));
  doc.length = static_cast<int32_t>(length);
  return at;
}

namespace {

// The frames just inserted and selected, for a generator to write over.
SoundView NewFrames(const char* progress) {
  SoundDocument& doc = Doc();
  SoundView v;
  v.format = doc.format;
  v.bytesPerChannel = doc.bytesPerChannelSample;
  v.source = doc.bytes();
  v.sourceLength = doc.length;
  v.first = doc.selStart / doc.format.nBlockAlign;
  v.frames = (doc.selEnd - doc.selStart) / doc.format.nBlockAlign;
  v.out = doc.bytes() + doc.selStart;
  v.progress = progress;
  return v;
}

}  // namespace

void BlankPass(const SilenceParams&, const SoundView& v) {
  v.WithFormat([&](auto fmt) {
    uint8_t* p = v.out;
    VectorLoop(v.frames, [=](int64_t i) KELVORA_ALWAYS_INLINE {
      for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(p + i * fmt.Align(), 0, ch);
    });
  });
}

int InsertBlankFrames(int32_t ms) {
  SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  // Computed in 64 bits: the same as 32-bit arithmetic for every rate below
  // 858 kHz, and no wrapped length above.
  const int64_t frames = int64_t{f.nSamplesPerSec} * std::max(ms, 0) / 1000;
  const int64_t bytes = frames * f.nBlockAlign;
  const int64_t room = OpenRoomAtInsertionPoint(bytes, texts::kCaptionGenerator);
  if (room < 0) return 0;
  const auto at = static_cast<int32_t>(room);
  doc.selStart = at;
  doc.selEnd = doc.movingEnd = static_cast<int32_t>(at + bytes);
  doc.modified = true;
  BlankPass(SilenceParams{}, NewFrames(nullptr));
  return 1;
}

void InsertSilence() {
  static const EffectRecipe kRecipe{
      .name = texts::kCaptionGenerator,
      .dialogId = kDialogInsertSilence,
      .controls =
          [] {
            return ParamBindings{{.id = 200, .value = &Params<SilenceParams>().time, .max = 5000}};
          },
      .busy = false,
      .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) { return InsertBlankFrames(Params<SilenceParams>().time); });
}

namespace {

// Uniform integers 0..32767 (the high bits of a 64-bit xorshift*).
class NoiseSource {
public:
  explicit NoiseSource(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  int32_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<int32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 49);
  }

private:
  uint64_t state_;
};

ParamBindings NoiseControls() {
  NoiseParams& p = Params<NoiseParams>();
  // A mono sound has one channel of noise: the box shows the third state.
  const bool mono = Doc().format.nChannels < 2;
  if (mono) p.stereo = 0;
  return {{.id = 200, .value = &p.volume, .max = 100},
          {.id = 202, .value = &p.time, .max = 5000},
          {.id = 204, .value = &p.stereo, .min = mono ? 1 : 0}};
}

}  // namespace

void NoisePass(const NoiseParams& p, uint64_t seed, const SoundView& v) {
  // Volume 0 leaves the silence: (r mod 0) has no value.
  const int32_t a = std::clamp(p.volume, 0, 100) * 256 / 100;
  if (a == 0) return;
  NoiseSource rng(seed);
  const int32_t half = a >> 1;
  const bool each = p.stereo != 0 && v.Channels() >= 2;
  v.WithFormat([&](auto fmt) {
    const ProgressPlan plan = v.Plan(fmt.Align(), fmt.Align(), v.Length());
    ForEachChunk(v.frames, &plan, [&](int64_t first, int64_t n) {
      uint8_t* frame = v.out + first * fmt.Align();
      for (int64_t i = 0; i < n; ++i, frame += fmt.Align()) {
        int32_t x = (rng.Next() % a - half) * 256;
        for (int ch = 0; ch < fmt.Count(); ++ch) {
          if (each && ch > 0) x = (rng.Next() % a - half) * 256;
          fmt.Write(frame, x, ch);
        }
      }
    });
  });
}

void GenerateNoise() {
  static const EffectRecipe kRecipe{.name = texts::kCaptionGenerator,
                                    .dialogId = kDialogNoise,
                                    .controls = NoiseControls,
                                    .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) {
    const NoiseParams& p = Params<NoiseParams>();
    if (!InsertBlankFrames(p.time)) return 0;
    const int64_t seed = p.seed >= 0 ? p.seed : Services().clock->NowMs() / 1000;
    NoisePass(p, static_cast<uint64_t>(seed), NewFrames(texts::kProgressNoise));
    return 1;
  });
}

namespace {

// The table entry of phase p (0..10000 ten-thousandths of a cycle).
inline int32_t SineAt(int32_t p) {
  const int32_t i = p * kSineTableSize / 10000;
  return SineTable()[i >= kSineTableSize ? 0 : i];
}

ParamBindings ToneControls() {
  ToneParams& p = Params<ToneParams>();
  return {{.id = 101, .value = &p.volume, .max = 100},
          {.id = 103, .value = &p.frequency, .min = 30, .max = 10000},
          {.id = 105, .value = &p.time, .max = 5000},
          {.id = 107, .value = &p.wave, .min = 0},
          {.id = 108, .value = &p.wave, .min = 1},
          {.id = 109, .value = &p.wave, .min = 2},
          {.id = 110, .value = &p.fm},
          {.id = 111, .value = &p.depth, .max = 100},
          {.id = 113, .value = &p.ratio, .max = 100}};
}

}  // namespace

void TonePass(const ToneParams& p, const SoundView& v) {
  const uint32_t frequency = static_cast<uint32_t>(std::clamp(p.frequency, 30, 10000));
  // A frequency above the rate would make the period 0: the highest tone
  // the rate allows (period 1) is the continuation of the rule above half
  // the rate.
  const auto period = static_cast<int32_t>(std::max<uint32_t>(v.Rate() / frequency, 1));
  const int32_t carrierStep = 10000 / period;
  const int32_t depth = std::clamp(p.depth, 0, 100) * 32767 / 100;
  const int32_t modulatorStep = carrierStep * std::clamp(p.ratio, 0, 100) / 10;
  const int32_t amplitude = std::clamp(p.volume, 0, 100) * 32767 / 100;
  const bool fm = p.fm != 0;
  const int wave = p.wave;
  v.WithFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    const int64_t frames = v.frames;
    uint8_t* first = v.out;
    if (fm) {
      // Channel 0 of the new frames holds the modulator, at the sound's
      // own sample width, until the carrier pass reads it back.
      int32_t q = 0;
      for (int64_t i = 0; i < frames; ++i) {
        while (q > 10000) q -= 10000;
        fmt.Write(first + i * align, SineAt(q) * depth / 10000, 0);
        q += modulatorStep;
      }
    }
    const ProgressPlan plan = v.Plan(align, align, v.Length());
    int32_t q = 0;
    ForEachChunk(frames, &plan, [&](int64_t from, int64_t n) {
      uint8_t* frame = v.out + from * align;
      for (int64_t i = 0; i < n; ++i, frame += align) {
        while (q > 10000) q -= 10000;
        int32_t e = q;
        if (fm) {
          e = q + fmt.Read(frame, 0) / 8;
          if (e < 0) e += 10000;
          e %= 10000;
        }
        int32_t x;
        if (wave == 0)
          x = e > 5000 ? amplitude : -amplitude;
        else if (wave == 2)
          x = -amplitude + amplitude * e / 5000;
        else
          x = SineAt(e) * amplitude / 10000;
        for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(frame, x, ch);
        q += carrierStep;
      }
    });
  });
}

void GenerateTone() {
  static const EffectRecipe kRecipe{.name = texts::kCaptionGenerator,
                                    .dialogId = kDialogTone,
                                    .controls = ToneControls,
                                    .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) {
    const ToneParams& p = Params<ToneParams>();
    if (!InsertBlankFrames(p.time)) return 0;
    TonePass(p, NewFrames(texts::kProgressTone));
    return 1;
  });
}

}  // namespace kelvora
