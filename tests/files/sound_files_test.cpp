// The WAV, AIFF and AU readers and writers: round trips, files that load,
// hostile files, and what loads and saves leave in the document.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <tuple>

#include "document/busy.h"
#include "document/texts.h"
#include "files/aiff.h"
#include "files/au.h"
#include "files/extended_float.h"
#include "files/file_test_support.h"
#include "files/texts.h"
#include "files/wav.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Bytes = std::vector<uint8_t>;
using Reader = const SoundReader*;

Image Wav() { return Image().Riff(); }
Image Aiff() { return Image().Form(); }

Bytes Rate(double r) {
  Bytes b(10);
  DoubleToExtended(r, b.data());
  return b;
}

// The format without its extra-size field, which a 16-byte fmt chunk takes
// from whatever follows it.
SoundFormat Core(SoundFormat f) {
  f.cbSize = 0;
  return f;
}

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

  // A document that a load replaces: 16-bit mono, a selection.
  void PutPreviousDocument() {
    SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3, 4, 5, 6}));
    SoundDocument& doc = Doc();
    doc.selStart = doc.anchor = 2;
    doc.selEnd = doc.movingEnd = 10;
    doc.viewStart = 4;
    doc.modified = true;
  }
  // Writes the image and loads it the way the open flow does.
  int Load(Reader reader, const Bytes& image, const std::string& name = "in") {
    EXPECT_TRUE(WriteBytes(dir / name, image));
    Doc().path = dir / name;
    return LoadFile(*reader, dir / name);
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const ShownMessage& m : engine.ui().messages) {
      EXPECT_EQ(m.caption, texts::kCaptionOpenFile);
      texts.push_back(m.text);
    }
    return texts;
  }
  // Every failed load leaves an empty sound, nothing selected anywhere, and
  // a format that divides; the status bar says so.
  void ExpectEmptied() {
    const SoundDocument& d = Doc();
    EXPECT_EQ(d.length + d.selStart + d.selEnd + d.anchor + d.movingEnd + d.viewStart, 0);
    EXPECT_EQ(engine.ui().status[1], "0 Bytes");
    EXPECT_GE(d.format.nChannels, 1);
    EXPECT_GE(d.bytesPerChannelSample, 1);
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

// ----- Round trips -------------------------------------------------------------

struct Layout {
  int kind, bits, channels, frames;
  uint32_t hash;  // of the saved file and the sound loaded back
};

class RoundTrip : public SoundFileTest, public testing::WithParamInterface<Layout> {};

// The hashes were taken from a build whose files matched images built field
// by field: WAV without a pad byte, AIFF with one and 24/32 bits as held, a
// mu-law code a sample (AU at 8000 Hz; a mu-law WAV of any width).
TEST_P(RoundTrip, SavedAsBeforeAndLoadedBack) {
  const auto [kind, bits, channels, frames, hash] = GetParam();
  const SoundFormat f = MakeFormat(kind == kFileKindAu ? 8000 : 44100, bits, channels);
  const Bytes data = Noise(size_t(frames) * f.nBlockAlign, frames + 1);
  SetDocument(f, data);
  Doc().path = dir / "rt";
  Doc().modified = true;
  ASSERT_EQ(kind == kFileKindAiff ? SaveAiff()
            : kind == kFileKindAu ? SaveAu()
                                  : SaveWav(kind == kFileKindWavMuLaw),
            1);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(Core(Doc().format), f);  // the document is not converted
  const Bytes file = ReadBytes(dir / "rt");
  StartEngine();
  ASSERT_EQ(LoadFile(kind == kFileKindAiff ? kAiffReader
                     : kind == kFileKindAu ? kAuReader
                                           : kWavReader,
                     dir / "rt"),
            1);
  const bool pcm = kind == kFileKindWavPcm || kind == kFileKindAiff;
  EXPECT_EQ(Core(Doc().format), pcm ? f : MakeFormat(f.nSamplesPerSec, 16, channels));
  EXPECT_TRUE(!pcm || DocumentBytes() == data);
  EXPECT_EQ(Doc().fileKind, kind == kFileKindAiff || kind == kFileKindAu ? kFileKindNone : kind);
  EXPECT_EQ(HashBytes(DocumentBytes(), HashBytes(file)), hash);
}

// Every width and channel count each writer takes, at a size of several of
// the readers' and writers' pieces: no piece may end the sound early.
std::vector<Layout> LongLayouts() {
  static const uint32_t kHashes[] = {0xbbb12815, 0xe7862f44, 0xbe36ec0d, 0xac2a0647, 0xb3c75ca6,
                                     0x076876a3, 0x7d4cbeff, 0x5b95e862, 0x951cd017, 0xbcb8c0cd,
                                     0xa9c4058c, 0x867be72b, 0xcc1fbae2, 0x074685ec, 0xd658ddc3,
                                     0xd3c99095, 0x43da207e, 0xd000fa47, 0xe6b743d5, 0xd03ca498,
                                     0x0f171e16, 0x4029a18b, 0x12774ec6, 0xa0f74129, 0xdb372d85,
                                     0x94ea3798, 0xd19e6773, 0x9874fe5e, 0xf28d89c8, 0xef5e9bf8};
  std::vector<Layout> rows;
  for (int kind : {kFileKindWavPcm, kFileKindAiff, kFileKindAu})
    for (int bits : {8, 16, 24, 32})
      for (int channels : {1, 2, 3})
        if (kind != kFileKindAu || bits <= 16)
          rows.push_back(
              {kind, bits, channels, 200001 / (bits / 8 * channels), kHashes[rows.size()]});
  return rows;
}
INSTANTIATE_TEST_SUITE_P(Long, RoundTrip, testing::ValuesIn(LongLayouts()));

// The empty sound, and mu-law WAVs, which hold a code a sample whatever the width.
INSTANTIATE_TEST_SUITE_P(Short, RoundTrip,
                         testing::Values(Layout{kFileKindWavPcm, 8, 1, 0, 0xe2534af1},
                                         Layout{kFileKindAiff, 16, 1, 0, 0x0ddd1844},
                                         Layout{kFileKindAu, 8, 2, 0, 0x5cb906c6},
                                         Layout{kFileKindWavMuLaw, 8, 2, 5, 0x8cd6844c},
                                         Layout{kFileKindWavMuLaw, 16, 2, 5, 0x14252d6a},
                                         Layout{kFileKindWavMuLaw, 24, 2, 5, 0x133f48ef}));

// ----- Files that load -----------------------------------------------------------

// Table rows name their reader first: Wav..., Aiff... or Au...
Reader ReaderOf(std::string_view name) {
  return name.starts_with("Wav")    ? &kWavReader
         : name.starts_with("Aiff") ? &kAiffReader
                                    : &kAuReader;
}

struct GoodFile {
  const char* name;
  Bytes image;
  SoundFormat format;
  Bytes sound;
  int kind = kFileKindNone;  // what a later Save writes; the open flow sets AIFF and AU
};

class GoodFileTest : public SoundFileTest, public testing::WithParamInterface<GoodFile> {};

TEST_P(GoodFileTest, LoadsTheSoundItHoldsAndResetsTheView) {
  const GoodFile& p = GetParam();
  PutPreviousDocument();
  engine.ui().scrollPosition = 33;
  ASSERT_EQ(Load(ReaderOf(p.name), p.image, "音 ファイル"), 1);
  const SoundDocument& doc = Doc();
  EXPECT_EQ(Core(doc.format), p.format);
  EXPECT_EQ(DocumentBytes(), p.sound);
  EXPECT_EQ(doc.fileKind, p.kind);
  EXPECT_EQ(doc.selStart + doc.selEnd + doc.anchor + doc.movingEnd + doc.viewStart, 0);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(engine.ui().scrollPosition, 0);
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + (dir / "音 ファイル") + "]");
  EXPECT_EQ(engine.ui().status[1], std::to_string(p.sound.size()) + " Bytes");
  EXPECT_TRUE(engine.ui().messages.empty());
  // Spare zeroed bytes follow the data.
  ASSERT_GE(doc.data.size(), size_t(doc.length) + 16);
  EXPECT_EQ(Bytes(doc.data.data() + doc.length, doc.data.data() + doc.length + 16), Bytes(16, 0));
}

const Bytes kA = Noise(16, 5), kB = Noise(5, 6), k4 = {1, 2, 3, 4};
const Bytes kCodes = {0xFF, 0x80, 0x00, 0x7F, 0x12};
// A 9-byte MS ADPCM block, mono, and what it decodes to.
const Bytes kMsBlock = {1, 16, 0, 100, 0, 50, 0, 0x17, 0x9F};
const std::vector<int16_t> kMs = {50, 100, 166, 344, 256, 77};
// More blocks than the reader decodes in one batch.
Bytes Repeat(const Bytes& b, int n) {
  Bytes out;
  for (int i = 0; i < n; ++i) out.insert(out.end(), b.begin(), b.end());
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Files, GoodFileTest,
    testing::Values(
        // An even chunk between fmt and data, an odd one with its pad byte,
        // an odd one whose writer left the pad out, and a last chunk running
        // past the end.
        GoodFile{"WavChunksAroundTheData",
                 Wav()
                     .Pcm(44100, 16, 2)
                     .Chunk("fact", {1, 2, 3, 4})
                     .Chunk("LIST", {5, 6, 7})
                     .Raw({0})
                     .Chunk("JUNK", {8})
                     .Data(kA)
                     .Tag("JUNK")
                     .U32(1000)
                     .Raw({1, 2, 3}),
                 MakeFormat(44100, 16, 2), kA, kFileKindWavPcm},
        // Declared 0xFFFFFFFF: the whole frames that are there.
        GoodFile{"WavSizeBeyondTheFile",
                 Wav().Pcm(44100, 16, 2).Tag("data").U32(0xFFFFFFFF).Raw(kA).Raw({1, 2}),
                 MakeFormat(44100, 16, 2), kA, kFileKindWavPcm},
        // Size 0, as a recorder that never finished leaves it: the whole
        // frames up to the end; but an empty chunk before another one is empty.
        GoodFile{"WavDataSizeZeroRunsToTheEnd",
                 Wav().Pcm(44100, 16, 2).Tag("data").U32(0).Raw(kA).Raw({1, 2}),
                 MakeFormat(44100, 16, 2), kA, kFileKindWavPcm},
        GoodFile{"WavDataSizeZeroBeforeAChunk",
                 Wav().Pcm(44100, 16, 2).Tag("data").U32(0).Chunk("LIST", kB),
                 MakeFormat(44100, 16, 2), Bytes(), kFileKindWavPcm},
        // A later fmt with a later data chunk replaces both; a fmt after the
        // last data chunk does not relabel it.
        GoodFile{"WavLaterChunksReplaceEarlierOnes",
                 Wav().Pcm(44100, 16, 2).Data(kA).Pcm(8000, 8, 1).Data(kB).Pcm(22050, 16, 1),
                 MakeFormat(8000, 8, 1), kB, kFileKindWavPcm},
        // The last stereo frame is partial.
        GoodFile{"WavMuLaw", Wav().Fmt(7, 2, 8000, 2, 8).Data(kCodes), MakeFormat(8000, 16, 2),
                 Pcm16({0, 32124, -32124, 0}), kFileKindWavMuLaw},
        // Two blocks, then a rest of a header and one byte.
        GoodFile{"WavAdpcmBlockByBlock",
                 Wav()
                     .Fmt(2, 1, 22050, 9, 4)
                     .Data(Image().Raw(kMsBlock).Raw(kMsBlock).Raw(Bytes(kMsBlock.begin(),
                                                                         kMsBlock.end() - 1))),
                 MakeFormat(22050, 16, 1),
                 Image().Raw(Pcm16(kMs)).Raw(Pcm16(kMs)).Raw(Pcm16({50, 100, 166, 344})),
                 kFileKindWavPcm},
        GoodFile{"WavAdpcmPastOneBatch",
                 Wav().Fmt(2, 1, 22050, 9, 4).Data(Repeat(kMsBlock, 250000)),
                 MakeFormat(22050, 16, 1), Repeat(Pcm16(kMs), 250000), kFileKindWavPcm},
        // Sample size 12 reads as 16 bits; an SSND before COMM is skipped, a
        // padded odd chunk too; the SSND offset skips bytes.
        GoodFile{"AiffChunksAndOffset",
                 Aiff()
                     .Ssnd(Bytes{9, 9})
                     .Tag("NAME")
                     .B32(3)
                     .Raw(Bytes{'a', 'b', 'c', 0})
                     .Comm(1, 2, 12, Rate(8000))
                     .Ssnd(Bytes{0xAB, 0xAB, 0xAB, 0x01, 0x20, 0xFF, 0xF0}, 3),
                 MakeFormat(8000, 16, 1), Bytes{0x20, 0x01, 0xF0, 0xFF}},
        // A frame count beyond the file gives the whole frames there are.
        GoodFile{"AiffFramesBeyondTheFile",
                 Aiff().Comm(2, 1000, 16, Rate(8000)).Ssnd(Image().Raw(kA).Raw({1, 2})),
                 MakeFormat(8000, 16, 2), FileOrder(kA, 2)},
        // Streaming writers leave the SSND size 0: COMM's frames, as far as
        // the file holds whole ones.
        GoodFile{"AiffSsndSizeZeroTakesCommFrames",
                 Aiff()
                     .Comm(1, 4, 8, Rate(8000))
                     .Tag("SSND")
                     .B32(0)
                     .B32(0)
                     .B32(0)
                     .Raw({1, 2, 3, 4, 5, 6}),
                 MakeFormat(8000, 8, 1), FileOrder({1, 2, 3, 4}, 1)},
        GoodFile{"AiffSsndSizeZeroBoundedByTheFile",
                 Aiff().Comm(2, 1000, 16, Rate(8000)).Tag("SSND").B32(0).B32(0).B32(0).Raw(kB),
                 MakeFormat(8000, 16, 2), FileOrder({kB[0], kB[1], kB[2], kB[3]}, 2)},
        // A run of zero bytes is walked eight at a time, up to the chunk
        // after it.
        GoodFile{"WavZeroRunBeforeTheData",
                 Wav().Pcm(8000, 8, 1).Raw(Bytes(40000, 0)).Data(kA).Raw(Bytes(100, 0)),
                 MakeFormat(8000, 8, 1), kA, kFileKindWavPcm},
        // An offset past the chunk or the file gives an empty sound.
        GoodFile{"AiffOffsetPastTheChunk", Aiff().Comm(1, 4, 8, Rate(8000)).Ssnd(k4, 5),
                 MakeFormat(8000, 8, 1), Bytes()},
        GoodFile{"AiffOffsetPastTheFile", Aiff().Comm(1, 4, 8, Rate(8000)).Ssnd(k4, 0xFFFFFFF8),
                 MakeFormat(8000, 8, 1), Bytes()},
        GoodFile{"AuSizeWithinTheFile", Image().Au(24, 2, 1, 8000, 1).Raw(kCodes),
                 MakeFormat(8000, 16, 1), Pcm16({0, 32124})},
        // Unknown size: to the end of the file, whole stereo frames only.
        GoodFile{"AuUnknownSize", Image().Au(24, 0xFFFFFFFF, 1, 11025, 2).Raw(kCodes),
                 MakeFormat(11025, 16, 2), Pcm16({0, 32124, -32124, 0})},
        GoodFile{"AuOffsetPastTheFile", Image().Au(0xFFFFFFF0, 1000, 1, 8000, 1).Raw(kCodes),
                 MakeFormat(8000, 16, 1), Bytes()}),
    [](const testing::TestParamInfo<GoodFile>& info) { return std::string(info.param.name); });

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
  ASSERT_EQ(Load(&kAiffReader, Aiff().Comm(1, 100000, 16, Rate(8000)).Ssnd(data)), 1);
  EXPECT_EQ(length_seen, 0);
  EXPECT_FALSE(delete_ran);
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(DocumentBytes(), FileOrder(data, 2));
  EXPECT_EQ(engine.ui().statusLog.front().rfind("LoadAIF:", 0), 0u);
}

// A terabyte of holes after the sound is passed in one step; walked eight
// bytes at a time it took most of an hour.
TEST_F(SoundFileTest, SparseTerabyteTailEndsTheScanAtOnce) {
  const std::pair<Reader, Bytes> files[] = {
      {&kWavReader, Wav().Pcm(8000, 8, 1).Data(kA)},
      {&kAiffReader, Aiff().Comm(1, 16, 8, Rate(8000)).Ssnd(kA)},
  };
  for (const auto& [reader, image] : files) {
    const std::string path = dir / "sparse";
    ASSERT_TRUE(WriteBytes(path, image));
    if (truncate(path.c_str(), off_t{1} << 40) != 0) GTEST_SKIP() << "no sparse files here";
    ASSERT_EQ(LoadFile(*reader, path), 1);
    EXPECT_EQ(Doc().length, 16);
  }
}

// ----- Failures ----------------------------------------------------------------

struct BadFile {
  const char* name;
  Bytes image;
  bool header;  // refused at the header: format and block stay
  std::vector<const char*> messages;
};

class BadFileTest : public SoundFileTest, public testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, FailsWithItsMessageAndEmptiesTheDocument) {
  const BadFile& p = GetParam();
  PutPreviousDocument();
  const uint8_t* block = Doc().data.data();
  const SoundFormat before = Doc().format;
  ASSERT_EQ(Load(ReaderOf(p.name), p.image), 0);
  EXPECT_EQ(Texts(), std::vector<std::string>(p.messages.begin(), p.messages.end()));
  ExpectEmptied();
  // Untitled either way: Save must not empty the file that was refused.
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_EQ(engine.ui().title, "Kelvora -[無題]");
  if (p.header) {
    EXPECT_EQ(Core(Doc().format), before);
    EXPECT_EQ(Doc().data.data(), block);
  }
}

std::vector<const char*> Say(const char* text) { return {text}; }
const std::vector<const char*> kBad = Say(texts::kBadData),
                               kUnsupported = {texts::kUnsupportedWavFormat, texts::kBadData};

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    testing::Values(
        BadFile{"WavEmpty", {}, true, Say(texts::kBadRiff)},
        BadFile{"WavNotWave", Image().Tag("RIFF").U32(0).Tag("AVI "), true, Say(texts::kBadWave)},
        BadFile{"WavNoChunks", Wav(), false, kBad},
        BadFile{"WavDataBeforeFmtOnly", Wav().Data({1, 2}).Pcm(8000, 8, 1), false, kBad},
        BadFile{"WavAdpcmFourChannels", Wav().Fmt(2, 4, 8000, 256, 4).Data(k4), false,
                kUnsupported},
        BadFile{"WavNoChannels", Wav().Fmt(1, 0, 8000, 2, 16).Data(k4), false, kBad},
        BadFile{"WavMuLawFrameTooWide", Wav().Fmt(7, 0x8000, 8000, 1, 8).Data(k4), false, kBad},
        BadFile{"WavMsAdpcmBlockBelowHeader", Wav().Fmt(2, 2, 8000, 13, 4).Data(k4), false, kBad},
        BadFile{"WavImaAdpcmBlockBelowHeader", Wav().Fmt(0x11, 1, 8000, 3, 4).Data(k4), false,
                kBad},
        // Read with 32-bit offsets this size would wrap the scan back to
        // offset 12, forever; so would the AIFF one.
        BadFile{"WavChunkSizeThatWouldWrap",
                Wav().Tag("JUNK").U32(0xFFFFFFF8).Pcm(8000, 8, 1).Data({1}), false, kBad},
        BadFile{"AiffChunkSizeThatWouldWrap",
                Aiff().Tag("JUNK").B32(0xFFFFFFF8).Comm(1, 1, 8, Rate(8000)).Ssnd({1}), false,
                Say(texts::kChunkNotFound)},
        BadFile{"AiffNotAiff", Image().Tag("FORM").B32(0).Tag("AIFC"), true, Say(texts::kBadAiff)},
        BadFile{"AiffNoChannels", Aiff().Comm(0, 2, 8, Rate(8000)).Ssnd({1, 2}), false,
                Say(texts::kBadComm)},
        BadFile{"AiffSampleSizeBeyond32", Aiff().Comm(1, 2, 33, Rate(8000)).Ssnd({1, 2}), false,
                Say(texts::kUnsupportedWavFormat)},
        BadFile{"AiffInfiniteRate", Aiff().Comm(1, 2, 8, Rate(HUGE_VAL)).Ssnd({1, 2}), false,
                Say(texts::kBadRate)},
        BadFile{"AiffNegativeRate", Aiff().Comm(1, 2, 8, Rate(-8000)).Ssnd({1, 2}), false,
                Say(texts::kBadRate)},
        // Too short for the magic is a wrong magic, as in the WAV reader.
        BadFile{"AuEmpty", {}, true, Say(texts::kBadRiff)},
        BadFile{"AuCutInTheMagic", Bytes{'.', 's', 'n'}, true, Say(texts::kBadRiff)},
        BadFile{"AuNoChannels", Image().Au(24, 2, 1, 8000, 0).Raw({1, 2}), true, kBad}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(SoundFileTest, FailedWavLoadKeepsOnlyAWorkableFormat) {
  PutPreviousDocument();
  // fmt without data: the record stays as the fmt chunk gave it.
  ASSERT_EQ(Load(&kWavReader, Wav().Fmt(7, 2, 11025, 2, 8)), 0);
  EXPECT_EQ(Core(Doc().format), MakeFormat(11025, 8, 2));
  EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
  // A record with no channels is not taken over.
  ASSERT_EQ(Load(&kWavReader, Wav().Fmt(1, 0, 44100, 4, 16).Data(k4)), 0);
  EXPECT_EQ(Core(Doc().format), MakeFormat(11025, 8, 2));
}

// A file too large to hold, or one for which memory runs short: reported,
// and the document stays usable.
class WavRefused : public SoundFileTest,
                   public testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(WavRefused, ReportedBeforeAnythingIsRead) {
  const auto [tag, huge] = GetParam();
  const std::string path = dir / "in.wav";
  Image image = Wav().Fmt(uint16_t(tag), 1, 8000, tag == 1 ? 2 : 256, 16).Tag("data");
  ASSERT_TRUE(WriteBytes(path, huge ? image.U32(0xFFFFFFF0) : image.U32(4000).Raw(Noise(4000, 9))));
  // Sparse: gigabytes on paper, nothing on disk.
  const off_t sparse = off_t(tag == 1 ? uint64_t{1} << 31 : (uint64_t{1} << 30) + 64);
  ASSERT_EQ(truncate(path.c_str(), off_t(image.bytes.size()) + (huge ? sparse : 0)), 0);
  MemoryBlock::SetTestCap(huge ? 0 : 1000);
  PutPreviousDocument();
  Doc().path = path;
  EXPECT_EQ(LoadFile(kWavReader, path), 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{huge ? texts::kTooLarge : texts::kOutOfMemory});
  ExpectEmptied();
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_GE(Doc().data.size(), 16u);
  MemoryBlock::SetTestCap(0);  // memory back: the same file loads
  EXPECT_EQ(LoadFile(kWavReader, path), huge ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Encodings, WavRefused,
                         testing::Values(std::pair{1, true}, std::pair{7, true},
                                         std::pair{0x11, true}, std::pair{1, false},
                                         std::pair{7, false}, std::pair{2, false},
                                         std::pair{0x11, false}));

// Exactly the longest sound the document holds is not too large: here it is
// memory that runs short.
TEST_F(SoundFileTest, TheLongestSoundIsNotTooLarge) {
  const std::string path = dir / "max.wav";
  ASSERT_TRUE(WriteBytes(path, Wav().Pcm(8000, 8, 1).Tag("data").U32(uint32_t(kMaxSoundBytes))));
  ASSERT_EQ(truncate(path.c_str(), off_t{44} + kMaxSoundBytes), 0);
  MemoryBlock::SetTestCap(1000);
  EXPECT_EQ(LoadFile(kWavReader, path), 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{texts::kOutOfMemory});
}

// ----- Saving --------------------------------------------------------------------

TEST_F(SoundFileTest, FailedSaveKeepsTheModifiedFlagAndTheOldFile) {
  SetDocument(MakeFormat(8000, 8, 1), Noise(20000, 10));
  Doc().modified = true;
  Doc().path = dir / "missing/x.wav";
  EXPECT_EQ(SaveWav(0), 0);
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(engine.ui().messages.size(), 1u);
  Doc().path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(Doc().path, {1, 2, 3}));
  for (int (*save)() : {+[] { return SaveWav(0); }, +[] { return SaveWav(1); }, SaveAiff, SaveAu}) {
    FileSizeLimit limit(1000);
    EXPECT_EQ(save(), 0);
  }
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(ReadBytes(Doc().path), (Bytes{1, 2, 3}));
  EXPECT_EQ(dir.List(), std::vector<std::string>{"old.wav"});
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
