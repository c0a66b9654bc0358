// The create menu: silence, white noise and tones inserted at the insertion
// point (the moving end), and melodies played with the clipboard's sound.
// The new material is left selected, so a repeat appends after it.
#pragma once

#include <cstdint>
#include <string>

#include "effects/sound_view.h"

namespace kelvora {

struct SilenceParams {
  int32_t time = 1000;  // ms, 0..5000
};
struct NoiseParams {
  int32_t volume = 70;  // percent, 0..100
  int32_t time = 500;   // ms
  int32_t stereo = 1;   // independent noise per channel
  int64_t seed = -1;    // the batch tool's --seed; -1: from the clock
};
struct ToneParams {
  int32_t volume = 70;
  int32_t frequency = 440;  // Hz, 30..10000
  int32_t time = 500;
  int32_t wave = 1;  // 0 square, 1 sine, 2 sawtooth
  int32_t fm = 1;
  int32_t depth = 50;  // percent
  int32_t ratio = 30;  // modulator frequency in tenths of the carrier's
};
struct MelodyParams {
  int32_t tempo = -1;  // quarter notes a minute; -1 until read from the settings
  int32_t lengthIndex = 2;
  std::string melody;  // as last confirmed, at most 127 characters
};

// Generators write over new frames (the view's out, silence when they
// start, but for silence itself): noise from `seed`, and tones.
void BlankPass(const SilenceParams& p, const SoundView& v);
void NoisePass(const NoiseParams& p, uint64_t seed, const SoundView& v);
void TonePass(const ToneParams& p, const SoundView& v);

// Opens `bytes` of room at the insertion point (the moving end, kept within
// the data), moving the data after it back. Returns the room's offset, or -1
// after a shortage: the document comes back from the undo copy and the
// message shows under `caption`. The room's bytes are not yet written.
int64_t OpenRoomAtInsertionPoint(int64_t bytes, const char* caption);

// Inserts `ms` milliseconds of silence at the insertion point and selects
// it. On a shortage the document comes back from the undo copy, the message
// shows under "VIZOVOV", and 0 is returned.
int InsertBlankFrames(int32_t ms);

void InsertSilence();
void GenerateNoise();
void GenerateTone();
void MelodyPaste();

}  // namespace kelvora
