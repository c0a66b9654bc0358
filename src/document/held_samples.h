// Samples the operations compute on are 8 or 16 bits wide. A file may bring
// others (12, 24 or 32 bits, say): the document holds them exactly as read,
// and whatever moves whole frames keeps them (cut, copy, delete, crop, undo,
// Save in their own kind), but nothing that computes samples may touch them
// until format conversion has made 8 or 16 bits of them.
#pragma once

#include <cstdint>

#include "document/byte_order.h"
#include "document/sound_document.h"

namespace kelvora {

// Whether ReadSample and WriteSample reach every sample of this format.
bool SamplesEditable(const SoundFormat& f);

// Whether ReadHeldSample reads this format: the editable ones, and 9 to 32
// bits held in little-endian samples of 2 to 4 bytes, high bits first used.
bool SamplesReadable(const SoundFormat& f);

// Whether format conversion takes this format as its source: 8000, 11025,
// 22050 or 44100 Hz, one or two channels, readable samples.
bool ConvertibleSource(const SoundFormat& f);

// Channel ch of a frame of a readable format on the 16-bit scale: what
// ReadSample gives for 8 and 16 bits, else the sample's top two bytes.
inline int32_t ReadHeldSample(const uint8_t* frame, int ch, int bits, int32_t bytesPerChannel) {
  const uint8_t* p = frame + ch * bytesPerChannel;
  if (bits == 8) return (int32_t{p[0]} - 128) * 256;
  return LoadLe16(bits == 16 ? p : p + bytesPerChannel - 2);
}

// The gate of every operation that rewrites samples: 1 when the document's
// samples are editable; otherwise the reason and the way out are shown
// under `caption`, and 0 is returned with the document untouched.
int RequireEditableSamples(const char* caption);

}  // namespace kelvora
