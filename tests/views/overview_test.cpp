#include "views/overview.h"

#include <gtest/gtest.h>

#include "document/busy.h"
#include "views/view_test_support.h"

namespace kelvora {
namespace {

class Overview : public ViewTest {
protected:
  Overview() { Silence(22050, 16, 2, 100001); }  // 400004 bytes; w = 1000, W = 1000
};

TEST_F(Overview, PositionsUnderXAreFramesOfTheWholeSound) {
  struct Case {
    int x;
    int64_t offset;
  } cases[] = {{-300, 0},      {0, 0},         {15, 0},        {16, 0},
               {17, 400},      {516, 200000},  {1015, 399600}, {1016, 400004},
               {1031, 400004}, {70000, 400004}};  // past the right end: the end
  for (const Case& c : cases) EXPECT_EQ(OverviewXToOffset(c.x), c.offset) << c.x;
  for (int x = 0; x < 1032; ++x) EXPECT_EQ(OverviewXToOffset(x) % 4, 0) << x;
}

TEST_F(Overview, ClickMovesCursorAndViewAndDragFollows) {
  SetZoom(3);
  Doc().selEnd = 4000;
  Doc().channelMask = 1;
  OverviewMouseDown(16);
  EXPECT_EQ(Doc().selEnd, 0);
  EXPECT_EQ(Doc().channelMask, 3u);
  EXPECT_EQ(ui().status[2], "Cur :0.000(Sec) 0(Samples)");
  OverviewMouseMove(516);
  EXPECT_EQ(Doc().viewStart, 200000 - 500 * 64 * 4);  // the cursor in the middle
  EXPECT_EQ(ui().status[3], "2.267(Sec) 50000(Samples)");
  EXPECT_EQ(ui().scrollPosition, 17);
  OverviewMouseUp();
  OverviewMouseMove(900);  // hovering after the release moves nothing
  EXPECT_EQ(Doc().movingEnd, 200000);
}

TEST_F(Overview, ReleaseDuringAnOperationStillEndsThePress) {
  OverviewMouseDown(300);
  Busy().busy = true;
  OverviewMouseUp();
  Busy().busy = false;
  const int32_t cursor = Doc().movingEnd;
  OverviewMouseMove(700);
  EXPECT_EQ(Doc().movingEnd, cursor);
}

TEST_F(Overview, FrameCoversTheVisibleStretchAndIsAtLeastFourWide) {
  SetZoom(3);
  Doc().viewStart = 100000;  // 1000 columns of 256 bytes: 256000 bytes shown
  ViewFrameRect f = ComputeViewFrame();
  EXPECT_EQ(std::make_pair(f.x1, f.x2), std::make_pair(16 + 249, 16 + 889));
  Doc().viewStart = 300000;  // the stretch is cut at the end of the data
  f = ComputeViewFrame();
  EXPECT_EQ(f.x2, 1016);
  Pretend(44100, 16, 2, 44100 * 4 * 3600);  // an hour at 1/1
  SetZoom(6);
  Doc().viewStart = 44100 * 4 * 1800;
  f = ComputeViewFrame();
  EXPECT_EQ(std::make_pair(f.x1, f.x2), std::make_pair(516, 520));
  Doc().viewStart = Doc().length;  // at the very end, clipped to the area
  EXPECT_EQ(ComputeViewFrame().x2, 1016);
  Pretend(44100, 16, 2, 0);
  EXPECT_FALSE(ComputeViewFrame().visible);
  Pretend(44100, 16, 2, 4000);  // no room between the buttons
  View().overviewWidth = 32;
  EXPECT_FALSE(ComputeViewFrame().visible);
  EXPECT_EQ(OverviewXToOffset(20), 0);
}

TEST_F(Overview, ButtonsStopAtTheStartAndOneFrameBeforeTheEnd) {
  SetZoom(1);                                   // a column is 4096 bytes
  ScrollButtonNotify(kLeftScrollButton, true);  // stops at the start
  EXPECT_EQ(Doc().viewStart, 0);
  // Right until stuck: one frame before the end.
  ScrollButtonNotify(kRightScrollButton, true);
  for (int i = 0; i < 12; ++i) ScrollRepeatTick();
  EXPECT_EQ(Doc().viewStart, 400000);
  // The buttons keep working during an operation.
  Busy().busy = true;
  ScrollButtonNotify(kLeftScrollButton, true);
  EXPECT_EQ(Doc().viewStart, 400000 - 40960);
  Busy().busy = false;
  Silence(22050, 16, 2, 0);
  ScrollRepeatTick();
  EXPECT_EQ(Doc().viewStart, 0);
}

}  // namespace
}  // namespace kelvora
