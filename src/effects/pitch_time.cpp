// Pitch (resampling), time stretch (overlap-add) and transpose (both in a
// row, with an optional mix of the result into the original).
#include "effects/pitch_time.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "document/operation.h"
#include "effects/effect_runner.h"
#include "effects/resample_sola.h"
#include "effects/texts.h"

namespace kelvora {

PitchParams& PitchParameters() {
  static PitchParams params;
  return params;
}
TimeStretchParams& TimeStretchParameters() {
  static TimeStretchParams params;
  return params;
}
TransposeParams& TransposeParameters() {
  static TransposeParams params;
  return params;
}

void ResetPitchTimeParameters() {
  PitchParameters() = PitchParams{};
  TimeStretchParameters() = TimeStretchParams{};
  TransposeParameters() = TransposeParams{};
}

namespace {

// ----- Pitch -----------------------------------------------------------------

ParamBindings PitchControls() {
  return {{.id = 200, .value = &PitchParameters().pitch, .min = 50, .max = 200}};
}

// A tape run faster or slower: N frames become N * 100 / pitch.
struct Pitcher {
  int32_t pitch = 100;
  int64_t frames = 0;
  int Start(EffectRun& run) {
    pitch = std::clamp(PitchParameters().pitch, 50, 200);
    frames = run.frames * 100 / pitch;  // 64 bits: N * 100 passes 2^31
    return 1;
  }
  int64_t ResultBytes(const EffectRun& run) const { return frames * run.align; }
  int32_t ResultSpare() const { return 320; }
  void Flow(EffectRun& run, uint8_t* out) {
    ResampleLinear(run.name, 0, 100, pitch, run.SourceSelection(), run.length, out,
                   ResultBytes(run));
  }
};

// ----- Time stretch ----------------------------------------------------------

constexpr int kSelectionMs = 10000;
constexpr int kStretchedMs = 10001;

// The selection's length in milliseconds, taken as the dialog opens.
int64_t g_selectionMs = 0;

// Shows the selection's length and the length it will have at the speed the
// variable holds now (ParamDialog calls it around every message).
void ShowStretchedLength(DialogWindow& dlg, int, intptr_t, intptr_t, ParamEntry*) {
  const int32_t speed = TimeStretchParameters().speed;
  dlg.SetItemText(kSelectionMs, std::to_string(g_selectionMs));
  dlg.SetItemText(kStretchedMs, std::to_string(speed > 0 ? g_selectionMs * 100 / speed : 0));
}

ParamBindings TimeStretchControls() {
  const uint32_t rate = Doc().format.nSamplesPerSec;
  g_selectionMs = rate == 0 ? 0 : int64_t{SelectionFrames()} * 1000 / rate;
  return {{.id = 1, .hook = ShowStretchedLength},
          {.id = 200, .value = &TimeStretchParameters().speed, .min = 20, .max = 400}};
}

struct Stretcher {
  int64_t frames = 0;
  int Start(EffectRun& run) {
    frames = run.frames * 100 / std::clamp(TimeStretchParameters().speed, 20, 400);
    return 1;
  }
  int64_t ResultBytes(const EffectRun& run) const { return frames * run.align; }
  int32_t ResultSpare() const { return 16; }
  void Flow(EffectRun& run, uint8_t* out) {
    SolaStretch(run.name, 0, 100, run.SourceSelection(), run.length, out, ResultBytes(run));
  }
};

// ----- Transpose -------------------------------------------------------------

ParamBindings TransposeControls() {
  TransposeParams& p = TransposeParameters();
  return {{.id = 200, .value = &p.cents, .min = -1200, .max = 1200},
          {.id = 202, .value = &p.harmonize},
          {.id = 203, .value = &p.mix, .min = 0, .max = 100}};
}

// Every sample of the selection becomes (x * (100 - mix) + z * mix) / 100.
void MixInto(const EffectRun& run, const uint8_t* z, int32_t mix) {
  WithFrameFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    ForEachChunk(run.frames, nullptr, [&](int64_t first, int64_t n) {
      uint8_t* x = run.Selection() + first * align;
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

int TransposeSelection(EffectRun& run) {
  const TransposeParams p = TransposeParameters();
  const int32_t mix = std::clamp(p.mix, 0, 100);
  // 2^(1/1200) to eleven decimals. The resampling step is the ratio in
  // whole hundredths, the resampled length comes from the exact ratio.
  const double ratio = std::pow(1.00057778951, std::clamp(p.cents, -1200, 1200));
  const auto step = static_cast<int32_t>(ratio * 100);
  const int64_t bytes = static_cast<int64_t>(static_cast<double>(run.frames) / ratio) * run.align;
  MemoryBlock scratch, z;
  // Both blocks before any work, so that a shortage of either leaves the
  // selection as it was.
  if (!run.Scratch(scratch, static_cast<size_t>(bytes) + 320)) return 0;
  if (p.harmonize != 0 && !run.Scratch(z, static_cast<size_t>(run.length) + 16, true)) return 0;
  ResampleLinear(run.name, 0, 50, step, run.SourceSelection(), run.length, scratch.data(), bytes);
  if (p.harmonize == 0) {
    SolaStretch(run.name, 50, 100, scratch.data(), bytes, run.Selection(), run.length);
    return 1;
  }
  SolaStretch(run.name, 50, 100, scratch.data(), bytes, z.data(), run.length);
  MixInto(run, z.data(), mix);
  return 1;
}

}  // namespace

void Pitch() {
  static const EffectRecipe kRecipe{texts::kNamePitch, 114, PitchControls,
                                    [] { return PitchParameters().pitch != 100; }};
  Pitcher pitcher;
  RunProcessor(kRecipe, pitcher);
}

void TimeStretch() {
  static const EffectRecipe kRecipe{texts::kNameTimeStretch, 130, TimeStretchControls,
                                    [] { return TimeStretchParameters().speed != 100; }};
  Stretcher stretcher;
  RunProcessor(kRecipe, stretcher);
}

void Transpose() {
  static const EffectRecipe kRecipe{texts::kNameTranspose, 131, TransposeControls,
                                    [] { return TransposeParameters().cents != 0; }};
  RunEffect(kRecipe, TransposeSelection);
}

}  // namespace kelvora
