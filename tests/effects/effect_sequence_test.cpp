// The sequence around the amplitude effects: a shortage of memory at each
// allocation, the busy state during the pass, and ReplaceSelection.
#include <gtest/gtest.h>

#include <climits>

#include "document/busy.h"
#include "effects/amplitude.h"
#include "effects/effect_test_util.h"
#include "document/replace_selection.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

const SoundFormat kStereo = MakeFormat(22050, 16, 2);
constexpr const char* kShortage = "メモリーが足りません";

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
  EXPECT_EQ(ShownMessages(f.ui()), (Shown{{s.caption, kShortage, MsgIcon::kWarning}}));
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

// During the pass the busy menu is up and every command but Stop is
// dropped; silence is quick enough to neither busy nor pump, only redraw.
TEST(EffectBusy, CommandsAreDroppedDuringThePass) {
  for (int command : {kCmdVolume, kCmdFadeIn, kCmdFadeOut, kCmdNormalize, kCmdReverse,
                      kCmdInvertPhase, kCmdRemoveDc, kCmdSilenceSelection}) {
    EngineFixture f;
    SetDocument(kStereo, NoiseBytes(4 * 1000, 4));
    Busy().progressCounter = 150;
    std::vector<int> seen;  // busy, menu mode, volume and undo allowed
    f.ui().pendingEvents.push_back([&] {
      seen = {Busy().busy, static_cast<int>(f.ui().menuMode), RunCommand(kCmdVolume),
              RunCommand(kCmdUndo)};
    });
    ASSERT_TRUE(RunCommand(command));
    EXPECT_GT(f.ui().invalidations, 0);
    if (command == kCmdSilenceSelection) {
      EXPECT_TRUE(f.ui().menuModeLog.empty());
      EXPECT_EQ(f.ui().eventsDispatched, 0);
      continue;
    }
    EXPECT_TRUE(f.ui().pendingEvents.empty()) << command;
    EXPECT_EQ(seen, (std::vector<int>{1, static_cast<int>(MenuMode::kBusy), 0, 0}));
    EXPECT_EQ(f.ui().menuModeLog, (std::vector<MenuMode>{MenuMode::kBusy, MenuMode::kMain}));
    EXPECT_EQ(f.platform.dialogs.shown.size(), command == kCmdVolume ? 1u : 0u);
  }
}

TEST(ReplaceSelection, TailFollowsAndOnlyTheEndMoves) {
  for (std::string with : {"", "x", "xyz", "0123456789"}) {
    EngineFixture f;
    SetDocument(MakeFormat(8000, 8, 1), {'A', 'B', 'C', 'D', 'E', 'F', 'G'});
    Select(2, 5);
    Doc().channelMask = 1;
    Doc().viewStart = 3;
    const int32_t n = static_cast<int32_t>(with.size());
    ASSERT_EQ(ReplaceSelection(reinterpret_cast<const uint8_t*>(with.data()), n, "x"), 1);
    const std::vector<uint8_t> got = DocumentBytes();
    EXPECT_EQ(std::string(got.begin(), got.end()), "AB" + with + "FG");
    const SoundDocument& d = Doc();
    EXPECT_EQ(d.data.size(), d.length + 16u);
    EXPECT_EQ(std::tie(d.selStart, d.anchor, d.selEnd, d.viewStart, d.channelMask),
              std::make_tuple(2, 2, 2 + n, 3, 1u));
  }
}

TEST(ReplaceSelection, GrowthFailureOrLengthPast32BitsLeavesTheDocumentAsItWas) {
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(100, 1);
  SetDocument(MakeFormat(8000, 8, 1), bytes);
  Select(10, 20);
  MemoryBlock::SetTestCap(116);
  const std::vector<uint8_t> longer(20, 7);
  EXPECT_EQ(ReplaceSelection(longer.data(), 20, "caption"), 0);
  EXPECT_EQ(ShownMessages(f.ui()), (Shown{{"caption", kShortage, MsgIcon::kWarning}}));
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_EQ(Doc().selEnd, 20);
  // Refused before anything moves, as if the sound were that long.
  f.ui().messages.clear();
  SoundDocument& d = Doc();
  d.length = d.selStart = d.selEnd = INT32_MAX - 4;
  EXPECT_EQ(ReplaceSelection(longer.data(), 10, "caption"), 0);
  EXPECT_EQ(ShownMessages(f.ui()), (Shown{{"caption", kShortage, MsgIcon::kWarning}}));
  EXPECT_EQ(d.length, INT32_MAX - 4);
  EXPECT_EQ(d.data.size(), 116u);
  d.length = d.selStart = d.selEnd = 0;
}

}  // namespace
}  // namespace kelvora
