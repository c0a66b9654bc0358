// Shared pieces of the AIFF, AU and open/save tests: generated sound, a
// big-endian file builder and a fixture that checks what loads leave.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_test_support.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {

inline std::vector<uint8_t> NoiseBytes(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  for (auto& x : v) x = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
  return v;
}

class BeBuilder {
public:
  BeBuilder& Raw(const std::vector<uint8_t>& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  BeBuilder& Tag(const char* id) {
    return Raw({uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3])});
  }
  BeBuilder& U16(uint16_t v) { return Raw({uint8_t(v >> 8), uint8_t(v)}); }
  BeBuilder& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
};

class ReaderTest : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;

  // A document that a load replaces: 16-bit mono, a selection, a path.
  void PutPreviousDocument() {
    SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3, 4, 5, 6}));
    SoundDocument& doc = Doc();
    doc.selStart = doc.anchor = 2;
    doc.selEnd = doc.movingEnd = 10;
    doc.viewStart = 4;
    doc.modified = true;
  }
  // Every message shown: warnings under the open caption, by text.
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const ShownMessage& m : engine.ui().messages) {
      EXPECT_EQ(m.caption, texts::kCaptionOpenFile);
      EXPECT_EQ(m.icon, MsgIcon::kWarning);
      texts.push_back(m.text);
    }
    return texts;
  }
  // What every failed load leaves: an empty sound, nothing selected, and a
  // format that divides.
  void ExpectEmptied() {
    const SoundDocument& doc = Doc();
    EXPECT_EQ(doc.length, 0);
    EXPECT_EQ(doc.selStart + doc.selEnd + doc.anchor + doc.movingEnd + doc.viewStart, 0);
    EXPECT_GE(doc.format.nChannels, 1);
    EXPECT_GE(doc.bytesPerChannelSample, 1);
  }
};

}  // namespace kelvora
