// The sequence every effect and generator command shares, one row each.
#include <gtest/gtest.h>

#include <functional>

#include "document/busy.h"
#include "document/params.h"
#include "editing/clip_wave_block.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/effect_test_util.h"
#include "effects/envelope.h"
#include "effects/equalizers.h"
#include "effects/pitch_time.h"
#include "effects/texts.h"
#include "generators/generators.h"
#include "generators/texts.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

struct Contract {
  int command;
  const char* caption;  // of the shortage message
  int dialog;           // shown first; 0 none
  size_t scratchCap;    // a cap that leaves the copy but not the pass's scratch or growth; 0 none
  bool busy = true;
  std::function<void()> set = [] {};  // values that change something
};

void PutClip() {
  MemoryBlock block;
  const std::vector<uint8_t> clip = NoiseBytes(800, 2);
  BuildClipWaveBlock(Doc().format, clip.data(), static_cast<int32_t>(clip.size()), block);
  Services().clipboard->SetWave(block.data(), block.size());
}

using namespace texts;

const Contract kContracts[] = {
    {kCmdVolume, kNameVolume, kDialogVolume, 0},
    {kCmdFadeIn, kNameFadeIn, 0, 0},
    {kCmdFadeOut, kNameFadeOut, 0, 0},
    {kCmdNormalize, kNameNormalize, 0, 0},
    {kCmdReverse, kNameReverse, 0, 0},
    {kCmdInvertPhase, kNameInvertPhase, 0, 0},
    {kCmdRemoveDc, kNameRemoveDc, 0, 0},
    {kCmdSilenceSelection, kNameSilence, 0, 0, false},
    {kCmdNoiseGate, kNameNoiseGate, kDialogNoiseGate, 0, true,
     [] { Params<NoiseGateParams>().level = 100; }},
    {kCmdCompressor, kNameCompressor, kDialogCompressor, 0},
    {kCmdDistortion, kNameDistortion, kDialogDistortion, 0},
    {kCmdNoiseRemoval, kNameNoiseRemoval, kDialogNoiseRemoval, 0},
    {kCmdEcho, kNameEcho, kDialogEcho, 420, true, [] { Params<EchoParams>().delay = 3; }},
    {kCmdReverb, kNameReverb, kDialogReverb, 420},
    {kCmdFlanger, kNameFlanger, kDialogFlanger, 0},
    {kCmdVibrato, kNameVibrato, kDialogVibrato, 0},
    {kCmdTremolo, kNameTremolo, kDialogTremolo, 0},
    {kCmdVolumeEnvelope, kNameVolumeEnvelope, kDialogVolumeEnvelope, 0, true,
     [] { Params<VolumeEnvelopeParams>().curve = FlatEnvelope(64); }},
    {kCmdPanEnvelope, kNamePanEnvelope, kDialogPanEnvelope, 0, true,
     [] { Params<PanEnvelopeParams>().curve = FlatEnvelope(64); }},
    {kCmdPitchEnvelope, kNamePitchEnvelope, kDialogPitchEnvelope, 420, true,
     [] { Params<PitchEnvelopeParams>().curve = FlatEnvelope(0); }},
    {kCmdPitch, kNamePitch, kDialogPitch, 420, true, [] { Params<PitchParams>().pitch = 60; }},
    {kCmdTimeStretch, kNameTimeStretch, kDialogTimeStretch, 420, true,
     [] { Params<TimeStretchParams>().speed = 50; }},
    {kCmdTranspose, kNameTranspose, kDialogTranspose, 0, true,
     [] {
       Params<TransposeParams>() = {-700, 1, 50};
     }},
    {kCmdGraphicEq, kNameGraphicEq, kDialogGraphicEq, 8000, true,
     [] { Params<GraphicEqParams>().positions.fill(0); }},
    {kCmdParametricEq, kNameParametricEq, kDialogParametricEq, 8000, true,
     [] { Params<ParametricEqParams>().modules[0].level = 9; }},
    {kCmdInsertSilence, kCaptionGenerator, kDialogInsertSilence, 500, false},
    {kCmdWhiteNoise, kCaptionGenerator, kDialogNoise, 500},
    {kCmdTone, kCaptionGenerator, kDialogTone, 500},
    {kCmdMelodyPaste, kCaptionMelodyShortage, kDialogMelody, 1300, true,
     [] {
       PutClip();
       Params<MelodyParams>().melody = "c8d8";
     }},
};

class RunnerContract : public testing::TestWithParam<Contract> {
protected:
  EngineFixture f;
  const std::vector<uint8_t> bytes = NoiseBytes(400, 9);  // 100 stereo frames
  void SetUp() override {
    SetDocument(MakeFormat(22050, 16, 2), bytes);
    GetParam().set();
  }
  // The sound, the flag and the state as they were, the message under the
  // command's name when there is one.
  void ExpectUntouched(const char* message) {
    EXPECT_EQ(DocumentBytes(), bytes);
    EXPECT_FALSE(Doc().modified);
    EXPECT_FALSE(Busy().busy);
    EXPECT_EQ(f.ui().menuMode, MenuMode::kMain);
    if (message == nullptr)
      EXPECT_TRUE(f.ui().messages.empty());
    else
      EXPECT_EQ(ShownMessages(f.ui()), (Shown{{GetParam().caption, message, MsgIcon::kWarning}}));
  }
};

TEST_P(RunnerContract, CancelChangesNothing) {
  const Contract& c = GetParam();
  if (c.dialog == 0) GTEST_SKIP() << "no dialog";
  f.platform.dialogs.defaultButton = 2;
  ASSERT_TRUE(RunCommand(c.command));
  EXPECT_EQ(f.platform.dialogs.shown, std::vector<int>{c.dialog});
  EXPECT_EQ(f.platform.dialogs.tableProblem, "");
  ExpectUntouched(nullptr);
}

TEST_P(RunnerContract, BusyWhileItRunsModifiedAndOneUndoBack) {
  const Contract& c = GetParam();
  Busy().progressCounter = 150;
  std::vector<int> seen;  // busy, and whether Volume and Undo ran meanwhile
  f.ui().pendingEvents.push_back([&] {
    seen = {Busy().busy, RunCommand(kCmdVolume), RunCommand(kCmdUndo)};
  });
  ASSERT_TRUE(RunCommand(c.command));
  EXPECT_TRUE(f.ui().messages.empty());
  EXPECT_TRUE(Doc().modified);
  EXPECT_TRUE(DocumentBytes() != bytes);
  EXPECT_TRUE(seen.empty() || seen == (std::vector<int>{1, 0, 0}));
  const std::vector<MenuMode> busy{MenuMode::kBusy, MenuMode::kMain};
  EXPECT_EQ(f.ui().menuModeLog, c.busy ? busy : std::vector<MenuMode>{});
  EXPECT_GT(f.ui().invalidations, 0);
  ASSERT_TRUE(RunCommand(kCmdUndo));
  EXPECT_EQ(DocumentBytes(), bytes);
  // Effects widen an empty selection to the sound before the copy;
  // generators insert at the cursor.
  const bool inserts = c.command >= kCmdWhiteNoise && c.command <= kCmdMelodyPaste;
  EXPECT_EQ(Doc().selEnd, inserts ? 0 : 400);
}

TEST_P(RunnerContract, NoMemoryForTheCopyOrTheScratch) {
  const Contract& c = GetParam();
  for (size_t cap : {size_t{300}, c.scratchCap}) {
    if (cap == 0) continue;
    f.ui().messages.clear();
    MemoryBlock::SetTestCap(cap);
    ASSERT_TRUE(RunCommand(c.command));
    MemoryBlock::SetTestCap(0);
    SCOPED_TRACE(cap);
    ExpectUntouched("メモリーが足りません");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, RunnerContract, testing::ValuesIn(kContracts),
                         [](const testing::TestParamInfo<Contract>& info) {
                           return std::to_string(info.param.command);
                         });

}  // namespace
}  // namespace kelvora
