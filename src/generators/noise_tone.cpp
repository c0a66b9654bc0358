// Silence, white noise and tones: each opens room at the insertion point,
// then writes over the new frames.
#include <algorithm>
#include <cstring>

#include "document/frame_format.h"
#include "document/operation.h"
#include "document/sine_table.h"
#include "effects/effect_runner.h"
#include "generators/generators.h"
#include "generators/texts.h"
#include "platform/platform.h"

namespace kelvora {

SilenceParams& SilenceParameters() {
  static SilenceParams params;
  return params;
}
NoiseParams& NoiseParameters() {
  static NoiseParams params;
  return params;
}
ToneParams& ToneParameters() {
  static ToneParams params;
  return params;
}

namespace {

int64_t g_noise_seed = -1;

}  // namespace

void SetNoiseSeed(int64_t seed) { g_noise_seed = seed; }

void ResetGeneratorParameters() {
  SilenceParameters() = SilenceParams{};
  NoiseParameters() = NoiseParams{};
  ToneParameters() = ToneParams{};
  MelodyParameters() = MelodyParams{};
  g_noise_seed = -1;
}

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
  uint8_t* base = doc.bytes();
  WithFrameFormat([&](auto fmt) {
    uint8_t* p = base + at;
    VectorLoop(frames, [=](int64_t i) KELVORA_ALWAYS_INLINE {
      for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(p + i * fmt.Align(), 0, ch);
    });
  });
  doc.selStart = at;
  doc.selEnd = doc.movingEnd = static_cast<int32_t>(at + bytes);
  doc.modified = true;
  return 1;
}

void InsertSilence() {
  static const EffectRecipe kRecipe{
      .name = texts::kCaptionGenerator,
      .dialogId = 115,
      .controls =
          [] {
            return ParamBindings{{.id = 200, .value = &SilenceParameters().time, .max = 5000}};
          },
      .busy = false,
      .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) { return InsertBlankFrames(SilenceParameters().time); });
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
  NoiseParams& p = NoiseParameters();
  // A mono sound has one channel of noise: the box shows the third state.
  const bool mono = Doc().format.nChannels < 2;
  if (mono) p.stereo = 0;
  return {{.id = 200, .value = &p.volume, .max = 100},
          {.id = 202, .value = &p.time, .max = 5000},
          {.id = 204, .value = &p.stereo, .min = mono ? 1 : 0}};
}

}  // namespace

void GenerateNoise() {
  static const EffectRecipe kRecipe{.name = texts::kCaptionGenerator,
                                    .dialogId = 113,
                                    .controls = NoiseControls,
                                    .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) {
    const NoiseParams& p = NoiseParameters();
    if (!InsertBlankFrames(p.time)) return 0;
    // Volume 0 leaves the silence: (r mod 0) has no value.
    const int32_t a = std::clamp(p.volume, 0, 100) * 256 / 100;
    if (a == 0) return 1;
    const SoundDocument& doc = Doc();
    const int64_t seed = g_noise_seed >= 0 ? g_noise_seed : Services().clock->NowMs() / 1000;
    NoiseSource rng(static_cast<uint64_t>(seed));
    const int32_t half = a >> 1;
    const bool each = p.stereo != 0 && doc.format.nChannels >= 2;
    const int32_t start = doc.selStart;
    const int32_t bytes = doc.selEnd - doc.selStart;
    WithFrameFormat([&](auto fmt) {
      const int64_t frames = bytes / fmt.Align();
      const ProgressPlan plan{texts::kProgressNoise, fmt.Align(), fmt.Align(), bytes};
      ForEachChunk(frames, &plan, [&](int64_t first, int64_t n) {
        uint8_t* frame = Doc().bytes() + start + first * fmt.Align();
        for (int64_t i = 0; i < n; ++i, frame += fmt.Align()) {
          int32_t v = (rng.Next() % a - half) * 256;
          for (int ch = 0; ch < fmt.Count(); ++ch) {
            if (each && ch > 0) v = (rng.Next() % a - half) * 256;
            fmt.Write(frame, v, ch);
          }
        }
      });
    });
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
  ToneParams& p = ToneParameters();
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

void GenerateTone() {
  static const EffectRecipe kRecipe{.name = texts::kCaptionGenerator,
                                    .dialogId = 116,
                                    .controls = ToneControls,
                                    .selectAll = false};
  RunEffect(kRecipe, [](EffectRun&) {
    const ToneParams& p = ToneParameters();
    if (!InsertBlankFrames(p.time)) return 0;
    const SoundDocument& doc = Doc();
    const uint32_t frequency = static_cast<uint32_t>(std::clamp(p.frequency, 30, 10000));
    // A frequency above the rate would make the period 0: the highest tone
    // the rate allows (period 1) is the continuation of the rule above half
    // the rate.
    const auto period =
        static_cast<int32_t>(std::max<uint32_t>(doc.format.nSamplesPerSec / frequency, 1));
    const int32_t carrierStep = 10000 / period;
    const int32_t depth = std::clamp(p.depth, 0, 100) * 32767 / 100;
    const int32_t modulatorStep = carrierStep * std::clamp(p.ratio, 0, 100) / 10;
    const int32_t amplitude = std::clamp(p.volume, 0, 100) * 32767 / 100;
    const bool fm = p.fm != 0;
    const int wave = p.wave;
    const int32_t start = doc.selStart;
    const int32_t bytes = doc.selEnd - doc.selStart;
    WithFrameFormat([&](auto fmt) {
      const int32_t align = fmt.Align();
      const int64_t frames = bytes / align;
      uint8_t* first = Doc().bytes() + start;
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
      const ProgressPlan plan{texts::kProgressTone, align, align, bytes};
      int32_t q = 0;
      ForEachChunk(frames, &plan, [&](int64_t from, int64_t n) {
        uint8_t* frame = Doc().bytes() + start + from * align;
        for (int64_t i = 0; i < n; ++i, frame += align) {
          while (q > 10000) q -= 10000;
          int32_t e = q;
          if (fm) {
            e = q + fmt.Read(frame, 0) / 8;
            if (e < 0) e += 10000;
            e %= 10000;
          }
          int32_t v;
          if (wave == 0)
            v = e > 5000 ? amplitude : -amplitude;
          else if (wave == 2)
            v = -amplitude + amplitude * e / 5000;
          else
            v = SineAt(e) * amplitude / 10000;
          for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(frame, v, ch);
          q += carrierStep;
        }
      });
    });
    return 1;
  });
}

}  // namespace kelvora
