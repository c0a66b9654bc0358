// Silence, noise and tones (their results on fixed signals: golden_test.cpp).
#include "generators/generators.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "document/sine_table.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"

namespace kelvora {
namespace {

const SoundFormat kMono16 = MakeFormat(22050, 16, 1);

// Runs `command` with these fields typed into its dialog.
void Generate(EngineFixture& f, int command, std::vector<DialogField> fields) {
  f.platform.dialogs.QueueFields(std::move(fields));
  ASSERT_TRUE(RunCommand(command));
}

TEST(InsertSilence, InsertsAtTheMovingEndAndSelectsTheNewFrames) {
  EngineFixture f;
  SetSamples(kMono16, {1, 2, 3, 4});
  Select(1, 3);                                     // moving end at frame 3
  Generate(f, kCmdInsertSilence, {{"time", "1"}});  // 22 frames
  std::vector<int32_t> want = {1, 2, 3};
  want.insert(want.end(), 22, 0);
  want.push_back(4);
  EXPECT_EQ(Samples16(), want);
  EXPECT_EQ(std::tie(Doc().selStart, Doc().selEnd, Doc().movingEnd), std::make_tuple(6, 50, 50));
  EXPECT_TRUE(Doc().modified);
  // Time 0 inserts nothing but still leaves an empty selection there.
  Doc().modified = false;
  Generate(f, kCmdInsertSilence, {{"time", "0"}});
  EXPECT_EQ(Doc().selStart, 50);
  EXPECT_EQ(Doc().selEnd, 50);
  EXPECT_TRUE(Doc().modified);
  // 8-bit silence is 128, and an empty sound gets exactly the length asked.
  SetDocument(MakeFormat(8000, 8, 2), {});
  Generate(f, kCmdInsertSilence, {{"time", "5000"}});
  EXPECT_EQ(Doc().length, 80000);
  EXPECT_TRUE(
      std::all_of(Doc().bytes(), Doc().bytes() + Doc().length, [](uint8_t b) { return b == 128; }));
}

// Noise at other volumes and seeds is in golden_test.cpp.
TEST(GenerateNoise, VolumeZeroIsSilence) {
  EngineFixture f;
  SetDocument(kMono16, {});
  Generate(f, kCmdWhiteNoise, {{"volume", "0"}, {"time", "100"}});
  EXPECT_EQ(Samples16(), std::vector<int32_t>(2205, 0));
}

TEST(GenerateTone, KnownValuesAtThePhaseBoundaries) {
  EngineFixture f;
  const int32_t a = 70 * 32767 / 100;
  // 441 Hz at 22050: period 50, step 200; square starts at -A and phase
  // 5000 (frame 25) is still -A.
  Generate(f, kCmdTone, {{"frequency", "441"}, {"time", "10"}, {"wave", "square"}, {"fm", "off"}});
  std::vector<int32_t> s = Samples16();
  EXPECT_EQ(s[0], -a);
  EXPECT_EQ(s[25], -a);
  EXPECT_EQ(s[26], a);
  // Sawtooth: phase 0 gives -A, phase 5000 gives 0.
  SetDocument(kMono16, {});
  Generate(f, kCmdTone, {{"wave", "sawtooth"}});
  s = Samples16();
  EXPECT_EQ(s[0], -a);
  EXPECT_EQ(s[25], 0);
  // Sine, FM off, period 100 at 44100 Hz dividing 10000: the phase reaches
  // 10000 and reads entry 0 again.
  SetDocument(MakeFormat(44100, 16, 1), {});
  Generate(f, kCmdTone, {{"frequency", "441"}, {"wave", "sine"}});
  s = Samples16();
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[100], 0);
  EXPECT_EQ(s[25], SineTable()[256] * a / 10000);
}

}  // namespace
}  // namespace kelvora
