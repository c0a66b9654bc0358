// Melody paste: note lengths and steps, rests, the failure table, one undo
// for the whole melody, and the dialog's back button and keyboard.
#include "generators/melody.h"

#include <gtest/gtest.h>

#include "document/params.h"
#include "editing/clip_wave_block.h"
#include "effects/effect_test_util.h"
#include "generators/generators.h"

namespace kelvora {
namespace {

const SoundFormat kMono16 = MakeFormat(22050, 16, 1);

// A clip of frames 1, 2, 3, ... in the document's own format.
void PutRampClip(EngineFixture& f, int frames, const SoundFormat& format = kMono16) {
  std::vector<uint8_t> bytes;
  for (int i = 1; i <= frames; ++i) {
    bytes.push_back(static_cast<uint8_t>(i));
    bytes.push_back(static_cast<uint8_t>(i >> 8));
  }
  MemoryBlock block;
  ASSERT_TRUE(BuildClipWaveBlock(format, bytes.data(), static_cast<int32_t>(bytes.size()), block));
  f.platform.clipboard.SetWave(block.data(), block.size());
}

void Play(EngineFixture& f, const std::string& melody, const char* tempo = "120") {
  f.platform.dialogs.QueueFields({{"tempo", tempo}, {"melody", melody}});
  ASSERT_TRUE(RunCommand(kCmdMelodyPaste));
}

TEST(MelodyPaste, LengthsStepsAndRests) {
  EngineFixture f;
  PutRampClip(f, 20000);
  struct Case {
    const char* melody;
    int32_t frames;  // the whole melody
    int32_t at100;   // sample at frame 100 of the first note
  } cases[] = {
      {"c", 11025, 101},     // one beat at the clip's own speed
      {"C", 11025, 101},     // lowered before it is read
      {"o5c", 11025, 201},   // twice the speed
      {"o3c", 11025, 51},    // half
      {"o2c", 11025, 26},    // a quarter
      {"o9c", 11025, 3201},  // 32 times, past the table of octaves
      {"o4g", 11025, 150},   // 100 * 14983 / 10000 = 149.83: frame 149
      {"c2.", 33075, 101},   // three beats
      {"c0", 11025, 101},    // 0 means 4
      {"c8c8", 11024, 101},  // two halves of a beat, each whole frames
      {"r8", 5512, 0},       // silence, 11025 bytes cut to whole frames
  };
  for (const Case& c : cases) {
    SetDocument(kMono16, {});
    Play(f, c.melody);
    EXPECT_EQ(Doc().frames(), c.frames) << c.melody;
    EXPECT_EQ(Samples16()[100], c.at100) << c.melody;
  }
  // Past the end of the clip a note goes on in silence; the last note is
  // selected and the insertion point is at the melody's end.
  PutRampClip(f, 50);
  SetDocument(kMono16, {});
  Play(f, "cd");
  EXPECT_EQ(std::make_pair(Samples16()[49], Samples16()[50]), std::make_pair(50, 0));
  EXPECT_EQ(std::tie(Doc().selStart, Doc().selEnd, Doc().movingEnd),
            std::make_tuple(22050, 44100, 44100));
  // An 8-bit rest is 128.
  SetDocument(MakeFormat(8000, 8, 1), {});
  Play(f, "r16");
  EXPECT_EQ(Doc().length, 1000);
  EXPECT_EQ(Doc().bytes()[0], 128);
}

TEST(MelodyPaste, FailuresKeepEarlierNotesAndOneUndoRemovesTheMelody) {
  EngineFixture f;
  SetSamples(kMono16, {7, 7});
  const std::vector<uint8_t> before = DocumentBytes();
  Play(f, "c");  // no clip: nothing happens
  EXPECT_EQ(ShownMessages(f.ui()),
            (Shown{{"メロディペースト", "クリップボードにデータを入れてから使用してください",
                    MsgIcon::kInformation}}));
  EXPECT_TRUE(f.platform.dialogs.shown.empty());
  f.platform.dialogs.ClearQueue();
  PutRampClip(f, 10);
  for (const char* bad : {"c o4d", "cox", "cq"}) {
    f.ui().messages.clear();
    Doc().selStart = Doc().selEnd = Doc().movingEnd = 0;
    SetSamples(kMono16, {7, 7});
    Play(f, bad);
    EXPECT_EQ(ShownMessages(f.ui()),
              (Shown{{"メロディペースト", "メロディ記述が異常です", MsgIcon::kWarning}}))
        << bad;
    EXPECT_EQ(Doc().frames(), 2 + 11025) << bad;  // the first note stays
    ASSERT_TRUE(RunCommand(kCmdUndo));
    EXPECT_EQ(DocumentBytes(), before);
  }
  // A shortage half-way puts back the sound before the melody.
  f.ui().messages.clear();
  MemoryBlock::SetTestCap(40000);
  Play(f, "cdc");
  EXPECT_EQ(ShownMessages(f.ui()),
            (Shown{{"MELODY PASTE", "メモリーが足りません", MsgIcon::kWarning}}));
  EXPECT_EQ(DocumentBytes(), before);
  MemoryBlock::SetTestCap(0);
  // The tempo is saved after OK, even for an empty melody.
  Play(f, "", "200");
  EXPECT_EQ(f.platform.profile->GetString("Options", "tempo", ""), "200");
  EXPECT_EQ(DocumentBytes(), before);
}

TEST(MelodyDialog, BackButtonCutsTheLastNoteToken) {
  const std::pair<const char*, const char*> cases[] = {
      {"o4c4d8", "o4c4"}, {"c4o5d8.", "c4"}, {"o4c", ""},       {"c", ""},
      {"cr16", "c"},      {"c4C", ""},       {"abc+16.", "ab"}, {"", ""},
  };
  for (const auto& [text, left] : cases) EXPECT_EQ(WithoutLastNote(text), left) << text;
}

TEST(MelodyDialog, KeyboardNamesKeysUpToTheirEdges) {
  const int
      w = 576,
      h = 80;  // white keys 24 pixels wide, a black key is hit half a white key around its edge
  struct Case {
    int x, y;
    const char* name;
  } cases[] = {
      {0, 79, "o3c"},    {23, 40, "o3c"},  {24, 40, "o3d"}, {575, 79, "o6e"}, {12, 0, "o3c+"},
      {11, 0, ""},       {38, 39, "o3d+"}, {60, 10, ""},    {168, 10, ""},    {180, 10, "o4c+"},
      {563, 10, "o6d+"}, {576, 10, ""},    {-1, 50, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KeyboardNoteAt(c.x, c.y, w, h), c.name) << c.x << "," << c.y;
}

TEST(MelodyDialog, ButtonsAndKeyboardWriteAtTheCaret) {
  EngineFixture f;
  PutRampClip(f, 10);
  Params<MelodyParams>().melody = "o4c";
  f.platform.dialogs.QueueActions(
      [](HeadlessDialogWindow& w) {
        w.Click(124);  // eighth notes
        w.Click(130);
        w.MouseDown(110, 30, 70);
        w.MouseUp(110, 30, 70);
        EXPECT_EQ(w.GetItemText(103), "o4cr8o3d8");
        w.Click(131);
        EXPECT_EQ(w.GetItemText(103), "o4cr8");
      },
      2);
  ASSERT_TRUE(RunCommand(kCmdMelodyPaste));
  // Cancel keeps the stored melody and what the dialog set.
  EXPECT_EQ(Params<MelodyParams>().melody, "o4c");
  EXPECT_EQ(Params<MelodyParams>().lengthIndex, 4);
  EXPECT_EQ(Params<MelodyParams>().tempo, 120);
}

}  // namespace
}  // namespace kelvora
