#include "files/wav.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <functional>

#include "document/texts.h"
#include "files/file_test_support.h"
#include "files/mulaw.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    v[i] = uint8_t(seed >> 24);
  }
  return v;
}

// The format without its extra-size field, which a 16-byte fmt chunk takes
// from whatever follows it.
SoundFormat Core(SoundFormat f) {
  f.cbSize = 0;
  return f;
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& b) {
  std::vector<int16_t> s;
  for (size_t i = 0; i + 1 < b.size(); i += 2) s.push_back(int16_t(b[i] | b[i + 1] << 8));
  return s;
}

class WavTest : public testing::Test {
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
    doc.fileKind = kFileKindWavPcm;
  }
  // Writes the image and loads it the way the open flow does.
  int Load(const std::vector<uint8_t>& image, const std::string& name = "in.wav") {
    const std::string path = dir / name;
    EXPECT_TRUE(WriteBytes(path, image));
    Doc().path = path;
    return LoadWav(path);
  }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const ShownMessage& m : engine.ui().messages) {
      EXPECT_EQ(m.caption, texts::kCaptionOpenFile);
      EXPECT_EQ(m.icon, MsgIcon::kWarning);
      texts.push_back(m.text);
    }
    return texts;
  }
  // The state every failed load leaves: an empty sound, nothing selected
  // anywhere, and a format that divides.
  void ExpectEmptied() {
    const SoundDocument& doc = Doc();
    EXPECT_EQ(doc.length, 0);
    EXPECT_EQ(doc.selStart, 0);
    EXPECT_EQ(doc.selEnd, 0);
    EXPECT_EQ(doc.anchor, 0);
    EXPECT_EQ(doc.movingEnd, 0);
    EXPECT_EQ(doc.viewStart, 0);
    EXPECT_GE(doc.format.nChannels, 1);
    EXPECT_GE(doc.bytesPerChannelSample, 1);
  }
};

// ----- Round trips -------------------------------------------------------------

struct RoundTrip {
  int bits;
  int channels;
  int frames;
};

class WavRoundTrip : public WavTest, public testing::WithParamInterface<RoundTrip> {};

TEST_P(WavRoundTrip, PcmIsByteExact) {
  const RoundTrip& p = GetParam();
  const SoundFormat f = MakeFormat(44100, p.bits, p.channels);
  const std::vector<uint8_t> data = Noise(size_t(p.frames) * f.nBlockAlign, p.frames);
  SetDocument(f, data);
  Doc().path = dir / "rt.wav";
  Doc().modified = true;
  ASSERT_EQ(SaveWav(0), 1);
  EXPECT_FALSE(Doc().modified);
  // Header exactly as laid down, an odd data size without pad byte.
  EXPECT_EQ(ReadBytes(dir / "rt.wav"), RiffBuilder()
                                           .Tag("RIFF")
                                           .U32(uint32_t(data.size() + 36))
                                           .Tag("WAVE")
                                           .Pcm(44100, p.bits, p.channels)
                                           .Data(data)
                                           .bytes());

  StartEngine();
  ASSERT_EQ(LoadWav(dir / "rt.wav"), 1);
  EXPECT_EQ(Core(Doc().format), f);
  EXPECT_EQ(DocumentBytes(), data);
  EXPECT_EQ(Doc().fileKind, kFileKindWavPcm);
}

TEST_P(WavRoundTrip, MuLawCodesEverySample) {
  const RoundTrip& p = GetParam();
  const SoundFormat f = MakeFormat(8000, p.bits, p.channels);
  const std::vector<uint8_t> data = Noise(size_t(p.frames) * f.nBlockAlign, 7 * p.frames);
  SetDocument(f, data);
  Doc().path = dir / "mu.wav";
  ASSERT_EQ(SaveWav(1), 1);
  EXPECT_EQ(Core(Doc().format), f);  // the document itself is not converted
  std::vector<uint8_t> codes;
  std::vector<int16_t> decoded;
  for (size_t i = 0; i < data.size(); i += p.bits / 8) {
    int32_t v = p.bits == 8 ? (data[i] - 128) * 256 : int16_t(data[i] | data[i + 1] << 8);
    codes.push_back(MuLawEncode(v));
    decoded.push_back(int16_t(MuLawDecode(codes.back())));
  }
  // 8 bits keep block align and rate; 16 bits have them halved.
  EXPECT_EQ(ReadBytes(dir / "mu.wav"),
            RiffBuilder()
                .Tag("RIFF")
                .U32(uint32_t(codes.size() + 36))
                .Tag("WAVE")
                .Fmt(7, uint16_t(p.channels), 8000, uint16_t(p.channels), 8)
                .Data(codes)
                .bytes());

  StartEngine();
  ASSERT_EQ(LoadWav(dir / "mu.wav"), 1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(8000, 16, p.channels));
  EXPECT_EQ(AsSamples(DocumentBytes()), decoded);
  EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
}

INSTANTIATE_TEST_SUITE_P(Formats, WavRoundTrip,
                         testing::Values(RoundTrip{8, 1, 0}, RoundTrip{8, 1, 7},
                                         RoundTrip{8, 2, 1001}, RoundTrip{16, 1, 1},
                                         RoundTrip{16, 1, 999}, RoundTrip{16, 2, 7},
                                         RoundTrip{16, 2, 70001}));

// ----- What a successful load does ---------------------------------------------

TEST_F(WavTest, LoadResetsTheViewAndAnnouncesTheSound) {
  PutPreviousDocument();
  engine.ui().scrollPosition = 33;
  const std::vector<uint8_t> data = Noise(400, 1);
  ASSERT_EQ(Load(RiffBuilder().Header().Pcm(44100, 16, 2).Data(data).bytes(), "音 ファイル.wav"),
            1);
  const SoundDocument& doc = Doc();
  EXPECT_EQ(doc.length, 400);
  EXPECT_EQ(doc.bytesPerChannelSample, 2);
  EXPECT_EQ(doc.selStart + doc.selEnd + doc.anchor + doc.movingEnd + doc.viewStart, 0);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(engine.ui().scrollPosition, 0);
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + (dir / "音 ファイル.wav") + "]");
  EXPECT_EQ(engine.ui().status[0], "44100Hz 16Bits Stereo");
  EXPECT_EQ(engine.ui().status[1], "400 Bytes");
  EXPECT_GT(engine.ui().invalidations, 0);
  EXPECT_TRUE(engine.ui().messages.empty());
  // Spare zeroed bytes follow the data.
  ASSERT_GE(Doc().data.size(), 416u);
  for (int i = 400; i < 416; ++i) EXPECT_EQ(Doc().data.data()[i], 0);
}

TEST_F(WavTest, ChunksAroundTheDataAreSkipped) {
  const std::vector<uint8_t> data = Noise(64, 2);
  // An even chunk between fmt and data, an odd one with its pad byte, an odd
  // one whose writer left the pad out, and a last chunk running past the end.
  RiffBuilder b;
  b.Header()
      .Pcm(44100, 16, 2)
      .Chunk("fact", {1, 2, 3, 4})
      .Chunk("LIST", {5, 6, 7})
      .Raw({0})
      .Chunk("JUNK", {8})
      .Data(data)
      .Tag("JUNK")
      .U32(1000)
      .Raw({1, 2, 3});
  ASSERT_EQ(Load(b.bytes()), 1);
  EXPECT_EQ(DocumentBytes(), data);
  EXPECT_EQ(Core(Doc().format), MakeFormat(44100, 16, 2));
}

TEST_F(WavTest, SizesBeyondTheFileReadWhatIsThere) {
  // Declared 0xFFFFFFFF, ten bytes present: 16-bit stereo keeps the two
  // whole frames.
  std::vector<uint8_t> image =
      RiffBuilder().Header().Pcm(44100, 16, 2).Tag("data").U32(0xFFFFFFFF).bytes();
  const std::vector<uint8_t> data = Noise(10, 3);
  image.insert(image.end(), data.begin(), data.end());
  ASSERT_EQ(Load(image), 1);
  EXPECT_EQ(DocumentBytes(), std::vector<uint8_t>(data.begin(), data.begin() + 8));
}

TEST_F(WavTest, FmtAfterTheDataDoesNotRelabelIt) {
  const std::vector<uint8_t> a = Noise(16, 5), b = Noise(5, 6);
  ASSERT_EQ(Load(RiffBuilder().Header().Pcm(44100, 16, 2).Data(a).Pcm(8000, 8, 1).bytes()), 1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(44100, 16, 2));
  EXPECT_EQ(DocumentBytes(), a);

  // A later fmt with a later data chunk replaces both.
  ASSERT_EQ(Load(RiffBuilder().Header().Pcm(44100, 16, 2).Data(a).Pcm(8000, 8, 1).Data(b).bytes()),
            1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(8000, 8, 1));
  EXPECT_EQ(DocumentBytes(), b);
}

TEST_F(WavTest, MuLawLoadsAsSixteenBitPcm) {
  const std::vector<uint8_t> codes = {0xFF, 0x00, 0x80, 0x7F, 0x12};  // last frame partial
  ASSERT_EQ(Load(RiffBuilder().Header().Fmt(7, 2, 8000, 2, 8).Data(codes).bytes()), 1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(8000, 16, 2));
  EXPECT_EQ(AsSamples(DocumentBytes()), (std::vector<int16_t>{0, -32124, 32124, 0}));
  EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
}

TEST_F(WavTest, AdpcmDecodesBlockByBlock) {
  // Two MS ADPCM blocks of 9 bytes and a 5-byte rest too short for a header.
  const std::vector<uint8_t> block = {1, 16, 0, 100, 0, 50, 0, 0x17, 0x9F};
  std::vector<uint8_t> data = block;
  data.insert(data.end(), block.begin(), block.end());
  data.insert(data.end(), {1, 2, 3, 4, 5});
  ASSERT_EQ(Load(RiffBuilder().Header().Fmt(2, 1, 22050, 9, 4).Data(data).bytes()), 1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(22050, 16, 1));
  EXPECT_EQ(AsSamples(DocumentBytes()),
            (std::vector<int16_t>{50, 100, 166, 344, 256, 77, 50, 100, 166, 344, 256, 77}));
  EXPECT_EQ(Doc().fileKind, kFileKindWavPcm);

  // IMA stereo: a 16-byte block twice, then 12 bytes with no whole group.
  const std::vector<uint8_t> ima = {0,    0,    0,    0,    0xE8, 0x03, 0, 0,
                                    0x44, 0x44, 0x44, 0x44, 0x0F, 0x0F, 0, 0};
  data = ima;
  data.insert(data.end(), ima.begin(), ima.end());
  data.insert(data.end(), ima.begin(), ima.begin() + 12);
  ASSERT_EQ(Load(RiffBuilder().Header().Fmt(0x11, 2, 44100, 16, 4).Data(data).bytes()), 1);
  EXPECT_EQ(Core(Doc().format), MakeFormat(44100, 16, 2));
  std::vector<int16_t> s = AsSamples(DocumentBytes());
  ASSERT_EQ(s.size(), 2u * 19u);
  EXPECT_EQ(std::vector<int16_t>(s.begin() + 18, s.end()),
            (std::vector<int16_t>{0,  1000, 7,  989, 17,  991, 29,  966, 43, 969,
                                  61, 972,  82, 975, 107, 977, 138, 979, 0,  1000}));
}

// ----- Failures ----------------------------------------------------------------

struct BadFile {
  const char* name;
  std::function<std::vector<uint8_t>()> image;
  bool headerFailure;
  std::vector<const char*> messages;
};

class WavBadFile : public WavTest, public testing::WithParamInterface<BadFile> {};

TEST_P(WavBadFile, FailsWithItsMessageAndEmptiesTheDocument) {
  const BadFile& p = GetParam();
  PutPreviousDocument();
  const uint8_t* block = Doc().data.data();
  const SoundFormat before = Doc().format;
  ASSERT_EQ(Load(p.image()), 0);
  std::vector<std::string> expected(p.messages.begin(), p.messages.end());
  EXPECT_EQ(MessageTexts(), expected);
  ExpectEmptied();
  if (p.headerFailure) {
    EXPECT_EQ(Doc().path, dir / "in.wav");
    EXPECT_EQ(Core(Doc().format), before);
    EXPECT_EQ(Doc().data.data(), block);
  } else {
    EXPECT_EQ(Doc().path, "無題");
    EXPECT_GT(engine.ui().invalidations, 0);
  }
}

RiffBuilder Wav() { return std::move(RiffBuilder().Header()); }

INSTANTIATE_TEST_SUITE_P(
    Files, WavBadFile,
    testing::Values(
        BadFile{"Empty", [] { return std::vector<uint8_t>{}; }, true, {texts::kBadRiff}},
        BadFile{"NotRiff",
                [] { return RiffBuilder().Tag("RIFX").U32(0).Tag("WAVE").bytes(); },
                true,
                {texts::kBadRiff}},
        BadFile{"EndsAfterRiff",
                [] { return RiffBuilder().Tag("RIFF").bytes(); },
                true,
                {texts::kBadWave}},
        BadFile{"NotWave",
                [] { return RiffBuilder().Tag("RIFF").U32(0).Tag("AVI ").bytes(); },
                true,
                {texts::kBadWave}},
        BadFile{"NoChunks", [] { return Wav().bytes(); }, false, {texts::kBadData}},
        BadFile{"DataBeforeFmtOnly",
                [] {
                  return Wav().Data({1, 2}).Pcm(8000, 8, 1).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"UnsupportedTag",
                [] {
                  return Wav().Fmt(3, 1, 8000, 4, 32).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kUnsupportedWavFormat, texts::kBadData}},
        BadFile{"UnsupportedAfterData",
                [] { return Wav().Pcm(8000, 8, 1).Data({1}).Fmt(0xFFFE, 1, 8000, 1, 8).bytes(); },
                false,
                {texts::kUnsupportedWavFormat, texts::kBadData}},
        BadFile{"AdpcmFourChannels",
                [] {
                  return Wav().Fmt(2, 4, 8000, 256, 4).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kUnsupportedWavFormat, texts::kBadData}},
        BadFile{"NoChannels",
                [] {
                  return Wav().Fmt(1, 0, 8000, 2, 16).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"MuLawNoChannels",
                [] {
                  return Wav().Fmt(7, 0, 8000, 1, 8).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"MuLawFrameTooWide",
                [] {
                  return Wav().Fmt(7, 0x8000, 8000, 1, 8).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"NoBlockAlign",
                [] {
                  return Wav().Fmt(1, 1, 8000, 0, 16).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"BlockAlignBelowChannels",
                [] {
                  return Wav().Fmt(1, 2, 8000, 1, 8).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"MsAdpcmBlockBelowHeader",
                [] {
                  return Wav().Fmt(2, 2, 8000, 13, 4).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        BadFile{"ImaAdpcmNoBlockAlign",
                [] {
                  return Wav().Fmt(0x11, 1, 8000, 0, 4).Data({1, 2, 3, 4}).bytes();
                },
                false,
                {texts::kBadData}},
        // Read with 32-bit offsets this size would wrap the scan back to
        // offset 12, forever.
        BadFile{"ChunkSizeThatWouldWrap",
                [] { return Wav().Tag("JUNK").U32(0xFFFFFFF8).Pcm(8000, 8, 1).Data({1}).bytes(); },
                false,
                {texts::kBadData}}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(WavTest, FailedLoadKeepsOnlyAWorkableFormat) {
  PutPreviousDocument();
  // fmt without data: the record stays as the fmt chunk gave it.
  ASSERT_EQ(Load(Wav().Fmt(7, 2, 11025, 2, 8).bytes()), 0);
  SoundFormat mu = MakeFormat(11025, 8, 2);
  mu.cbSize = 0;
  EXPECT_EQ(Core(Doc().format), mu);
  EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
  // A record with no channels is not taken over.
  ASSERT_EQ(Load(Wav().Fmt(1, 0, 44100, 4, 16).Data({1, 2, 3, 4}).bytes()), 0);
  EXPECT_EQ(Core(Doc().format), mu);
}

TEST_F(WavTest, UnopenableFileChangesNothing) {
  PutPreviousDocument();
  Doc().path = "before.wav";
  EXPECT_EQ(LoadWav(dir / "missing.wav"), 0);
  EXPECT_EQ(LoadWav(dir.path()), 0);
  EXPECT_TRUE(engine.ui().messages.empty());
  EXPECT_EQ(Doc().length, 12);
  EXPECT_EQ(Doc().selEnd, 10);
  EXPECT_EQ(Doc().path, "before.wav");
}

// Sparse files: gigabytes on paper, nothing on disk, and nothing is read.
class WavTooLarge : public WavTest, public testing::WithParamInterface<int> {};

TEST_P(WavTooLarge, RefusedBeforeAnythingIsAllocated) {
  const int tag = GetParam();
  const uint64_t bytes = tag == 1 ? (uint64_t{1} << 31) : (uint64_t{1} << 30) + 64;
  const std::string path = dir / "huge.wav";
  std::vector<uint8_t> head = Wav()
                                  .Fmt(uint16_t(tag), 1, 44100, tag == 1 ? 2 : 256, 16)
                                  .Tag("data")
                                  .U32(0xFFFFFFF0)
                                  .bytes();
  ASSERT_TRUE(WriteBytes(path, head));
  ASSERT_EQ(truncate(path.c_str(), off_t(head.size() + bytes)), 0);
  PutPreviousDocument();
  Doc().path = path;
  EXPECT_EQ(LoadWav(path), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{texts::kTooLarge});
  ExpectEmptied();
  EXPECT_EQ(Doc().path, "無題");
}

INSTANTIATE_TEST_SUITE_P(Encodings, WavTooLarge, testing::Values(1, 7, 0x11));

class WavShortOfMemory : public WavTest, public testing::WithParamInterface<int> {};

TEST_P(WavShortOfMemory, ReportedAndTheDocumentStaysUsable) {
  const int tag = GetParam();
  const std::vector<uint8_t> image =
      Wav().Fmt(uint16_t(tag), 1, 8000, tag == 1 ? 1 : 256, 8).Data(Noise(4000, 9)).bytes();
  PutPreviousDocument();
  MemoryBlock::SetTestCap(1000);
  EXPECT_EQ(Load(image), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{texts::kOutOfMemory});
  ExpectEmptied();
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_GE(Doc().data.size(), 16u);
  // Memory back: the same file loads.
  MemoryBlock::SetTestCap(0);
  EXPECT_EQ(Load(image), 1);
}

INSTANTIATE_TEST_SUITE_P(Encodings, WavShortOfMemory, testing::Values(1, 7, 2, 0x11));

// ----- Saving --------------------------------------------------------------------

TEST_F(WavTest, FailedSaveKeepsTheModifiedFlagAndTheOldFile) {
  SetDocument(MakeFormat(8000, 8, 1), Noise(20000, 10));
  Doc().modified = true;
  Doc().path = dir / "missing/x.wav";
  EXPECT_EQ(SaveWav(0), 0);
  EXPECT_TRUE(Doc().modified);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].caption, texts::kCaptionSave);
  EXPECT_EQ(engine.ui().messages[0].text, "ファイルに書き込めませんでした\n" + Doc().path);

  const std::string path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(path, {1, 2, 3}));
  Doc().path = path;
  for (int mode = 0; mode <= 1; ++mode) {
    FileSizeLimit limit(1000);
    EXPECT_EQ(SaveWav(mode), 0);
  }
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(dir.List(), std::vector<std::string>{"old.wav"});
}

TEST_F(WavTest, MuLawHeaderCountsTheBytesWrittenForAnyWidth) {
  // A 24-bit document (loaded as PCM unchanged): one code per sample.
  SoundFormat f = MakeFormat(8000, 24, 2);
  SetDocument(f, Noise(6 * 10, 11));
  Doc().path = dir / "w.wav";
  ASSERT_EQ(SaveWav(1), 1);
  std::vector<uint8_t> file = ReadBytes(dir / "w.wav");
  ASSERT_EQ(file.size(), 44u + 20u);
  EXPECT_EQ(Le32At(file, 40), 20u);
  EXPECT_EQ(Le32At(file, 4), 56u);
}

// ----- The batch tool ------------------------------------------------------------

int RunTool(const std::string& args, const TempDir& dir) {
  std::string command = std::string(KELVORA_CLI_PATH) + " " + args + " >" + (dir / "stdout") +
                        " 2>" + (dir / "stderr");
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TextOf(const std::string& path) {
  std::vector<uint8_t> b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

TEST(WavCli, CopiesAFileAndReportsIt) {
  TempDir dir;
  const std::vector<uint8_t> image = RiffBuilder()
                                         .Tag("RIFF")
                                         .U32(4036)
                                         .Tag("WAVE")
                                         .Pcm(44100, 16, 2)
                                         .Data(Noise(4000, 12))
                                         .bytes();
  ASSERT_TRUE(WriteBytes(dir / "in.wav", image));
  ASSERT_EQ(RunTool(dir / "in.wav" + " -o " + (dir / "out.wav") + " --info", dir), 0);
  EXPECT_EQ(ReadBytes(dir / "out.wav"), image);
  EXPECT_EQ(TextOf(dir / "stdout"),
            "{\"rate\":44100,\"bits\":16,\"channels\":2,\"frames\":1000,\"bytes\":4000,"
            "\"selection\":[0,0],\"moving_end\":0,\"modified\":false,\"file_kind\":1}\n");

  ASSERT_EQ(RunTool(dir / "in.wav" + " -o " + (dir / "mu.wav") + " --kind ulaw", dir), 0);
  ASSERT_EQ(RunTool(dir / "mu.wav" + " --info", dir), 0);
  EXPECT_NE(TextOf(dir / "stdout").find("\"bits\":16,\"channels\":2,\"frames\":1000"),
            std::string::npos);
  EXPECT_NE(TextOf(dir / "stdout").find("\"file_kind\":257"), std::string::npos);
}

TEST(WavCli, BadFileFailsWithTheMessage) {
  TempDir dir;
  ASSERT_TRUE(WriteBytes(dir / "bad.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}));
  EXPECT_EQ(RunTool(dir / "bad.wav" + " -o " + (dir / "out.wav"), dir), 1);
  EXPECT_NE(TextOf(dir / "stderr").find("ファイルを開く: データが異常です\n"), std::string::npos);
  EXPECT_TRUE(ReadBytes(dir / "out.wav").empty());
}

}  // namespace
}  // namespace kelvora
