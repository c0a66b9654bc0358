#include "document/undo.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelvora {
namespace {

auto SelectionOf(const SoundDocument& d) {
  return std::make_tuple(d.selStart, d.selEnd, d.anchor, d.movingEnd);
}

TEST(Undo, SecondUndoRedoesAndModifiedFlagMaskAndViewAreNotPartOfIt) {
  EngineFixture f;
  SetDocument(MakeFormat(22050, 16, 1), Pcm16({1, 2, 3}));
  Doc().selStart = Doc().movingEnd = 2;
  Doc().selEnd = Doc().anchor = 4;
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
  EXPECT_EQ(SelectionOf(Doc()), std::make_tuple(2, 4, 4, 2));
  EXPECT_EQ(std::tie(Doc().modified, Doc().channelMask, Doc().viewStart),
            std::make_tuple(true, 1u, 2));
  EXPECT_EQ(f.ui().status[0] + ", " + f.ui().status[1], "22050Hz 16Bits Mono, 6 Bytes");
  SwapUndo();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{10, 20, 30, 40}));
  EXPECT_EQ(Doc().bytesPerChannelSample, 1);
  EXPECT_EQ(f.ui().status[0], "44100Hz 8Bits Stereo");
}

TEST(Undo, SnapshotOfAnEmptyDocumentKeepsASmallBlockAndAFailedOneTheOldCopy) {
  EngineFixture f;
  ASSERT_TRUE(TakeUndoSnapshot());
  EXPECT_EQ(Undo().data.size(), 10u);
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({5, 6}));
  SwapUndo();
  EXPECT_EQ(Doc().length, 0);
  SwapUndo();
  ASSERT_TRUE(TakeUndoSnapshot());
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2, 3, 4, 5, 6, 7, 8}));
  MemoryBlock::SetTestCap(8);
  EXPECT_FALSE(TakeUndoSnapshot());
  EXPECT_EQ(Undo().length, 4);
}

}  // namespace
}  // namespace kelvora
