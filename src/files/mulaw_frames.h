// The sample part of the mu-law writers (WAV and AU): one code per channel
// sample of every whole frame of the document, channels in order.
#pragma once

#include <cstdint>

#include "files/file_io.h"

namespace kelvora {

// Writes the codes of the document's first `frames` frames, which must be
// SamplesReadable. Stops at the first failed write; the writer's Commit
// reports it.
void WriteMuLawFrames(SafeFileWriter& out, uint64_t frames);

}  // namespace kelvora
