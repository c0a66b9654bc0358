// The one place where a path becomes a load and a FileKind becomes a save.
#pragma once

#include <string>

namespace kelvora {

// Picks the reader by the path's extension. 1 when the file was loaded.
int OpenSoundFile(const std::string& path);
// Writes the document with the writer of `kind`. 1 when written.
int SaveSoundFile(int kind);

}  // namespace kelvora
