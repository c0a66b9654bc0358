// The melody notation and the melody dialog's text rules, apart from the
// rendering so that they can be checked on their own.
#pragma once

#include <cstdint>
#include <string>

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

// The text the back button leaves: the melody without its last note token.
std::string WithoutLastNote(const std::string& text);

// The suffix the keyboard and the rest button add for length button i (0..7).
const char* LengthSuffix(int index);

// The note a release at (x, y) in a keyboard of width w and height h names,
// with the length suffix already added by the caller; empty for none.
std::string KeyboardNoteAt(int x, int y, int w, int h);

}  // namespace kelvora
