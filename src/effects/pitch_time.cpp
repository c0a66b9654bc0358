// Pitch (resampling), time stretch (overlap-add) and transpose (both in a
// row, with an optional mix of the result into the original).
#include "effects/pitch_time.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/resample_sola.h"
#include "effects/texts.h"
#include "resources/dialogs.h"

namespace kelvora {

namespace {

BlockFormat FormatOf(const SoundView& v) { return {v.format, v.bytesPerChannel}; }

}  // namespace

// ----- Pitch -----------------------------------------------------------------

int Pitcher::Start(const SoundView& v, const Scratch&) {
  pitch = std::clamp(params.pitch, 50, 200);
  frames = v.frames * 100 / pitch;  // 64 bits: N * 100 passes 2^31
  return 1;
}

void Pitcher::Render(const SoundView& v, uint8_t* out) {
  ResampleLinear(FormatOf(v), v.progress, 0, 100, pitch, v.SourceRange(), v.Length(), out,
                 ResultBytes(v));
}

namespace {

ParamBindings PitchControls() {
  return {{.id = 200, .value = &Params<PitchParams>().pitch, .min = 50, .max = 200}};
}

// ----- Time stretch ----------------------------------------------------------

constexpr int kSelectionMs = 10000;
constexpr int kStretchedMs = 10001;

// The selection's length in milliseconds, taken as the dialog opens.
int64_t g_selectionMs = 0;

// Shows the selection's length and the length it will have at the speed the
// variable holds now (the dialog calls it around everything it does).
void ShowStretchedLength(DialogWindow& dlg, ParamEntry*) {
  const int32_t speed = Params<TimeStretchParams>().speed;
  dlg.SetItemText(kSelectionMs, std::to_string(g_selectionMs));
  dlg.SetItemText(kStretchedMs, std::to_string(speed > 0 ? g_selectionMs * 100 / speed : 0));
}

ParamBindings TimeStretchControls() {
  const uint32_t rate = Doc().format.nSamplesPerSec;
  g_selectionMs = rate == 0 ? 0 : int64_t{SelectionFrames()} * 1000 / rate;
  return {{.id = 1, .hook = ShowStretchedLength},
          {.id = 200, .value = &Params<TimeStretchParams>().speed, .min = 20, .max = 400}};
}

}  // namespace

int Stretcher::Start(const SoundView& v, const Scratch&) {
  frames = v.frames * 100 / std::clamp(params.speed, 20, 400);
  return 1;
}

void Stretcher::Render(const SoundView& v, uint8_t* out) {
  SolaStretch(FormatOf(v), v.progress, 0, 100, v.SourceRange(), v.Length(), out, ResultBytes(v));
}

// ----- Transpose -------------------------------------------------------------

namespace {

ParamBindings TransposeControls() {
  TransposeParams& p = Params<TransposeParams>();
  return {{.id = 200, .value = &p.cents, .min = -1200, .max = 1200},
          {.id = 202, .value = &p.harmonize},
          {.id = 203, .value = &p.mix, .min = 0, .max = 100}};
}

// Every sample of the view becomes (x * (100 - mix) + z * mix) / 100.
void MixInto(const SoundView& v, const uint8_t* z, int32_t mix) {
  v.WithFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    ForEachChunk(v.frames, nullptr, [&](int64_t first, int64_t n) {
      uint8_t* x = v.out + first * align;
      const uint8_t* zz = z + first * align;
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        for (int c = 0; c < fmt.Count(); ++c)
          fmt.Write(
              x + i * align,
              (fmt.Read(x + i * align, c) * (100 - mix) + fmt.Read(zz + i * align, c) * mix) / 100,
              c);
      });
    });
  });
}

}  // namespace

int TransposePass(const TransposeParams& p, const SoundView& v, const Scratch& scratch) {
  const int32_t mix = std::clamp(p.mix, 0, 100);
  // 2^(1/1200) to eleven decimals. The resampling step is the ratio in
  // whole hundredths, the resampled length comes from the exact ratio.
  const double ratio = std::pow(1.00057778951, std::clamp(p.cents, -1200, 1200));
  const auto step = static_cast<int32_t>(ratio * 100);
  const int64_t bytes = static_cast<int64_t>(static_cast<double>(v.frames) / ratio) * v.Align();
  const BlockFormat f = FormatOf(v);
  MemoryBlock resampled, z;
  // Both blocks before any work, so that a shortage of either leaves the
  // frames as they were.
  if (!scratch.Get(resampled, static_cast<size_t>(bytes) + 320)) return 0;
  if (p.harmonize != 0 && !scratch.Get(z, static_cast<size_t>(v.Length()) + 16, true)) return 0;
  ResampleLinear(f, v.progress, 0, 50, step, v.SourceRange(), v.Length(), resampled.data(), bytes);
  if (p.harmonize == 0) {
    SolaStretch(f, v.progress, 50, 100, resampled.data(), bytes, v.out, v.Length());
    return 1;
  }
  SolaStretch(f, v.progress, 50, 100, resampled.data(), bytes, z.data(), v.Length());
  MixInto(v, z.data(), mix);
  return 1;
}

void Pitch() {
  static const EffectRecipe kRecipe{.name = texts::kNamePitch,
                                    .dialogId = kDialogPitch,
                                    .controls = PitchControls,
                                    .changes = [] { return Params<PitchParams>().pitch != 100; }};
  RunEffect(kRecipe,
            [](EffectRun& run) { return RunProcessor(run, Pitcher{Params<PitchParams>()}); });
}

void TimeStretch() {
  static const EffectRecipe kRecipe{
      .name = texts::kNameTimeStretch,
      .dialogId = kDialogTimeStretch,
      .controls = TimeStretchControls,
      .changes = [] { return Params<TimeStretchParams>().speed != 100; }};
  RunEffect(kRecipe, [](EffectRun& run) {
    return RunProcessor(run, Stretcher{Params<TimeStretchParams>()});
  });
}

void Transpose() {
  static const EffectRecipe kRecipe{.name = texts::kNameTranspose,
                                    .dialogId = kDialogTranspose,
                                    .controls = TransposeControls,
                                    .changes = [] { return Params<TransposeParams>().cents != 0; }};
  RunEffect(kRecipe, [](EffectRun& run) {
    return TransposePass(Params<TransposeParams>(), run.view, run.scratch);
  });
}

}  // namespace kelvora
