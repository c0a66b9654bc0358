// The operation sequence around the amplitude effects: shortages of memory
// at each allocation, the busy state during the pass, and ReplaceSelection.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "document/busy.h"
#include "document/undo.h"
#include "effects/amplitude.h"
#include "effects/effect_test_util.h"
#include "effects/replace_selection.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

const SoundFormat kStereo16 = MakeFormat(22050, 16, 2);
constexpr const char* kOutOfMemory = "メモリーが足りません";

void ExpectShortageShown(const HeadlessUi& ui, const char* caption) {
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, caption);
  EXPECT_EQ(ui.messages[0].text, kOutOfMemory);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::kWarning);
}

struct Effect {
  int command;
  const char* name;
};

const Effect kEffects[] = {
    {kCmdVolume, texts::kNameVolume},     {kCmdFadeIn, texts::kNameFadeIn},
    {kCmdFadeOut, texts::kNameFadeOut},   {kCmdNormalize, texts::kNameNormalize},
    {kCmdReverse, texts::kNameReverse},   {kCmdInvertPhase, texts::kNameInvertPhase},
    {kCmdRemoveDc, texts::kNameRemoveDc}, {kCmdSilenceSelection, texts::kNameSilence},
};

class EffectSequence : public testing::TestWithParam<Effect> {};

TEST_P(EffectSequence, SnapshotShortageLeavesTheSoundAlone) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(400, 9);
  SetDocument(kStereo16, bytes);
  MemoryBlock::SetTestCap(300);
  ASSERT_TRUE(RunCommand(GetParam().command));
  ExpectShortageShown(f.ui(), GetParam().name);
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_FALSE(Doc().modified);
  EXPECT_TRUE(f.ui().menuModeLog.empty());
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectSequence, testing::ValuesIn(kEffects),
                         [](const testing::TestParamInfo<Effect>& info) {
                           return std::to_string(info.param.command);
                         });

// During the pass the busy menu is up and every command but Stop is dropped.
class EffectBusy : public testing::TestWithParam<Effect> {};

TEST_P(EffectBusy, BusyDuringThePass) {
  EngineFixture f;
  SetDocument(kStereo16, NoiseBytes(4 * 1000, 4));
  Busy().progressCounter = 150;
  struct Seen {
    bool busy = false;
    MenuMode mode = MenuMode::kMain;
    bool volume = true, undo = true;
  } seen;
  f.ui().pendingEvents.push_back([&] {
    seen = {Busy().busy, f.ui().menuMode, RunCommand(kCmdVolume), RunCommand(kCmdUndo)};
  });
  ASSERT_TRUE(RunCommand(GetParam().command));
  EXPECT_TRUE(f.ui().pendingEvents.empty());
  EXPECT_TRUE(seen.busy);
  EXPECT_EQ(seen.mode, MenuMode::kBusy);
  EXPECT_FALSE(seen.volume);
  EXPECT_FALSE(seen.undo);
  EXPECT_EQ(f.ui().menuModeLog, (std::vector<MenuMode>{MenuMode::kBusy, MenuMode::kMain}));
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(f.platform.dialogs.shown.size(), GetParam().command == kCmdVolume ? 1u : 0u);
}

// Silence, last in the list, has neither.
INSTANTIATE_TEST_SUITE_P(ProgressingEffects, EffectBusy,
                         testing::ValuesIn(std::begin(kEffects), std::end(kEffects) - 1),
                         [](const testing::TestParamInfo<Effect>& info) {
                           return std::to_string(info.param.command);
                         });

TEST(EffectSequence, SilenceNeitherBusiesNorPumpsButRedraws) {
  EngineFixture f;
  SetDocument(kStereo16, NoiseBytes(4 * 1000, 4));
  Busy().progressCounter = 199;
  f.ui().pendingEvents.push_back([] {});
  ASSERT_TRUE(RunCommand(kCmdSilenceSelection));
  EXPECT_TRUE(f.ui().menuModeLog.empty());
  EXPECT_EQ(f.ui().eventsDispatched, 0);
  EXPECT_GT(f.ui().invalidations, 0);
}

TEST(EffectSequence, DcRemovalScratchShortageRestoresTheSound) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(400, 3);
  SetDocument(kStereo16, bytes);
  MemoryBlock::SetTestCap(420);  // the snapshot fits, the scratch does not
  ASSERT_TRUE(RunCommand(kCmdRemoveDc));
  ExpectShortageShown(f.ui(), texts::kNameRemoveDc);
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_EQ(Doc().length, 400);
  EXPECT_FALSE(Doc().modified);
  EXPECT_TRUE(f.ui().menuModeLog.empty());
}

TEST(EffectSequence, DcRemovalResizeShortageLeavesTheSoundWhole) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(400, 3);
  SetDocument(kStereo16, bytes);
  Doc().data.Resize(400);  // no spare bytes yet
  Select(10, 20);
  MemoryBlock::SetTestCap(408);  // snapshot and scratch fit; length + 16 does not
  ASSERT_TRUE(RunCommand(kCmdRemoveDc));
  ExpectShortageShown(f.ui(), texts::kNameRemoveDc);
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_EQ(Doc().selEnd, 80);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(f.ui().menuMode, MenuMode::kMain);
}

struct Replacement {
  std::string with;
  std::string expect;
};

class ReplaceSelectionCase : public testing::TestWithParam<Replacement> {};

TEST_P(ReplaceSelectionCase, TailFollowsAndSelectionEndMoves) {
  EngineFixture f;
  const std::string before = "ABCDEFGHIJ";
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(before.begin(), before.end()));
  Select(2, 5);
  Doc().channelMask = 1;
  Doc().viewStart = 3;
  const std::string& with = GetParam().with;
  ASSERT_EQ(ReplaceSelection(reinterpret_cast<const uint8_t*>(with.data()),
                             static_cast<int32_t>(with.size()), "x"),
            1);
  const std::vector<uint8_t> got = DocumentBytes();
  EXPECT_EQ(std::string(got.begin(), got.end()), GetParam().expect);
  const SoundDocument& d = Doc();
  EXPECT_EQ(d.length, static_cast<int32_t>(GetParam().expect.size()));
  EXPECT_EQ(d.data.size(), d.length + 16u);
  EXPECT_EQ(d.selStart, 2);
  EXPECT_EQ(d.selEnd, 2 + static_cast<int32_t>(with.size()));
  EXPECT_EQ(d.anchor, 2);
  EXPECT_EQ(d.channelMask, 1u);
  EXPECT_EQ(d.viewStart, 3);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReplaceSelectionCase,
                         testing::Values(Replacement{"", "ABFGHIJ"}, Replacement{"x", "ABxFGHIJ"},
                                         Replacement{"xyz", "ABxyzFGHIJ"},
                                         Replacement{"0123456789", "AB0123456789FGHIJ"}));

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
