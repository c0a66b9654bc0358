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

}  // namespace

void TransposePass(const TransposeParams& p, const SoundView& v) {
  // 2^(1/1200) to eleven decimals. The resampling step is the ratio in
  // whole hundredths, the resampled length comes from the exact ratio.
  const double ratio = std::pow(1.00057778951, std::clamp(p.cents, -1200, 1200));
  const auto step = static_cast<int32_t>(ratio * 100);
  const int64_t bytes = static_cast<int64_t>(static_cast<double>(v.frames) / ratio) * v.Align();
  // The stretch reads the resampling from the undo copy, so its frames
  // (or their mix with the originals) go straight over the selection.
  ResampleStretch(FormatOf(v), v.progress, step, v.SourceRange(), v.Length(), bytes, v.out,
                  v.Length(), p.harmonize != 0 ? std::clamp(p.mix, 0, 100) : -1);
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
    TransposePass(Params<TransposeParams>(), run.view);
    return 1;
  });
}

}  // namespace kelvora
