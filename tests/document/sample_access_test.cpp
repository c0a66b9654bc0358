#include <gtest/gtest.h>

#include "document/sound_document.h"
#include "test_support.h"

namespace kelvora {
namespace {

TEST(SampleAccess, EightBitReadsOnTheSixteenBitScale) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(8000, 8, 1));
  uint8_t b[4] = {0, 128, 255, 0};
  EXPECT_EQ(ReadSample(&b[0], 0), -32768);
  EXPECT_EQ(ReadSample(&b[1], 0), 0);
  EXPECT_EQ(ReadSample(&b[2], 0), 32512);
}

TEST(SampleAccess, EightBitWritesClipThenTakeTheHighByte) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(8000, 8, 1));
  uint8_t b[2] = {0, 0};
  const std::pair<int32_t, uint8_t> cases[] = {{32767, 255}, {-32768, 0}, {-1, 127}, {40000, 255},
                                               {-40000, 0},  {0, 128},    {255, 128}};
  for (auto [value, stored] : cases) {
    WriteSample(b, value, 0);
    EXPECT_EQ(b[0], stored) << value;
  }
}

TEST(SampleAccess, StereoChannelsAreInterleaved) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  std::vector<uint8_t> frame = Pcm16({1000, -2000});
  EXPECT_EQ(ReadSample(frame.data(), 0), 1000);
  EXPECT_EQ(ReadSample(frame.data(), 1), -2000);
  WriteSample(frame.data(), -32768, 1);
  EXPECT_EQ(frame, Pcm16({1000, -32768}));
}

TEST(SampleAccess, OtherWidthsReadZeroAndAreNotWritten) {
  EngineFixture f;
  SoundFormat fmt = MakeFormat(44100, 16, 1);
  fmt.wBitsPerSample = 24;
  fmt.nBlockAlign = 3;
  SetDocumentFormat(fmt);
  uint8_t b[3] = {1, 2, 3};
  EXPECT_EQ(ReadSample(b, 0), 0);
  WriteSample(b, 1234, 0);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[2], 3);
}

TEST(PeakScale, ScalesOnlyAboveFullScale) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 1));
  std::vector<uint8_t> b(2);
  WriteSample(b.data(), 50000, 0);
  EXPECT_EQ(ReadSample(b.data(), 0), 32767);  // PeakScale 0: clip only

  RaisePeakScale(2 * 32767);
  WriteSample(b.data(), 2 * 32767, 0);
  EXPECT_EQ(ReadSample(b.data(), 0), 32767);
  WriteSample(b.data(), -2 * 32767, 0);
  EXPECT_EQ(ReadSample(b.data(), 0), -32767);

  ResetPeakScale();
  RaisePeakScale(-32767);  // at full scale: no effect
  EXPECT_EQ(Peak().peakScale, 32767);
  WriteSample(b.data(), 20000, 0);
  EXPECT_EQ(ReadSample(b.data(), 0), 20000);
  RaisePeakScale(100);  // never lowers it
  EXPECT_EQ(Peak().peakScale, 32767);
}

TEST(PeakScale, ProductWrapsLikeThirtyTwoBitArithmetic) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 1));
  std::vector<uint8_t> b(2);
  RaisePeakScale(40000);
  // 70000 * 32767 overflows 32 bits and wraps negative before the division.
  int32_t wrapped = static_cast<int32_t>(int64_t{70000} * 32767);
  int32_t expected = wrapped / 40000;
  expected = expected < -32768 ? -32768 : (expected > 32767 ? 32767 : expected);
  WriteSample(b.data(), 70000, 0);
  EXPECT_EQ(ReadSample(b.data(), 0), expected);
}

TEST(SampleAccess, ReadInBlockIsSilentOutsideTheBlock) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(44100, 16, 1));
  std::vector<uint8_t> block = Pcm16({7, 8, 9});
  const uint8_t* base = block.data();
  EXPECT_EQ(ReadSampleInBlock(base, 6, base, 0), 7);
  EXPECT_EQ(ReadSampleInBlock(base, 6, base + 4, 0), 9);
  EXPECT_EQ(ReadSampleInBlock(base, 6, base + 6, 0), 0);
  EXPECT_EQ(ReadSampleInBlock(base + 2, 4, base, 0), 0);
}

TEST(Selection, SelectAllIfEmptyWidensOnlyAnEmptySelection) {
  EngineFixture f;
  SelectAllIfEmpty();  // empty sound
  EXPECT_EQ(Doc().selStart, 0);
  EXPECT_EQ(Doc().selEnd, 0);

  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2, 3, 4}));
  Doc().selStart = Doc().selEnd = 4;
  Doc().anchor = 2;
  SelectAllIfEmpty();
  EXPECT_EQ(Doc().selStart, 0);
  EXPECT_EQ(Doc().selEnd, 8);
  EXPECT_EQ(Doc().anchor, 2);

  Doc().selStart = 2;
  Doc().selEnd = 4;
  SelectAllIfEmpty();
  EXPECT_EQ(Doc().selStart, 2);
  EXPECT_EQ(Doc().selEnd, 4);
}

TEST(Selection, SelectAllSetsTheMaskByChannelCount) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 2), Pcm16({1, 2, 3, 4}));
  Doc().channelMask = 1;
  Doc().movingEnd = 4;
  SelectAll();
  EXPECT_EQ(Doc().selStart, 0);
  EXPECT_EQ(Doc().selEnd, 8);
  EXPECT_EQ(Doc().movingEnd, 0);
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
  ASSERT_EQ(f.ui().messages.size(), 1u);
  EXPECT_EQ(f.ui().messages[0].caption, "DEVA Zedudo");
  EXPECT_EQ(f.ui().messages[0].text, "範囲が選択されていません");
  EXPECT_EQ(f.ui().messages[0].icon, MsgIcon::kInformation);

  Doc().selEnd = 4;
  EXPECT_TRUE(RequireSelection());
  EXPECT_EQ(f.ui().messages.size(), 1u);
}

}  // namespace
}  // namespace kelvora
