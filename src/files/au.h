// AU (".snd", big-endian header, 8-bit mu-law samples) reading and writing.
#pragma once

#include <string>

namespace kelvora {

// Replaces the document with the file's sound, decoded to 16-bit PCM.
// 1 on success.
int LoadAu(const std::string& path);
// Asks first when the rate is not 8000 Hz. Writes every channel, interleaved.
// 1 when written, 0 when the user cancelled or the write failed.
int SaveAu();

}  // namespace kelvora
