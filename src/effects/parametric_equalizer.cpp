// The parametric equalizer: three modules, each a band of bins around a
// centre frequency scaled by one gain, through the parameter dialog.
#include <cmath>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/equalizers.h"
#include "effects/texts.h"
#include "resources/dialogs.h"

namespace kelvora {

namespace {

// The 24th root of 2: a module spans bandwidth / 24 octaves either side.
constexpr double kHalfStep = 1.02930223664;
// The sixth root of 2: 18 steps make x8 or x1/8.
constexpr double kLevelStep = 1.122462;
// The highest bin a range may name; so 510 is the highest it can scale.
constexpr int32_t kTopBin = kFftLength / 2 - 1;

ParamBindings ParametricControls() {
  ParamBindings controls;
  for (int m = 0; m < 3; ++m) {
    EqModule& module = Params<ParametricEqParams>().modules[m];
    const int base = 100 + 10 * m;
    controls.push_back({.id = base, .value = &module.use});
    controls.push_back({.id = base + 1, .value = &module.frequency, .min = 50, .max = 20000});
    controls.push_back({.id = base + 3, .value = &module.level, .min = -18, .max = 18});
    controls.push_back({.id = base + 5, .value = &module.bandwidth, .min = 1, .max = 48});
  }
  return controls;
}

// trunc toward zero; 512 and above become 511 (so does the infinity of a
// sound without sample rate).
int32_t Bin(double v) {
  if (!(v < kFftLength / 2)) return kTopBin;
  return v > 0 ? static_cast<int32_t>(v) : 0;
}

}  // namespace

std::vector<FftBand> ParametricEqBands(uint32_t rate, const std::array<EqModule, 3>& modules) {
  const double hzPerBin = rate / 1024.0;
  std::vector<FftBand> bands;
  for (const EqModule& m : modules) {
    if (m.use == 0) continue;
    const double spread = std::pow(kHalfStep, m.bandwidth);
    bands.push_back({Bin(m.frequency / spread / hzPerBin), Bin(spread * m.frequency / hzPerBin),
                     std::pow(kLevelStep, m.level)});
  }
  return bands;
}

int ParametricEqPass(const ParametricEqParams& p, const SoundView& v, const Scratch& scratch) {
  return EqualizerPass(ParametricEqBands(v.Rate(), p.modules), v, scratch);
}

void ParametricEqualizer() {
  static const EffectRecipe kRecipe{texts::kNameParametricEq, kDialogParametricEq,
                                    ParametricControls};
  RunEffect(kRecipe, [](EffectRun& run) {
    return ParametricEqPass(Params<ParametricEqParams>(), run.view, run.scratch);
  });
}

}  // namespace kelvora
