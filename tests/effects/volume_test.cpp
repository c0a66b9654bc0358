// Volume: gain, limiter, pan, and the two questions about the pan setting.
#include <gtest/gtest.h>

#include <vector>

#include "document/undo.h"
#include "effects/amplitude.h"
#include "effects/effect_test_util.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

const SoundFormat kMono16 = MakeFormat(22050, 16, 1);
const SoundFormat kStereo16 = MakeFormat(22050, 16, 2);

std::vector<int32_t> VolumeOf(const SoundFormat& f, const std::vector<int32_t>& in, int volume,
                              int pan, int limiter) {
  SetSamples(f, in);
  VolumeParameters() = VolumeParams{volume, pan, limiter};
  EXPECT_TRUE(RunCommand(kCmdVolume));
  return Samples16();
}

TEST(Volume, UnityLeavesSamplesAsTheyAre) {
  EngineFixture f;
  const std::vector<int32_t> in{32767, -32767, 5, -1, 0, 20000};
  EXPECT_EQ(VolumeOf(kStereo16, in, 100, 50, 1), in);
  EXPECT_EQ(VolumeOf(kMono16, in, 100, 50, 0), in);
  EXPECT_TRUE(f.ui().messages.empty());
}

TEST(Volume, LimiterKeepsProportionsWhereClippingDoesNot) {
  EngineFixture f;
  EXPECT_EQ(VolumeOf(kMono16, {20000, 10000, -5000}, 200, 50, 1),
            (std::vector<int32_t>{32767, 16383, -8191}));
  EXPECT_EQ(Peak().peakScale, 0);
  EXPECT_EQ(VolumeOf(kMono16, {20000, 10000, -5000}, 200, 50, 0),
            (std::vector<int32_t>{32767, 20000, -10000}));
}

TEST(Volume, PanZeroSilencesTheRightChannel) {
  EngineFixture f;
  EXPECT_EQ(VolumeOf(kStereo16, {1000, 1000, -3000, 3000}, 150, 0, 1),
            (std::vector<int32_t>{1500, 0, -4500, 0}));
  EXPECT_EQ(VolumeOf(kStereo16, {1000, 1000}, 100, 75, 1), (std::vector<int32_t>{500, 1000}));
  EXPECT_TRUE(f.ui().messages.empty());
}

struct PanQuestion {
  const char* label;
  SoundFormat format;
  uint32_t mask;
  const char* text;
  std::vector<int32_t> afterOk;  // from {1000, 2000}
};

class VolumePanQuestion : public testing::TestWithParam<PanQuestion> {};

TEST_P(VolumePanQuestion, OkIgnoresThePanAndCancelChangesNothing) {
  const PanQuestion& q = GetParam();
  EngineFixture f;
  Doc().channelMask = q.mask;
  EXPECT_EQ(VolumeOf(q.format, {1000, 2000}, 150, 30, 1), q.afterOk);
  ASSERT_EQ(f.ui().messages.size(), 1u);
  const ShownMessage& m = f.ui().messages[0];
  EXPECT_EQ(m.caption, texts::kNameVolume);
  EXPECT_EQ(m.text, q.text);
  EXPECT_EQ(m.icon, MsgIcon::kInformation);
  EXPECT_EQ(m.buttons, MsgButtons::kOkCancel);

  StartEngine();  // an empty snapshot, to see that Cancel takes none
  Doc().channelMask = q.mask;
  const size_t menu_changes = f.ui().menuModeLog.size();
  f.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(VolumeOf(q.format, {1000, 2000}, 150, 30, 1), (std::vector<int32_t>{1000, 2000}));
  EXPECT_EQ(Undo().length, 0);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(f.ui().menuModeLog.size(), menu_changes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumePanQuestion,
    testing::Values(
        PanQuestion{"Mono", kMono16, 3, texts::kMonoPanIgnored, {1500, 3000}},
        PanQuestion{"LeftOnly", kStereo16, 1, texts::kOneChannelPanIgnored, {1500, 2000}},
        PanQuestion{"RightOnly", kStereo16, 2, texts::kOneChannelPanIgnored, {1000, 3000}}),
    [](const testing::TestParamInfo<PanQuestion>& info) { return info.param.label; });

TEST(Volume, CancelledDialogChangesNothing) {
  EngineFixture f;
  f.platform.dialogs.QueueFields({}, 2);  // Cancel
  EXPECT_EQ(VolumeOf(kStereo16, {1000, 2000}, 200, 50, 1), (std::vector<int32_t>{1000, 2000}));
  EXPECT_EQ(f.platform.dialogs.shown, (std::vector<int>{119}));
  EXPECT_EQ(Undo().length, 0);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(Doc().selEnd, 4);  // the selection stays widened
}

}  // namespace
}  // namespace kelvora
