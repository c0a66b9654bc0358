// The preview of every effect dialog plays what OK writes and moves nothing.
#include "effects/preview.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/params.h"
#include "document/undo.h"
#include "effects/amplitude.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/effect_test_util.h"
#include "effects/envelope.h"
#include "effects/equalizers.h"
#include "effects/pitch_time.h"
#include "platform/param_dialog.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

struct PreviewRow {
  int command;
  std::function<void()> set = [] {};  // values that change something
};

const PreviewRow kRows[] = {
    {kCmdVolume, [] { Params<VolumeParams>().volume = 150; }},
    {kCmdNoiseGate, [] { Params<NoiseGateParams>().level = 100; }},
    {kCmdCompressor},
    {kCmdDistortion},
    {kCmdNoiseRemoval},
    {kCmdEcho, [] { Params<EchoParams>().delay = 30; }},
    {kCmdReverb},
    {kCmdFlanger},
    {kCmdVibrato},
    {kCmdTremolo},
    {kCmdVolumeEnvelope, [] { Params<VolumeEnvelopeParams>().curve = FlatEnvelope(64); }},
    {kCmdPanEnvelope, [] { Params<PanEnvelopeParams>().curve = FlatEnvelope(64); }},
    {kCmdPitchEnvelope, [] { Params<PitchEnvelopeParams>().curve = FlatEnvelope(0); }},
    {kCmdPitch, [] { Params<PitchParams>().pitch = 60; }},
    {kCmdTimeStretch, [] { Params<TimeStretchParams>().speed = 50; }},
    {kCmdTranspose,
     [] {
       Params<TransposeParams>() = {-700, 1, 50};
     }},
    {kCmdGraphicEq, [] { Params<GraphicEqParams>().positions.fill(0); }},
    {kCmdParametricEq, [] { Params<ParametricEqParams>().modules[0].level = 9; }},
};

struct PreviewTest : testing::Test {
  EngineFixture f;
  HeadlessWaveDevices& dev() { return f.platform.waveDevices; }
  // The device plays `ms`, a chunk's time at a time, as its reports come.
  void Play(int ms) {
    for (int t = 0; t < ms; t += kPreviewChunkMs) dev().Advance(kPreviewChunkMs);
  }
  // 0.25 s of stereo noise at 8 kHz, frames 300 .. 1900 selected: 1600
  // frames, five chunks of 320.
  const std::vector<uint8_t> sound = NoiseBytes(8000, 5);
  void SetUp() override {
    SetDocument(MakeFormat(8000, 16, 2), sound);
    Select(300, 1900);
  }
  std::vector<uint8_t> Heard(size_t fromChunk = 0) {
    std::vector<uint8_t> all;
    for (size_t i = fromChunk; i < dev().written.size(); ++i)
      all.insert(all.end(), dev().written[i].bytes.begin(), dev().written[i].bytes.end());
    return all;
  }
  std::vector<uint8_t> Selected() {
    SoundDocument& d = Doc();
    return std::vector<uint8_t>(d.bytes() + d.selStart, d.bytes() + d.selEnd);
  }
  // A preview of dialog `actions` then `button`.
  void Run(int command, const std::function<void(HeadlessDialogWindow&)>& actions, int button) {
    f.platform.dialogs.QueueActions(actions, button);
    ASSERT_TRUE(RunCommand(command));
  }
};

class PreviewOfEveryEffect : public PreviewTest, public testing::WithParamInterface<PreviewRow> {};

TEST_P(PreviewOfEveryEffect, PlaysInALoopWhatOkWrites) {
  GetParam().set();
  std::vector<uint8_t> heard;
  int64_t loop = 0;
  Run(
      GetParam().command,
      [&](HeadlessDialogWindow& w) {
        ASSERT_TRUE(w.Click(kPreviewToggle));
        ASSERT_TRUE(Preview().playing);
        EXPECT_EQ(w.GetCheck(kPreviewToggle), kChecked);
        loop = Preview().processedBytes;
        Play(1000);  // several times round the loop
        heard = Heard();
      },
      1);
  EXPECT_FALSE(Preview().playing);
  EXPECT_FALSE(dev().outputOpen);
  EXPECT_EQ(dev().outputFormat.leadMs, 80);
  EXPECT_TRUE(f.ui().messages.empty());
  const std::vector<uint8_t> written = Selected();
  ASSERT_EQ(static_cast<int64_t>(written.size()), loop);
  ASSERT_GT(heard.size(), 2 * written.size());
  EXPECT_TRUE(std::equal(written.begin(), written.end(), heard.begin()));
  EXPECT_TRUE(std::equal(written.begin(), written.end(), heard.begin() + loop));
  EXPECT_NE(written, std::vector<uint8_t>(sound.begin() + 1200, sound.begin() + 7600));
}

INSTANTIATE_TEST_SUITE_P(Effects, PreviewOfEveryEffect, testing::ValuesIn(kRows));

// The window's number boxes take a minus sign only where the table's range
// is negative: the host must still see the table through the preview.
TEST_F(PreviewTest, TheDialogUnderThePreviewStillShowsItsTable) {
  struct Capture : DialogHost {
    int32_t volumeMin = -1;
    int RunDialog(int, DialogHandler& handler) override {
      for (const ParamEntry* row = handler.ParamTable(); row != nullptr && row->kind != 0; ++row)
        if (row->id == 201 && row->kind == kParamNumber) volumeMin = row->min;
      return 2;
    }
  } capture;
  Services().dialogs = &capture;
  RunCommand(kCmdVolume);
  EXPECT_EQ(capture.volumeMin, 0);
}

TEST_F(PreviewTest, AChangeGoesOnFromTheSamePlaceAndBypassPlaysTheOriginal) {
  Params<VolumeParams>().volume = 50;
  std::vector<uint8_t> before, after, bypassed;
  int64_t at = 0, back = 0;
  size_t chunks = 0;
  Run(
      kCmdVolume,
      [&](HeadlessDialogWindow& w) {
        w.Click(kPreviewToggle);
        before.assign(Preview().processed, Preview().processed + Preview().processedBytes);
        dev().Advance(80);  // four chunks heard: two chunks into the second loop
        dev().Advance(80);
        at = Preview().position;
        chunks = dev().written.size();
        w.Type(201, "200");
        w.Scroll(200, kScrollLineDown);  // held at 200; its box reports an edit too
        EXPECT_EQ(Preview().renders, 3);
        EXPECT_EQ(Preview().position, at);
        dev().Advance(40);
        after = Heard(chunks);
        back = Preview().position;
        chunks = dev().written.size();
        w.Click(kBypassCheck);
        dev().Advance(40);
        bypassed = Heard(chunks);
      },
      1);
  // What plays after the change is what OK writes, from where it was.
  const std::vector<uint8_t> written = Selected();
  ASSERT_NE(at, 0);
  ASSERT_EQ(after.size(), 1280u);
  EXPECT_TRUE(std::equal(after.begin(), after.end(), written.begin() + at));
  EXPECT_FALSE(std::equal(after.begin(), after.end(), before.begin() + at));
  ASSERT_EQ(bypassed.size(), 1280u);
  EXPECT_TRUE(std::equal(bypassed.begin(), bypassed.end(), sound.begin() + 1200 + back));
}

TEST_F(PreviewTest, CancelLeavesDocumentUndoCopyAndSettingsAsTheyWere) {
  RunCommand(kCmdInvertPhase);  // an undo copy to keep
  const std::vector<uint8_t> doc = DocumentBytes();
  const std::vector<uint8_t> undo(Undo().data.data(), Undo().data.data() + Undo().length);
  Doc().modified = false;
  const auto settings = f.platform.memoryProfile.values;
  const int32_t limiter = Params<VolumeParams>().limiter;
  Run(
      kCmdVolume,
      [&](HeadlessDialogWindow& w) {
        w.Click(204);  // the limiter: stored only by OK, yet heard
        w.Click(kPreviewToggle);
        Play(300);
      },
      2);
  EXPECT_FALSE(dev().outputOpen);
  EXPECT_EQ(DocumentBytes(), doc);
  EXPECT_EQ(std::vector<uint8_t>(Undo().data.data(), Undo().data.data() + Undo().length), undo);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(std::make_pair(Doc().selStart, Doc().selEnd), std::make_pair(1200, 7600));
  EXPECT_EQ(f.platform.memoryProfile.values, settings);
  EXPECT_EQ(Params<VolumeParams>().limiter, limiter);
}

TEST_F(PreviewTest, AShortageOrADeviceThatFailsEndsThePreviewWithTheDialogOpen) {
  dev().openOutputResult = kWaveAllocated;
  bool open = false;
  Run(
      kCmdEcho,
      [&](HeadlessDialogWindow& w) {
        w.Click(kPreviewToggle);
        EXPECT_EQ(w.GetCheck(kPreviewToggle), kUnchecked);
        dev().openOutputResult = kWaveOk;
        w.Click(kPreviewToggle);
        MemoryBlock::SetTestCap(4000);  // a new rendering cannot get its copy
        w.Type(201, "300");
        MemoryBlock::SetTestCap(0);
        EXPECT_FALSE(Preview().playing);
        EXPECT_EQ(w.GetCheck(kPreviewToggle), kUnchecked);
        open = !w.ended();
      },
      2);
  EXPECT_TRUE(open);
  EXPECT_EQ(ShownMessages(f.ui()),
            (Shown{{"Kelvora", "指定のリソースは既に使用されています", MsgIcon::kWarning},
                   {"エコー", "メモリーが足りません", MsgIcon::kWarning}}));
  EXPECT_FALSE(dev().outputOpen);
}

}  // namespace
}  // namespace kelvora
