#include "files/au.h"

#include <gtest/gtest.h>

#include "document/texts.h"
#include "files/mulaw.h"
#include "files/reader_test_support.h"

namespace kelvora {
namespace {

BeBuilder AuHeader(uint32_t offset, uint32_t size, uint32_t encoding, uint32_t rate,
                   uint32_t channels) {
  BeBuilder b;
  b.Tag(".snd").U32(offset).U32(size).U32(encoding).U32(rate).U32(channels);
  return b;
}

std::vector<int16_t> Samples16(const std::vector<uint8_t>& b) {
  std::vector<int16_t> s;
  for (size_t i = 0; i + 1 < b.size(); i += 2) s.push_back(int16_t(b[i] | b[i + 1] << 8));
  return s;
}

std::vector<int16_t> Decoded(const std::vector<uint8_t>& codes) {
  std::vector<int16_t> s;
  for (uint8_t c : codes) s.push_back(int16_t(MuLawDecode(c)));
  return s;
}

class AuTest : public ReaderTest {
protected:
  int Load(const std::vector<uint8_t>& image) {
    const std::string path = dir / "in.au";
    EXPECT_TRUE(WriteBytes(path, image));
    Doc().path = path;
    return LoadAu(path);
  }
};

struct AuLayout {
  int bits;
  int channels;
  int frames;
};

class AuRoundTrip : public AuTest, public testing::WithParamInterface<AuLayout> {};

TEST_P(AuRoundTrip, EveryChannelIsWrittenAndReadBack) {
  const AuLayout& p = GetParam();
  const SoundFormat f = MakeFormat(8000, p.bits, p.channels);
  const std::vector<uint8_t> data = NoiseBytes(size_t(p.frames) * f.nBlockAlign, p.frames + 3);
  SetDocument(f, data);
  Doc().path = dir / "rt.au";
  Doc().modified = true;
  ASSERT_EQ(SaveAu(), 1);
  EXPECT_TRUE(engine.ui().messages.empty());  // 8000 Hz asks nothing
  EXPECT_FALSE(Doc().modified);
  std::vector<uint8_t> codes;
  for (size_t i = 0; i < data.size(); i += p.bits / 8)
    codes.push_back(
        MuLawEncode(p.bits == 8 ? (data[i] - 128) * 256 : int16_t(data[i] | data[i + 1] << 8)));
  BeBuilder expected = AuHeader(32, uint32_t(codes.size()), 1, 8000, uint32_t(p.channels));
  expected.U32(0).U32(0).Raw(codes);
  EXPECT_EQ(ReadBytes(dir / "rt.au"), expected.bytes());

  StartEngine();
  ASSERT_EQ(LoadAu(dir / "rt.au"), 1);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, p.channels));
  EXPECT_EQ(Samples16(DocumentBytes()), Decoded(codes));
}

INSTANTIATE_TEST_SUITE_P(Formats, AuRoundTrip,
                         testing::Values(AuLayout{16, 1, 100}, AuLayout{16, 2, 257},
                                         AuLayout{8, 1, 3}, AuLayout{8, 2, 0}));

TEST_F(AuTest, HeaderFieldsMakeTheFormat) {
  PutPreviousDocument();
  std::vector<uint8_t> image = AuHeader(32, 8000, 1, 8000, 1).U32(0).U32(0).bytes();
  const std::vector<uint8_t> codes = NoiseBytes(8000, 1);
  image.insert(image.end(), codes.begin(), codes.end());
  ASSERT_EQ(Load(image), 1);
  EXPECT_EQ(Doc().length, 16000);
  EXPECT_EQ(Doc().format.nAvgBytesPerSec, 16000u);
  EXPECT_EQ(Samples16(DocumentBytes()), Decoded(codes));
  EXPECT_EQ(Doc().selStart + Doc().selEnd + Doc().movingEnd + Doc().viewStart, 0);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(engine.ui().status[0], "8000Hz 16Bits Mono");

  // Stereo, with an annotation longer than eight bytes before the data.
  image = AuHeader(40, 4, 1, 11025, 2)
              .Raw(std::vector<uint8_t>(16, 'a'))
              .Raw({0xFF, 0x80, 0x00, 0x7F})
              .bytes();
  ASSERT_EQ(Load(image), 1);
  EXPECT_EQ(Doc().format.nBlockAlign, 4);
  EXPECT_EQ(Doc().format.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(Samples16(DocumentBytes()), (std::vector<int16_t>{0, 32124, -32124, 0}));
}

TEST_F(AuTest, SizesReadOnlyWholeFramesThatAreThere) {
  const std::vector<uint8_t> codes = {0xFF, 0x80, 0x00, 0x7F, 0x12};
  // Unknown size: to the end of the file, whole frames only.
  ASSERT_EQ(Load(AuHeader(24, 0xFFFFFFFF, 1, 8000, 2).Raw(codes).bytes()), 1);
  EXPECT_EQ(Doc().length, 8);
  // A size beyond the file, and a size within it.
  ASSERT_EQ(Load(AuHeader(24, 1000, 1, 8000, 1).Raw(codes).bytes()), 1);
  EXPECT_EQ(Doc().length, 10);
  ASSERT_EQ(Load(AuHeader(24, 2, 1, 8000, 1).Raw(codes).bytes()), 1);
  EXPECT_EQ(Doc().length, 4);
  // Data that would start past the end of the file: an empty sound.
  ASSERT_EQ(Load(AuHeader(0xFFFFFFF0, 1000, 1, 8000, 1).Raw(codes).bytes()), 1);
  EXPECT_EQ(Doc().length, 0);
  EXPECT_TRUE(engine.ui().messages.empty());
}

struct BadAu {
  const char* name;
  std::vector<uint8_t> image;
  const char* message;
};

class AuBadFile : public AuTest, public testing::WithParamInterface<BadAu> {};

TEST_P(AuBadFile, RefusedBeforeTheFormatChanges) {
  PutPreviousDocument();
  const SoundFormat before = Doc().format;
  ASSERT_EQ(Load(GetParam().image), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{GetParam().message});
  ExpectEmptied();
  EXPECT_EQ(Doc().format, before);
  EXPECT_EQ(Doc().path, dir / "in.au");
}

INSTANTIATE_TEST_SUITE_P(
    Files, AuBadFile,
    testing::Values(
        BadAu{"Empty", {}, texts::kBadRiff},
        BadAu{"Riff", BeBuilder().Tag("RIFF").U32(0).bytes(), texts::kBadRiff},
        BadAu{"LinearSixteen", AuHeader(24, 2, 3, 8000, 1).Raw({1, 2}).bytes(),
              texts::kAuUnsupported},
        BadAu{"HeaderCutShort", BeBuilder().Tag(".snd").U32(24).bytes(), texts::kAuUnsupported},
        BadAu{"NoChannels", AuHeader(24, 2, 1, 8000, 0).Raw({1, 2}).bytes(), texts::kBadData},
        BadAu{"ChannelsBeyondTheField", AuHeader(24, 2, 1, 8000, 0x10001).Raw({1, 2}).bytes(),
              texts::kBadData},
        BadAu{"FrameTooWide", AuHeader(24, 2, 1, 8000, 0x8000).Raw({1, 2}).bytes(),
              texts::kBadData}),
    [](const testing::TestParamInfo<BadAu>& info) { return std::string(info.param.name); });

TEST_F(AuTest, OtherRatesAskFirstAndCancelWritesNothing) {
  SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3}));
  Doc().path = dir / "q.au";
  Doc().modified = true;
  engine.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(SaveAu(), 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  const ShownMessage& m = engine.ui().messages[0];
  EXPECT_EQ(m.caption, "DevaZedudo");
  EXPECT_EQ(m.text, texts::kAuRateQuestion);
  EXPECT_EQ(m.buttons, MsgButtons::kOkCancel);
  EXPECT_TRUE(dir.List().empty());
  EXPECT_TRUE(Doc().modified);
  // OK writes at the document's rate.
  EXPECT_EQ(SaveAu(), 1);
  const std::vector<uint8_t> file = ReadBytes(dir / "q.au");
  ASSERT_EQ(file.size(), 35u);
  EXPECT_EQ(file[18] << 8 | file[19], 22050);
  EXPECT_FALSE(Doc().modified);
}

}  // namespace
}  // namespace kelvora
