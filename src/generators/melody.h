// The melody notation and the melody dialog's text rules, apart from the
// rendering so that they can be checked on their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/sound_view.h"

namespace kelvora {

// One token of a melody: an optional octave change, a note name, an
// optional length and an optional dot.
struct MelodyNote {
  int32_t step = 0;     // ten-thousandths of a clip frame per output frame; 0 a rest
  int64_t bytes = 0;    // whole frames of the note
  size_t next = 0;      // where the next token starts
  int32_t counted = 0;  // characters of name, length and dot (progress)
};

// Reads the note at `at` of a lower-case melody for beats of `beatBytes`
// bytes, frames of `align` bytes, with *octave in force (updated by an
// octave change). False when the text there is not a note.
bool ReadMelodyNote(const std::string& text, size_t at, int64_t beatBytes, int32_t align,
                    int* octave, MelodyNote* note);

// A note with the characters read up to and including it (progress).
struct PlacedNote {
  MelodyNote note;
  int32_t progress;
};
// The notes of a lower-case melody at `tempo` for frames of `f`, as far as
// they read; `malformed` tells whether text was left over.
std::vector<PlacedNote> ParseMelody(const std::string& text, int32_t tempo, const SoundFormat& f,
                                    bool* malformed);
// The generator: each note in turn from the view's first frame, the clip
// (`clipBytes` in the view's format) read every step / 10000 frames (a
// rest: silence); progress at each note's characters against `total`.
void MelodyPass(const std::vector<PlacedNote>& notes, const uint8_t* clip, int32_t clipBytes,
                int32_t total, const SoundView& v);

// The text the back button leaves: the melody without its last note token.
std::string WithoutLastNote(const std::string& text);

// The suffix the keyboard and the rest button add for length button i (0..7).
const char* LengthSuffix(int index);

// The note a release at (x, y) in a keyboard of width w and height h names,
// with the length suffix already added by the caller; empty for none.
std::string KeyboardNoteAt(int x, int y, int w, int h);

}  // namespace kelvora
