// Recording on the headless devices: the dialog, the block that becomes the
// sound, and every failure on the way.
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "audio/texts.h"
#include "document/busy.h"
#include "document/undo.h"
#include "test_support.h"

namespace kelvora {
namespace {

struct RecordingTest : EngineFixture, ::testing::Test {
  RecordingTest() {
    SetDocument(MakeFormat(22050, 16, 2), std::vector<uint8_t>(4000, 0x11));
    Doc().selStart = Doc().anchor = 400;
    Doc().selEnd = Doc().movingEnd = 3600;
    Doc().viewStart = 2000;
    Doc().path = "/snd/steps.au";
    Doc().fileKind = kFileKindAu;
    dev().inputSource = {1, 2, 3, 4, 5};
  }
  HeadlessWaveDevices& dev() { return platform.waveDevices; }
  // Record dialog: 8000 Hz, 8 bits, mono for `seconds`, then Record.
  void Record(const char* seconds = "2") {
    platform.dialogs.QueueFields(
        {{"rate", "8000"}, {"bits", "8"}, {"channels", "1"}, {"time", seconds}});
    DispatchCommand(kCmdRecord, kCodeMenu);
  }
  void ExpectOldSound() {
    EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
    EXPECT_EQ(DocumentBytes(), std::vector<uint8_t>(4000, 0x11));
    EXPECT_FALSE(Recording().recording);
    EXPECT_FALSE(dev().inputOpen);
    EXPECT_EQ(ui().menuMode, MenuMode::kMain);
  }
};

TEST_F(RecordingTest, MemoryFigureFollowsEveryChangeInTheDialog) {
  EXPECT_EQ(RecordMemoryKb(60, 44100, true, true), 10335u);
  std::vector<std::string> figures;
  platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& w) {
        figures.push_back(w.GetItemText(500));  // seeded: 22050 Hz 16-bit stereo, 60 s
        w.Click(104);
        w.Click(202);
        w.Click(302);
        figures.push_back(w.GetItemText(500));
        w.Type(402, "300");
        figures.push_back(w.GetItemText(500));
        w.Scroll(401, kScrollLineUp);
        figures.push_back(w.GetItemText(500));
        w.Click(201);
        w.Click(301);
        w.Click(101);
        figures.push_back(w.GetItemText(500));
      },
      2);
  DispatchCommand(kCmdRecord, kCodeMenu);
  EXPECT_EQ(figures, (std::vector<std::string>{"5167", "10335", "51679", "51507", "2335"}));
  EXPECT_FALSE(dev().inputOpen);           // cancelled
  EXPECT_EQ(Recording().maxSeconds, 299);  // edited in place, like every dialog value
}

TEST_F(RecordingTest, ARecordingToTheLimitStopsByItselfAndBecomesTheSound) {
  Record("1");
  ASSERT_TRUE(Recording().recording);
  EXPECT_EQ(ui().statusLog.back(), "録音中");
  EXPECT_NE(std::find(ui().statusLog.begin(), ui().statusLog.end(), "準備中．．．"),
            ui().statusLog.end());
  EXPECT_EQ(ui().menuMode, MenuMode::kDevice);
  EXPECT_FALSE(ui().transportOn);
  EXPECT_FALSE(Busy().busy);                          // a recording does not hold the busy flag
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));  // the old data keeps its format

  dev().Advance(999);
  EXPECT_TRUE(Recording().recording);
  dev().Advance(1);
  EXPECT_FALSE(Recording().recording);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 8, 1));
  ASSERT_EQ(Doc().length, 8000);
  EXPECT_EQ(Doc().data.size(), 8016u);
  EXPECT_EQ(DocumentBytes()[7], 3);
  EXPECT_TRUE(Doc().modified);
  EXPECT_TRUE(ui().transportOn);
  EXPECT_EQ(ui().menuMode, MenuMode::kMain);
  EXPECT_EQ(Recording().maxSeconds, 1);  // kept for the next recording
  // A new sound: Save asks for a name rather than writing over steps.au.
  EXPECT_EQ(ui().title, "Kelvora -[無題]");
  DispatchCommand(kCmdSave, kCodeAccelerator);
  ASSERT_EQ(platform.fileDialogs.calls.size(), 1u);
  EXPECT_TRUE(platform.fileDialogs.calls[0].save);

  SwapUndo();  // the old sound comes back in its own format, under its name
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(DocumentBytes(), std::vector<uint8_t>(4000, 0x11));
  EXPECT_EQ(std::tie(Doc().path, Doc().fileKind, Doc().modified),
            std::make_tuple(std::string("/snd/steps.au"), int32_t{kFileKindAu}, false));
  EXPECT_EQ(ui().title, "Kelvora -[/snd/steps.au]");
}

// The time recorded and the peak of the last 100 ms, with the sound still
// the old one until the recording ends; then the peak goes.
TEST_F(RecordingTest, StatusShowsTimeAndPeakWhileTheDocumentWaits) {
  EXPECT_EQ(PeakStatusText(32768), "ピーク 0.0 dBFS");
  EXPECT_EQ(PeakStatusText(1), "ピーク -90.3 dBFS");
  EXPECT_EQ(PeakOf(Pcm16({-32768, 5}).data(), 0, 4, MakeFormat(8000, 16, 1)), 32768);
  dev().inputSource = {128, 192, 64};  // 8 bits: 0, +64, -64 steps below full scale
  Record("90");
  std::vector<std::string> shown;
  for (int ms : {1500, 60000, 20000}) {
    dev().Advance(ms);
    ShowRecordingProgress();
    shown.push_back(ui().status[0] + "|" + ui().status[3]);
  }
  dev().inputSource = {128};
  dev().Advance(100);
  ShowRecordingProgress();
  shown.push_back(ui().status[3]);
  EXPECT_EQ(shown, (std::vector<std::string>{"録音中 0:01|ピーク -6.0 dBFS",
                                             "録音中 1:01|ピーク -6.0 dBFS",
                                             "録音中 1:21|ピーク -6.0 dBFS", "ピーク -∞ dBFS"}));
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(DocumentBytes(), std::vector<uint8_t>(4000, 0x11));
  StopAudio();
  dev().Deliver();
  EXPECT_EQ(Doc().length, 8000 * 816 / 10);
  EXPECT_EQ(ui().status[3], "");
  ShowRecordingProgress();  // nothing once the recording has ended
  EXPECT_EQ(ui().status[3], "");
}

TEST_F(RecordingTest, StopKeepsWhatWasRecordedAndBringsPositionsWithinIt) {
  Record();
  dev().Advance(250);
  ASSERT_TRUE(DispatchCommand(kCmdStop, kCodeMenu));
  dev().Deliver();
  EXPECT_EQ(std::tie(Doc().length, Doc().selStart, Doc().selEnd, Doc().anchor, Doc().movingEnd,
                     Doc().viewStart),
            std::make_tuple(2000, 400, 2000, 400, 2000, 2000));

  // In a format of wider frames the positions land on frame boundaries.
  Doc().selStart = Doc().anchor = 1001;
  platform.dialogs.QueueFields({{"rate", "8000"}, {"bits", "16"}, {"channels", "2"}});
  ui().answers.push_back(kIdNo);  // not saved
  DispatchCommand(kCmdRecord, kCodeMenu);
  dev().Advance(100);
  StopAudio();
  dev().Deliver();
  EXPECT_EQ(std::tie(Doc().length, Doc().selStart, Doc().viewStart),
            std::make_tuple(3200, 1000, 2000));
}

TEST_F(RecordingTest, AModifiedSoundIsOfferedForSavingFirst) {
  Doc().modified = true;
  ui().answers.push_back(kIdCancel);
  Record();
  EXPECT_TRUE(platform.dialogs.shown.empty());
  EXPECT_FALSE(dev().inputOpen);
}

// Failures on the way to recording: the message, and the old sound intact.
struct StartFailure {
  const char* what;
  const char* text;
};
class RecordingStartFailure : public RecordingTest,
                              public ::testing::WithParamInterface<StartFailure> {};

TEST_P(RecordingStartFailure, LeavesTheOldSoundInItsFormat) {
  const std::string what = GetParam().what;
  if (what == "open") dev().openInputResult = kWaveBadFormat;
  if (what == "prepare") dev().failPrepare = true;
  if (what == "memory") MemoryBlock::SetTestCap(10000);
  Record();
  EXPECT_EQ(ShownMessages(ui()), (Shown{{"Kelvora", GetParam().text, MsgIcon::kWarning}}));
  ExpectOldSound();
  EXPECT_TRUE(ui().transportOn);
  EXPECT_TRUE(ui().statusLog.empty() || ui().statusLog.back() == "22050Hz 16Bits Stereo");
}

INSTANTIATE_TEST_SUITE_P(Steps, RecordingStartFailure,
                         ::testing::Values(StartFailure{"open", "WAVEデバイスがオープンできません"},
                                           StartFailure{"prepare", "WaveIn Prepare Error"},
                                           StartFailure{"memory", "メモリーが足りません"}));

TEST_F(RecordingTest, AFailedAddStillRecordsAndStopEndsIt) {
  dev().failAdd = true;
  Record();
  EXPECT_EQ(ShownMessages(ui()), (Shown{{"Kelvora", "WaveIn AddBufferError", MsgIcon::kWarning}}));
  ASSERT_TRUE(Recording().recording);
  dev().Advance(500);  // the device has no block: nothing comes back
  EXPECT_TRUE(Recording().recording);
  StopAudio();
  EXPECT_FALSE(Recording().recording);
  EXPECT_EQ(Doc().length, 0);
  EXPECT_EQ(ui().menuMode, MenuMode::kMain);
}

TEST_F(RecordingTest, PlaybackWaitsForTheRecordingToEnd) {
  Record();
  StartPlayback(kPlayAll);
  EXPECT_FALSE(dev().outputOpen);
  StopAudio();
  dev().Deliver();
  EXPECT_FALSE(IsAudioRunning());
}

// Devices take 8 and 16 bits: a 24-bit sound is not played as noise, and
// the record dialog offers 16 bits for it (8 for an 8-bit sound).
TEST_F(RecordingTest, DevicesGetOnlyTheWidthsTheyTake) {
  SetDocument(MakeFormat(44100, 24, 2), std::vector<uint8_t>(600, 0x22));
  StartPlayback(kPlayAll);
  EXPECT_FALSE(dev().outputOpen);
  ASSERT_EQ(ui().messages.size(), 1u);
  EXPECT_EQ(ui().messages[0].text, texts::kBadFormat);
  for (int bits : {24, 8}) {
    SetDocument(MakeFormat(8000, bits, 1), std::vector<uint8_t>(600, 0x22));
    Doc().modified = false;
    platform.dialogs.QueueFields({{"time", "1"}});
    DispatchCommand(kCmdRecord, kCodeMenu);
    EXPECT_EQ(dev().inputFormat.bitsPerSample, bits == 8 ? 8 : 16);
    StopAudio();
    dev().Deliver();
  }
}

}  // namespace
}  // namespace kelvora
