#include <gtest/gtest.h>

#include "document/sound_document.h"
#include "test_support.h"

namespace kelvora {
namespace {

// 8-bit samples are unsigned bytes read on the 16-bit scale; writes clip
// and then keep the high byte.
TEST(SampleAccess, EightBitStoresClipAndReadsOnTheSixteenBitScale) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(8000, 8, 1));
  const std::tuple<int32_t, uint8_t, int32_t> cases[] = {{32767, 255, 32512}, {-32768, 0, -32768},
                                                         {-1, 127, -256},     {40000, 255, 32512},
                                                         {-40000, 0, -32768}, {255, 128, 0}};
  for (auto [value, stored, read] : cases) {
    uint8_t b[2] = {1, 1};
    WriteSample(b, value, 0);
    EXPECT_EQ(b[0], stored) << value;
    EXPECT_EQ(ReadSample(b, 0), read) << value;
  }
}

TEST(SampleAccess, StereoIsInterleavedAndOtherWidthsAreNeitherReadNorWritten) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  std::vector<uint8_t> frame = Pcm16({1000, -2000});
  EXPECT_EQ(ReadSample(frame.data(), 1), -2000);
  WriteSample(frame.data(), -40000, 1);
  EXPECT_EQ(frame, Pcm16({1000, -32768}));
  SoundFormat fmt = MakeFormat(44100, 24, 1);
  fmt.nBlockAlign = 3;
  SetDocumentFormat(fmt);
  uint8_t b[3] = {1, 2, 3};
  EXPECT_EQ(ReadSample(b, 0), 0);
  WriteSample(b, 1234, 0);
  EXPECT_EQ(std::vector<uint8_t>(b, b + 3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(PeakScale, ScalesOnlyAboveFullScaleWithThirtyTwoBitWrapAround) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 1));
  auto written = [](int32_t value) {
    uint8_t b[2];
    WriteSample(b, value, 0);
    return ReadSample(b, 0);
  };
  EXPECT_EQ(written(50000), 32767);  // no peak: clipped only
  RaisePeakScale(-32767);            // at full scale: no scaling
  EXPECT_EQ(written(20000), 20000);
  RaisePeakScale(40000);
  RaisePeakScale(100);  // never lowers it
  EXPECT_EQ(Peak().peakScale, 40000);
  EXPECT_EQ(written(-40000), -32767);
  // 70000 * 32767 wraps negative in 32 bits before the division.
  EXPECT_EQ(written(70000), -32768);
}

TEST(SampleAccess, ReadInBlockIsSilentOutsideTheBlock) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 1));
  std::vector<uint8_t> block = Pcm16({7, 8, 9});
  const uint8_t* base = block.data();
  EXPECT_EQ(ReadSampleInBlock(base, 6, base + 4, 0), 9);
  EXPECT_EQ(ReadSampleInBlock(base, 6, base + 6, 0), 0);
  EXPECT_EQ(ReadSampleInBlock(base + 2, 4, base, 0), 0);
}

TEST(Selection, SelectAllIfEmptyWidensOnlyAnEmptySelectionAndSelectAllSetsTheMask) {
  EngineFixture f;
  SelectAllIfEmpty();  // empty sound
  EXPECT_EQ(Doc().selEnd, 0);
  SetDocument(MakeFormat(8000, 16, 2), Pcm16({1, 2, 3, 4}));
  Doc().selStart = Doc().selEnd = Doc().movingEnd = 4;
  Doc().anchor = 2;
  Doc().channelMask = 1;
  SelectAllIfEmpty();
  EXPECT_EQ(std::tie(Doc().selStart, Doc().selEnd, Doc().anchor), std::make_tuple(0, 8, 2));
  Doc().selStart = 4;
  SelectAllIfEmpty();
  EXPECT_EQ(Doc().selStart, 4);
  SelectAll();
  EXPECT_EQ(std::tie(Doc().selStart, Doc().selEnd, Doc().movingEnd), std::make_tuple(0, 8, 0));
  EXPECT_EQ(Doc().channelMask, 3u);
  EXPECT_EQ(f.ui().selectionRedraws, 1);
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2}));
  SelectAll();
  EXPECT_EQ(Doc().channelMask, 1u);
}

TEST(Selection, RequireSelectionReportsAnEmptySelection) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2, 3}));
  Doc().selStart = Doc().selEnd = 2;
  EXPECT_FALSE(RequireSelection());
  Doc().selEnd = 4;
  EXPECT_TRUE(RequireSelection());
  EXPECT_EQ(ShownMessages(f.ui()),
            (Shown{{"DEVA Zedudo", "範囲が選択されていません", MsgIcon::kInformation}}));
}

}  // namespace
}  // namespace kelvora
