// Playback and recording as the rest of the program sees them.
#pragma once

namespace kelvora {

// Stops playback or recording if either runs; nothing otherwise.
void StopAudio();
// Playback or recording in progress (playback also holds the busy flag).
bool IsAudioRunning();

}  // namespace kelvora
