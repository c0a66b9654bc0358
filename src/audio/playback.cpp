#include <algorithm>
#include <cstring>

#include "audio/audio.h"
#include "audio/audio_internal.h"
#include "audio/device_dialog.h"
#include "audio/texts.h"
#include "document/busy.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"

namespace kelvora {
namespace {

PlaybackState g_playback;

void EndPlayback() {
  PlaybackState& p = Playback();
  Services().waveDevices->CloseOutput();
  p.deviceOpen = false;
  p.mode = kPlayIdle;
  UserInterface* ui = Services().ui;
  ui->ViewFrameChanged();
  ui->ClearPlayBand();
  NotifyPlayPositionChanged(-1);
  SetTransportButtons(true);
  RestoreMainWindow();  // also clears the busy flag
}

}  // namespace

PlaybackState& Playback() { return g_playback; }

void StartPlayback(int mode) {
  SoundDocument& doc = Doc();
  PlaybackState& p = Playback();
  if (p.mode != kPlayIdle || Recording().recording) return;
  if (doc.length == 0) return;
  if (mode == kPlayLoop && !doc.HasSelection()) return;
  if (mode == kPlayFromCursor && doc.selStart == doc.length) return;
  // Devices play 8 or 16 bits; the bytes of other widths would be noise.
  if (!SamplesEditable(doc.format)) {
    ShowOpenError(kWaveBadFormat);
    return;
  }
  if (p.buffers.empty() && !p.buffers.Resize(size_t{kPlaySlots} * kPlaySlotBytes)) {
    ShowWarning(texts::kAudioCaption, texts::kOutOfMemory);
    return;
  }

  p.mode = mode;
  p.loop = mode == kPlayLoop;
  if (mode == kPlayAll) {
    p.loopStart = p.nextPosition = 0;
    p.playEnd = doc.length;
  } else {
    p.loopStart = p.nextPosition = doc.selStart;
    p.playEnd = mode == kPlayFromCursor && !doc.HasSelection() ? doc.length : doc.selEnd;
  }
  // 200 ms of whole frames, as many as a slot holds: a chunk that split a
  // frame would leave the device's frames astray of the sound's.
  const int32_t align = std::max<int32_t>(doc.format.nBlockAlign, 1);
  const int64_t framesPerChunk = int64_t{doc.format.nSamplesPerSec} * 200 / 1000;
  p.chunkSize =
      static_cast<int32_t>(std::clamp<int64_t>(framesPerChunk, 1, kPlaySlotBytes / align) * align);
  p.queued = 0;
  p.lastSlot = 0;
  p.stopping = false;

  const WaveStreamFormat format{doc.format.nSamplesPerSec, doc.format.wBitsPerSample,
                                doc.format.nChannels};
  const WaveResult result =
      Services().waveDevices->OpenOutput(SelectedOutputDevice - 1, format, &AudioListener());
  if (result != kWaveOk) {
    p.mode = kPlayIdle;
    p.loop = false;
    ShowOpenError(result);
    return;
  }
  p.deviceOpen = true;
  p.playPosition = p.loopStart;
  SetTransportButtons(false);
  Services().ui->SetMenuMode(MenuMode::kDevice);
  Busy().busy = true;
  NotifyPlayPositionChanged(p.playPosition);
  for (int i = 0; i < kPlaySlots && p.deviceOpen; ++i) RefillPlayback(nullptr);
}

void RefillPlayback(const ReturnedChunk* chunk) {
  PlaybackState& p = Playback();
  if (!p.deviceOpen) return;
  const SoundDocument& doc = Doc();
  if (chunk != nullptr) {
    p.playPosition += chunk->bytes;
    if (p.playPosition > p.playEnd) p.playPosition -= p.playEnd - p.loopStart;
    // The playhead first: a page it turns redraws the overview's frame,
    // which clears the played part.
    if (!p.stopping) NotifyPlayPositionChanged(p.playPosition);
    Services().ui->DrawPlayPosition(static_cast<double>(p.playPosition) / doc.length);
    --p.queued;
  }
  if (p.nextPosition < p.playEnd) {
    const int slot = (p.lastSlot + 1) % kPlaySlots;
    int32_t n = p.chunkSize;
    if (p.nextPosition + n >= p.playEnd) n = p.playEnd - p.nextPosition;
    uint8_t* buffer = p.buffers.data() + size_t{kPlaySlotBytes} * slot;
    std::memcpy(buffer, doc.data.data() + p.nextPosition, static_cast<size_t>(n));
    p.lastSlot = slot;
    p.nextPosition += n;
    if (Services().waveDevices->WriteOutput(slot, buffer, n)) {
      ++p.queued;
    } else {
      // A device that refuses chunks would never give one back to end the
      // playback: queue nothing more and let the queue run out.
      p.loop = false;
      p.nextPosition = p.playEnd;
    }
    if (p.loop && p.nextPosition == p.playEnd) p.nextPosition = p.loopStart;
    if (p.queued > 0) return;
  }
  if (!p.loop && p.queued == 0 && p.nextPosition >= p.playEnd) EndPlayback();
}

}  // namespace kelvora
