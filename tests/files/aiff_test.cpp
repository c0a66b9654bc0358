#include "files/aiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "document/busy.h"
#include "document/texts.h"
#include "files/extended_float.h"
#include "files/reader_test_support.h"

namespace kelvora {
namespace {

class Aiff {
public:
  Aiff& Raw(const std::vector<uint8_t>& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  Aiff& Tag(const char* id) {
    return Raw({uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3])});
  }
  Aiff& U16(uint16_t v) { return Raw({uint8_t(v >> 8), uint8_t(v)}); }
  Aiff& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
  Aiff& Form(const char* type = "AIFF") { return Tag("FORM").U32(0).Tag(type); }
  Aiff& CommRate(uint16_t channels, uint32_t frames, uint16_t size, std::vector<uint8_t> rate) {
    return Tag("COMM").U32(18).U16(channels).U32(frames).U16(size).Raw(rate);
  }
  Aiff& Comm(uint16_t channels, uint32_t frames, uint16_t size, double rate) {
    std::vector<uint8_t> r(10);
    DoubleToExtended(rate, r.data());
    return CommRate(channels, frames, size, r);
  }
  Aiff& Ssnd(const std::vector<uint8_t>& data, uint32_t offset = 0) {
    Tag("SSND").U32(uint32_t(8 + offset + data.size())).U32(offset).U32(0);
    return Raw(std::vector<uint8_t>(offset, 0xAB)).Raw(data);
  }
  Aiff& Chunk(const char* id, const std::vector<uint8_t>& body) {
    return Tag(id).U32(uint32_t(body.size())).Raw(body);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
};

// The file's sample bytes for document bytes of the given width: 8-bit
// samples signed, wider ones big-endian.
std::vector<uint8_t> FileOrder(std::vector<uint8_t> b, int width) {
  for (size_t i = 0; i + width <= b.size(); i += width) {
    if (width == 1) b[i] ^= 0x80;
    std::reverse(b.begin() + long(i), b.begin() + long(i + width));
  }
  return b;
}

class AiffTest : public ReaderTest {
protected:
  int Load(const std::vector<uint8_t>& image, const std::string& name = "in.aiff") {
    const std::string path = dir / name;
    EXPECT_TRUE(WriteBytes(path, image));
    Doc().path = path;
    return LoadAiff(path);
  }
};

// ----- Round trips -----------------------------------------------------------

struct Layout {
  int bits;
  int channels;
  int frames;
};

class AiffRoundTrip : public AiffTest, public testing::WithParamInterface<Layout> {};

TEST_P(AiffRoundTrip, SavedAsLaidDownAndLoadedBack) {
  const Layout& p = GetParam();
  const SoundFormat f = MakeFormat(44100, p.bits, p.channels);
  const std::vector<uint8_t> data = NoiseBytes(size_t(p.frames) * f.nBlockAlign, p.frames + 1);
  SetDocument(f, data);
  Doc().path = dir / "rt.aiff";
  Doc().modified = true;
  ASSERT_EQ(SaveAiff(), 1);
  EXPECT_FALSE(Doc().modified);
  const uint32_t n = uint32_t(data.size());
  Aiff expected;
  expected.Tag("FORM").U32(n + 46 + (n & 1)).Tag("AIFF");
  expected.Comm(uint16_t(p.channels), uint32_t(p.frames), uint16_t(p.bits), 44100);
  expected.Ssnd(FileOrder(data, p.bits / 8));
  if (n & 1) expected.Raw({0});
  EXPECT_EQ(ReadBytes(dir / "rt.aiff"), expected.bytes());

  StartEngine();
  Doc().fileKind = kFileKindAiff;
  ASSERT_EQ(LoadAiff(dir / "rt.aiff"), 1);
  EXPECT_EQ(Doc().format, f);
  EXPECT_EQ(DocumentBytes(), data);
  EXPECT_EQ(Doc().fileKind, kFileKindAiff);
}

INSTANTIATE_TEST_SUITE_P(Formats, AiffRoundTrip,
                         testing::Values(Layout{8, 1, 0}, Layout{8, 1, 3}, Layout{8, 2, 501},
                                         Layout{16, 1, 1}, Layout{16, 2, 70001}, Layout{24, 1, 5},
                                         Layout{24, 2, 333}, Layout{32, 2, 17}));

TEST_F(AiffTest, ThreeBytesMakeAFiftyEightByteFileWithPad) {
  SetDocument(MakeFormat(8000, 8, 1), {0xFF, 0x00, 0x80});
  Doc().path = dir / "three.aif";
  ASSERT_EQ(SaveAiff(), 1);
  const std::vector<uint8_t> file = ReadBytes(dir / "three.aif");
  ASSERT_EQ(file.size(), 58u);
  EXPECT_EQ(file[7], 50);   // FORM size
  EXPECT_EQ(file[45], 11);  // SSND size
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()),
            (std::vector<uint8_t>{0x7F, 0x80, 0x00, 0x00}));
}

// ----- What loads ------------------------------------------------------------

TEST_F(AiffTest, StereoSixteenBitsAt44100) {
  PutPreviousDocument();
  engine.ui().scrollPosition = 7;
  const std::vector<uint8_t> be = {0x12, 0x34, 0xFF, 0xFE, 0x80, 0x00, 0x7F, 0xFF};
  ASSERT_EQ(Load(Aiff().Form().Comm(2, 2, 16, 44100).Ssnd(be).bytes(), "音 声.aiff"), 1);
  EXPECT_EQ(Doc().format.nBlockAlign, 4);
  EXPECT_EQ(Doc().format.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(Doc().bytesPerChannelSample, 2);
  EXPECT_EQ(DocumentBytes(),
            (std::vector<uint8_t>{0x34, 0x12, 0xFE, 0xFF, 0x00, 0x80, 0xFF, 0x7F}));
  EXPECT_EQ(Doc().selStart + Doc().selEnd + Doc().anchor + Doc().movingEnd + Doc().viewStart, 0);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(engine.ui().scrollPosition, 0);
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + (dir / "音 声.aiff") + "]");
  EXPECT_EQ(engine.ui().status[0], "44100Hz 16Bits Stereo");
  EXPECT_TRUE(engine.ui().messages.empty());
}

TEST_F(AiffTest, OddSizesRoundUpToWholeBytes) {
  // 12 bits are read as 16-bit samples, 20 as 24, 1 as 8.
  ASSERT_EQ(Load(Aiff().Form().Comm(1, 2, 12, 8000).Ssnd({0x01, 0x20, 0xFF, 0xF0}).bytes()), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{0x20, 0x01, 0xF0, 0xFF}));
  ASSERT_EQ(Load(Aiff().Form().Comm(1, 1, 20, 8000).Ssnd({1, 2, 3}).bytes()), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 24, 1));
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{3, 2, 1}));
  ASSERT_EQ(Load(Aiff().Form().Comm(1, 2, 1, 8000).Ssnd({0x80, 0x7F}).bytes()), 1);
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{0x00, 0xFF}));
}

TEST_F(AiffTest, ChunkOrderPaddingAndOffsets) {
  const std::vector<uint8_t> a = NoiseBytes(8, 1), b = NoiseBytes(6, 2);
  // An SSND before any COMM is skipped; odd chunks with and without their
  // pad byte; the SSND offset skips bytes; a later COMM does not relabel
  // data read before it.
  Aiff image;
  image.Form()
      .Ssnd(NoiseBytes(4, 3))
      .Chunk("NAME", {'a', 'b', 'c'})
      .Raw({0})
      .Chunk("ANNO", {'x'})
      .Comm(2, 2, 16, 22050)
      .Ssnd(a, 5)
      .Comm(1, 100, 8, 8000);
  ASSERT_EQ(Load(image.bytes()), 1);
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(DocumentBytes(), FileOrder(a, 2));
  // A second SSND after it replaces the sound, in the later COMM's format.
  image.Ssnd(b);
  ASSERT_EQ(Load(image.bytes()), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 8, 1));
  EXPECT_EQ(DocumentBytes(), FileOrder(b, 1));
}

TEST_F(AiffTest, SizesThatLieReadOnlyWholeFramesThatAreThere) {
  // 1000 frames announced, 3.5 present.
  ASSERT_EQ(Load(Aiff().Form().Comm(2, 1000, 16, 8000).Ssnd(NoiseBytes(14, 4)).bytes()), 1);
  EXPECT_EQ(Doc().length, 12);
  // Offsets past the chunk or past the file give an empty sound, not a
  // wrapped position.
  for (uint32_t offset : {7u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    Aiff image;
    image.Form().Comm(1, 4, 8, 8000).Tag("SSND").U32(12).U32(offset).U32(0).Raw({1, 2, 3, 4});
    ASSERT_EQ(Load(image.bytes()), 1) << offset;
    EXPECT_EQ(Doc().length, 0);
    EXPECT_TRUE(engine.ui().messages.empty());
  }
  Aiff past_file;
  past_file.Form().Comm(1, 4, 8, 8000).Tag("SSND").U32(0xFFFFFFFF).U32(100).U32(0).Raw({1, 2});
  ASSERT_EQ(Load(past_file.bytes()), 1);
  EXPECT_EQ(Doc().length, 0);
}

TEST_F(AiffTest, ProgressKeepsCommandsOutWhileTheBlockFills) {
  const std::vector<uint8_t> data = NoiseBytes(200000, 5);
  int32_t length_seen = -1;
  bool delete_ran = true;
  engine.ui().pendingEvents.push_back([&] {
    length_seen = Doc().length;
    delete_ran = DispatchCommand(kCmdDelete, kCodeMenu);
  });
  SetDocument(MakeFormat(8000, 8, 1), NoiseBytes(100, 6));
  Doc().selEnd = 50;
  ASSERT_EQ(Load(Aiff().Form().Comm(1, 100000, 16, 8000).Ssnd(data).bytes()), 1);
  EXPECT_EQ(length_seen, 0);
  EXPECT_FALSE(delete_ran);
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(DocumentBytes(), FileOrder(data, 2));
  bool progress = false;
  for (const std::string& s : engine.ui().statusLog) progress |= s.rfind("LoadAIF:", 0) == 0;
  EXPECT_TRUE(progress);
}

// ----- Failures --------------------------------------------------------------

struct BadAiff {
  const char* name;
  std::function<std::vector<uint8_t>()> image;
  bool headerFailure;
  const char* message;
};

class AiffBadFile : public AiffTest, public testing::WithParamInterface<BadAiff> {};

TEST_P(AiffBadFile, FailsWithItsMessageAndEmptiesTheDocument) {
  const BadAiff& p = GetParam();
  PutPreviousDocument();
  const SoundFormat before = Doc().format;
  ASSERT_EQ(Load(p.image()), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{p.message});
  ExpectEmptied();
  if (p.headerFailure) {
    EXPECT_EQ(Doc().path, dir / "in.aiff");
    EXPECT_EQ(Doc().format, before);
  } else {
    EXPECT_EQ(Doc().path, "無題");
  }
}

std::vector<uint8_t> Rate(std::vector<uint8_t> ten) { return ten; }

INSTANTIATE_TEST_SUITE_P(
    Files, AiffBadFile,
    testing::Values(
        BadAiff{"Empty", [] { return std::vector<uint8_t>{}; }, true, texts::kBadForm},
        BadAiff{"Riff", [] { return Aiff().Tag("RIFF").U32(0).Tag("WAVE").bytes(); }, true,
                texts::kBadForm},
        BadAiff{"Aifc", [] { return Aiff().Form("AIFC").bytes(); }, true, texts::kBadAiff},
        BadAiff{"FormOnly", [] { return Aiff().Tag("FORM").U32(0).bytes(); }, true,
                texts::kBadAiff},
        BadAiff{"NoChunks", [] { return Aiff().Form().bytes(); }, false, texts::kChunkNotFound},
        BadAiff{"SoundBeforeCommOnly",
                [] {
                  return Aiff().Form().Ssnd({1, 2}).Comm(1, 2, 8, 8000).bytes();
                },
                false, texts::kChunkNotFound},
        BadAiff{"NoChannels",
                [] {
                  return Aiff().Form().Comm(0, 2, 8, 8000).Ssnd({1, 2}).bytes();
                },
                false, texts::kBadComm},
        BadAiff{"FrameTooWide",
                [] {
                  return Aiff().Form().Comm(40000, 1, 16, 8000).Ssnd({1, 2}).bytes();
                },
                false, texts::kBadComm},
        BadAiff{"SampleSize33",
                [] {
                  return Aiff().Form().Comm(1, 2, 33, 8000).Ssnd({1, 2}).bytes();
                },
                false, texts::kUnsupportedWavFormat},
        BadAiff{"RateInfinite",
                [] {
                  return Aiff()
                      .Form()
                      .CommRate(1, 2, 8, Rate({0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0}))
                      .Ssnd({1, 2})
                      .bytes();
                },
                false, texts::kBadRate},
        BadAiff{"RateNegative",
                [] {
                  return Aiff().Form().Comm(1, 2, 8, -8000).Ssnd({1, 2}).bytes();
                },
                false, texts::kBadRate},
        BadAiff{"RateBeyond32Bits",
                [] {
                  return Aiff().Form().Comm(1, 2, 8, 4294967296.0).Ssnd({1, 2}).bytes();
                },
                false, texts::kBadRate},
        // Read with 32-bit offsets this size would wrap the scan back.
        BadAiff{"ChunkSizeThatWouldWrap",
                [] {
                  return Aiff()
                      .Form()
                      .Tag("JUNK")
                      .U32(0xFFFFFFF8)
                      .Comm(1, 1, 8, 8000)
                      .Ssnd({1})
                      .bytes();
                },
                false, texts::kChunkNotFound}),
    [](const testing::TestParamInfo<BadAiff>& info) { return std::string(info.param.name); });

TEST_F(AiffTest, CommWithoutSoundLeavesItsFormat) {
  PutPreviousDocument();
  ASSERT_EQ(Load(Aiff().Form().Comm(2, 5, 8, 11025).bytes()), 0);
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));
  EXPECT_EQ(Doc().bytesPerChannelSample, 1);
}

TEST_F(AiffTest, ShortOfMemoryIsReportedAndTheDocumentStaysUsable) {
  const std::vector<uint8_t> image =
      Aiff().Form().Comm(1, 4000, 8, 8000).Ssnd(NoiseBytes(4000, 7)).bytes();
  PutPreviousDocument();
  MemoryBlock::SetTestCap(1000);
  EXPECT_EQ(Load(image), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{texts::kOutOfMemory});
  ExpectEmptied();
  EXPECT_GE(Doc().data.size(), 16u);
  MemoryBlock::SetTestCap(0);
  EXPECT_EQ(Load(image), 1);
}

TEST_F(AiffTest, TooLargeIsRefusedBeforeAnythingIsAllocated) {
  const std::string path = dir / "huge.aiff";
  const std::vector<uint8_t> head =
      Aiff().Form().Comm(2, 0x7FFFFFFF, 16, 8000).Tag("SSND").U32(0xFFFFFFFF).U32(0).U32(0).bytes();
  ASSERT_TRUE(WriteBytes(path, head));
  ASSERT_EQ(truncate(path.c_str(), off_t(head.size() + (uint64_t{1} << 31))), 0);
  EXPECT_EQ(LoadAiff(path), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{texts::kTooLarge});
}

TEST_F(AiffTest, UnwritableFormatsAndFoldersWriteNothing) {
  // Two channels in three bytes: no whole samples, so no AIFF form.
  SoundFormat odd = MakeFormat(8000, 8, 2);
  odd.nBlockAlign = 3;
  SetDocument(odd, {1, 2, 3});
  Doc().modified = true;
  Doc().path = dir / "odd.aiff";
  EXPECT_EQ(SaveAiff(), 0);
  SetDocument(MakeFormat(8000, 8, 1), {1, 2, 3});
  Doc().path = dir / "missing/x.aiff";
  EXPECT_EQ(SaveAiff(), 0);
  EXPECT_TRUE(Doc().modified);
  EXPECT_TRUE(dir.List().empty());
  ASSERT_EQ(engine.ui().messages.size(), 2u);
  EXPECT_EQ(engine.ui().messages[0].text, texts::kCannotSaveFormat);
  EXPECT_EQ(engine.ui().messages[1].caption, texts::kCaptionSave);
}

}  // namespace
}  // namespace kelvora
