// Pitch, time stretch and transpose (fixed-signal results: golden_test.cpp).
#include "effects/pitch_time.h"

#include <gtest/gtest.h>

#include "document/params.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"
#include "effects/texts.h"
#include "platform/headless/headless_dialog_window.h"

namespace kelvora {
namespace {

using V = std::vector<int32_t>;
const SoundFormat kStereo = MakeFormat(22050, 16, 2);

V Random(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  V v(n);
  for (auto& x : v) x = static_cast<int32_t>(rng() % 60001) - 30000;
  return v;
}

// Half speed of 22050 frames at 44100 Hz: the dialog shows 500 and then
// 1000 ms, following the slider and the box, and the result is 44100 frames
// that fade in from silence over the first H = 183 frames.
TEST(TimeStretch, DialogLengthsFollowTheSpeedAndTheStartFadesIn) {
  EngineFixture f;
  SetSamples(MakeFormat(44100, 16, 1), V(22050, 1000));
  std::vector<std::string> shown;
  f.platform.dialogs.QueueActions([&](HeadlessDialogWindow& w) {
    auto lengths = [&] { shown.push_back(w.GetItemText(10000) + "=>" + w.GetItemText(10001)); };
    lengths();
    w.Scroll(200, kScrollThumbTrack, 60);
    lengths();
    w.Scroll(200, kScrollLineUp);
    lengths();
    w.Type(201, "50");
    lengths();
  });
  ASSERT_TRUE(RunCommand(kCmdTimeStretch));
  EXPECT_EQ(shown, (std::vector<std::string>{"500=>500", "500=>833", "500=>847", "500=>1000"}));
  const V got = Samples16();
  ASSERT_EQ(got.size(), 44100u);
  for (int j = 0; j < 183; ++j) ASSERT_EQ(got[j], 1000 * j * 2 / 367) << j;
  EXPECT_EQ(got[183], 1000);
}

TEST(Transpose, HarmonizeMixNoneKeepsTheSoundAndMixAllIsTheTransposedOne) {
  const V src = Random(2 * 3000, 3);
  auto run = [&](int32_t harmonize, int32_t mix) {
    EngineFixture f;
    SetSamples(kStereo, src);
    Params<TransposeParams>() = {-300, harmonize, mix};
    EXPECT_TRUE(RunCommand(kCmdTranspose));
    return Samples16();
  };
  EXPECT_EQ(run(1, 0), src);
  const V transposed = run(0, 50);
  EXPECT_NE(transposed, src);
  EXPECT_EQ(run(1, 100), transposed);
}

// Past 2^31 / 100 frames, N * 100 and the source position j * step no
// longer fit 32 bits: the last frames still come from the end.
TEST(Pitch, AnOctaveDownOfALongSelectionReachesItsEnd) {
  EngineFixture f;
  const int32_t n = 22'000'000;
  std::vector<uint8_t> bytes(n);
  for (int32_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  SetDocument(MakeFormat(8000, 8, 1), bytes);
  Params<PitchParams>().pitch = 50;
  ASSERT_TRUE(RunCommand(kCmdPitch));
  ASSERT_EQ(Doc().length, 2 * n);
  for (int32_t i : {0, n / 2, n - 2}) EXPECT_EQ(Doc().bytes()[2 * i], bytes[i]) << i;
}

// Below 30 Hz a segment would be 0 frames long and the stretch would never
// end; without a rate the dialog shows 0 ms.
TEST(TimeStretch, RatesBelowThirtyHertzStillAdvance) {
  for (uint32_t rate : {0u, 1u, 29u}) {
    EngineFixture f;
    SetSamples(MakeFormat(rate, 16, 1), Random(100, 7));
    Params<TimeStretchParams>().speed = 50;
    std::string shown;
    f.platform.dialogs.QueueActions([&](HeadlessDialogWindow& w) { shown = w.GetItemText(10000); });
    ASSERT_TRUE(RunCommand(kCmdTimeStretch));
    EXPECT_EQ(Doc().length, 400);
    EXPECT_EQ(shown, rate == 0 ? "0" : std::to_string(100 * 1000 / rate));
    Params<TransposeParams>().cents = 700;
    ASSERT_TRUE(RunCommand(kCmdTranspose));
    EXPECT_EQ(Doc().length, 400);
  }
}

// ----- The sequence ------------------------------------------------------------

void SetValues(int32_t pitch, int32_t speed, int32_t cents, int32_t harmonize) {
  Params<PitchParams>().pitch = pitch;
  Params<TimeStretchParams>().speed = speed;
  Params<TransposeParams>() = {cents, harmonize, 50};
}

const int kCommands[] = {kCmdPitch, kCmdTimeStretch, kCmdTranspose};

// Nothing to do ends before the undo copy.
TEST(PitchTime, NeutralValuesEndBeforeTheSnapshot) {
  for (int command : kCommands) {
    EngineFixture f;
    SetSamples(kStereo, Random(2 * 500, 5));
    SetValues(100, 100, 0, 1);
    ASSERT_TRUE(RunCommand(command));
    EXPECT_EQ(Undo().length, 0) << command;
    EXPECT_FALSE(Doc().modified);
    EXPECT_TRUE(f.ui().menuModeLog.empty());
  }
}

}  // namespace
}  // namespace kelvora
