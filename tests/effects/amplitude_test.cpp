// The amplitude effects on small sounds whose results are known by hand, on
// the empty sound; Volume's questions about the pan setting.
#include "effects/amplitude.h"

#include <gtest/gtest.h>

#include "document/params.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

const SoundFormat kMono = MakeFormat(22050, 16, 1);
const SoundFormat kStereo = MakeFormat(22050, 16, 2);
using V = std::vector<int32_t>;

// clang-format off
const Known kKnown[] = {
    {"FadeIn", kCmdFadeIn, kMono, {1000, 1000, 1000, 1000}, {0, 250, 500, 750}},
    {"FadeOut", kCmdFadeOut, kStereo, {8, -8, 8, -8, 8, -8, 8, -8}, {8, -8, 6, -6, 4, -4, 2, -2}},
    {"Normalize", kCmdNormalize, kMono, {16384, -8192, 100}, {32767, -16383, 199}},
    // A peak of 32768 is scaled twice, by the pass and by WriteSample.
    {"NormalizeFullNegative", kCmdNormalize, kMono, {-32768, 16384}, {-32766, 16382}},
    {"NormalizeSilence", kCmdNormalize, kStereo, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {"ReverseOddFrames", kCmdReverse, kStereo, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
    {"Invert8Bit", kCmdInvertPhase, MakeFormat(8000, 8, 1), {-32768, 0, 32512}, {32512, 0, -32512}},
    {"RemoveDc", kCmdRemoveDc, kMono, {1000, 1000, 1000}, {992, 984, 976}},
    {"RemoveDcNineChannels", kCmdRemoveDc, MakeFormat(8000, 16, 9), V(9, 1000), V(9, 992)},
    {"SilenceSecond", kCmdSilenceSelection, kStereo, {5, 6, 7, 8}, {5, 0, 7, 0}, [] { Doc().channelMask = 2; }},
    {"Limiter", kCmdVolume, kMono, {20000, 10000, -5000}, {32767, 16383, -8191}, [] { Params<VolumeParams>() = {200, 50, 1}; }},
    {"Clipped", kCmdVolume, kMono, {20000, 10000, -5000}, {32767, 20000, -10000}, [] { Params<VolumeParams>() = {200, 50, 0}; }},
    {"PanRight", kCmdVolume, kStereo, {1000, 1000, -3000, 3000}, {1500, 0, -4500, 0}, [] { Params<VolumeParams>() = {150, 0, 1}; }},
    {"EmptyVolume", kCmdVolume, kStereo, {}, {}},
    {"EmptyFadeIn", kCmdFadeIn, kStereo, {}, {}},
    {"EmptyFadeOut", kCmdFadeOut, kStereo, {}, {}},
    {"EmptyNormalize", kCmdNormalize, kStereo, {}, {}},
    {"EmptyReverse", kCmdReverse, kStereo, {}, {}},
    {"EmptyInvert", kCmdInvertPhase, kStereo, {}, {}},
    {"EmptyRemoveDc", kCmdRemoveDc, kStereo, {}, {}},
    {"EmptySilence", kCmdSilenceSelection, kStereo, {}, {}},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Amplitude, KnownResult, testing::ValuesIn(kKnown), KnownLabel);

// The running mean falls below 2^-1000 over long silence; the sounds after
// it must still come out exactly as m = (m * 127 + x) / 128 gives them.
TEST(AmplitudeDcRemoval, ExactAfterTheMeanDecaysOverSilence) {
  EngineFixture f;
  V in(120000, 0);
  in[0] = 30000;
  for (int i = 0; i < 50; ++i) in[110000 + i] = (i * 7919) % 2001 - 1000;
  SetSamples(kMono, in);
  ASSERT_TRUE(RunCommand(kCmdRemoveDc));
  const V out = Samples16();
  double m = 0;
  for (size_t k = 0; k < in.size(); ++k) {
    m = (m * 127 + in[k]) / 128;
    ASSERT_EQ(out[k], static_cast<int32_t>(in[k] - m)) << "frame " << k;
  }
}

// Samples of a width the program cannot read are neither read nor written.
TEST(AmplitudeDcRemoval, LeavesAnUnreadableWidthAlone) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(300, 2);
  SetDocument(MakeFormat(8000, 24, 1), bytes);
  ASSERT_TRUE(RunCommand(kCmdRemoveDc));
  EXPECT_EQ(DocumentBytes(), bytes);
}

// From {1000, 2000} at 150 % and pan 30 the pan is ignored: OK goes on
// without it, Cancel changes nothing and takes no snapshot.
TEST(Volume, PanWithoutTwoChannelsAsksAndOkIgnoresIt) {
  const std::tuple<SoundFormat, uint32_t, const char*, V> cases[] = {
      {kMono, 3, texts::kMonoPanIgnored, {1500, 3000}},
      {kStereo, 1, texts::kOneChannelPanIgnored, {1500, 2000}},
      {kStereo, 2, texts::kOneChannelPanIgnored, {1000, 3000}}};
  for (const auto& [format, mask, text, afterOk] : cases) {
    for (int answer : {kIdOk, kIdCancel}) {
      EngineFixture f;
      SetSamples(format, {1000, 2000});
      Doc().channelMask = mask;
      Params<VolumeParams>() = VolumeParams{150, 30, 1};
      f.ui().answers.push_back(answer);
      ASSERT_TRUE(RunCommand(kCmdVolume));
      ASSERT_EQ(ShownMessages(f.ui()), (Shown{{texts::kNameVolume, text, MsgIcon::kInformation}}));
      EXPECT_EQ(f.ui().messages[0].buttons, MsgButtons::kOkCancel);
      EXPECT_EQ(Samples16(), answer == kIdOk ? afterOk : (V{1000, 2000})) << mask;
      EXPECT_EQ(Undo().length, answer == kIdOk ? Doc().length : 0);
      EXPECT_EQ(Doc().modified, answer == kIdOk);
    }
  }
}

}  // namespace
}  // namespace kelvora
