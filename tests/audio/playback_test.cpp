// Playback on the headless devices: what is queued, what comes back, and
// what the window is told, for every way playback starts, runs and ends.
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "document/busy.h"
#include "test_support.h"

namespace kelvora {
namespace {

struct PlaybackTest : EngineFixture, ::testing::Test {
  HeadlessWaveDevices& dev() { return platform.waveDevices; }
  void Sound(const SoundFormat& f, int32_t frames) {
    SetDocument(f, Ramp(static_cast<size_t>(frames) * f.nBlockAlign));
  }
  void Select(int32_t start, int32_t end) {
    Doc().selStart = Doc().anchor = start;
    Doc().selEnd = Doc().movingEnd = end;
  }
  // Every byte written to the device, in order.
  std::vector<uint8_t> WrittenBytes() {
    std::vector<uint8_t> all;
    for (const auto& w : dev().written) all.insert(all.end(), w.bytes.begin(), w.bytes.end());
    return all;
  }
  std::vector<uint8_t> DocRange(int32_t start, int32_t end) {
    return std::vector<uint8_t>(Doc().bytes() + start, Doc().bytes() + end);
  }
  void ExpectIdleWindow() {
    EXPECT_EQ(Playback().mode, kPlayIdle);
    EXPECT_FALSE(dev().outputOpen);
    EXPECT_FALSE(Busy().busy);
    EXPECT_TRUE(ui().transportOn);
    EXPECT_EQ(ui().menuMode, MenuMode::kMain);
  }
};

TEST_F(PlaybackTest, OneSecondOfCdSoundIsFiveChunksAndTheDeviceClosesAfterTheLast) {
  Sound(MakeFormat(44100, 16, 2), 44100);
  ui().zoomChecked = -1;
  ASSERT_TRUE(DispatchCommand(kCmdPlay, kCodeMenu));
  ASSERT_EQ(dev().written.size(), 5u);
  for (const auto& w : dev().written) EXPECT_EQ(w.bytes.size(), 35280u);
  EXPECT_EQ(WrittenBytes(), DocRange(0, Doc().length));
  EXPECT_TRUE(Busy().busy);
  EXPECT_FALSE(ui().transportOn);
  EXPECT_EQ(ui().menuMode, MenuMode::kDevice);
  EXPECT_EQ(dev().outputFormat.samplesPerSec, 44100u);
  EXPECT_EQ(dev().outputDevice, -1);  // the default device

  // Only Stop gets through while playing.
  EXPECT_FALSE(DispatchCommand(kCmdPlay, kCodeMenu));
  EXPECT_FALSE(DispatchCommand(kCmdRecord, kCodeMenu));

  dev().Advance(800);
  EXPECT_EQ(dev().doneTags.size(), 4u);
  EXPECT_TRUE(dev().outputOpen);
  dev().Advance(200);
  EXPECT_EQ(dev().outputCloses, 1);
  EXPECT_EQ(ui().playPositions, (std::vector<double>{0.2, 0.4, 0.6, 0.8, 1.0}));
  EXPECT_EQ(ui().playBandClears, 1);
  EXPECT_EQ(ui().zoomChecked, 1);  // the zoom marks came back with the main menu
  ExpectIdleWindow();
}

// 200 ms of 96 kHz 3-channel frames overflow a slot: the chunk is the whole
// frames that fit, never a frame cut in two.
TEST_F(PlaybackTest, ChunksHoldWholeFrames) {
  Sound(MakeFormat(96000, 16, 3), 30000);
  StartPlayback(kPlayAll);
  dev().Advance(2000);
  ASSERT_GT(dev().written.size(), 1u);
  for (const auto& w : dev().written) EXPECT_EQ(w.bytes.size() % 6, 0u);
  EXPECT_EQ(WrittenBytes(), DocRange(0, Doc().length));
}

// Which stretch each mode plays, for selections and cursors; an empty
// stretch opens nothing and shows nothing.
struct Range {
  int mode;
  int32_t frames, selStart, selEnd;
  int32_t first, end;  // frames played
};
class PlaybackRanges : public PlaybackTest, public ::testing::WithParamInterface<Range> {};

TEST_P(PlaybackRanges, PlaysTheStretchOfTheMode) {
  const Range r = GetParam();
  Sound(MakeFormat(8000, 8, 1), r.frames);
  Select(r.selStart, r.selEnd);
  const int command = r.mode == kPlayAll    ? kCmdPlay
                      : r.mode == kPlayLoop ? kCmdLoopPlay
                                            : kCmdPlayFromCursor;
  DispatchCommand(command, kCodeMenu);
  if (r.first == r.end) {
    EXPECT_FALSE(dev().outputOpen);
    EXPECT_TRUE(ui().messages.empty());
    EXPECT_TRUE(ui().menuModeLog.empty());
    EXPECT_FALSE(Busy().busy);
    return;
  }
  dev().Advance(10000);
  EXPECT_EQ(WrittenBytes(), DocRange(r.first, r.end));
  ExpectIdleWindow();
}

INSTANTIATE_TEST_SUITE_P(Modes, PlaybackRanges,
                         ::testing::Values(Range{kPlayAll, 5000, 1000, 2000, 0, 5000},
                                           Range{kPlayAll, 5000, 700, 700, 0, 5000},
                                           Range{kPlayFromCursor, 5000, 700, 700, 700, 5000},
                                           Range{kPlayFromCursor, 5000, 1000, 2000, 1000, 2000},
                                           Range{kPlayFromCursor, 5000, 0, 0, 0, 5000},
                                           Range{kPlayAll, 0, 0, 0, 0, 0},
                                           Range{kPlayFromCursor, 0, 0, 0, 0, 0},
                                           Range{kPlayLoop, 0, 0, 0, 0, 0},
                                           Range{kPlayLoop, 100, 50, 50, 0, 0},
                                           Range{kPlayFromCursor, 100, 100, 100, 0, 0}));

TEST_F(PlaybackTest, LoopRepeatsTheSelectionAndWrapsThePlayPositionUntilStop) {
  // 8000 Hz 8-bit mono: chunks of 1600 bytes; a selection of 2000 frames
  // is one whole chunk and one of 400.
  Sound(MakeFormat(8000, 8, 1), 8000);
  Select(1000, 3000);
  DispatchCommand(kCmdLoopPlay, kCodeMenu);
  ASSERT_EQ(dev().written.size(), 40u);
  std::vector<uint8_t> expected;
  for (int i = 0; i < 20; ++i) {
    const auto pass = DocRange(1000, 3000);
    expected.insert(expected.end(), pass.begin(), pass.end());
  }
  EXPECT_EQ(WrittenBytes(), expected);

  dev().Advance(250);  // 1600 then 400 bytes back: at the selection's end
  EXPECT_EQ(Playback().playPosition, 3000);
  dev().Advance(200);  // 1600 more: passes the end, wraps by the selection
  EXPECT_EQ(Playback().playPosition, 1000 + 1600);
  EXPECT_EQ(dev().written.size(), 43u);  // each returned chunk replaced at once
  EXPECT_EQ(Playback().queued, 40);

  ASSERT_TRUE(DispatchCommand(kCmdStop, kCodeMenu));
  dev().Deliver();
  EXPECT_EQ(dev().resets, 1);
  EXPECT_EQ(dev().written.size(), 43u);  // nothing more queued
  ExpectIdleWindow();
  EXPECT_EQ(dev().doneTags.size(), 43u);
}

TEST_F(PlaybackTest, StopEndsPlaybackOnceTheQueuedChunksAreBack) {
  Sound(MakeFormat(22050, 16, 1), 22050 * 20);
  StartPlayback(kPlayAll);
  dev().Advance(1000);
  EXPECT_EQ(Playback().queued, 40);
  StopAudio();
  EXPECT_TRUE(Busy().busy);  // until the chunks come back
  dev().Deliver();
  EXPECT_EQ(dev().written.size(), 45u);
  ExpectIdleWindow();
}

// Every refusal of the device at open, with its message.
struct OpenFailure {
  WaveResult result;
  const char* text;
};
class PlaybackOpenFailure : public PlaybackTest,
                            public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(PlaybackOpenFailure, ShowsTheMessageAndStaysIdle) {
  Sound(MakeFormat(8000, 8, 1), 100);
  dev().openOutputResult = GetParam().result;
  StartPlayback(kPlayAll);
  EXPECT_EQ(ShownMessages(ui()), (Shown{{"Kelvora", GetParam().text, MsgIcon::kWarning}}));
  EXPECT_EQ(Playback().mode, kPlayIdle);
  EXPECT_FALSE(Busy().busy);
  EXPECT_TRUE(ui().menuModeLog.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Results, PlaybackOpenFailure,
    ::testing::Values(OpenFailure{kWaveBadDeviceId, "デバイスIDが異常です"},
                      OpenFailure{kWaveAllocated, "指定のリソースは既に使用されています"},
                      OpenFailure{kWaveNoMemory, "メモリーが足りません"},
                      OpenFailure{kWaveBadFormat,
                                  "WAVEデバイスでサポートされていないデータ形式です"},
                      OpenFailure{kWaveSync, "同期デバイスドライバは使用できません"},
                      OpenFailure{kWaveError, "WAVEデバイスがオープンできません"}));

TEST_F(PlaybackTest, ADeviceRefusingChunksEndsPlaybackInsteadOfHanging) {
  Sound(MakeFormat(8000, 8, 1), 8000);
  for (int at : {0, 3}) {
    dev().written.clear();
    dev().failWriteAt = at;
    StartPlayback(kPlayAll);
    dev().Advance(5000);
    EXPECT_EQ(dev().written.size(), static_cast<size_t>(at));
    ExpectIdleWindow();
  }
}

TEST_F(PlaybackTest, ShortageOfTheQueueIsReported) {
  Sound(MakeFormat(8000, 8, 1), 100);
  Playback().buffers.Free();
  MemoryBlock::SetTestCap(1 << 20);
  StartPlayback(kPlayAll);
  EXPECT_EQ(ShownMessages(ui()), (Shown{{"Kelvora", "メモリーが足りません", MsgIcon::kWarning}}));
  EXPECT_FALSE(dev().outputOpen);
}

}  // namespace
}  // namespace kelvora
