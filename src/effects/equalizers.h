// The two equalizers of the effects menu: the nine-band graphic equalizer
// with six presets kept in the settings file, and the three-module
// parametric equalizer. Both filter in the frequency domain through
// FftBlockFilter: the passes any SoundView, the commands the selection (or
// the whole sound), and can be undone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "effects/fft_block_filter.h"

namespace kelvora {

inline constexpr int kEqBands = 9;
inline constexpr int kEqPresets = 6;

// Slider positions of the nine bands, 50 Hz upward: 0 is +18 dB at the top,
// 50 is 0 dB, 100 is -18 dB. Kept in memory only.
using EqPositions = std::array<int32_t, kEqBands>;
struct GraphicEqParams {
  EqPositions positions{50, 50, 50, 50, 50, 50, 50, 50, 50};
};

// The presets as the dialog last read them from the settings file.
std::array<EqPositions, kEqPresets>& EqPresets();
// Preset `number` (1..6) from section "Eq", key "Preset<number>": nine
// levels 100 - position, "%d,%d,...". A missing key gives the preset's
// default. A value is read as far as it holds integers separated by single
// commas; bands it leaves out get level 50 (0 dB), and levels are held to
// 0..100, the sliders' range.
EqPositions ReadEqPreset(int number);
// The text stored for `positions`.
std::string FormatEqPreset(const EqPositions& positions);
// A band slider's tip: the gain of `position` (0 top .. 100), "+18.1 dB".
std::string EqGainTipText(int32_t position);

// The bands for a sound of `rate` Hz: bin edges at 75, 150, ... 19200 Hz,
// whole hertz per bin (rate / 1024), at most 512.
std::vector<FftBand> GraphicEqBands(uint32_t rate, const EqPositions& positions);

struct EqModule {
  int32_t use = 1;
  int32_t frequency = 1000;  // centre, Hz, 50..20000
  int32_t level = 0;         // gain 1.122462^level, about 1 dB a step, -18..18
  int32_t bandwidth = 12;    // twelfths of an octave around the centre, 1..48
};
struct ParametricEqParams {
  std::array<EqModule, 3> modules;
};
// The bands of the modules in use, in module order.
std::vector<FftBand> ParametricEqBands(uint32_t rate, const std::array<EqModule, 3>& modules);

// Processors in place, through EqualizerPass.
int GraphicEqPass(const GraphicEqParams& p, const SoundView& v, const Scratch& scratch);
int ParametricEqPass(const ParametricEqParams& p, const SoundView& v, const Scratch& scratch);

void GraphicEqualizer();
void ParametricEqualizer();

}  // namespace kelvora
