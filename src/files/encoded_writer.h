// Writing today's formats through libsndfile: FLAC (16-bit, or 24-bit for
// a held 24-bit sound), Ogg Vorbis, Opus and MP3 at a good quality, and
// W64 and CAF as PCM. The encoder writes into memory, since it goes back to
// finish its headers, and the safe writer puts the result in place.
//
// Opus takes 8, 12, 16, 24 and 48 kHz: a sound at any other rate is
// resampled to 48 kHz. MP3 takes nine rates from 8 to 48 kHz: any other
// goes to the next one up (48 kHz above it). Resampling is libsoxr's high
// quality; the document itself is not changed.
#pragma once

#include <cstdint>

namespace kelvora {

bool IsEncodedKind(int32_t kind);

// Writes the document to its path as `kind`. 1 when written, else 0 after
// a message (the file is then as it was).
int SaveEncoded(int32_t kind);

// The rate an encoder of `kind` gets for a sound at `rate`.
uint32_t EncodedRate(int32_t kind, uint32_t rate);

}  // namespace kelvora
