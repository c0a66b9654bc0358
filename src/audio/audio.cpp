#include "audio/audio.h"

#include "audio/audio_internal.h"
#include "audio/device_dialog.h"
#include "audio/texts.h"
#include "document/busy.h"
#include "document/sound_document.h"
#include "document/texts.h"

namespace kelvora {
namespace {

class Listener : public WaveListener {
public:
  void OutputDone(int tag, int bytes) override {
    const ReturnedChunk chunk{tag, bytes};
    RefillPlayback(&chunk);
  }
  void InputDone(int bytes) override { FinishRecording(bytes); }
};

}  // namespace

WaveListener& AudioListener() {
  static Listener listener;
  return listener;
}

void ShowOpenError(WaveResult result) {
  const char* text = texts::kCannotOpenDevice;
  switch (result) {
    case kWaveBadDeviceId:
      text = texts::kBadDeviceId;
      break;
    case kWaveAllocated:
      text = texts::kDeviceAllocated;
      break;
    case kWaveNoMemory:
      text = texts::kOutOfMemory;
      break;
    case kWaveBadFormat:
      text = texts::kBadFormat;
      break;
    case kWaveSync:
      text = texts::kSyncDriver;
      break;
    default:
      break;
  }
  ShowWarning(texts::kAudioCaption, text);
}

// EndBusy is the one routine that puts the main menu, the zoom marks, the
// status texts and the views back; playback held the busy flag with them.
void RestoreMainWindow() { EndBusy(); }

void SetTransportButtons(bool on) { Services().ui->SetTransportButtons(on); }

void StopAudio() {
  PlaybackState& p = Playback();
  RecordingState& r = Recording();
  p.loop = false;
  if (p.deviceOpen) {
    p.stopping = true;
    p.nextPosition = Doc().length;
    Services().waveDevices->ResetOutput();
  }
  if (r.recording) {
    Services().waveDevices->StopInput();
    // Without a block at the device nothing would come back to end it.
    if (!r.blockAdded) FinishRecording(0);
  }
}

bool IsAudioRunning() { return Playback().mode != kPlayIdle || Recording().recording; }

void ResetAudioState() {
  WaveDevices* devices = Services().waveDevices;
  if (devices != nullptr && Playback().deviceOpen) devices->CloseOutput();
  if (devices != nullptr && Recording().deviceOpen) devices->CloseInput();
  MemoryBlock buffers = std::move(Playback().buffers);
  Playback() = PlaybackState{};
  Playback().buffers = std::move(buffers);
  Recording() = RecordingState{};
  ResetDeviceSelection();
}

}  // namespace kelvora
