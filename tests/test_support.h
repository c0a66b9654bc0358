// Shared set-up for engine tests: a fresh engine on the headless platform,
// and small builders for formats and documents.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "document/memory_block.h"
#include "document/sound_document.h"
#include "platform/headless/headless_platform.h"
#include "shell/commands.h"

namespace kelvora {

inline SoundFormat MakeFormat(uint32_t rate, int bits, int channels) {
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(channels);
  f.nSamplesPerSec = rate;
  f.nBlockAlign = static_cast<uint16_t>(bits * channels / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  f.wBitsPerSample = static_cast<uint16_t>(bits);
  return f;
}

// Owns the headless platform for one test and starts the engine afresh.
struct EngineFixture {
  HeadlessPlatform platform;
  EngineFixture() {
    platform.Install();
    MemoryBlock::SetTestCap(0);
    StartEngine();
  }
  ~EngineFixture() {
    MemoryBlock::SetTestCap(0);
    ResetProcessState();
  }
  HeadlessUi& ui() { return platform.ui; }
};

// Puts `bytes` into the document in format f, with an empty selection at 0.
inline void SetDocument(const SoundFormat& f, const std::vector<uint8_t>& bytes) {
  SetDocumentFormat(f);
  SoundDocument& doc = Doc();
  doc.data.Resize(bytes.size() + 16);
  std::copy(bytes.begin(), bytes.end(), doc.data.data());
  doc.length = static_cast<int32_t>(bytes.size());
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
}

inline std::vector<uint8_t> DocumentBytes() {
  const SoundDocument& doc = Doc();
  return std::vector<uint8_t>(doc.data.data(), doc.data.data() + doc.length);
}

// The message boxes shown so far as (caption, text, icon), for comparing.
using Shown = std::vector<std::tuple<std::string, std::string, MsgIcon>>;
inline Shown ShownMessages(const HeadlessUi& ui) {
  Shown out;
  for (const ShownMessage& m : ui.messages) out.emplace_back(m.caption, m.text, m.icon);
  return out;
}

// 16-bit little-endian samples as bytes.
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) {
    out.push_back(static_cast<uint8_t>(s));
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
  }
  return out;
}

}  // namespace kelvora
