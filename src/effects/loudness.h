// Loudness: a read-only readout of the meter (loudness_meter.h) over the
// selection, and normalising to a loudness target with a true-peak
// ceiling, a plain gain through the effect runner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/loudness_meter.h"
#include "effects/sound_view.h"
#include "platform/dialog_window.h"

namespace kelvora {

struct LoudnessNormalizeParams {
  int32_t target = -160;  // tenths of LUFS, -700..-50
  int32_t ceiling = -10;  // tenths of dBTP, -90..0
};

// The gain toward the target, lowered where the true peak would pass the
// ceiling. Needs a measured integrated loudness and true peak.
struct LoudnessGain {
  double gainDb = 0;
  double resultLufs = 0;  // the integrated loudness the gain gives
  bool limited = false;   // the ceiling, not the target, set the gain
};
LoudnessGain PlanLoudnessGain(const LoudnessNormalizeParams& p, const LoudnessFigures& f);

// Point map: x * 10^(gain / 20) over every channel, truncated toward zero
// and clipped as Volume's samples are.
void LoudnessGainPass(double gainDb, const SoundView& v);

// The meter over the selection, or the whole sound when nothing is
// selected, with progress under `caption` and Stop honoured. A rate the
// meter cannot take or a shortage is shown under `caption`. 1 measured.
int MeasureSelectionLoudness(const char* caption, LoudnessFigures* figures);

// The batch tool's fields of the normalize step: out of range is refused,
// not clamped. False with the reason.
bool CheckLoudnessNormalizeFields(const std::vector<DialogField>& fields, std::string* error);

void LoudnessInfo();
void LoudnessNormalize();

}  // namespace kelvora
