#include "views/spectrogram_settings.h"

#include <bit>
#include <string>

#include "platform/param_dialog.h"
#include "platform/platform.h"
#include "resources/command_ids.h"
#include "views/spectrum_analyser.h"

namespace kelvora {
namespace {

constexpr const char* kOptions = "Options";

void Save() {
  const SpectrogramSettings& s = SpectrogramOptions();
  Profile* p = Services().profile;
  p->WriteString(kOptions, "spectrogram", std::to_string(s.on));
  p->WriteString(kOptions, "spectrogramwindow", std::to_string(s.window));
  p->WriteString(kOptions, "spectrogramscale", std::to_string(s.scale));
  p->WriteString(kOptions, "spectrogramcolours", std::to_string(s.colours));
}

bool ValidWindow(int32_t w) {
  return w >= kMinSpectrumWindow && w <= kMaxSpectrumWindow &&
         std::has_single_bit(static_cast<uint32_t>(w));
}

}  // namespace

SpectrogramSettings& SpectrogramOptions() {
  static SpectrogramSettings settings;
  return settings;
}

void LoadSpectrogramSettings() {
  SpectrogramSettings& s = SpectrogramOptions();
  const SpectrogramSettings defaults;
  Profile* p = Services().profile;
  auto flag = [&](const char* key, int32_t def) {
    const int v = p->GetInt(kOptions, key, def);
    return v == 0 || v == 1 ? v : def;
  };
  s.on = flag("spectrogram", defaults.on);
  s.window = p->GetInt(kOptions, "spectrogramwindow", defaults.window);
  if (!ValidWindow(s.window)) s.window = defaults.window;
  s.scale = flag("spectrogramscale", defaults.scale);
  s.colours = flag("spectrogramcolours", defaults.colours);
}

void ShowSpectrogramCheck() {
  Services().ui->SetMenuCheck(kCmdSpectrogram, SpectrogramOptions().on != 0);
}

void ToggleSpectrogram() {
  SpectrogramSettings& s = SpectrogramOptions();
  s.on = !s.on;
  Save();
  ShowSpectrogramCheck();
  Services().ui->RepaintWaveView();
}

void SpectrogramSettingsDialog() {
  SpectrogramSettings& s = SpectrogramOptions();
  ParamEntry table[] = {
      {.id = 300, .kind = kParamRadio, .value = &s.window, .min = 256},
      {.id = 301, .kind = kParamRadio, .value = &s.window, .min = 512},
      {.id = 302, .kind = kParamRadio, .value = &s.window, .min = 1024},
      {.id = 303, .kind = kParamRadio, .value = &s.window, .min = 2048},
      {.id = 304, .kind = kParamRadio, .value = &s.window, .min = 4096},
      {.id = 305, .kind = kParamRadio, .value = &s.window, .min = 8192},
      {.id = 310, .kind = kParamRadio, .value = &s.scale, .min = 0},
      {.id = 311, .kind = kParamRadio, .value = &s.scale, .min = 1},
      {.id = 320, .kind = kParamRadio, .value = &s.colours, .min = 0},
      {.id = 321, .kind = kParamRadio, .value = &s.colours, .min = 1},
      {},
  };
  if (!RunParamDialog(kSpectrogramDialog, table)) return;
  Save();
  Services().ui->RepaintWaveView();
}

}  // namespace kelvora
