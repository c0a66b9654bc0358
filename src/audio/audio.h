// Playback and recording through the sound devices, and the choice of
// devices. Devices report on the UI thread (see WaveListener); the window
// hears of everything through the platform's UserInterface.
#pragma once

#include <cstdint>
#include <string>

#include "document/memory_block.h"
#include "document/sound_document.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

// ----- Playback -------------------------------------------------------------

inline constexpr int kPlaySlots = 40;
inline constexpr int kPlaySlotBytes = 81920;

enum PlayMode : int { kPlayIdle = 0, kPlayAll = 1, kPlayFromCursor = 2, kPlayLoop = 3 };

// Byte offsets into the document's data block.
struct PlaybackState {
  int mode = kPlayIdle;
  bool loop = false;
  int32_t loopStart = 0;
  int32_t playEnd = 0;       // exclusive
  int32_t nextPosition = 0;  // first byte not yet queued
  int32_t playPosition = 0;  // first byte not yet played
  int32_t chunkSize = 0;
  int lastSlot = 0;
  int queued = 0;  // chunks at the device
  bool deviceOpen = false;
  // Stop was pressed: the chunks coming back were not played.
  bool stopping = false;
  // The 40 buffers the chunks are copied into; made at the first playback
  // and kept for the program's life.
  MemoryBlock buffers;
};
PlaybackState& Playback();

// A chunk the device gave back: its slot and byte count.
struct ReturnedChunk {
  int slot = 0;
  int bytes = 0;
};

// 40007, 40008, 40009: play all, from the cursor, or the selection in a loop.
void StartPlayback(int mode);
// With a returned chunk: advance the play position, then queue the next
// chunk; without: only queue. The last returned chunk ends playback.
void RefillPlayback(const ReturnedChunk* chunk);

// ----- Recording ------------------------------------------------------------

inline constexpr int kRecordDialog = kDialogRecording;

struct RecordingState {
  bool recording = false;
  bool deviceOpen = false;
  bool blockAdded = false;  // the device holds the block and will give it back
  int32_t maxSeconds = 60;  // MaxRecordSeconds: the last value chosen
  MemoryBlock block;
};
RecordingState& Recording();
// The format of the recording that runs, or ran last.
const SoundFormat& RecordingFormat();

// 40011: offers to save a modified sound first.
void StartRecording();
// The device gave the record block back holding `bytes` bytes.
void FinishRecording(int32_t bytes);
// While recording (called by the window's timer, ten times a second):
// status part 0 "録音中 m:ss" for the time recorded so far, part 3 the
// peak of its last 100 ms in dBFS. Reads the record block only.
void ShowRecordingProgress();
// The peak of the frames in [from, to) of `block` in `f`'s samples, on the
// 16-bit scale (0..32768).
int32_t PeakOf(const uint8_t* block, int32_t from, int32_t to, const SoundFormat& f);
// "ピーク -6.0 dBFS" for a peak on the 16-bit scale; "ピーク -∞ dBFS" for 0.
std::string PeakStatusText(int32_t peak);
// The record dialog's memory figure, KB: seconds × rate × bytes per sample
// × channels / 1024.
uint32_t RecordMemoryKb(int32_t seconds, int32_t rate, bool sixteenBits, bool stereo);

// ----- Both -----------------------------------------------------------------

// 40010: stops playback or recording if either runs; nothing otherwise.
void StopAudio();
// Playback or recording in progress (playback also holds the busy flag).
bool IsAudioRunning();
// The warning box of a failed open of a device, chosen by the result.
void ShowOpenError(WaveResult result);
// Enables or disables the play, play-from-cursor, loop and record buttons.
void SetTransportButtons(bool on);

// Back to the start-up state (tests, the batch tool between runs). Streams
// still open are closed without reports.
void ResetAudioState();

}  // namespace kelvora
