// Dynamics, delay and modulation effects on small sounds known by hand.
#include <gtest/gtest.h>

#include "document/params.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/effect_test_util.h"
#include "effects/modulation.h"
#include "files/file_test_support.h"
#include "platform/headless/headless_dialogs.h"

namespace kelvora {
namespace {

const SoundFormat kMono = MakeFormat(8000, 16, 1);
const SoundFormat kStereo = MakeFormat(8000, 16, 2);
using V = std::vector<int32_t>;

V Impulse(int32_t value, int frames) {
  V v(static_cast<size_t>(frames), 0);
  v[0] = value;
  return v;
}
V WithAt(V v, size_t at, int32_t value) {
  v[at] = value;
  return v;
}

// clang-format off
const Known kKnown[] = {
    // The gate at 0 never closes; at 100 it closes over R = 8 frames.
    {"GateLevel0", kCmdNoiseGate, kMono, {3, -3, 0, 0, 7}, {3, -3, 0, 0, 7}, [] { Params<NoiseGateParams>() = {0, 1, 1}; }},
    {"GateLevel100", kCmdNoiseGate, kMono, V(11, 1000), {1000, 870, 750, 620, 500, 370, 250, 120, 0, 0, 0}, [] { Params<NoiseGateParams>() = {100, 1, 1}; }},
    // An envelope below 512 silences the frame; the held envelope decays by 10.
    {"CompressorQuiet", kCmdCompressor, kStereo, {300, 400, -300, 200}, {0, 0, 0, 0}, [] { Params<CompressorParams>() = {100, 100}; }},
    {"CompressorLoud", kCmdCompressor, kMono, {20000, 100}, {10000, 50}, [] { Params<CompressorParams>() = {50, 1}; }},
    {"Overdrive100", kCmdDistortion, kMono, {1, 128, 32767, -32768}, {128, 1448, 23170, -23170}, [] { Params<DistortionParams>() = {100, kOverdrive}; }},
    {"Fuzz100", kCmdDistortion, kMono, {2499, 2500, -2499, -2500}, {9996, 10000, -9996, -10000}, [] { Params<DistortionParams>() = {100, kFuzz}; }},
    {"Distortion0", kCmdDistortion, kMono, {2499, -32768, 7}, {2499, -32768, 7}, [] { Params<DistortionParams>() = {0, kFuzz}; }},
    {"NoiseRemovalOff", kCmdNoiseRemoval, kMono, {5, -900, 3000, 0, 12}, {5, -900, 3000, 0, 12}, [] { Params<NoiseRemovalParams>() = {0, 0}; }},
    {"NoiseRemovalSpike", kCmdNoiseRemoval, kMono, {0, 0, 0, 5000, 0, 0, 0}, V(7, 0), [] { Params<NoiseRemovalParams>() = {0, 1}; }},
    {"NoiseRemovalPlateau", kCmdNoiseRemoval, kMono, {0, 0, 5000, 5000, 0, 0}, {0, 0, 5000, 5000, 0, 0}, [] { Params<NoiseRemovalParams>() = {0, 1}; }},
    // D = 8 frames at 8000 Hz and 1 ms.
    {"EchoImpulse", kCmdEcho, kMono, Impulse(10000, 20), WithAt(Impulse(10000, 20), 8, 5000), [] { Params<EchoParams>() = {1, 50, 0}; }},
    {"EchoFeedback", kCmdEcho, kMono, Impulse(10000, 20), WithAt(WithAt(Impulse(10000, 20), 8, 5000), 16, 2500), [] { Params<EchoParams>() = {1, 50, 50}; }},
    {"EchoBeyondSelection", kCmdEcho, kMono, Impulse(10000, 20), Impulse(10000, 20), [] { Params<EchoParams>() = {1000, 100, 100}; }},
    {"EchoNoDelay", kCmdEcho, kMono, {1000, -2000}, {1500, -3000}, [] { Params<EchoParams>() = {0, 50, 100}; }},
    {"ReverbDryOnly", kCmdReverb, kMono, {1000, 1000, 1000}, {992, 984, 976}, [] { Params<ReverbParams>() = {500, 0, 100}; }},
    // At a reverb time of 0 every tap reads the frame itself (1270 after
    // the DC removal), each term truncated on its own.
    {"ReverbTime0", kCmdReverb, kMono, {1280}, {635 + 5230}, [] { Params<ReverbParams>() = {0, 100, 50}; }},
    {"FlangerDepth0", kCmdFlanger, kMono, {1000, -3000, 5}, {1000, -3000, 5}, [] { Params<FlangerParams>() = {100, 0, 100, 0}; }},
    {"FlangerRate0", kCmdFlanger, kStereo, {1000, -3000, 5, 9}, {1000, -3000, 5, 9}, [] { Params<FlangerParams>() = {100, 100, 0, 0}; }},
    {"StereoFlangeLevel0", kCmdFlanger, kStereo, {1000, -3000, 5, 9}, {1000, -3000, 5, 9}, [] { Params<FlangerParams>() = {0, 100, 100, 1}; }},
    {"VibratoDepth0", kCmdVibrato, kStereo, {1000, -3000, 5, 9}, {1000, -3000, 5, 9}, [] { Params<VibratoParams>() = {0, 200, 0}; }},
    // Rate 0: g = level / 2 throughout; auto-pan dips the odd channel by level - g.
    {"TremoloRate0", kCmdTremolo, kStereo, {1000, 1000, -1000, -1000}, {700, 690, -700, -690}, [] { Params<TremoloParams>() = {61, 0, 1}; }},
};
// clang-format on

TEST_P(KnownResult, SamplesMessagesAndModifiedFlag) {
  const Known& k = GetParam();
  EngineFixture f;
  SetSamples(k.format, k.in);
  k.set();
  ASSERT_TRUE(RunCommand(k.command));
  EXPECT_EQ(Samples16(), k.out);
  EXPECT_EQ(Peak().peakScale, 0);
  EXPECT_TRUE(f.ui().messages.empty());
  // Reverse and inversion do nothing at all on an empty selection.
  const bool idle = k.in.empty() && (k.command == kCmdReverse || k.command == kCmdInvertPhase);
  EXPECT_EQ(Doc().modified, !idle);
}

INSTANTIATE_TEST_SUITE_P(Signal, KnownResult, testing::ValuesIn(kKnown), KnownLabel);

// Flanger clears its stereo flag on a mono sound before the dialog, and both
// boxes show grey; Cancel then leaves the tremolo's flag as it was.
TEST(StereoBoxes, GreyOnMonoFlangerClearsItsFlagTremoloDoesNot) {
  for (int command : {kCmdFlanger, kCmdTremolo}) {
    EngineFixture f;
    SetSamples(kMono, {1, 2, 3});
    Params<FlangerParams>().stereo = Params<TremoloParams>().autopan = 1;
    int shown = -1;
    const int box = command == kCmdFlanger ? 208 : 204;
    f.platform.dialogs.QueueActions([&](HeadlessDialogWindow& w) { shown = w.GetCheck(box); }, 2);
    ASSERT_TRUE(RunCommand(command));
    EXPECT_EQ(shown, kIndeterminate);
    EXPECT_EQ(
        command == kCmdFlanger ? Params<FlangerParams>().stereo : Params<TremoloParams>().autopan,
        command == kCmdFlanger ? 0 : 1);
    EXPECT_FALSE(Doc().modified);
  }
}

// A rate of 0 (no frame period) divides nothing by zero: the gate opens
// and closes within a frame, the delays and sweeps stand still.
TEST(SignalSequence, RunOnASoundWithoutARate) {
  for (int command : {kCmdNoiseGate, kCmdCompressor, kCmdDistortion, kCmdNoiseRemoval, kCmdEcho,
                      kCmdReverb, kCmdFlanger, kCmdVibrato, kCmdTremolo}) {
    EngineFixture f;
    SetDocument(MakeFormat(0, 16, 2), NoiseBytes(4 * 500, 3));
    Params<VibratoParams>().delay = 10;
    ASSERT_TRUE(RunCommand(command));
    EXPECT_TRUE(Doc().modified) << command;
    EXPECT_TRUE(f.ui().messages.empty()) << command;
  }
}

// n * 102 passes 2^32 after 42 million frames; the sweep keeps its phase
// (hashed when the tail matched the gain worked out in 64 bits).
TEST(Tremolo, KeepsItsPhaseOnLongSelections) {
  EngineFixture f;
  constexpr int32_t kFrames = 43000000;
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(kFrames, 128 + 100));
  Params<TremoloParams>() = {100, 7, 0};
  ASSERT_TRUE(RunCommand(kCmdTremolo));
  const uint8_t* end = Doc().bytes() + kFrames;
  EXPECT_EQ(HashBytes(std::vector<uint8_t>(end - 3000, end)), 0xed17fdedu);
}

}  // namespace
}  // namespace kelvora
