// AIFF ("FORM" of type "AIFF", uncompressed, big-endian) reading and writing.
#pragma once

#include "files/load_support.h"

namespace kelvora {

// "FORM" of type "AIFF".
int CheckAiff(FileReader& file, LoadedSound& sound);
// 8, 16, 24 and 32-bit samples (sizes in between round up to whole bytes),
// turned into the document's little-endian layout. Shows progress.
int ReadAiff(FileReader& file, LoadedSound& sound);
extern const SoundReader kAiffReader;
// Writes the document to its path, every sample at its stored width. 1 when
// written.
int SaveAiff();

}  // namespace kelvora
