// Widths the program only holds (12, 24, 32 bits; 1, 2, 5 channels): kept by
// writers, conversion, frame moves and undo; refused by every sample rewrite.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <tuple>

#include "document/texts.h"
#include "document/undo.h"
#include "editing/clip_wave_block.h"
#include "editing/texts.h"
#include "effects/texts.h"
#include "files/file_test_support.h"
#include "files/mulaw.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Values = std::vector<int32_t>;

// The samples as SoX reads them, as 32-bit integers.
Values SoxValues(const std::string& path) {
  const std::string command = "sox '" + path + "' -t s32 - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  Values v;
  int32_t x;
  while (pipe && std::fread(&x, sizeof x, 1, pipe.get()) == 1) v.push_back(x);
  return v;
}

class HeldSamples : public testing::TestWithParam<std::tuple<int, int>> {
protected:
  EngineFixture engine;
  TempDir dir;
};

TEST_P(HeldSamples, WritersKeepThemAndOperationsRefuse) {
  const auto [bits, channels] = GetParam();
  // 12-bit samples sit in 16-bit words.
  const uint16_t align = uint16_t((bits + 7) / 8 * channels);
  const std::vector<uint8_t> data = Noise(size_t(300) * align, uint32_t(bits + channels));
  const std::string in = dir / "in.wav";
  ASSERT_TRUE(WriteBytes(in, Image()
                                 .Riff(uint32_t(36 + data.size()))
                                 .Fmt(1, uint16_t(channels), 44100, align, uint16_t(bits))
                                 .Data(data)));
  // SoX takes a 12-bit WAV for packed samples.
  Values want = SoxValues(in);
  if (bits == 12) {
    want.clear();
    for (size_t i = 0; i < data.size(); i += 2)
      want.push_back(int32_t(uint32_t(GetLe16(&data[i])) << 16));
  }
  ASSERT_EQ(want.size(), size_t(300) * channels) << "is sox installed?";

  // Every writer, from the document as loaded.
  Values coded;
  for (int32_t v : want)
    coded.push_back(int32_t(uint32_t(MuLawDecode(MuLawEncode(v >> 16))) << 16));
  const std::tuple<int, const char*, const Values*> writers[] = {
      {kFileKindAiff, "out.aiff", &want},
      {kFileKindAu, "out.au", &coded},
      {kFileKindWavMuLaw, "mu.wav", &coded}};
  ASSERT_EQ(OpenSoundFile(in), 1);
  Doc().path = dir / "out.wav";
  ASSERT_EQ(SaveSoundFile(kFileKindWavPcm), 1);
  EXPECT_EQ(ReadBytes(dir / "out.wav"), ReadBytes(in));
  for (const auto& [kind, name, values] : writers) {
    Doc().path = dir / name;
    ASSERT_EQ(SaveSoundFile(kind), 1) << name;
    EXPECT_EQ(SoxValues(dir / name), *values) << name;
  }
  EXPECT_EQ(DocumentBytes(), data);

  // Every operation that rewrites samples, a clip waiting for paste and mix.
  MemoryBlock clip;
  ASSERT_TRUE(BuildClipWaveBlock(MakeFormat(44100, 16, 1), Pcm16({1000, -1000}).data(), 4, clip));
  engine.platform.clipboard.SetWave(clip.data(), clip.size());
  char refusal[512];
  std::snprintf(
      refusal, sizeof refusal,
      channels <= 2 ? texts::kNotEditableConvertFormat : texts::kNotEditableNorConvertibleFormat,
      44100ul, unsigned(bits), unsigned(channels));
  std::vector<int> operations = {kCmdPaste, kCmdMix, kCmdInsertSilence, kCmdMelodyPaste};
  for (int id = kCmdNoiseRemoval; id <= kCmdTone; ++id) operations.push_back(id);
  for (int id : operations) {
    Doc().selStart = Doc().anchor = 3 * align;
    Doc().selEnd = Doc().movingEnd = 40 * align;
    Doc().modified = false;
    engine.ui().messages.clear();
    DispatchCommand(id, kCodeMenu);
    // The pan envelope turns a mono sound away before anything else.
    const bool mono = id == kCmdPanEnvelope && channels == 1;
    ASSERT_EQ(engine.ui().messages.size(), 1u) << id;
    EXPECT_EQ(engine.ui().messages[0].text, mono ? texts::kStereoOnly : refusal) << id;
    EXPECT_FALSE(engine.ui().messages[0].caption.empty()) << id;
    EXPECT_EQ(DocumentBytes(), data) << id;
    EXPECT_EQ(Doc().selEnd, 40 * align) << id;
    EXPECT_FALSE(Doc().modified) << id;
  }

  // Cut, its clip and undo keep the bytes; conversion reads the top 16 bits.
  ASSERT_TRUE(DispatchCommand(kCmdCut, kCodeMenu));
  const std::vector<uint8_t>& wave = engine.platform.clipboard.Bytes();
  EXPECT_EQ(std::vector<uint8_t>(wave.begin() + kClipHeaderBytes, wave.end() - 2),
            std::vector<uint8_t>(data.begin() + 3 * align, data.begin() + 40 * align));
  ASSERT_TRUE(DispatchCommand(kCmdUndo, kCodeMenu));
  EXPECT_EQ(DocumentBytes(), data);
  engine.platform.dialogs.QueueFields({{"bits", "16"}});
  engine.ui().messages.clear();
  DispatchCommand(kCmdConvertFormat, kCodeMenu);
  if (channels > 2) {
    EXPECT_EQ(ShownMessages(engine.ui()),
              (Shown{{texts::kCaptionConvert, texts::kConvertUnsupported, MsgIcon::kWarning}}));
    EXPECT_EQ(DocumentBytes(), data);
  } else {
    std::vector<int16_t> top;
    for (int32_t v : want) top.push_back(int16_t(v >> 16));
    EXPECT_EQ(DocumentBytes(), Pcm16(top));
  }
}

INSTANTIATE_TEST_SUITE_P(WidthsAndChannels, HeldSamples,
                         testing::Combine(testing::Values(12, 24, 32), testing::Values(1, 2, 5)));

}  // namespace
}  // namespace kelvora
