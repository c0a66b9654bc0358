#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "document/busy.h"
#include "document/texts.h"
#include "files/aiff.h"
#include "files/au.h"
#include "files/extended_float.h"
#include "files/file_test_support.h"
#include "files/mulaw.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Noise(size_t n, uint32_t seed) {
  Bytes v(n);
  for (auto& x : v) x = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
  return v;
}

Bytes Rate(double r) {
  Bytes b(10);
  DoubleToExtended(r, b.data());
  return b;
}

// Big-endian files: AIFF chunks and AU headers.
struct Be {
  Bytes b;
  Be& Raw(const Bytes& x) {
    b.insert(b.end(), x.begin(), x.end());
    return *this;
  }
  Be& Tag(const char* id) { return Raw(Bytes(id, id + 4)); }
  Be& U16(uint16_t v) { return Raw({uint8_t(v >> 8), uint8_t(v)}); }
  Be& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
  Be& Form(uint32_t size = 0) { return Tag("FORM").U32(size).Tag("AIFF"); }
  Be& Comm(uint16_t ch, uint32_t frames, uint16_t bits, const Bytes& rate) {
    return Tag("COMM").U32(18).U16(ch).U32(frames).U16(bits).Raw(rate);
  }
  Be& Ssnd(const Bytes& data, uint32_t offset = 0) {
    Tag("SSND").U32(uint32_t(8 + offset + data.size())).U32(offset).U32(0);
    return Raw(Bytes(offset, 0xAB)).Raw(data);
  }
  Be& Au(uint32_t offset, uint32_t size, uint32_t encoding, uint32_t rate, uint32_t ch) {
    return Tag(".snd").U32(offset).U32(size).U32(encoding).U32(rate).U32(ch);
  }
};

// AIFF's sample order for document bytes: 8-bit signed, wider big-endian.
Bytes FileOrder(Bytes b, int width) {
  for (size_t i = 0; i + width <= b.size(); i += width) {
    if (width == 1) b[i] ^= 0x80;
    std::reverse(b.begin() + long(i), b.begin() + long(i + width));
  }
  return b;
}

class SoundFileTest : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;
  int Load(int (*reader)(const std::string&), const Bytes& image, const char* name = "in") {
    EXPECT_TRUE(WriteBytes(dir / name, image));
    Doc().path = dir / name;
    return reader(dir / name);
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> t;
    for (const ShownMessage& m : engine.ui().messages) t.push_back(m.text);
    return t;
  }
};

TEST(ExtendedFloat, DialogRatesEncodeAndDecode) {
  for (auto [rate, e, m] : {std::tuple{8000, 0x0B, 0xFA00},
                            {11025, 0x0C, 0xAC44},
                            {22050, 0x0D, 0xAC44},
                            {44100, 0x0E, 0xAC44}}) {
    const Bytes want = {0x40, uint8_t(e), uint8_t(m >> 8), uint8_t(m), 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Rate(rate), want);
    EXPECT_EQ(ExtendedToDouble(want.data()), rate);
  }
  EXPECT_EQ(Rate(HUGE_VAL), (Bytes{0x7F, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
  const Bytes nan = {0xFF, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 1};  // exponent 32767: infinity
  EXPECT_EQ(ExtendedToDouble(nan.data()), -HUGE_VAL);
}

// ----- AIFF ------------------------------------------------------------------

struct Layout {
  int bits, channels, frames;
};

class AiffRoundTrip : public SoundFileTest, public testing::WithParamInterface<Layout> {};

TEST_P(AiffRoundTrip, SavedByteExactAndLoadedBack) {
  const auto [bits, channels, frames] = GetParam();
  const SoundFormat f = MakeFormat(44100, bits, channels);
  const Bytes data = Noise(size_t(frames) * f.nBlockAlign, frames + 1);
  SetDocument(f, data);
  Doc().path = dir / "rt.aiff";
  ASSERT_EQ(SaveAiff(), 1);
  const uint32_t n = uint32_t(data.size());
  Be want;
  want.Form(n + 46 + (n & 1))
      .Comm(uint16_t(channels), uint32_t(frames), uint16_t(bits), Rate(44100));
  want.Ssnd(FileOrder(data, bits / 8)).Raw(n & 1 ? Bytes{0} : Bytes{});  // pad byte
  EXPECT_EQ(ReadBytes(dir / "rt.aiff"), want.b);
  StartEngine();
  ASSERT_EQ(LoadAiff(dir / "rt.aiff"), 1);
  EXPECT_EQ(Doc().format, f);
  EXPECT_EQ(DocumentBytes(), data);
}

// Three 8-bit bytes make the 58-byte file; 24 and 32 bits are written as held.
INSTANTIATE_TEST_SUITE_P(Formats, AiffRoundTrip,
                         testing::Values(Layout{8, 1, 3}, Layout{8, 2, 501}, Layout{16, 1, 0},
                                         Layout{16, 2, 70001}, Layout{24, 2, 33},
                                         Layout{32, 1, 17}));

TEST_F(SoundFileTest, AiffChunksOffsetsAndSizes) {
  // Sample size 12 reads as 16 bits; an SSND before COMM is skipped, a
  // padded odd chunk too; the SSND offset skips bytes.
  Be b;
  b.Form().Ssnd({9, 9}).Tag("NAME").U32(3).Raw({'a', 'b', 'c', 0});
  b.Comm(1, 2, 12, Rate(8000)).Ssnd({0x01, 0x20, 0xFF, 0xF0}, 3);
  ASSERT_EQ(Load(LoadAiff, b.b), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
  EXPECT_EQ(DocumentBytes(), (Bytes{0x20, 0x01, 0xF0, 0xFF}));
  // A frame count beyond the file gives the whole frames there are; an
  // offset past the chunk or the file gives an empty sound.
  ASSERT_EQ(Load(LoadAiff, Be().Form().Comm(2, 1000, 16, Rate(8000)).Ssnd(Noise(14, 1)).b), 1);
  EXPECT_EQ(Doc().length, 12);
  for (uint32_t offset : {5u, 0xFFFFFFF8u}) {
    Be o;
    o.Form().Comm(1, 4, 8, Rate(8000)).Tag("SSND").U32(12).U32(offset).U32(0).Raw({1, 2, 3, 4});
    ASSERT_EQ(Load(LoadAiff, o.b), 1);
    EXPECT_EQ(Doc().length, 0);
  }
  EXPECT_TRUE(engine.ui().messages.empty());
}

TEST_F(SoundFileTest, AiffThatCannotBeReadEmptiesTheDocument) {
  struct Case {
    Bytes image;
    bool header;  // the signature failed: path and format stay
    const char* text;
  } cases[] = {
      {Be().Tag("FORM").U32(0).Tag("AIFC").b, true, texts::kBadAiff},
      {Be().Form().Ssnd({1, 2}).Comm(1, 2, 8, Rate(8000)).b, false, texts::kChunkNotFound},
      {Be().Form().Comm(0, 2, 8, Rate(8000)).Ssnd({1, 2}).b, false, texts::kBadComm},
      {Be().Form().Comm(1, 2, 33, Rate(8000)).Ssnd({1, 2}).b, false, texts::kUnsupportedWavFormat},
      {Be().Form().Comm(1, 2, 8, Rate(HUGE_VAL)).Ssnd({1, 2}).b, false, texts::kBadRate},
      {Be().Form().Comm(1, 2, 8, Rate(-8000)).Ssnd({1, 2}).b, false, texts::kBadRate},
      // With 32-bit offsets this size would wrap the scan back to the start.
      {Be().Form().Tag("JUNK").U32(0xFFFFFFF8).Comm(1, 1, 8, Rate(8000)).Ssnd({1}).b, false,
       texts::kChunkNotFound},
  };
  for (const Case& c : cases) {
    SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3}));
    Doc().selEnd = Doc().movingEnd = Doc().viewStart = 2;
    engine.ui().messages.clear();
    EXPECT_EQ(Load(LoadAiff, c.image), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{c.text});
    EXPECT_EQ(Doc().length + Doc().selEnd + Doc().movingEnd + Doc().viewStart, 0);
    EXPECT_EQ(Doc().path, c.header ? dir / "in" : "無題") << c.text;
  }
}

TEST_F(SoundFileTest, AiffLoadKeepsCommandsOutWhileTheBlockFills) {
  const Bytes data = Noise(200000, 5);
  int32_t length_seen = -1;
  bool delete_ran = true;
  engine.ui().pendingEvents.push_back([&] {
    length_seen = Doc().length;
    delete_ran = DispatchCommand(kCmdDelete, kCodeMenu);
  });
  SetDocument(MakeFormat(8000, 8, 1), Noise(100, 6));
  Doc().selEnd = 50;
  ASSERT_EQ(Load(LoadAiff, Be().Form().Comm(1, 100000, 16, Rate(8000)).Ssnd(data).b), 1);
  EXPECT_EQ(length_seen, 0);
  EXPECT_FALSE(delete_ran);
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(DocumentBytes(), FileOrder(data, 2));
  EXPECT_EQ(engine.ui().statusLog.front().rfind("LoadAIF:", 0), 0u);
}

// ----- AU --------------------------------------------------------------------

class AuRoundTrip : public SoundFileTest, public testing::WithParamInterface<Layout> {};

TEST_P(AuRoundTrip, EveryChannelIsWrittenAndReadBack) {
  const auto [bits, channels, frames] = GetParam();
  const SoundFormat f = MakeFormat(8000, bits, channels);
  const Bytes data = Noise(size_t(frames) * f.nBlockAlign, frames + 3);
  SetDocument(f, data);
  Doc().path = dir / "rt.au";
  ASSERT_EQ(SaveAu(), 1);
  Bytes codes, decoded;
  for (size_t i = 0; i < data.size(); i += bits / 8) {
    codes.push_back(
        MuLawEncode(bits == 8 ? (data[i] - 128) * 256 : int16_t(data[i] | data[i + 1] << 8)));
    const int16_t v = int16_t(MuLawDecode(codes.back()));
    decoded.insert(decoded.end(), {uint8_t(v), uint8_t(v >> 8)});
  }
  EXPECT_EQ(
      ReadBytes(dir / "rt.au"),
      Be().Au(32, uint32_t(codes.size()), 1, 8000, uint32_t(channels)).U32(0).U32(0).Raw(codes).b);
  ASSERT_EQ(LoadAu(dir / "rt.au"), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, channels));
  EXPECT_EQ(DocumentBytes(), decoded);
}

INSTANTIATE_TEST_SUITE_P(Formats, AuRoundTrip,
                         testing::Values(Layout{16, 1, 100}, Layout{16, 2, 257}, Layout{8, 2, 3}));

TEST_F(SoundFileTest, AuSizesAndOffsets) {
  ASSERT_EQ(Load(LoadAu, Be().Au(32, 8000, 1, 8000, 1).U32(0).U32(0).Raw(Noise(8000, 1)).b), 1);
  EXPECT_EQ(Doc().length, 16000);
  EXPECT_EQ(Doc().format.nAvgBytesPerSec, 16000u);
  const Bytes codes = {0xFF, 0x80, 0x00, 0x7F, 0x12};
  // Unknown size: to the end of the file, whole stereo frames only.
  ASSERT_EQ(Load(LoadAu, Be().Au(24, 0xFFFFFFFF, 1, 11025, 2).Raw(codes).b), 1);
  EXPECT_EQ(DocumentBytes(), Pcm16({0, 32124, -32124, 0}));
  EXPECT_EQ(Doc().format.nAvgBytesPerSec, 44100u);
  ASSERT_EQ(Load(LoadAu, Be().Au(0xFFFFFFF0, 1000, 1, 8000, 1).Raw(codes).b), 1);
  EXPECT_EQ(Doc().length, 0);
  // Refused before the format is touched: the path stays.
  const std::pair<Bytes, const char*> bad[] = {
      {Be().Au(24, 2, 3, 8000, 1).Raw({1, 2}).b, texts::kAuUnsupported},
      {Be().Au(24, 2, 1, 8000, 0).Raw({1, 2}).b, texts::kBadData},
  };
  for (const auto& [image, text] : bad) {
    engine.ui().messages.clear();
    EXPECT_EQ(Load(LoadAu, image), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{text});
    EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
    EXPECT_EQ(Doc().path, dir / "in");
  }
}

TEST_F(SoundFileTest, AuAtOtherRatesAsksAndCancelWritesNothing) {
  SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3}));
  Doc().path = dir / "q.au";
  Doc().modified = true;
  engine.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(SaveAu(), 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].caption, "DevaZedudo");
  EXPECT_EQ(engine.ui().messages[0].text, texts::kAuRateQuestion);
  EXPECT_TRUE(dir.List().empty());
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(SaveAu(), 1);
  EXPECT_EQ(ReadBytes(dir / "q.au").size(), 35u);
}

}  // namespace
}  // namespace kelvora
