#include "audio/audio.h"

namespace kelvora {

// No sound devices are driven yet; there is never anything to stop.
void StopAudio() {}
bool IsAudioRunning() { return false; }

}  // namespace kelvora
