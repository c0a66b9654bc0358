// kelvora-cli --list-devices: the sound devices as the device dialog lists
// them, one JSON line each.
#pragma once

#include <iosfwd>

#include "platform/platform.h"

namespace kelvora {

// Outputs first, then inputs, each list from its default entry (index 0).
void ListDevices(WaveDevices& devices, std::ostream& out);

// The real devices, when the build has them (set by the tool's main), else
// null.
using SoundDevicesFactory = WaveDevices* (*)();
void SetCliSoundDevices(SoundDevicesFactory factory);
// Runs --list-devices; the exit status.
int RunListDevices(std::ostream& out, std::ostream& err);

}  // namespace kelvora
