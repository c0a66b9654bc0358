#include "views/wave_input.h"

#include <gtest/gtest.h>

#include "document/busy.h"
#include "views/view_logic.h"
#include "views/view_test_support.h"

namespace kelvora {
namespace {

class WaveInput : public ViewTest {
protected:
  WaveInput() {
    Silence(22050, 16, 2, 100000);  // 400000 bytes
    SetZoom(3);                     // a column is 64 frames, 256 bytes
    Doc().viewStart = 256 * 100;
  }
};

TEST_F(WaveInput, DragSelectsBetweenPressAndPointerAndWritesTheStatus) {
  WaveMouseDown(48 + 30, 50);
  EXPECT_EQ(Doc().selStart, 256 * 130);
  WaveMouseMove(48 + 10, 50, true);  // leftwards: the anchor stays the end
  EXPECT_EQ(std::make_pair(Doc().selStart, Doc().selEnd), std::make_pair(256 * 110, 256 * 130));
  EXPECT_EQ(ui().status[3], "0.319(Sec) 7040(Samples)");
  EXPECT_EQ(ui().status[2], "Sel :0.319-0.377(Sec) 7040-8320(Samples)");
  Doc().channelMask = 0;
  WaveMouseUp(48 + 10, 300);  // released in the lower lane: its channel is added
  EXPECT_EQ(Doc().channelMask, 2u);
  // Left of the plot is its left edge, beyond the data is the data's end.
  WaveMouseDown(5, 50);
  EXPECT_EQ(Doc().selStart, Doc().viewStart);
  WaveMouseMove(100000, 50, true);
  EXPECT_EQ(Doc().selEnd, 400000);
  EXPECT_EQ(ui().status[2], "Sel :0.290-4.535(Sec) 6400-100000(Samples)");
}

TEST_F(WaveInput, BusyIgnoresMouseAndScrollBar) {
  Busy().busy = true;
  WaveMouseDown(100, 50);
  WaveDoubleClick();
  WaveScrollColumns(kLineColumns);
  WaveScrollThumb(50);
  Busy().busy = false;
  EXPECT_EQ(std::make_pair(Doc().selEnd, Doc().viewStart), std::make_pair(0, 256 * 100));
  EXPECT_EQ(ui().selectionRedraws, 0);
}

// Line and page steps stop at both ends; whole columns are shifted, other
// moves repainted.
TEST_F(WaveInput, ScrollStepsStopAtBothEnds) {
  const std::tuple<int32_t, int, int32_t, std::vector<int>> cases[] = {
      {0, -8, 0, {}},
      {0, 8, 2048, {8}},
      {256 * 100, -80, 256 * 20, {-80}},
      {256 * 3 + 4, -8, 0, {}},               // to the start: not whole columns
      {400000 - 2048, 8, 400000 - 2048, {}},  // would reach the end
      {400000 - 2052, 8, 400000 - 4, {8}}};
  for (const auto& [start, columns, end, shifted] : cases) {
    ui() = HeadlessUi();
    Doc().viewStart = start;
    WaveScrollColumns(columns);
    EXPECT_EQ(Doc().viewStart, end) << start << " " << columns;
    EXPECT_EQ(ui().waveScrolls, shifted);
    const bool moved = end != start;
    EXPECT_EQ(ui().waveRepaints, moved && shifted.empty() ? 1 : 0);
    EXPECT_EQ(ui().viewFrameRedraws, moved ? 1 : 0);
    EXPECT_EQ(ui().scrollPosition, moved ? int64_t{end} * 100 / 400000 : 0);
  }
}

TEST_F(WaveInput, ThumbPositionSetsTheViewStartOnAFrame) {
  Silence(22050, 16, 2, 1001);
  WaveScrollThumb(50);
  EXPECT_EQ(Doc().viewStart, 2000);
  EXPECT_EQ(ui().scrollPosition, 49);
  EXPECT_EQ(ui().waveRepaints, 1);
  Silence(22050, 16, 2, 0);
  Doc().viewStart = 0;
  WaveScrollThumb(70);
  EXPECT_EQ(Doc().viewStart, 0);
}

TEST_F(WaveInput, ZoomCentresTheCursorAndStopsAtTheEndLevels) {
  Doc().movingEnd = 4 * 50000;
  EXPECT_TRUE(DispatchCommand(kCmdZoom1, kCodeMenu));
  EXPECT_EQ(View().framesPerPixel, 1);
  EXPECT_EQ(ui().zoomChecked, 6);
  EXPECT_EQ(Doc().viewStart, 4 * (50000 - 500));  // drawing width 1000
  const int32_t start = Doc().viewStart;
  EXPECT_TRUE(DispatchCommand(kCmdZoomIn, kCodeMenu));  // already at 1/1
  EXPECT_EQ(View().zoomLevel, 6);
  EXPECT_EQ(Doc().viewStart, start);
  EXPECT_EQ(ui().waveRepaints, 2);
  EXPECT_EQ(ui().viewFrameRedraws, 2);
  DispatchCommand(kCmdZoom4096, kCodeMenu);
  DispatchCommand(kCmdZoomOut, kCodeMenu);
  EXPECT_EQ(View().zoomLevel, 0);
  EXPECT_EQ(ui().zoomChecked, 0);
  EXPECT_EQ(Doc().viewStart, 0);  // clipped at the start
  Doc().movingEnd = 400000;
  View().clientWidth = 0;  // a view not yet laid out: clipped at the end
  SetZoomLevel(5);
  EXPECT_EQ(Doc().viewStart, 400000);
}

}  // namespace
}  // namespace kelvora
