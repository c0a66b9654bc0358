// The intake of today's sound files through libsndfile: FLAC, Ogg Vorbis,
// Opus, MP3, WAV and AIFF with 24- or 32-bit or float samples or more than
// two channels, WAVE_FORMAT_EXTENSIBLE, RF64, W64, CAF and the rest that
// libsndfile knows. A reader like the program's own: bytes in, a 16-bit
// mono or stereo sound (or the reason there is none) out, and a report of
// everything changed on the way (LoadedSound::intake), never touching the
// document.
#pragma once

#include <cstdint>

#include "files/load_support.h"

namespace kelvora {

// The seed the dither starts from unless the batch tool's --seed says
// otherwise.
inline constexpr uint64_t kDefaultDitherSeed = 0x4B656C766F7261ull;

// Signature step: libsndfile recognises the file and its header is within
// bounds. Read step: decodes to the end of what decodes, whatever length
// the header claims; a fault part-way keeps what came before it and says
// so in the report. The dither seed comes in as sound.intake.ditherSeed.
extern const SoundReader kIntakeReader;

}  // namespace kelvora
