// The amplitude effects on small sounds whose results are known by hand,
// the empty sound, and undo after each effect.
#include "effects/amplitude.h"

#include <gtest/gtest.h>

#include <vector>

#include "document/busy.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"

namespace kelvora {
namespace {

const SoundFormat kMono16 = MakeFormat(22050, 16, 1);
const SoundFormat kStereo16 = MakeFormat(22050, 16, 2);

std::vector<int32_t> After(int command, const SoundFormat& f, const std::vector<int32_t>& in) {
  SetSamples(f, in);
  EXPECT_TRUE(RunCommand(command));
  return Samples16();
}

TEST(AmplitudeNumbers, FadesOverFourFrames) {
  EngineFixture f;
  EXPECT_EQ(After(kCmdFadeIn, kMono16, {1000, 1000, 1000, 1000}),
            (std::vector<int32_t>{0, 250, 500, 750}));
  EXPECT_EQ(After(kCmdFadeOut, kStereo16, {1000, -1000, 1000, -1000, 1000, -1000, 1000, -1000}),
            (std::vector<int32_t>{1000, -1000, 750, -750, 500, -500, 250, -250}));
}

TEST(AmplitudeNumbers, NormalizeScalesToFullRange) {
  EngineFixture f;
  EXPECT_EQ(After(kCmdNormalize, kMono16, {16384, -8192, 100}),
            (std::vector<int32_t>{32767, -16383, 199}));
  // A peak of 32768 is scaled twice: once by the pass, once by WriteSample.
  EXPECT_EQ(After(kCmdNormalize, kMono16, {-32768, 16384}), (std::vector<int32_t>{-32766, 16382}));
}

TEST(AmplitudeNumbers, NormalizeOfSilenceLeavesItAndCompletes) {
  EngineFixture f;
  EXPECT_EQ(After(kCmdNormalize, kStereo16, {0, 0, 0, 0}), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_TRUE(Doc().modified);
  EXPECT_TRUE(f.ui().messages.empty());
  EXPECT_EQ(Peak().peakScale, 0);
}

TEST(AmplitudeNumbers, ReverseKeepsOddMiddleAndSwapsPairs) {
  EngineFixture f;
  EXPECT_EQ(After(kCmdReverse, kMono16, {1, 2, 3}), (std::vector<int32_t>{3, 2, 1}));
  EXPECT_EQ(After(kCmdReverse, kStereo16, {1, 2, 3, 4}), (std::vector<int32_t>{3, 4, 1, 2}));
}

TEST(AmplitudeNumbers, InversionClipsTheMostNegativeValue) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 8, 1), {0, 128, 255});
  ASSERT_TRUE(RunCommand(kCmdInvertPhase));
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{255, 128, 1}));
  EXPECT_EQ(After(kCmdInvertPhase, kMono16, {-32768, 32767}),
            (std::vector<int32_t>{32767, -32767}));
}

TEST(AmplitudeNumbers, DcRemovalOfAConstantDecays) {
  EngineFixture f;
  const std::vector<int32_t> out = After(kCmdRemoveDc, kMono16, std::vector<int32_t>(300, 1000));
  EXPECT_EQ(out[0], 992);  // 1000 - 1000 / 128, truncated
  EXPECT_EQ(out[1], 984);
  EXPECT_LT(out[299], 100);
}

// After long silence the running mean falls below 2^-1000 and the next
// sounds must come out exactly as the definition computes them.
TEST(AmplitudeNumbers, DcRemovalAfterTheMeanDecaysOverSilence) {
  EngineFixture f;
  std::vector<int32_t> in(120000, 0);
  in[0] = 30000;
  for (int i = 0; i < 50; ++i) in[110000 + i] = (i * 7919) % 2001 - 1000;
  const std::vector<int32_t> out = After(kCmdRemoveDc, kMono16, in);
  double m = 0;
  for (size_t k = 0; k < in.size(); ++k) {
    m = (m * 127 + in[k]) / 128;
    ASSERT_EQ(out[k], static_cast<int32_t>(in[k] - m)) << "frame " << k;
  }
}

TEST(AmplitudeNumbers, DcRemovalKeepsAMeanForEveryChannel) {
  EngineFixture f;
  const std::vector<int32_t> out =
      After(kCmdRemoveDc, MakeFormat(8000, 16, 10), std::vector<int32_t>(30, 1000));
  std::vector<int32_t> want;
  for (int32_t v : {992, 984, 976}) want.insert(want.end(), 10, v);
  EXPECT_EQ(out, want);
}

// Samples of a width the program cannot read are neither read nor written.
TEST(AmplitudeNumbers, DcRemovalLeavesAnUnreadableWidthAlone) {
  EngineFixture f;
  SoundFormat f24 = MakeFormat(8000, 24, 1);
  const std::vector<uint8_t> bytes = NoiseBytes(300, 2);
  SetDocument(f24, bytes);
  ASSERT_TRUE(RunCommand(kCmdRemoveDc));
  EXPECT_EQ(DocumentBytes(), bytes);
}

TEST(AmplitudeNumbers, SilenceWithMaskTwoZeroesTheSecondChannel) {
  EngineFixture f;
  Doc().channelMask = 2;
  EXPECT_EQ(After(kCmdSilenceSelection, kStereo16, {5, 6, 7, 8}),
            (std::vector<int32_t>{5, 0, 7, 0}));
  Doc().channelMask = 3;
  SetDocument(MakeFormat(8000, 8, 2), {1, 2, 3, 4});
  ASSERT_TRUE(RunCommand(kCmdSilenceSelection));
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{128, 128, 128, 128}));
}

struct OnEmpty {
  int command;
  bool marksModified;
};

class AmplitudeOnEmptySound : public testing::TestWithParam<OnEmpty> {};

TEST_P(AmplitudeOnEmptySound, CompletesAndMarksModifiedAsDefined) {
  EngineFixture f;
  SetDocument(kStereo16, {});
  ASSERT_TRUE(RunCommand(GetParam().command));
  EXPECT_EQ(Doc().length, 0);
  EXPECT_EQ(Doc().selEnd, 0);
  EXPECT_EQ(Doc().modified, GetParam().marksModified);
  EXPECT_TRUE(f.ui().messages.empty());
  EXPECT_FALSE(Busy().busy);
}

INSTANTIATE_TEST_SUITE_P(AllEffects, AmplitudeOnEmptySound,
                         testing::Values(OnEmpty{kCmdVolume, true}, OnEmpty{kCmdFadeIn, true},
                                         OnEmpty{kCmdFadeOut, true}, OnEmpty{kCmdNormalize, true},
                                         OnEmpty{kCmdReverse, false},
                                         OnEmpty{kCmdInvertPhase, false},
                                         OnEmpty{kCmdRemoveDc, true},
                                         OnEmpty{kCmdSilenceSelection, true}));

class AmplitudeUndo : public testing::TestWithParam<int> {};

TEST_P(AmplitudeUndo, UndoRestoresAndRedoReapplies) {
  EngineFixture f;
  const std::vector<uint8_t> before = NoiseBytes(4 * 300, 5);
  SetDocument(kStereo16, before);
  Select(10, 250);
  VolumeParameters().volume = 170;
  ASSERT_TRUE(RunCommand(GetParam()));
  const std::vector<uint8_t> after = DocumentBytes();
  ASSERT_NE(after, before);
  ASSERT_TRUE(RunCommand(kCmdUndo));
  EXPECT_EQ(DocumentBytes(), before);
  EXPECT_EQ(Doc().selStart, 40);
  EXPECT_EQ(Doc().selEnd, 1000);
  EXPECT_TRUE(Doc().modified);  // undo does not clear it
  ASSERT_TRUE(RunCommand(kCmdUndo));
  EXPECT_EQ(DocumentBytes(), after);
}

INSTANTIATE_TEST_SUITE_P(AllEffects, AmplitudeUndo,
                         testing::Values(kCmdVolume, kCmdFadeIn, kCmdFadeOut, kCmdNormalize,
                                         kCmdReverse, kCmdInvertPhase, kCmdRemoveDc,
                                         kCmdSilenceSelection));

}  // namespace
}  // namespace kelvora
