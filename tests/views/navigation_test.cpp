// The waveform view from the keyboard, the fit zoom and the playhead.
#include "views/navigation.h"

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "document/busy.h"
#include "files/file_test_support.h"
#include "files/open_save.h"
#include "views/view_test_support.h"

namespace kelvora {
namespace {

class Navigation : public ViewTest {
protected:
  Navigation() {
    Silence(22050, 16, 2, 100000);  // 400000 bytes
    SetZoomLevel(3);                // a column is 64 frames, 256 bytes; a tenth 100 columns
  }
  static void Key(int id) { DispatchCommand(id, kCodeAccelerator); }
  static std::tuple<int32_t, int32_t, int32_t, int32_t> Sel() {
    return {Doc().selStart, Doc().selEnd, Doc().movingEnd, Doc().viewStart};
  }
};

// Each key's effect on cursor, selection and view, and Shift extending from
// the anchor as a drag does.
TEST_F(Navigation, KeysMoveTheCursorOrTheMovingEndAndScrollToIt) {
  Key(kCmdCursorRight);
  EXPECT_EQ(Sel(), std::make_tuple(256, 256, 256, 0));
  Key(kCmdExtendRight);
  Key(kCmdExtendRightTenth);
  EXPECT_EQ(Sel(), std::make_tuple(256, 26112, 26112, 0));
  Key(kCmdExtendLeftTenth);  // back past the anchor: the selection turns round
  Key(kCmdExtendLeftTenth);
  EXPECT_EQ(Sel(), std::make_tuple(0, 256, 0, 0));
  Key(kCmdCursorLeft);  // stops at the start
  EXPECT_EQ(Sel(), std::make_tuple(0, 0, 0, 0));
  EXPECT_EQ(ui().status[2], "Cur :0.000(Sec) 0(Samples)");
  // End scrolls by whole columns just far enough to show the end.
  Key(kCmdCursorEnd);
  EXPECT_EQ(Sel(), std::make_tuple(400000, 400000, 400000, 563 * 256));
  EXPECT_EQ(ui().waveScrolls.back(), 563);
  Key(kCmdCursorRightTenth);  // stops at the end
  Key(kCmdExtendStart);
  EXPECT_EQ(Sel(), std::make_tuple(0, 400000, 0, 0));
  EXPECT_EQ(ui().waveScrolls.back(), -563);
  Key(kCmdExtendEnd);
  EXPECT_EQ(Sel(), std::make_tuple(400000, 400000, 400000, 563 * 256));
  Key(kCmdCursorStart);
  Key(kCmdSelectAll);  // Ctrl+A: the moving end is the start, the anchor the end
  Key(kCmdExtendRight);
  EXPECT_EQ(Sel(), std::make_tuple(256, 400000, 256, 0));
  // A column's worth at the finest zoom is one frame.
  SetZoomLevel(6);
  Key(kCmdCursorRight);
  EXPECT_EQ(Doc().selStart, 260);
}

// Keys are dropped during an operation, but Space still stops playback.
TEST_F(Navigation, KeysFollowTheBusyFilterAndSpaceStillStops) {
  Busy().busy = true;
  for (int id : {kCmdCursorRight, kCmdExtendEnd, kCmdFitAll, kCmdPlayOrStop})
    EXPECT_FALSE(DispatchCommand(id, kCodeAccelerator)) << id;
  Busy().busy = false;
  EXPECT_EQ(Sel(), std::make_tuple(0, 0, 0, 0));
  Doc().selStart = Doc().movingEnd = 4000;
  Doc().selEnd = Doc().anchor = 8000;
  Key(kCmdPlayOrStop);
  EXPECT_EQ(Playback().mode, kPlayFromCursor);
  EXPECT_EQ(Playback().playEnd, 8000);  // the selection
  EXPECT_TRUE(Busy().busy);
  EXPECT_TRUE(DispatchCommand(kCmdPlayOrStop, kCodeAccelerator));
  platform.waveDevices.Advance(1000);
  EXPECT_EQ(Playback().mode, kPlayIdle);
  EXPECT_FALSE(Busy().busy);
}

TEST_F(Navigation, FitPicksTheFinestLevelThatShowsTheSoundOrTheSelection) {
  // 1000 columns: a second at 44100 Hz needs 64 frames a column, an hour
  // does not fit even at 4096.
  EXPECT_EQ(FitLevel(44100), 3);
  EXPECT_EQ(FitLevel(1000), 6);
  EXPECT_EQ(FitLevel(1001), 5);
  EXPECT_EQ(FitLevel(int64_t{44100} * 3600), 0);
  Doc().viewStart = 5000;
  Key(kCmdFitAll);  // 100000 frames: 64 a column are too few, 256 fit
  EXPECT_EQ(std::make_tuple(View().zoomLevel, View().framesPerPixel, Doc().viewStart),
            std::make_tuple(2, 256, 0));
  EXPECT_EQ(ui().zoomChecked, 2);
  // 2000 frames at 4 a column, 1000 frames of room shared either side.
  Doc().selStart = 40000;
  Doc().selEnd = 48000;
  Key(kCmdFitSelection);
  EXPECT_EQ(std::make_tuple(View().zoomLevel, Doc().viewStart), std::make_tuple(5, 36000));
  Doc().selEnd = 40000;  // nothing selected: nothing changes
  Key(kCmdFitSelection);
  EXPECT_EQ(View().zoomLevel, 5);
}

// A file that would fill less than a tenth of the view opens fitted,
// unless the setting is off.
TEST_F(Navigation, ASmallFileOpensFitted) {
  TempDir dir;
  Silence(22050, 16, 1, 31972);  // 1.45 s: 32 columns at 1/1024
  Doc().path = dir / "short.wav";
  ASSERT_EQ(SaveSoundFile(kFileKindWavPcm), 1);
  for (bool fit : {false, true}) {
    View().fitOnOpen = fit;
    SetZoomLevel(1);
    ASSERT_EQ(OpenSoundFile(dir / "short.wav"), 1);
    EXPECT_EQ(View().zoomLevel, fit ? 3 : 1);
  }
}

// The playhead follows the played position and turns the page when it
// leaves the view; it goes when playback ends.
TEST_F(Navigation, PlayheadFollowsThePlayedPositionPageByPage) {
  Key(kCmdPlayOrStop);
  ASSERT_EQ(ui().playheads, std::vector<int>{48});
  platform.waveDevices.Advance(200);  // a chunk of 4410 frames: 68 columns
  EXPECT_EQ(ui().playheads.back(), 48 + 68);
  // The page ends at frame 64000, after 14 chunks; the 15th turns it.
  platform.waveDevices.Advance(200 * 13);
  EXPECT_EQ(Doc().viewStart, 0);
  platform.waveDevices.Advance(200);
  EXPECT_EQ(Doc().viewStart, 256000);
  EXPECT_EQ(ui().waveScrolls.back(), 1000);
  EXPECT_EQ(ui().playheads.back(), 48 + (15 * 4410 - 64000) / 64);
  DispatchCommand(kCmdStop, kCodeMenu);
  platform.waveDevices.Advance(10000);
  EXPECT_EQ(ui().playheads.back(), -1);
}

}  // namespace
}  // namespace kelvora
