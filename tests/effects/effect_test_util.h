// Helpers for the effect tests: documents of samples, and the commands.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "document/sound_document.h"
#include "test_support.h"

namespace kelvora {

// 16-bit samples as a document in format f (bits 8 stores their top byte).
inline void SetSamples(const SoundFormat& f, const std::vector<int32_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int32_t s : samples) {
    if (f.wBitsPerSample == 8) {
      bytes.push_back(static_cast<uint8_t>((s >> 8) + 128));
    } else {
      bytes.push_back(static_cast<uint8_t>(s));
      bytes.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  SetDocument(f, bytes);
}

// Every sample of the document on the 16-bit scale, frame by frame.
inline std::vector<int32_t> Samples16() {
  const SoundDocument& doc = Doc();
  std::vector<int32_t> out;
  for (int32_t off = 0; off < doc.length; off += doc.format.nBlockAlign)
    for (int ch = 0; ch < doc.format.nChannels; ++ch)
      out.push_back(ReadSample(doc.data.data() + off, ch));
  return out;
}

// Random bytes with the extremes of both widths sprinkled in.
inline std::vector<uint8_t> NoiseBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  for (size_t i = 0; i + 1 < n; i += 97) b[i] = b[i + 1] = (i / 97) % 2 ? 0x80 : 0x7f;
  for (size_t i = 50; i < n; i += 131) b[i] = (i / 131) % 2 ? 0 : 255;
  return b;
}

inline void Select(int32_t first_frame, int32_t end_frame) {
  SoundDocument& doc = Doc();
  doc.selStart = doc.anchor = first_frame * doc.format.nBlockAlign;
  doc.selEnd = doc.movingEnd = end_frame * doc.format.nBlockAlign;
}

inline bool RunCommand(int command) { return DispatchCommand(command, kCodeMenu); }

}  // namespace kelvora
