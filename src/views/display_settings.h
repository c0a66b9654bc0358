// The display settings command (40060): density, points or lines, and
// whether scrolling follows the scroll-bar thumb.
#pragma once

namespace kelvora {

inline constexpr int kDisplaySettingsDialog = 104;

void DisplaySettings();

}  // namespace kelvora
