#include "editing/clipboard_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "document/byte_order.h"
#include "document/undo.h"
#include "editing/clip_wave_block.h"
#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Bytes = std::vector<uint8_t>;

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
  void PutClip(const SoundFormat& f, const Bytes& sound) {
    MemoryBlock block;
    ASSERT_TRUE(BuildClipWaveBlock(f, sound.data(), int32_t(sound.size()), block));
    clipboard().SetWave(block.data(), block.size());
  }
  Bytes ClipSound() {
    const Bytes block = clipboard().Bytes();
    return Bytes(block.begin() + 44, block.end() - 2);
  }
  // Selection start, end and moving end, in frames.
  std::vector<int32_t> Selection() {
    const int align = Doc().format.nBlockAlign;
    return {Doc().selStart / align, Doc().selEnd / align, Doc().movingEnd / align};
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> c;
    for (const ShownMessage& m : engine.ui().messages) c.push_back(m.caption + ":" + m.text);
    return c;
  }
};

TEST_F(EditTest, CopyMakesAWaveBlockWithTheChosenChannelInBoth) {
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({1, -1, 2, -2, 3, -3}));
  Select(1, 3);
  EXPECT_TRUE(DispatchCommand(kCmdCopy, kCodeAccelerator));
  ASSERT_EQ(clipboard().Bytes().size(), 8u + 46u);
  EXPECT_EQ(ClipSound(), Pcm16({2, -2, 3, -3}));
  EXPECT_EQ(GetLe32(clipboard().Bytes().data() + 4), 8u + 38u);  // RIFF size
  uint8_t plain[kClipHeaderBytes];
  int32_t n = 0;
  ASSERT_TRUE(
      StandardWaveHeader(clipboard().Bytes().data(), clipboard().Bytes().size(), plain, &n));
  EXPECT_EQ(std::vector<uint8_t>(plain, plain + 44),
            Image().Riff(36 + 8).Pcm(22050, 16, 2).Tag("data").U32(8).bytes);
  Doc().channelMask = 1;
  CopySelection();
  EXPECT_EQ(ClipSound(), Pcm16({2, 2, 3, 3}));
  Doc().channelMask = 2;
  CopySelection();
  EXPECT_EQ(ClipSound(), Pcm16({-2, -2, -3, -3}));
  EXPECT_EQ(DocumentBytes(), Pcm16({1, -1, 2, -2, 3, -3}));
  EXPECT_FALSE(Doc().modified);
  // Nothing selected: the message, and nothing else happens.
  Select(1, 1);
  for (int id : {kCmdCut, kCmdCopy, kCmdDelete, kCmdCrop}) DispatchCommand(id, kCodeMenu);
  EXPECT_EQ(Captions(), std::vector<std::string>(4, "DEVA Zedudo:範囲が選択されていません"));
  EXPECT_EQ(ClipSound(), Pcm16({-2, -2, -3, -3}));
}

TEST_F(EditTest, DeleteCropCutAndPasteOffsetsAndSelections) {
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({0, 1, 2, 3, 4, 5}));
  Select(4, 1);  // dragged leftwards
  Doc().viewStart = 10;
  DeleteSelection();
  EXPECT_EQ(DocumentBytes(), Pcm16({0, 4, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(Doc().viewStart, 2);  // it lay beyond the new end
  EXPECT_LE(Doc().anchor, Doc().length);
  EXPECT_GE(Doc().data.size(), size_t(Doc().length) + 16);
  Select(2, 1);
  CutSelection();
  EXPECT_EQ(ClipSound(), Pcm16({4}));
  EXPECT_EQ(DocumentBytes(), Pcm16({0, 5}));
  // Paste inserts at the moving end, whatever is selected, and selects it.
  Select(2, 0);
  PasteClip();
  EXPECT_EQ(DocumentBytes(), Pcm16({4, 0, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 1, 1}));
  Select(1, 3);
  Doc().viewStart = 2;
  CropToSelection();
  EXPECT_EQ(DocumentBytes(), Pcm16({0, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(Doc().viewStart, 0);
  Select(0, 2);
  DeleteSelection();
  EXPECT_EQ(Doc().length, 0);
  EXPECT_TRUE(Doc().modified);
  // A long sound: only the tail after the selection moves.
  SetDocument(MakeFormat(8000, 8, 1), Bytes(8 << 20, 1));
  Doc().bytes()[(8 << 20) - 1] = 2;
  Select(0, 4 << 20);
  DeleteSelection();
  EXPECT_EQ(Doc().length, 4 << 20);
  EXPECT_EQ(Doc().bytes()[(4 << 20) - 1], 2);
}

TEST_F(EditTest, PasteConvertsTheClipOrRefusesIt) {
  SetDocument(MakeFormat(44100, 16, 2), {});
  PasteClip();  // nothing on the clipboard: nothing happens
  EXPECT_FALSE(Doc().modified);
  PutClip(MakeFormat(22050, 8, 1), {0x80, 0xC0, 0x40});
  PasteClip();
  // Twice the frames, 4 bytes each, both channels equal.
  EXPECT_EQ(DocumentBytes(),
            Pcm16({0, 0, 8192, 8192, 16384, 16384, 0, 0, -16384, -16384, -16384, -16384}));
  SoundFormat adpcm = MakeFormat(8000, 8, 1);
  adpcm.wFormatTag = 2;
  PutClip(adpcm, {1});
  PasteClip();
  MixClip();
  PutClip(MakeFormat(48000, 8, 1), {1});
  PasteClip();
  EXPECT_EQ(Doc().length, 24);
  EXPECT_EQ(Captions(), (std::vector<std::string>{
                            "ペースト:データ形式が違います", "ミックス:データ形式が違います",
                            "フォーマット変換:このデータ形式からの変換はサポートされていません"}));
}

// Mix converts a clip in another format a piece at a time; over many pieces
// it adds to silence exactly what Paste inserts.
TEST_F(EditTest, MixOfAConvertedClipAddsWhatPasteInserts) {
  Bytes clip(50001);
  for (size_t i = 0; i < clip.size(); ++i) clip[i] = uint8_t(i * 37);
  PutClip(MakeFormat(22050, 8, 1), clip);
  SetDocument(MakeFormat(44100, 16, 2), {});
  PasteClip();
  const Bytes pasted = DocumentBytes();
  ASSERT_EQ(pasted.size(), 4 * 2 * clip.size());
  SetDocument(MakeFormat(44100, 16, 2), Bytes(pasted.size(), 0));
  MixClip();
  EXPECT_EQ(DocumentBytes(), pasted);
}

// The undo copy of a long sound starts its operation's one bar: the name
// shows from the first piece, and the percent never goes back.
TEST_F(EditTest, LongEditsShowOneBarFromTheUndoCopyOn) {
  Bytes sound(17 << 20);
  for (size_t i = 0; i < sound.size(); ++i) sound[i] = uint8_t(i * 7 + (i >> 12));
  SetDocument(MakeFormat(8000, 8, 1), sound);
  // The percents shown under `name`, which start at 0, never go back and reach `least`.
  auto expectOneBar = [&](const std::string& name, int least) {
    std::vector<int> percents;
    for (const std::string& s : engine.ui().statusLog)
      if (s.rfind(name + ":", 0) == 0) percents.push_back(std::atoi(s.c_str() + name.size() + 1));
    engine.ui().statusLog.clear();
    ASSERT_FALSE(percents.empty()) << name;
    EXPECT_EQ(percents.front(), 0) << name;
    EXPECT_GE(percents.back(), least) << name;
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << name;
  };
  Select(0, int32_t(sound.size() / 2));
  CutSelection();
  expectOneBar("切り取り", 80);
  Select(0, 0);
  PasteClip();
  expectOneBar("ペースト", 50);
  EXPECT_EQ(DocumentBytes(), sound);
}

// A clip that is not what was copied is refused like a non-PCM one, the sound kept.
TEST_F(EditTest, ClipsCutShortOrWithoutAHeaderAreRefusedLikeNonPcm) {
  PutClip(MakeFormat(8000, 8, 1), Bytes(1000, 0x90));
  auto declaring = [&](uint8_t top) {
    Bytes b = clipboard().Bytes();
    b[40] += 3, b[43] = top;  // 1003 bytes, or 4 GB more
    return b;
  };
  const Bytes whole = clipboard().Bytes();
  const Bytes cutInHeader(whole.begin(), whole.begin() + 43);
  for (const Bytes& block : {declaring(0), declaring(0xFF), cutInHeader, Bytes(), Bytes{'a'}}) {
    SetDocument(MakeFormat(8000, 8, 1), {1, 2, 3});
    clipboard().SetWave(block.data(), block.size());
    PasteClip();
    MixClip();
    engine.platform.dialogs.QueueFields({{"melody", "c"}});
    DispatchCommand(kCmdMelodyPaste, kCodeMenu);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"ペースト:データ形式が違います",
                                                    "ミックス:データ形式が違います",
                                                    "ペースト:データ形式が違います"}))
        << block.size();
    EXPECT_EQ(DocumentBytes(), (Bytes{1, 2, 3}));
    EXPECT_FALSE(Doc().modified);
    engine.ui().messages.clear();
  }
}

TEST_F(EditTest, MixClipsAndExtendsWithSilence) {
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({100, 30000, -30000, 5}));
  PutClip(MakeFormat(8000, 16, 1), Pcm16({1, 10000, -10000}));
  Select(4, 0);  // the selection plays no part; the moving end does
  DispatchCommand(kCmdMix, kCodeAccelerator);
  EXPECT_EQ(DocumentBytes(), Pcm16({101, 32767, -32768, 5}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{3, 3, 3}));
  SetDocument(MakeFormat(8000, 8, 2), {10, 20, 30, 40});
  PutClip(MakeFormat(8000, 8, 1), {0x90, 0x70, 0x80});
  Select(1, 1);
  MixClip();
  EXPECT_EQ(DocumentBytes(), (Bytes{10, 20, 46, 56, 0x70, 0x70, 0x80, 0x80}));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{4, 4, 4}));
}

TEST_F(EditTest, ShortOfMemoryEachCommandKeepsTheSound) {
  SetDocument(MakeFormat(8000, 8, 1), Bytes(100, 5));
  PutClip(MakeFormat(8000, 8, 1), Bytes(40, 9));
  Select(0, 80);
  MemoryBlock::SetTestCap(120);  // the undo copy and the clip fit, no more
  CopySelection();
  EXPECT_FALSE(clipboard().hasWave);
  CutSelection();  // the copy fails, so nothing is cut
  PutClip(MakeFormat(8000, 8, 1), Bytes(40, 9));
  Select(90, 90);
  PasteClip();
  MixClip();
  EXPECT_EQ(DocumentBytes(), Bytes(100, 5));
  EXPECT_EQ(Selection(), (std::vector<int32_t>{90, 90, 90}));
  EXPECT_EQ(Captions(), (std::vector<std::string>{
                            "COPY:メモリーが足りません", "COPY:メモリーが足りません",
                            "PASTE:メモリーが足りません", "ミックス:メモリーが足りません"}));
}

// A paste whose result the document could not hold is refused before any
// of it is converted, under the command's own caption.
TEST_F(EditTest, PasteBeyondTheLongestSoundIsRefusedBeforeConverting) {
  SetDocument(MakeFormat(44100, 16, 8), Bytes(32, 0));
  // 8 kHz 8-bit mono grows 88-fold into 44.1 kHz 16-bit with 8 channels.
  PutClip(MakeFormat(8000, 8, 1), Bytes(25 << 20, 0x80));
  PasteClip();
  MixClip();
  EXPECT_EQ(DocumentBytes(), Bytes(32, 0));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"PASTE:メモリーが足りません",
                                                  "ミックス:メモリーが足りません"}));
}

// Real exhaustion, not the test cap: the clipboard holds its bytes once, so
// what runs out of address space is the room a clip needs in the sound, or
// the selection's own block; each command says so instead of ending the
// process.
TEST_F(EditTest, ClipboardBlocksOutOfMemoryAreReportedNotThrown) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  // In a child with `room` bytes of address space left, runs the commands
  // and tells whether the sound stayed and exactly `expect` was shown.
  const Bytes sound(16 << 20, 7);
  auto exhausted = [&](std::vector<int> commands, std::vector<std::string> expect,
                       rlim_t room = 24 << 20) {
    return RunInChild([&] {
      long pages = 0;
      if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
        std::fclose(f);
      }
      const rlimit limit{rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room, RLIM_INFINITY};
      if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return 2;
      for (int id : commands) DispatchCommand(id, kCodeMenu);
      const bool kept = Doc().length == int32_t(sound.size()) &&
                        std::equal(sound.begin(), sound.end(), Doc().data.data());
      return kept && Captions() == expect ? 1 : 0;
    });
  };
  SetDocument(MakeFormat(8000, 8, 1), sound);
  TakeUndoSnapshot();  // the undo copy has its room already
  // A clip whose room in the sound (its length; past the end, what it
  // adds) is larger than the room left.
  PutClip(MakeFormat(8000, 8, 1), Bytes(48 << 20, 9));
  EXPECT_EQ(exhausted({kCmdPaste, kCmdMix},
                      {"PASTE:メモリーが足りません", "ミックス:メモリーが足りません"}),
            1);
  // The selection's block does not fit.
  clipboard().Clear();
  Select(0, int32_t(sound.size()));
  EXPECT_EQ(exhausted({kCmdCopy, kCmdCut},
                      {"COPY:メモリーが足りません", "COPY:メモリーが足りません"}, 8 << 20),
            1);
  EXPECT_FALSE(clipboard().hasWave);
}

class EditUndo : public EditTest, public testing::WithParamInterface<void (*)()> {};

TEST_P(EditUndo, UndoRestoresSoundAndSelectionAndRedoes) {
  SetDocument(MakeFormat(11025, 16, 2), Pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  PutClip(MakeFormat(11025, 16, 1), Pcm16({100, 200}));
  Select(1, 3);
  const Bytes before = DocumentBytes();
  GetParam()();
  const Bytes after = DocumentBytes();
  const std::vector<int32_t> selection = Selection();
  ASSERT_NE(after, before);
  SwapUndo();
  EXPECT_EQ(DocumentBytes(), before);
  EXPECT_EQ(Selection(), (std::vector<int32_t>{1, 3, 3}));
  SwapUndo();
  EXPECT_EQ(DocumentBytes(), after);
  EXPECT_EQ(Selection(), selection);
}

INSTANTIATE_TEST_SUITE_P(Commands, EditUndo,
                         testing::Values(CutSelection, DeleteSelection, CropToSelection, PasteClip,
                                         MixClip));

}  // namespace
}  // namespace kelvora
