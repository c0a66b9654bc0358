// AU (".snd", big-endian header, 8-bit mu-law samples) reading and writing.
#pragma once

#include "files/load_support.h"

namespace kelvora {

// The ".snd" header with mu-law samples and 1..32767 channels.
int CheckAu(FileReader& file, LoadedSound& sound);
// The file's sound, decoded to 16-bit PCM.
int ReadAu(FileReader& file, LoadedSound& sound);
extern const SoundReader kAuReader;
// Asks first when the rate is not 8000 Hz. Writes every channel, interleaved.
// 1 when written, 0 when the user cancelled or the write failed.
int SaveAu();

}  // namespace kelvora
