// The loudness meter on the EBU reference tones, and normalising.
#include "effects/loudness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effects/effect_test_util.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

// A sine of `hz` at `dbfs` (peak), the same in every channel, with a phase
// of `phase` radians at the first sample.
std::vector<uint8_t> Sine(const SoundFormat& f, double seconds, double dbfs, double hz,
                          double phase = 0) {
  std::vector<int32_t> v;
  const double amplitude = 32768 * std::pow(10, dbfs / 20);
  const auto frames = static_cast<int64_t>(seconds * f.nSamplesPerSec);
  for (int64_t i = 0; i < frames; ++i)
    for (int ch = 0; ch < f.nChannels; ++ch)
      v.push_back(static_cast<int32_t>(
          std::lround(amplitude * std::sin(2 * M_PI * hz * i / f.nSamplesPerSec + phase))));
  SetSamples(f, v);
  return DocumentBytes();
}

LoudnessFigures Measure(const SoundFormat& f, const std::vector<uint8_t>& bytes) {
  SoundView v;
  v.format = f;
  v.bytesPerChannel = f.wBitsPerSample / 8;
  v.source = bytes.data();
  v.sourceLength = static_cast<int64_t>(bytes.size());
  v.frames = v.sourceLength / f.nBlockAlign;
  LoudnessFigures figures;
  EXPECT_EQ(MeasureLoudness(v, {}, &figures), MeterOutcome::kMeasured);
  return figures;
}

LoudnessFigures MeasureDocument() { return Measure(Doc().format, DocumentBytes()); }

TEST(LoudnessMeter, ReadsTheReferenceTones) {
  EngineFixture engine;
  const SoundFormat stereo = MakeFormat(48000, 16, 2);
  for (double level : {-23.0, -33.0}) {
    const LoudnessFigures f = Measure(stereo, Sine(stereo, 20, level, 1000));
    EXPECT_NEAR(*f.integrated, level, 0.1);
    EXPECT_NEAR(*f.momentaryMax, level, 0.1);
    EXPECT_NEAR(*f.shortTermMax, level, 0.1);
    EXPECT_NEAR(*f.range, 0, 0.1);
    EXPECT_NEAR(*f.samplePeak, level, 0.01);
    EXPECT_NEAR(*f.truePeak, level, 0.1);
  }
}

// At a quarter of the rate, 45 degrees off, every sample lies 3 dB below
// the crest the interpolation must find.
TEST(LoudnessMeter, TruePeakFindsTheCrestBetweenSamples) {
  EngineFixture engine;
  const SoundFormat mono = MakeFormat(44100, 16, 1);
  const LoudnessFigures f = Measure(mono, Sine(mono, 1, -6, 44100 / 4.0, M_PI / 4));
  EXPECT_NEAR(*f.samplePeak, -9.01, 0.01);
  EXPECT_NEAR(*f.truePeak, -6, 0.2);
}

TEST(LoudnessMeter, NothingToMeasureGivesNoFigures) {
  EngineFixture engine;
  const SoundFormat stereo = MakeFormat(22050, 16, 2);
  const LoudnessFigures silent = Measure(stereo, std::vector<uint8_t>(22050 * 4 * 4));
  EXPECT_FALSE(silent.integrated || silent.range || silent.samplePeak || silent.truePeak ||
               silent.momentaryMax || silent.shortTermMax);
  // 300 ms: peaks, but no 400 ms window; 2 s: no range without a 3 s window.
  const LoudnessFigures brief = Measure(stereo, Sine(stereo, 0.3, -10, 440));
  EXPECT_FALSE(brief.integrated || brief.range || brief.momentaryMax || brief.shortTermMax);
  EXPECT_NEAR(*brief.samplePeak, -10, 0.01);
  const LoudnessFigures shortish = Measure(stereo, Sine(stereo, 2, -10, 440));
  EXPECT_TRUE(shortish.integrated && shortish.shortTermMax && !shortish.range);
}

TEST(LoudnessMeter, TooLowARateIsReported) {
  EngineFixture engine;
  Sine(MakeFormat(3000, 16, 1), 2, -10, 200);
  ASSERT_TRUE(RunCommand(kCmdLoudnessInfo));
  EXPECT_EQ(ShownMessages(engine.ui()),
            (Shown{{texts::kNameLoudnessInfo, texts::kLoudnessRateTooLow, MsgIcon::kWarning}}));
  EXPECT_TRUE(engine.platform.dialogs.shown.empty());
}

TEST(LoudnessInfo, ShowsTheFiguresOfTheSelectionAndStopEndsIt) {
  EngineFixture engine;
  Sine(MakeFormat(8000, 16, 2), 60, -23, 1000);
  Select(8000, 8000 * 11);
  std::string shown;
  engine.platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& dlg) { shown = dlg.GetItemText(300) + dlg.GetItemText(301); });
  ASSERT_TRUE(RunCommand(kCmdLoudnessInfo));
  EXPECT_EQ(shown, "選択範囲 (10.0 秒)-23.0 LUFS");
  EXPECT_FALSE(Doc().modified);
  // Stop pressed while it measures: no figures, no dialog, nothing else.
  engine.ui().pendingEvents.push_back([] { RunCommand(kCmdStop); });
  Select(0, 0);
  engine.platform.dialogs.shown.clear();
  ASSERT_TRUE(RunCommand(kCmdLoudnessInfo));
  EXPECT_TRUE(engine.platform.dialogs.shown.empty());
  EXPECT_TRUE(engine.ui().messages.empty());
  EXPECT_FALSE(Busy().busy);
}

class LoudnessNormalize : public testing::Test {
protected:
  EngineFixture engine;
  // Runs the command with these values typed into its dialog; returns the
  // dialog's result line.
  std::string Run(const char* target, const char* ceiling) {
    std::string line;
    engine.platform.dialogs.QueueActions([&](HeadlessDialogWindow& dlg) {
      dlg.SetItemText(201, target);
      dlg.SetItemText(203, ceiling);
      line = dlg.GetItemText(301);
    });
    EXPECT_TRUE(RunCommand(kCmdLoudnessNormalize));
    return line;
  }
};

// The target reached, a ceiling that lowers the gain, 8-bit mono; Undo.
TEST_F(LoudnessNormalize, ReachesTheTargetUnderTheCeilingAndUndoes) {
  const std::string limited =
      std::string("ゲイン +14.0 dB で -9.0 LUFS になります\n") + texts::kLoudnessLimited;
  const std::tuple<SoundFormat, double, double, const char*, const char*, std::string> cases[] = {
      {MakeFormat(44100, 16, 2), -33, 1000, "-16.0", "-1.0",
       "ゲイン +17.0 dB で -16.0 LUFS になります"},
      {MakeFormat(44100, 16, 2), -23, 1000, "-5", "-9", limited},
      {MakeFormat(11025, 8, 1), -30, 500, "-16", "-1", ""}};
  for (const auto& [format, level, hz, target, ceiling, line] : cases) {
    const std::vector<uint8_t> before = Sine(format, 5, level, hz);
    const std::string shown = Run(target, ceiling);
    EXPECT_TRUE(line.empty() || shown == line) << shown;
    const LoudnessFigures f = MeasureDocument();
    EXPECT_NEAR(*f.integrated, std::min(std::atof(target), std::atof(ceiling)), 0.2) << target;
    EXPECT_LE(*f.truePeak, std::atof(ceiling) + 0.05) << target;
    ASSERT_TRUE(RunCommand(kCmdUndo));
    EXPECT_EQ(DocumentBytes(), before);
  }
}

TEST_F(LoudnessNormalize, NothingToMeasureChangesNothingAndSaysWhy) {
  const SoundFormat f = MakeFormat(22050, 16, 2);
  std::vector<uint8_t> bytes = Sine(f, 2, -10, 440);
  std::fill(bytes.begin(), bytes.begin() + 22050 * 4, 0);  // the first second silent
  SetDocument(f, bytes);
  // The silent second, then 300 ms of tone.
  const std::tuple<int32_t, int32_t, const char*> cases[] = {
      {0, 22050, texts::kLoudnessTooQuiet}, {22050, 22050 + 6615, texts::kLoudnessTooShort}};
  for (const auto& [first, end, why] : cases) {
    engine.ui().messages.clear();
    Select(first, end);
    ASSERT_TRUE(RunCommand(kCmdLoudnessNormalize));
    EXPECT_EQ(ShownMessages(engine.ui()),
              (Shown{{texts::kNameLoudnessNormalize, why, MsgIcon::kWarning}}));
    EXPECT_TRUE(engine.platform.dialogs.shown.empty());
    EXPECT_EQ(DocumentBytes(), bytes);
    EXPECT_FALSE(Doc().modified);
  }
}

}  // namespace
}  // namespace kelvora
