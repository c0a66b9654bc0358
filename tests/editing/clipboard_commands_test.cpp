#include "editing/clipboard_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "document/texts.h"
#include "document/undo.h"
#include "editing/clip_wave_block.h"
#include "editing/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

class EditTest : public testing::Test {
protected:
  EngineFixture engine;
  HeadlessClipboard& clipboard() { return engine.platform.clipboard; }

  // A drag from frame `from` to frame `to`.
  void Select(int32_t from, int32_t to) {
    const int align = Doc().format.nBlockAlign;
    Doc().anchor = from * align;
    Doc().movingEnd = to * align;
    Doc().selStart = std::min(from, to) * align;
    Doc().selEnd = std::max(from, to) * align;
  }
  void Cursor(int32_t frame) {
    Doc().selStart = Doc().selEnd = Doc().anchor = Doc().movingEnd =
        frame * Doc().format.nBlockAlign;
  }
  void PutClip(const SoundFormat& f, const std::vector<uint8_t>& sound) {
    MemoryBlock block;
    ASSERT_TRUE(BuildClipWaveBlock(f, sound.data(), int32_t(sound.size()), block));
    clipboard().SetWave(block.data(), block.size());
  }
  std::vector<int32_t> Selection() {
    const int align = Doc().format.nBlockAlign;
    return {Doc().selStart / align, Doc().selEnd / align, Doc().movingEnd / align};
  }
};

// ----- Copy ------------------------------------------------------------------

TEST_F(EditTest, CopyPutsTheSelectionInAWaveBlock) {
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({1, 2, 3, 4, 5, 6, 7, 8}));
  Select(1, 3);
  EXPECT_TRUE(DispatchCommand(kCmdCopy, kCodeAccelerator));
  const std::vector<uint8_t>& b = clipboard().wave;
  ASSERT_EQ(b.size(), 8u + 46u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(b, 4), 8u + 38u);
  EXPECT_EQ(Le32(b, 16), 18u);
  EXPECT_EQ(Le32(b, 24), 22050u);
  EXPECT_EQ(Le32(b, 40), 8u);
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 44, b.begin() + 52), Pcm16({3, 4, 5, 6}));
  EXPECT_FALSE(Doc().modified);
}

TEST_F(EditTest, CopyOfOneChannelCarriesItInBoth) {
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({1, -1, 2, -2}));
  Select(0, 2);
  for (uint32_t mask : {1u, 2u}) {
    Doc().channelMask = mask;
    CopySelection();
    const std::vector<uint8_t>& b = clipboard().wave;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 44, b.begin() + 52),
              mask == 1 ? Pcm16({1, 1, 2, 2}) : Pcm16({-1, -1, -2, -2}));
  }
  EXPECT_EQ(DocumentBytes(), Pcm16({1, -1, 2, -2}));
}

TEST_F(EditTest, EmptySelectionIsReportedByCutCopyDeleteAndCrop) {
  SetDocument(MakeFormat(8000, 8, 1), {1, 2, 3});
  Cursor(1);
  PutClip(MakeFormat(8000, 8, 1), {9});
  const std::vector<uint8_t> before = clipboard().wave;
  for (int id : {kCmdCut, kCmdCopy, kCmdDelete, kCmdCrop}) DispatchCommand(id, kCodeMenu);
  ASSERT_EQ(engine.ui().messages.size(), 4u);
  for (const ShownMessage& m : engine.ui().messages) {
    EXPECT_EQ(m.caption, "DEVA Zedudo");
    EXPECT_EQ(m.text, "範囲が選択されていません");
    EXPECT_EQ(m.icon, MsgIcon::kInformation);
  }
  EXPECT_EQ(clipboard().wave, before);
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(Doc().modified);
}

TEST_F(EditTest, CopyShortOfMemoryLeavesTheClipboardEmptyAndCutDeletesNothing) {
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(100, 7));
  Select(0, 80);
  PutClip(MakeFormat(8000, 8, 1), {9});
  MemoryBlock::SetTestCap(120);  // the undo copy fits, the block of 126 does not
  CopySelection();
  EXPECT_FALSE(clipboard().hasWave);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].caption, "COPY");
  EXPECT_EQ(engine.ui().messages[0].text, texts::kOutOfMemory);
  CutSelection();
  EXPECT_EQ(Doc().length, 100);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 80, 80}));
}

// ----- Delete, Crop and Cut ---------------------------------------------------

TEST_F(EditTest, DeleteLeavesTheCursorAtTheOldStart) {
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({0, 1, 2, 3, 4, 5}));
  Select(4, 1);  // dragged leftwards
  Doc().viewStart = 10;
  DeleteSelection();
  EXPECT_EQ(DocumentBytes(), Pcm16({0, 4, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(Doc().viewStart, 2);  // it lay beyond the new end
  EXPECT_LE(Doc().anchor, Doc().length);
  EXPECT_TRUE(Doc().modified);
  EXPECT_GE(Doc().data.size(), size_t(Doc().length) + 16);
  // The whole sound.
  Select(0, 3);
  DeleteSelection();
  EXPECT_EQ(Doc().length, 0);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(EditTest, CropKeepsExactlyTheSelection) {
  SetDocument(MakeFormat(8000, 8, 2), {1, 2, 3, 4, 5, 6, 7, 8});
  Select(1, 3);
  Doc().viewStart = 2;
  CropToSelection();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{3, 4, 5, 6}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(Doc().viewStart, 0);
  EXPECT_TRUE(Doc().modified);
}

TEST_F(EditTest, CutCopiesThenDeletes) {
  SetDocument(MakeFormat(8000, 8, 1), {1, 2, 3, 4});
  Select(1, 3);
  DispatchCommand(kCmdCut, kCodeAccelerator);
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 4}));
  EXPECT_EQ(std::vector<uint8_t>(clipboard().wave.begin() + 44, clipboard().wave.end() - 2),
            (std::vector<uint8_t>{2, 3}));
  // Paste at the cursor puts it back.
  PasteClip();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
}

// ----- Paste -----------------------------------------------------------------

TEST_F(EditTest, PasteInsertsAtTheMovingEndAndSelectsIt) {
  SetDocument(MakeFormat(22050, 16, 1), Pcm16({10, 20, 30, 40}));
  Select(0, 2);
  CopySelection();
  Select(3, 1);  // moving end at frame 1: the insertion point, not the selection
  DispatchCommand(kCmdPaste, kCodeAccelerator);
  EXPECT_EQ(DocumentBytes(), Pcm16({10, 10, 20, 20, 30, 40}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 3, 3}));
  EXPECT_TRUE(Doc().modified);
}

TEST_F(EditTest, PasteConvertsTheClipToTheDocumentsFormat) {
  SetDocument(MakeFormat(44100, 16, 2), {});
  PutClip(MakeFormat(22050, 8, 1), {0x80, 0xC0, 0x40});
  PasteClip();
  // About twice the frames, 4 bytes each, both channels equal.
  const std::vector<uint8_t> d = DocumentBytes();
  ASSERT_EQ(d.size(), 6u * 4u);
  for (size_t i = 0; i < d.size(); i += 4) EXPECT_EQ(Le32(d, i) & 0xFFFF, Le32(d, i) >> 16);
  EXPECT_EQ(Le32(d, 4) & 0xFFFF, uint32_t(0x2000));  // the mean of 0 and 0x4000
}

TEST_F(EditTest, PasteOfNothingOrOfWhatCannotBeConverted) {
  SetDocument(MakeFormat(8000, 8, 1), {1, 2});
  Cursor(1);
  PasteClip();  // empty clipboard
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2}));
  EXPECT_FALSE(Doc().modified);
  EXPECT_TRUE(engine.ui().messages.empty());
  SoundFormat adpcm = MakeFormat(8000, 8, 1);
  adpcm.wFormatTag = 2;
  PutClip(adpcm, {1});
  PasteClip();
  MixClip();
  PutClip(MakeFormat(48000, 8, 1), {1});
  PasteClip();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2}));
  EXPECT_FALSE(Doc().modified);
  ASSERT_EQ(engine.ui().messages.size(), 3u);
  EXPECT_EQ(engine.ui().messages[0].caption, "ペースト");
  EXPECT_EQ(engine.ui().messages[0].text, "データ形式が違います");
  EXPECT_EQ(engine.ui().messages[1].caption, "ミックス");
  EXPECT_EQ(engine.ui().messages[2].caption, "フォーマット変換");
  // A block that another program cut short: the sound is what it holds.
  std::vector<uint8_t> block = clipboard().wave;
  PutClip(MakeFormat(8000, 8, 1), {7, 8, 9});
  clipboard().wave.resize(44 + 2);
  PasteClip();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 7, 8, 2}));
}

// ----- Mix -------------------------------------------------------------------

TEST_F(EditTest, MixAddsClipsAndLeavesTheCursorAfterTheMix) {
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({100, 30000, -30000, 5}));
  PutClip(MakeFormat(8000, 16, 1), Pcm16({1, 10000, -10000}));
  Cursor(0);
  Doc().selEnd = 4;  // the selection plays no part
  DispatchCommand(kCmdMix, kCodeAccelerator);
  EXPECT_EQ(DocumentBytes(), Pcm16({101, 32767, -32768, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{3, 3, 3}));
  EXPECT_TRUE(Doc().modified);
}

TEST_F(EditTest, MixPastTheEndExtendsWithSilence) {
  SetDocument(MakeFormat(8000, 8, 2), {10, 20, 30, 40});
  PutClip(MakeFormat(8000, 8, 1), {0x90, 0x70, 0x80});
  Cursor(1);
  MixClip();
  // Frame 1 mixed, frames 2 and 3 silence (128) plus the clip.
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{10, 20, 46, 56, 0x70, 0x70, 0x80, 0x80}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{4, 4, 4}));
  EXPECT_GE(Doc().data.size(), size_t(Doc().length) + 16);
}

// ----- Shortages and undo -----------------------------------------------------

TEST_F(EditTest, PasteAndMixShortOfMemoryPutTheSoundBack) {
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(60, 5));
  PutClip(MakeFormat(8000, 8, 1), std::vector<uint8_t>(40, 9));
  Cursor(50);
  MemoryBlock::SetTestCap(100);  // the clip fits, the longer document does not
  PasteClip();
  MixClip();
  EXPECT_EQ(DocumentBytes(), std::vector<uint8_t>(60, 5));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{50, 50, 50}));
  ASSERT_EQ(engine.ui().messages.size(), 2u);
  EXPECT_EQ(engine.ui().messages[0].caption, "PASTE");
  EXPECT_EQ(engine.ui().messages[1].caption, "ミックス");
  EXPECT_EQ(engine.ui().messages[1].text, texts::kOutOfMemory);
}

struct Edit {
  const char* name;
  std::function<void()> run;
};

class EditUndo : public EditTest, public testing::WithParamInterface<Edit> {};

TEST_P(EditUndo, UndoRestoresSoundAndSelectionAndRedoes) {
  SetDocument(MakeFormat(11025, 16, 2), Pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  PutClip(MakeFormat(11025, 16, 1), Pcm16({100, 200}));
  Select(1, 3);
  const std::vector<uint8_t> before = DocumentBytes();
  GetParam().run();
  const std::vector<uint8_t> after = DocumentBytes();
  const std::vector<int32_t> selection = Selection();
  ASSERT_NE(after, before);
  SwapUndo();
  EXPECT_EQ(DocumentBytes(), before);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 3, 3}));
  EXPECT_EQ(Doc().anchor, 4);
  SwapUndo();
  EXPECT_EQ(DocumentBytes(), after);
  EXPECT_EQ(Selection(), selection);
}

INSTANTIATE_TEST_SUITE_P(Commands, EditUndo,
                         testing::Values(Edit{"Cut", CutSelection}, Edit{"Delete", DeleteSelection},
                                         Edit{"Crop", CropToSelection}, Edit{"Paste", PasteClip},
                                         Edit{"Mix", MixClip}),
                         [](const testing::TestParamInfo<Edit>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(EditTest, SelectAllCoversTheSoundAndPicksTheChannels) {
  SetDocument(MakeFormat(8000, 16, 2), Pcm16({1, 2, 3, 4}));
  Doc().channelMask = 1;
  Cursor(1);
  DispatchCommand(kCmdSelectAll, kCodeMenu);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 2, 0}));
  EXPECT_EQ(Doc().channelMask, 3u);
}

}  // namespace
}  // namespace kelvora
