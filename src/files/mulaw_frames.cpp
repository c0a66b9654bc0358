#include "files/mulaw_frames.h"

#include "document/held_samples.h"
#include "document/sound_document.h"
#include "files/mulaw.h"

namespace kelvora {

void WriteMuLawFrames(SafeFileWriter& out, uint64_t frames) {
  constexpr size_t kEncodeChunk = 65536;
  const SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  const uint8_t* data = doc.data.data();
  const uint64_t codes = frames * f.nChannels;
  uint8_t buffer[kEncodeChunk];
  if (f.wBitsPerSample == 16 && f.nBlockAlign == 2 * f.nChannels) {
    for (uint64_t i = 0; i < codes; i += kEncodeChunk) {
      size_t n = codes - i < kEncodeChunk ? static_cast<size_t>(codes - i) : kEncodeChunk;
      MuLawEncodePcm16(data + 2 * i, n, buffer);
      if (!out.Write(buffer, n)) return;
    }
    return;
  }
  // Any other layout goes sample by sample on the 16-bit scale, samples of
  // the widths that are only held by their top 16 bits.
  const uint8_t* table = MuLawEncodeTable();
  const int bits = f.wBitsPerSample;
  const int32_t width = doc.bytesPerChannelSample;
  size_t n = 0;
  for (uint64_t frame = 0; frame < frames; ++frame) {
    const uint8_t* p = data + frame * f.nBlockAlign;
    for (int ch = 0; ch < f.nChannels; ++ch) {
      buffer[n++] = table[static_cast<uint16_t>(ReadHeldSample(p, ch, bits, width))];
      if (n == kEncodeChunk) {
        if (!out.Write(buffer, n)) return;
        n = 0;
      }
    }
  }
  out.Write(buffer, n);
}

}  // namespace kelvora
