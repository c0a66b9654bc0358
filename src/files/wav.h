// RIFF/WAVE reading (PCM, mu-law, MS and IMA ADPCM) and writing (PCM, mu-law).
#pragma once

#include "files/load_support.h"

namespace kelvora {

// "RIFF" of type "WAVE".
int CheckWav(FileReader& file, LoadedSound& sound);
// PCM at its own width; mu-law and ADPCM decoded to 16 bits.
int ReadWav(FileReader& file, LoadedSound& sound);
extern const SoundReader kWavReader;
// The 44 bytes before the samples of a PCM or mu-law WAV file holding
// `dataBytes` bytes in format f (its 16-byte record).
inline constexpr size_t kWavHeaderBytes = 44;
void BuildWavHeader(uint8_t* header, const SoundFormat& f, uint32_t dataBytes);
// Writes the document to its path; mode 0 PCM, 1 mu-law. 1 when written.
int SaveWav(int mode);

}  // namespace kelvora
