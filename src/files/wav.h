// RIFF/WAVE reading (PCM, mu-law, MS and IMA ADPCM) and writing (PCM, mu-law).
#pragma once

#include <string>

namespace kelvora {

// Replaces the document's format and data with the file's. 1 on success.
int LoadWav(const std::string& path);
// Writes the document to its path; mode 0 PCM, 1 mu-law. 1 when written.
int SaveWav(int mode);

}  // namespace kelvora
