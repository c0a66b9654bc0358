// The display settings command (40060): density, points or lines, and
// whether scrolling follows the scroll-bar thumb.
#pragma once

#include "resources/dialogs.h"

namespace kelvora {

inline constexpr int kDisplaySettingsDialog = kDialogDisplaySettings;

void DisplaySettings();

}  // namespace kelvora
