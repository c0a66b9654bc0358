// Whether the waveform view draws the spectrogram, and how: the window
// size, the frequency axis and the colours. Kept in the settings file's
// [Options] section.
#pragma once

#include <cstdint>

#include "resources/dialogs.h"

namespace kelvora {

inline constexpr int kSpectrogramDialog = kDialogSpectrogram;

struct SpectrogramSettings {
  int32_t on = 0;
  int32_t window = 2048;  // a power of two, 256 .. 8192
  int32_t scale = 0;      // 0 linear, 1 logarithmic
  int32_t colours = 0;    // 0 perceptual colours, 1 grey
};

SpectrogramSettings& SpectrogramOptions();

// Reads the four keys; a value out of range gives its default.
void LoadSpectrogramSettings();
// The check mark of the menu item from the setting (start-up).
void ShowSpectrogramCheck();
// The view menu's item: spectrogram on or off, remembered at once.
void ToggleSpectrogram();
// The settings dialog: window size, axis and colours, remembered on OK.
void SpectrogramSettingsDialog();

}  // namespace kelvora
