// The sequence around the amplitude effects: a shortage of memory at each
// allocation, the busy state during the pass, and ReplaceSelection.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "document/busy.h"
#include "effects/amplitude.h"
#include "effects/effect_test_util.h"
#include "effects/replace_selection.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

const SoundFormat kStereo = MakeFormat(22050, 16, 2);

void ExpectShortageShown(const HeadlessUi& ui, const std::string& caption) {
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, caption);
  EXPECT_EQ(ui.messages[0].text, "メモリーが足りません");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::kWarning);
}

struct Shortage {
  const char* label;
  int command;
  const char* caption;
  size_t cap;         // of any block, on a 400-byte sound
  int32_t selectEnd;  // frames 10 .. selectEnd, or all when 0
  bool noSpare;       // the data block holds no spare bytes yet
};

class EffectShortage : public testing::TestWithParam<Shortage> {};

TEST_P(EffectShortage, ReportedUnderItsCaptionWithTheSoundWhole) {
  const Shortage& s = GetParam();
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(400, 9);
  SetDocument(kStereo, bytes);
  if (s.noSpare) Doc().data.Resize(400);
  if (s.selectEnd != 0) Select(10, s.selectEnd);
  MemoryBlock::SetTestCap(s.cap);
  ASSERT_TRUE(RunCommand(s.command));
  ExpectShortageShown(f.ui(), s.caption);
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(f.ui().menuMode, MenuMode::kMain);
  EXPECT_FALSE(Busy().busy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EffectShortage,
    testing::Values(
        Shortage{"VolumeSnapshot", kCmdVolume, texts::kNameVolume, 300, 0, false},
        Shortage{"FadeInSnapshot", kCmdFadeIn, texts::kNameFadeIn, 300, 0, false},
        Shortage{"FadeOutSnapshot", kCmdFadeOut, texts::kNameFadeOut, 300, 0, false},
        Shortage{"NormalizeSnapshot", kCmdNormalize, texts::kNameNormalize, 300, 0, false},
        Shortage{"ReverseSnapshot", kCmdReverse, texts::kNameReverse, 300, 0, false},
        Shortage{"InvertSnapshot", kCmdInvertPhase, texts::kNameInvertPhase, 300, 0, false},
        Shortage{"RemoveDcSnapshot", kCmdRemoveDc, texts::kNameRemoveDc, 300, 0, false},
        Shortage{"SilenceSnapshot", kCmdSilenceSelection, texts::kNameSilence, 300, 0, false},
        Shortage{"RemoveDcScratch", kCmdRemoveDc, texts::kNameRemoveDc, 420, 0, false},
        Shortage{"RemoveDcResize", kCmdRemoveDc, texts::kNameRemoveDc, 408, 20, true}),
    [](const testing::TestParamInfo<Shortage>& info) { return info.param.label; });

// During the pass the busy menu is up and every command but Stop is dropped.
class EffectBusy : public testing::TestWithParam<int> {};

TEST_P(EffectBusy, CommandsAreDroppedDuringThePass) {
  EngineFixture f;
  SetDocument(kStereo, NoiseBytes(4 * 1000, 4));
  Busy().progressCounter = 150;
  struct {
    bool busy = false;
    MenuMode mode = MenuMode::kMain;
    bool volume = true, undo = true;
  } seen;
  f.ui().pendingEvents.push_back([&] {
    seen = {Busy().busy, f.ui().menuMode, RunCommand(kCmdVolume), RunCommand(kCmdUndo)};
  });
  ASSERT_TRUE(RunCommand(GetParam()));
  EXPECT_TRUE(f.ui().pendingEvents.empty());
  EXPECT_TRUE(seen.busy);
  EXPECT_EQ(seen.mode, MenuMode::kBusy);
  EXPECT_FALSE(seen.volume);
  EXPECT_FALSE(seen.undo);
  EXPECT_EQ(f.ui().menuModeLog, (std::vector<MenuMode>{MenuMode::kBusy, MenuMode::kMain}));
  EXPECT_EQ(f.platform.dialogs.shown.size(), GetParam() == kCmdVolume ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectBusy,
                         testing::Values(kCmdVolume, kCmdFadeIn, kCmdFadeOut, kCmdNormalize,
                                         kCmdReverse, kCmdInvertPhase, kCmdRemoveDc));

TEST(EffectBusy, SilenceNeitherBusiesNorPumpsButRedraws) {
  EngineFixture f;
  SetDocument(kStereo, NoiseBytes(4 * 1000, 4));
  Busy().progressCounter = 199;
  f.ui().pendingEvents.push_back([] {});
  ASSERT_TRUE(RunCommand(kCmdSilenceSelection));
  EXPECT_TRUE(f.ui().menuModeLog.empty());
  EXPECT_EQ(f.ui().eventsDispatched, 0);
  EXPECT_GT(f.ui().invalidations, 0);
}

class ReplaceSelectionCase : public testing::TestWithParam<std::string> {};

TEST_P(ReplaceSelectionCase, TailFollowsAndOnlyTheEndMoves) {
  EngineFixture f;
  const std::string with = GetParam();
  SetDocument(MakeFormat(8000, 8, 1), {'A', 'B', 'C', 'D', 'E', 'F', 'G'});
  Select(2, 5);
  Doc().channelMask = 1;
  Doc().viewStart = 3;
  ASSERT_EQ(ReplaceSelection(reinterpret_cast<const uint8_t*>(with.data()),
                             static_cast<int32_t>(with.size()), "x"),
            1);
  const std::vector<uint8_t> got = DocumentBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), "AB" + with + "FG");
  const SoundDocument& d = Doc();
  EXPECT_EQ(d.data.size(), d.length + 16u);
  EXPECT_EQ(d.selEnd, 2 + static_cast<int32_t>(with.size()));
  EXPECT_EQ(d.selStart, 2);
  EXPECT_EQ(d.anchor, 2);
  EXPECT_EQ(d.viewStart, 3);
  EXPECT_EQ(d.channelMask, 1u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReplaceSelectionCase,
                         testing::Values("", "x", "xyz", "0123456789"));

TEST(ReplaceSelectionShortage, GrowthFailureLeavesTheDocumentAsItWas) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(100, 1);
  SetDocument(MakeFormat(8000, 8, 1), bytes);
  Select(10, 20);
  MemoryBlock::SetTestCap(116);
  const std::vector<uint8_t> longer(20, 7);
  EXPECT_EQ(ReplaceSelection(longer.data(), 20, "caption"), 0);
  ExpectShortageShown(f.ui(), "caption");
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_EQ(Doc().selEnd, 20);
}

TEST(ReplaceSelectionShortage, LengthPast32BitsIsRefusedBeforeAnythingMoves) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 8, 1), NoiseBytes(100, 1));
  SoundDocument& d = Doc();
  d.length = d.selStart = d.selEnd = INT32_MAX - 4;  // as if the sound were that long
  const uint8_t ten[10] = {};
  EXPECT_EQ(ReplaceSelection(ten, 10, "caption"), 0);
  ExpectShortageShown(f.ui(), "caption");
  EXPECT_EQ(d.length, INT32_MAX - 4);
  EXPECT_EQ(d.data.size(), 116u);
  d.length = d.selStart = d.selEnd = 0;
}

}  // namespace
}  // namespace kelvora
