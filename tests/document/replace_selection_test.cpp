// ReplaceSelection: the tail follows, only the end moves, failing changes nothing.
#include "document/replace_selection.h"

#include <gtest/gtest.h>

#include <climits>

#include "effects/effect_test_util.h"

namespace kelvora {
namespace {

constexpr const char* kShortage = "メモリーが足りません";

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
