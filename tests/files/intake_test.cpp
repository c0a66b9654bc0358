// Today's formats: what comes in exactly and what comes in reduced (with
// its one notice), what a save over such a file asks, and hostile files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "document/undo.h"
#include "files/file_test_support.h"
#include "files/file_types.h"
#include "files/intake_notes.h"
#include "files/pcm_reduction.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

// Writes interleaved samples through libsndfile: 32-bit integers (full
// scale 2^31) for integer formats, floats for float ones.
bool WriteSound(const std::string& path, int format, int rate, int channels,
                const std::vector<int32_t>& ints, const std::vector<float>& floats = {}) {
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (f == nullptr) return false;
  const sf_count_t frames =
      static_cast<sf_count_t>((floats.empty() ? ints.size() : floats.size()) / channels);
  const sf_count_t written = floats.empty() ? sf_writef_int(f, ints.data(), frames)
                                            : sf_writef_float(f, floats.data(), frames);
  return sf_close(f) == 0 && written == frames;
}

uint64_t Fnv(const std::vector<uint8_t>& bytes) {
  uint64_t h = 1469598103934665603u;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211u;
  return h;
}

// 40,000 stereo frames, more than one reading piece, touching both ends.
std::vector<int16_t> Signal() {
  std::vector<int16_t> s;
  for (int i = 0; i < 80000; ++i)
    s.push_back(int16_t(i % 997 == 0 ? -32768 : (i * 7919) % 65536 - 32768));
  s[1] = 32767;
  return s;
}

class Intake : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;
  std::vector<std::string> Texts() {
    std::vector<std::string> t;
    for (const ShownMessage& m : engine.ui().messages) t.push_back(m.text);
    engine.ui().messages.clear();
    return t;
  }
  std::vector<int16_t> Samples() {
    const std::vector<uint8_t> b = DocumentBytes();
    std::vector<int16_t> s(b.size() / 2);
    std::memcpy(s.data(), b.data(), s.size() * 2);
    return s;
  }
};

// Lossless writers round-trip 16-bit sound silently; 8-bit comes back at 16 bits.
TEST_F(Intake, LosslessRoundTripsAreExact) {
  const std::vector<uint8_t> sound = Pcm16(Signal());
  for (int32_t kind : {kFileKindFlac, kFileKindW64, kFileKindCaf}) {
    SetDocument(MakeFormat(44100, 16, 2), sound);
    const std::string path = dir / ("x" + std::string(FindWritableKind(kind)->extension));
    Doc().path = path;
    ASSERT_EQ(SaveSoundFile(kind), 1) << path;
    SetDocument(MakeFormat(8000, 8, 1), {1, 2});
    ASSERT_EQ(OpenSoundFile(path), 1) << path;
    EXPECT_EQ(DocumentBytes(), sound) << path;
    EXPECT_EQ(Doc().format, MakeFormat(44100, 16, 2));
    EXPECT_EQ(Doc().fileKind, kind);
    EXPECT_EQ(SaveSoundFile(kind), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{}) << path;
  }
  SetDocument(MakeFormat(11025, 8, 1), {0, 1, 128, 255});
  Doc().path = dir / "8.flac";
  ASSERT_EQ(SaveSoundFile(kFileKindFlac), 1);
  ASSERT_EQ(OpenSoundFile(dir / "8.flac"), 1);
  EXPECT_EQ(Samples(), (std::vector<int16_t>{-32768, -32512, 0, 32512}));
}

// 24 bits: within one step, reproducible per seed; whole 16-bit values exact, unsaid.
TEST_F(Intake, WideSamplesAreDitheredReproducibly) {
  std::vector<int32_t> wide;
  for (int64_t i = 0; i < 80000; ++i)
    wide.push_back(int32_t((i * 104729 % 16777216 - 8388608) * 256));
  const std::string path = dir / "24.wav";
  ASSERT_TRUE(WriteSound(path, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 44100, 2, wide));
  ASSERT_EQ(OpenSoundFile(path), 1);
  const std::vector<int16_t> got = Samples();
  ASSERT_EQ(got.size(), wide.size());
  for (size_t k = 0; k < got.size(); ++k) {
    const double exact = std::min(32767.0, std::floor(wide[k] / 65536.0 + 0.5));
    ASSERT_LE(std::abs(got[k] - exact), 1.0) << k;
  }
  EXPECT_EQ(Fnv(DocumentBytes()), 11333898357221990438u);
  EXPECT_EQ(
      Texts(),
      std::vector<std::string>{
          std::string("読み込むときにサウンドを変換しました(元: WAV 24ビット 2ch 44100Hz)\n") +
          texts::kIntakeDithered});
  EXPECT_EQ(IntakeSourceName(), "WAV");
  EXPECT_EQ(Doc().fileKind, kFileKindWavPcm);
  const std::vector<uint8_t> first = DocumentBytes();
  ASSERT_EQ(OpenSoundFile(path), 1);
  EXPECT_EQ(DocumentBytes(), first);
  SetDitherSeed(7);
  ASSERT_EQ(OpenSoundFile(path), 1);
  EXPECT_NE(DocumentBytes(), first);
  Texts();

  std::vector<int16_t> whole;
  for (int32_t& v : wide) whole.push_back(int16_t((v &= ~0xFFFF) >> 16));
  ASSERT_TRUE(WriteSound(path, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 44100, 2, wide));
  ASSERT_EQ(OpenSoundFile(path), 1);
  EXPECT_EQ(Samples(), whole);
  EXPECT_EQ(Texts(), std::vector<std::string>{});
}

// Float samples beyond full scale are clipped and counted; full scale is
// the top step, not counted.
TEST_F(Intake, FloatBeyondFullScaleIsClippedAndCounted) {
  const std::string path = dir / "f.wav";
  ASSERT_TRUE(WriteSound(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 8000, 1, {},
                         {0.5f, 1.5f, -2.0f, 1.0f, -1.0f, 0.25f, NAN}));
  ASSERT_EQ(OpenSoundFile(path), 1);
  EXPECT_EQ(Samples(), (std::vector<int16_t>{16384, 32767, -32768, 32767, -32768, 8192, 0}));
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "読み込むときにサウンドを変換しました(元: WAV 32ビット浮動小数点 1ch "
                         "8000Hz)\n・最大値を超えた3個のサンプルをクリップしました"});
}

// 5.1 and 7.1 with the standard coefficients in either channel order; an
// even split where positions are unknown.
TEST(Downmix, StandardCoefficientsAndEvenSplit) {
  const float g = 0.70710678f;
  EXPECT_EQ(MakeDownmix(ConventionalLayout(6, false)).gain,
            (std::vector<float>{1, 0, g, 0, g, 0, /**/ 0, 1, g, 0, 0, g}));
  EXPECT_EQ(MakeDownmix(ConventionalLayout(6, true)).gain,
            (std::vector<float>{1, g, 0, g, 0, 0, /**/ 0, g, 1, 0, g, 0}));
  EXPECT_EQ(MakeDownmix(ConventionalLayout(8, false)).gain,
            (std::vector<float>{1, 0, g, 0, g, 0, g, 0, /**/ 0, 1, g, 0, 0, g, 0, g}));
  EXPECT_EQ(MakeDownmix(ConventionalLayout(8, true)).gain,
            (std::vector<float>{1, g, 0, g, 0, g, 0, 0, /**/ 0, g, 1, 0, g, 0, g, 0}));
  const Downmix quad = MakeDownmix(std::vector<Speaker>(4, Speaker::kUnknown));
  EXPECT_EQ(quad.outChannels, 2);
  EXPECT_EQ(quad.gain, std::vector<float>(8, 0.25f));
  EXPECT_EQ(MakeDownmix({Speaker::kUnknown, Speaker::kUnknown}).gain,
            (std::vector<float>{1, 0, 0, 1}));
}

TEST_F(Intake, SurroundFileMixesToStereo) {
  // Left a quarter, the LFE loud: the LFE is left out, so the mix is exact.
  std::vector<int32_t> frames;
  for (int i = 0; i < 100; ++i)
    for (int32_t v : {1 << 29, 0, 0, 1 << 30, 0, 0}) frames.push_back(v);
  ASSERT_TRUE(WriteSound(dir / "51.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 6, frames));
  ASSERT_EQ(OpenSoundFile(dir / "51.wav"), 1);
  EXPECT_EQ(Doc().format, MakeFormat(48000, 16, 2));
  std::vector<int16_t> want;
  for (int i = 0; i < 100; ++i) want.insert(want.end(), {8192, 0});
  EXPECT_EQ(Samples(), want);
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"読み込むときにサウンドを変換しました(元: WAV 6ch 48000Hz)\n"
                                     "・6チャンネルをステレオにミックスしました"});
}

// The file the program's own readers take stays theirs: the same sound,
// kind and silence as before, the 24-bit one held as it is.
TEST_F(Intake, OwnReadersKeepTheirFiles) {
  const std::vector<uint8_t> pcm24 = {1, 2, 3, 4, 5, 6};
  const struct {
    const char* name;
    std::vector<uint8_t> image;
    int32_t kind;
    std::vector<uint8_t> sound;
  } files[] = {
      {"a.wav", Image().Riff().Pcm(8000, 16, 1).Data(Pcm16({5, -5})), kFileKindWavPcm,
       Pcm16({5, -5})},
      {"b.wav", Image().Riff().Fmt(7, 1, 8000, 1, 8).Data({0xFF}), kFileKindWavMuLaw, Pcm16({0})},
      {"c.wav", Image().Riff().Pcm(8000, 24, 1).Data(pcm24), kFileKindWavPcm, pcm24},
      {"d.aiff",
       Image()
           .Form()
           .Comm(1, 2, 16, {0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0})
           .Ssnd({0, 5, 0xFF, 0xFB}),
       kFileKindAiff, Pcm16({5, -5})},
      {"e.au", Image().Au(24, 1, 1, 8000, 1).Raw({0xFF}), kFileKindAu, Pcm16({0})},
  };
  for (const auto& f : files) {
    ASSERT_TRUE(WriteBytes(dir / f.name, f.image));
    ASSERT_EQ(OpenSoundFile(dir / f.name), 1) << f.name;
    EXPECT_EQ(DocumentBytes(), f.sound) << f.name;
    EXPECT_EQ(Doc().fileKind, f.kind) << f.name;
    EXPECT_EQ(IntakeSourceName(), "") << f.name;
  }
  EXPECT_EQ(engine.ui().messages.size(), 1u);  // the 24-bit sound cannot be edited
}

// Broken and lying files: loaded as far as they decode, with the notice
// saying so, or refused with the document exactly as it was.
TEST_F(Intake, HostileFilesLoadSafelyOrLeaveTheDocument) {
  std::vector<int32_t> tone;
  for (int i = 0; i < 132300; ++i) tone.push_back(int32_t(std::sin(i * 0.05) * 1e9) & ~0xFFFF);
  ASSERT_TRUE(WriteSound(dir / "t.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, tone));
  std::vector<uint8_t> flac = ReadBytes(dir / "t.flac");
  ASSERT_TRUE(WriteBytes(dir / "cut.flac", {flac.begin(), flac.begin() + flac.size() / 2}));
  ASSERT_EQ(OpenSoundFile(dir / "cut.flac"), 1);
  EXPECT_GT(Doc().frames(), 0);
  EXPECT_LT(Doc().frames(), 132300);
  EXPECT_NE(Texts().at(0).find(texts::kIntakeTruncated), std::string::npos);
  // A STREAMINFO that claims 1000 samples does not cut the sound short.
  flac[21] &= 0xF0;
  flac[22] = flac[23] = 0;
  flac[24] = 0x03;
  flac[25] = 0xE8;
  ASSERT_TRUE(WriteBytes(dir / "short.flac", flac));
  ASSERT_EQ(OpenSoundFile(dir / "short.flac"), 1);
  EXPECT_EQ(Doc().frames(), 132300);

  ASSERT_TRUE(WriteSound(dir / "v.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 1, tone));
  std::vector<uint8_t> ogg = ReadBytes(dir / "v.ogg");
  for (size_t i = ogg.size() / 2; i < ogg.size() / 2 + 300; ++i) ogg[i] ^= 0x5A;
  ASSERT_TRUE(WriteBytes(dir / "broken.ogg", ogg));
  ASSERT_EQ(OpenSoundFile(dir / "broken.ogg"), 1);
  EXPECT_GT(Doc().frames(), 0);
  EXPECT_LT(Doc().frames(), 132300);

  // A variable-rate MP3 without its Xing frame: no length to trust.
  std::vector<int32_t> rising;
  for (int i = 0; i < 88200; ++i) rising.push_back(int32_t((i % 97) * (i / 40) * 500));
  ASSERT_TRUE(
      WriteSound(dir / "x.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 1, rising));
  std::vector<uint8_t> mp3 = ReadBytes(dir / "x.mp3");
  ASSERT_TRUE(std::string(mp3.begin() + 36, mp3.begin() + 40) == "Xing" ||
              std::string(mp3.begin() + 21, mp3.begin() + 25) == "Xing");
  // MPEG-1 layer III: 144 * bit rate / rate bytes (plus padding) a frame.
  const int kbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  const size_t first = 144000 * kbps[mp3[2] >> 4] / 44100 + ((mp3[2] >> 1) & 1);
  ASSERT_TRUE(WriteBytes(dir / "noxing.mp3", {mp3.begin() + first, mp3.end()}));
  ASSERT_EQ(OpenSoundFile(dir / "noxing.mp3"), 1);
  EXPECT_GE(Doc().frames(), 88200);
  EXPECT_EQ(IntakeSourceName(), "MP3");

  // Refused: the sound before stays with its path, kind, format and block.
  SetDocument(MakeFormat(22050, 8, 2), {1, 2, 3, 4});
  Doc().path = "/before.wav";
  Doc().fileKind = kFileKindWavMuLaw;
  const uint8_t* block = Doc().data.data();
  std::vector<uint8_t> wide = ReadBytes(dir / "t.flac");
  wide[20] = 0xFF;  // channels field: the header cannot be believed
  const std::pair<const char*, std::vector<uint8_t>> refused[] = {
      {"empty.flac", {}},
      {"noise.ogg", Noise(3000, 5)},
      {"head.mp3", {mp3.begin(), mp3.begin() + 10}},
      {"channels.caf", Image()
                           .Tag("caff")
                           .Raw({0, 1, 0, 0})
                           .Tag("desc")
                           .B32(0)
                           .B32(32)
                           .Raw({0x40, 0xE5, 0x88, 0x80, 0, 0, 0, 0})
                           .Tag("lpcm")
                           .B32(0)
                           .B32(4)
                           .B32(1)
                           .B32(10000)
                           .B32(16)},
      {"lost.flac", {flac.begin(), flac.begin() + 60}},
  };
  for (const auto& [name, bytes] : refused) {
    ASSERT_TRUE(WriteBytes(dir / name, bytes));
    EXPECT_EQ(OpenSoundFile(dir / name), 0) << name;
    EXPECT_EQ(Doc().path, "/before.wav") << name;
    EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw) << name;
    EXPECT_EQ(Doc().format, MakeFormat(22050, 8, 2)) << name;
    EXPECT_EQ(Doc().data.data(), block) << name;
    EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4})) << name;
    EXPECT_EQ(engine.ui().messages.back().icon, MsgIcon::kWarning) << name;
  }
  // LIST metadata whose sizes run past the file once held libsndfile in a
  // loop, in a RIFF and in an RF64 without its ds64.
  const char* const lists[] = {
      "5249464660000000574156454c49535405005249464676ffffffffffffffffffffffffffb84b0e54"
      "fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff8ffffffffffffff"
      "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff"
      "ffffffffffffffffffffffffffffffffff000000574156456618000000000000006d743220100000"
      "000100003d00020044ffd2",
      "5246363460000000574156454c495354050100000010ffffffffffffffffffffffffffffffffffff"
      "fffffffffffffffff7ffffffffffffffffffffffffffffffffffffffffffff00"};
  for (const std::string hex : lists) {
    std::vector<uint8_t> list;
    for (size_t i = 0; i < hex.size(); i += 2)
      list.push_back(std::stoi(hex.substr(i, 2), nullptr, 16));
    ASSERT_TRUE(WriteBytes(dir / "list.wav", list));
    EXPECT_EQ(OpenSoundFile(dir / "list.wav"), 0);
  }
}

// A data size of 0 or past the end: the rest of the file, as the WAV reader takes it.
TEST_F(Intake, UnfinishedDataSizesReadToTheEnd) {
  std::vector<float> wave;
  for (int i = 0; i < 90000; ++i) wave.push_back(float(std::sin(i * 0.01) * 0.6));
  struct Case {
    const char* name;
    int format;
    const char* tag;
    int sizeOffset;  // past the tag
    std::vector<uint8_t> size;
  };
  const Case cases[] = {
      {"f.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "data", 4, {0, 0, 0, 0}},
      {"x.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, "data", 4, {0, 0, 0, 0}},
      {"s.au", SF_FORMAT_AU | SF_FORMAT_PCM_24, ".snd", 8, {0x7F, 0xFF, 0xFF, 0xFF}},
      {"z.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, ".snd", 8, {0, 0, 0, 0}},
      {"u.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT, "data", 4, std::vector<uint8_t>(8, 0xFF)},
  };
  for (const Case& c : cases) {
    const std::string whole = dir / c.name, cut = dir / ("cut" + std::string(c.name));
    ASSERT_TRUE(WriteSound(whole, c.format, 44100, 2, {}, wave)) << c.name;
    std::vector<uint8_t> bytes = ReadBytes(whole);
    const auto at = std::search(bytes.begin(), bytes.end(), c.tag, c.tag + 4) - bytes.begin();
    std::copy(c.size.begin(), c.size.end(), bytes.begin() + at + c.sizeOffset);
    ASSERT_TRUE(WriteBytes(cut, bytes));
    ASSERT_EQ(OpenSoundFile(whole), 1) << c.name;
    const std::vector<uint8_t> expected = DocumentBytes();
    ASSERT_EQ(OpenSoundFile(cut), 1) << c.name;
    EXPECT_EQ(Doc().frames(), 45000) << c.name;
    EXPECT_TRUE(DocumentBytes() == expected) << c.name;
  }
}

// Saving over a file that came in reduced asks once: No goes to Save As,
// Cancel writes nothing, Yes writes; a lossless file asks nothing.
TEST_F(Intake, SaveOverAReducedFileAsksFirst) {
  std::vector<int32_t> wide;
  for (int i = 0; i < 600; ++i) wide.push_back(i * 3001 * 256);
  const std::string path = dir / "in.flac";
  ASSERT_TRUE(WriteSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 8000, 1, wide));
  const std::vector<uint8_t> original = ReadBytes(path);
  ASSERT_EQ(OpenSoundFile(path), 1);
  Texts();
  const std::string question = "[" + path +
                               "]に保存すると、元のファイルにあったものが失われます\n"
                               "・元の24ビットのサンプルを16ビットで書き込みます\n"
                               "このまま保存しますか?\n(「いいえ」で別の名前を付けて保存します)";
  engine.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(SaveSoundFile(Doc().fileKind), 0);
  engine.ui().answers.push_back(kIdNo);
  engine.platform.fileDialogs.Cancel();
  EXPECT_EQ(SaveSoundFile(Doc().fileKind), 0);
  EXPECT_EQ(engine.platform.fileDialogs.calls.size(), 1u);
  EXPECT_EQ(ReadBytes(path), original);
  engine.ui().answers.push_back(kIdYes);
  EXPECT_EQ(SaveSoundFile(Doc().fileKind), 1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{question, question, question}));
  EXPECT_EQ(SaveSoundFile(Doc().fileKind), 1);  // the file holds the sound now
  EXPECT_EQ(Texts(), std::vector<std::string>{});

  // A lossy source asks about the new encoding; Opus takes 44.1 kHz sound
  // at 48 kHz.
  SetDocument(MakeFormat(44100, 16, 1), Pcm16(std::vector<int16_t>(4410, 1000)));
  Doc().path = dir / "o.opus";
  ASSERT_EQ(SaveSoundFile(kFileKindOpus), 1);
  ASSERT_EQ(OpenSoundFile(dir / "o.opus"), 1);
  EXPECT_EQ(Doc().format.nSamplesPerSec, 48000u);
  EXPECT_NEAR(Doc().frames(), 4800, 100);
  Texts();
  EXPECT_EQ(SaveSoundFile(Doc().fileKind), 1);
  EXPECT_NE(Texts().at(0).find(texts::kLossReencoded), std::string::npos);
}

// An encoder that cannot take the sound says why, and the file stays.
TEST_F(Intake, RefusedOrFailedEncodingLeavesTheFile) {
  const std::string path = dir / "keep.mp3";
  ASSERT_TRUE(WriteBytes(path, {1, 2, 3}));
  SetDocument(MakeFormat(44100, 16, 2), Pcm16(std::vector<int16_t>(2000, 7)));
  SetDocumentFormat(MakeFormat(44100, 16, 4));
  Doc().path = path;
  EXPECT_EQ(SaveSoundFile(kFileKindMp3), 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{"MP3 では保存できません\nチャンネル数が多すぎます"});
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  {
    FileSizeLimit limit(100);
    EXPECT_EQ(SaveSoundFile(kFileKindFlac), 0);
  }
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));

  // An empty sound: a file that opens again as it, or a refusal.
  for (int32_t kind : {kFileKindFlac, kFileKindMp3, kFileKindOpus}) {
    SetDocument(MakeFormat(44100, 16, 2), {});
    Doc().path = dir / ("empty" + std::string(FindWritableKind(kind)->extension));
    engine.ui().answers.push_back(kIdYes);
    ASSERT_EQ(SaveSoundFile(kind), kind == kFileKindOpus ? 0 : 1) << kind;
    if (kind == kFileKindOpus) continue;
    SetDocument(MakeFormat(8000, 8, 1), {1});
    ASSERT_EQ(OpenSoundFile(Doc().path), 1) << kind;
    EXPECT_EQ(Doc().format, MakeFormat(44100, 16, 2)) << kind;
    EXPECT_EQ(Doc().length, 0) << kind;
  }
  EXPECT_EQ(Texts().back(), "Opus では保存できません\nサウンドが空です");
}

}  // namespace
}  // namespace kelvora
