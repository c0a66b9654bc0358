#include "document/undo.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelvora {
namespace {

TEST(Undo, SecondUndoRedoesAndModifiedFlagIsNotPartOfIt) {
  EngineFixture f;
  SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3}));
  Doc().selStart = 2;
  Doc().selEnd = 4;
  Doc().anchor = 4;
  Doc().movingEnd = 2;
  ASSERT_TRUE(TakeUndoSnapshot());

  // An edit: new format, data and selection.
  SetDocument(MakeFormat(44100, 8, 2), {10, 20, 30, 40});
  Doc().modified = true;
  Doc().channelMask = 1;
  Doc().viewStart = 2;

  SwapUndo();
  EXPECT_EQ(DocumentBytes(), Pcm16({1, 2, 3}));
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 1));
  EXPECT_EQ(Doc().bytesPerChannelSample, 2);
  EXPECT_EQ(Doc().selStart, 2);
  EXPECT_EQ(Doc().selEnd, 4);
  EXPECT_EQ(Doc().anchor, 4);
  EXPECT_EQ(Doc().movingEnd, 2);
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(Doc().channelMask, 1u);
  EXPECT_EQ(Doc().viewStart, 2);
  EXPECT_EQ(f.ui().status[0], "22050Hz 16Bits Mono");
  EXPECT_EQ(f.ui().status[1], "6 Bytes");

  SwapUndo();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{10, 20, 30, 40}));
  EXPECT_EQ(Doc().bytesPerChannelSample, 1);
  EXPECT_EQ(f.ui().status[0], "44100Hz 8Bits Stereo");
}

TEST(Undo, SnapshotOfAnEmptyDocumentKeepsASmallBlock) {
  EngineFixture f;
  ASSERT_TRUE(TakeUndoSnapshot());
  EXPECT_EQ(Undo().length, 0);
  EXPECT_EQ(Undo().data.size(), 10u);
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({5, 6}));
  SwapUndo();
  EXPECT_EQ(Doc().length, 0);
}

TEST(Undo, FailedSnapshotLeavesTheOldCopy) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2}));
  ASSERT_TRUE(TakeUndoSnapshot());
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2, 3, 4, 5, 6, 7, 8}));
  MemoryBlock::SetTestCap(8);
  EXPECT_FALSE(TakeUndoSnapshot());
  MemoryBlock::SetTestCap(0);
  EXPECT_EQ(Undo().length, 4);
}

}  // namespace
}  // namespace kelvora
