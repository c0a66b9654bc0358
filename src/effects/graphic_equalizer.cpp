// The graphic equalizer: nine bands an octave apart, its dialog with a
// procedure of its own, and the six presets of the settings file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/equalizers.h"
#include "effects/texts.h"
#include "platform/param_dialog.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

std::array<EqPositions, kEqPresets>& EqPresets() {
  static std::array<EqPositions, kEqPresets> presets;
  return presets;
}

namespace {

constexpr int kFirstSlider = 200;
constexpr int kReset = 300;
constexpr int kFirstPreset = 301;
constexpr int kRegister = 310;
// The registration dialog ends with its button's id: 5 for preset 1.
constexpr int kFirstRegisterButton = 5;

constexpr const char* kSection = "Eq";
constexpr const char* kDefaultPresets[kEqPresets] = {
    "0,0,0,20,40,50,50,50,50",    "50,50,50,50,50,40,20,0,0", "0,0,0,50,50,50,0,0,0",
    "70,60,50,50,50,50,60,70,70", "0,20,70,50,50,70,40,20,0", "50,50,55,60,60,55,50,50,50",
};
// The classic profile call reads into an 80-character buffer.
constexpr size_t kPresetTextMax = 79;

// The 50th root of 8: 50 steps from the middle make x8 (+18 dB) or x1/8.
constexpr double kStepGain = 1.04246576084;

std::string PresetKey(int number) { return "Preset" + std::to_string(number); }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The levels of "%d,%d,...", read as far as they go: each number may have
// blanks and a sign before it, the separators are single commas.
EqPositions ParseLevels(const std::string& s) {
  EqPositions positions;
  positions.fill(50);
  size_t i = 0;
  for (int band = 0; band < kEqBands; ++band) {
    if (band > 0) {
      if (i >= s.size() || s[i] != ',') break;
      ++i;
    }
    while (i < s.size() && IsBlank(s[i])) ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    if (i >= s.size() || !IsDigit(s[i])) break;
    int32_t level = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) level = std::min(level * 10 + (s[i] - '0'), 1000);
    positions[band] = 100 - std::clamp(negative ? -level : level, 0, 100);
  }
  return positions;
}

void LoadPresets() {
  for (int n = 1; n <= kEqPresets; ++n) EqPresets()[n - 1] = ReadEqPreset(n);
}

// Every band to `positions`, sliders included.
void MoveSliders(DialogWindow& dlg, const EqPositions& positions) {
  EqPositions& current = Params<GraphicEqParams>().positions;
  for (int b = 0; b < kEqBands; ++b)
    SetSliderValue(positions[b], &current[b], kFirstSlider + b, dlg, 0);
}

// "登録": which preset to store the current positions in, then the
// settings file. Only the six preset buttons register; anything else that
// ends the dialog (Cancel, the close box, Enter) stores nothing.
void RegisterPreset() {
  ParamEntry none[] = {{}};
  const int r = RunParamDialog(kDialogPresetRegistration, none);
  const int index = r - kFirstRegisterButton;
  if (index < 0 || index >= kEqPresets) return;
  const EqPositions& positions = Params<GraphicEqParams>().positions;
  EqPresets()[index] = positions;
  Services().profile->WriteString(kSection, PresetKey(index + 1), FormatEqPreset(positions));
}

class GraphicEqDialog : public DialogHandler {
public:
  void Opened(DialogWindow& dlg) override {
    LoadPresets();
    const EqPositions& positions = Params<GraphicEqParams>().positions;
    for (int b = 0; b < kEqBands; ++b) {
      dlg.SetSliderRange(kFirstSlider + b, 0, 100);
      dlg.SetSliderPos(kFirstSlider + b, positions[b]);
    }
  }
  void Scrolled(DialogWindow& dlg, int id, int request, int position) override {
    const int band = id - kFirstSlider;
    if (band < 0 || band >= kEqBands) return;
    HandleSliderScroll(dlg, 0, request, position, id, &Params<GraphicEqParams>().positions[band]);
  }
  void Clicked(DialogWindow& dlg, int id) override {
    if (id == 1 || id == 2) {
      dlg.EndDialog(id == 1 ? 1 : 0);
    } else if (id == kReset) {
      EqPositions flat;
      flat.fill(50);
      MoveSliders(dlg, flat);
    } else if (id >= kFirstPreset && id < kFirstPreset + kEqPresets) {
      MoveSliders(dlg, EqPresets()[id - kFirstPreset]);
    } else if (id == kRegister) {
      RegisterPreset();
    }
  }
  std::string ValueTip(DialogWindow& dlg, int id, int, int) override {
    if (id < kFirstSlider || id >= kFirstSlider + kEqBands) return {};
    return EqGainTipText(dlg.GetSliderPos(id));
  }
  // A preset as its button sets it; bands as the sliders hold them.
  int Accept(const std::vector<DialogField>& fields) override {
    EqPositions& positions = Params<GraphicEqParams>().positions;
    for (const DialogField& f : fields) {
      if (f.name == "preset") {
        positions = ReadEqPreset(std::atoi(f.value.c_str()));
      } else if (f.name == "bands") {
        size_t from = 0;
        for (int b = 0; b < kEqBands && from <= f.value.size(); ++b) {
          const size_t slash = std::min(f.value.find('/', from), f.value.size());
          ParseClampedNumber(f.value.substr(from, slash - from), 0, 0, 100, &positions[b]);
          from = slash + 1;
        }
      }
    }
    return 1;
  }
};

int RunGraphicEqDialog() {
  GraphicEqDialog dialog;
  return Services().dialogs->RunDialog(kDialogGraphicEq, dialog);
}

}  // namespace

std::string EqGainTipText(int32_t position) {
  // The gain the pass applies, in dB.
  const double db = 20 * (50 - position) * std::log10(kStepGain);
  char text[32];
  std::snprintf(text, sizeof text, texts::kEqGainTipFormat, db);
  return text;
}

EqPositions ReadEqPreset(int number) {
  if (number < 1 || number > kEqPresets) return ParseLevels("");
  std::string text =
      Services().profile->GetString(kSection, PresetKey(number), kDefaultPresets[number - 1]);
  if (text.size() > kPresetTextMax) text.resize(kPresetTextMax);
  return ParseLevels(text);
}

std::string FormatEqPreset(const EqPositions& positions) {
  std::string text;
  for (int b = 0; b < kEqBands; ++b) {
    if (b > 0) text += ',';
    text += std::to_string(100 - positions[b]);
  }
  return text;
}

std::vector<FftBand> GraphicEqBands(uint32_t rate, const EqPositions& positions) {
  // Bin edges of 75, 150, ... 19200 Hz in whole hertz per bin. Below
  // 1024 Hz a bin is narrower than a hertz and the whole number would be 0:
  // the true width is taken there (a rate of 0 puts every edge at the top).
  int64_t edge[kEqBands + 1] = {0};
  const int64_t width = rate / 1024;
  for (int k = 1; k <= kEqBands; ++k) {
    const int64_t hz = int64_t{75} << (k - 1);
    const int64_t bin = width != 0 ? hz / width : (rate != 0 ? hz * 1024 / rate : 512);
    edge[k] = std::min<int64_t>(bin, kFftLength / 2);
  }
  std::vector<FftBand> bands;
  for (int k = 0; k < kEqBands; ++k)
    bands.push_back({static_cast<int32_t>(edge[k]), static_cast<int32_t>(edge[k + 1]),
                     std::pow(kStepGain, 50 - positions[k])});
  return bands;
}

int GraphicEqPass(const GraphicEqParams& p, const SoundView& v, const Scratch& scratch) {
  return EqualizerPass(GraphicEqBands(v.Rate(), p.positions), v, scratch);
}

void GraphicEqualizer() {
  static const EffectRecipe kRecipe{.name = texts::kNameGraphicEq,
                                    .dialogId = kDialogGraphicEq,
                                    .dialog = RunGraphicEqDialog,
                                    .progress = texts::kProgressGraphicEq};
  RunEffect(kRecipe, [](EffectRun& run) {
    return GraphicEqPass(Params<GraphicEqParams>(), run.view, run.scratch);
  });
}

}  // namespace kelvora
