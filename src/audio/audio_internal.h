// What playback, recording and the device choice share inside src/audio.
#pragma once

#include "platform/platform.h"

namespace kelvora {

// Hands the devices' reports to RefillPlayback and FinishRecording.
WaveListener& AudioListener();
// Puts back what the window shows between operations: the main menu, the
// zoom check marks, the status texts and both views.
void RestoreMainWindow();

}  // namespace kelvora
