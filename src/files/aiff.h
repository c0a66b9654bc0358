// AIFF ("FORM" of type "AIFF", uncompressed, big-endian) reading and writing.
#pragma once

#include <string>

namespace kelvora {

// Replaces the document's format and data with the file's: 8, 16, 24 and
// 32-bit samples (sizes in between round up to whole bytes). 1 on success.
int LoadAiff(const std::string& path);
// Writes the document to its path, every sample at its stored width. 1 when
// written.
int SaveAiff();

}  // namespace kelvora
