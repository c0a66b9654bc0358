#include "views/view_logic.h"

#include <gtest/gtest.h>

#include "views/view_test_support.h"

namespace kelvora {
namespace {

using Labels = std::vector<std::pair<int, std::string>>;

Labels FirstLabels(size_t n) {
  Labels out;
  for (const AxisMark& m : TimeAxisPlan(CurrentWaveGeometry()))
    if (!m.label.empty() && out.size() < n) out.emplace_back(m.x, m.label);
  return out;
}

// Labels by zoom: tenths below 1/64, every second to 1/64, every second
// second at 1/256, every fourth from 1/1024; at x = tick frames / fpp + 48.
TEST_F(ViewTest, TimeLabelsStandWhereTheirTimeIs) {
  const std::tuple<uint32_t, int, Labels> cases[] = {
      {22050, 0, {{48, "0"}, {69, "4"}, {91, "8"}}},
      {22050, 1, {{48, "0"}, {134, "4"}, {220, "8"}}},
      {22050, 2, {{48, "0"}, {220, "2"}, {392, "4"}}},
      {22050, 3, {{48, "0"}, {392, "1"}, {737, "2"}}},
      {22050, 4, {{48, "0.0"}, {185, "0.1"}, {323, "0.2"}}},
      {8000, 6, {{48, "0.0"}, {848, "0.1"}}}};
  for (const auto& [rate, level, labels] : cases) {
    Pretend(rate, 16, 1, 1 << 30);
    SetZoom(level);
    EXPECT_EQ(FirstLabels(3), labels) << level;
  }
}

// At 1/1024 a tick every 2205 frames, about two columns apart; the whole
// seconds get a longer tick and a grid line, the tenths a tick only.
TEST_F(ViewTest, TicksAt22050HzAre2205FramesApartAndAboutTwoColumnsAt1024) {
  Pretend(22050, 16, 2, 1 << 30);
  SetZoom(1);
  const WaveGeometry g = CurrentWaveGeometry();
  const std::vector<AxisMark> marks = TimeAxisPlan(g);
  ASSERT_GT(marks.size(), 461u);
  EXPECT_EQ(std::make_tuple(marks[1].x, marks[10].x, marks[461].x), std::make_tuple(50, 69, 1040));
  for (size_t i = 0; i < marks.size(); ++i)
    EXPECT_EQ(std::make_pair(marks[i].tickBottom - g.plotBottom, marks[i].grid),
              i % 10 == 0 ? std::make_pair(12, true) : std::make_pair(10, false));
}

TEST_F(ViewTest, TheViewStartShiftsTheAxisAndMarginLabelsGetNoTick) {
  Pretend(22050, 16, 1, 1 << 30);
  SetZoom(3);  // 1 s = 344 columns
  Doc().viewStart = 324 * 64 * 2;
  EXPECT_EQ(FirstLabels(1), (Labels{{68, "1"}}));
  Doc().viewStart = 372 * 64 * 2;  // 1 s now falls left of the plot
  const AxisMark first = TimeAxisPlan(CurrentWaveGeometry()).front();
  EXPECT_EQ(std::make_tuple(first.x, first.label, first.tickBottom, first.grid),
            std::make_tuple(20, std::string("1"), 0, false));
}

TEST_F(ViewTest, RatesWithoutATenthOfASecondDrawNoTicksAndTinyRatesStayBounded) {
  for (uint32_t rate : {0u, 1u, 9u}) {
    Pretend(rate, 8, 1, INT32_MAX);
    EXPECT_TRUE(TimeAxisPlan(CurrentWaveGeometry()).empty()) << rate;
  }
  // Ten frames a second on a 2 GiB sound seen from its end: a tick per
  // frame, thousands per column; one mark per column comes back at once.
  Pretend(10, 8, 1, INT32_MAX);
  Doc().viewStart = INT32_MAX - 4096 * 1000;
  SetZoom(0);
  int64_t steps = 0;
  const std::vector<AxisMark> marks = TimeAxisPlan(CurrentWaveGeometry(), &steps);
  EXPECT_LE(steps, 1 + 1000 + 48);  // from one column left of the view
  EXPECT_LE(marks.size(), 1000u + 48u);
  EXPECT_EQ(marks.back().x, 1047);
}

TEST_F(ViewTest, FormatTimeGivesSecondsAndMilliseconds) {
  struct Case {
    uint32_t rate;
    int bits, channels;
    int64_t offset;
    const char* text;
  } cases[] = {{22050, 16, 2, 22050 * 6, "1.500"},
               {8000, 8, 1, 7999, "0.999"},
               {44100, 16, 2, 2147483644, "12173.943"},
               {1, 8, 1, INT32_MAX, "2147483647.000"},
               {0, 16, 2, 4000, "0.000"},  // a hostile rate of 0
               {22050, 0, 0, 4000, "0.000"}};
  for (const Case& c : cases) {
    Pretend(c.rate, c.bits, c.channels, 0);
    EXPECT_EQ(FormatTime(c.offset), c.text) << c.rate << " " << c.offset;
  }
}

TEST_F(ViewTest, SelectionTintColumns) {
  Silence(22050, 16, 2, 100000);
  SetZoom(6);
  Doc().viewStart = 4000;  // frame 1000
  struct Case {
    int32_t start, end;  // frames
    int xs, xe;
  } cases[] = {
      {1000, 1000, 48, 51},      // an empty selection at the view start: a narrow bar
      {1010, 1500, 58, 548},     // inside
      {500, 999, 48, 48},        // wholly left: no red anywhere
      {1999, 2500, 1047, 1048},  // starts in the last column
      {2000, 2500, 48, 48},      // starts at R - 16
      {0, 90000, 48, 1048},      // wider than the view
  };
  for (const Case& c : cases) {
    Doc().selStart = c.start * 4;
    Doc().selEnd = c.end * 4;
    const SelectionTint t = ComputeSelectionTint(CurrentWaveGeometry());
    EXPECT_EQ(std::make_pair(t.xs, t.xe), std::make_pair(c.xs, c.xe)) << c.start << "-" << c.end;
  }
  const SelectionTint t = ComputeSelectionTint(CurrentWaveGeometry());
  ASSERT_EQ(t.lanes.size(), 2u);  // H = 388, lanes of 194 from y = 8
  EXPECT_EQ(t.lanes[0].top, 10);
  EXPECT_EQ(t.lanes[0].bottom, 200);
  EXPECT_EQ(t.lanes[1].top, 204);
}

TEST_F(ViewTest, DensityOutsideItsRangeNeverReachesADivision) {
  Pretend(22050, 16, 2, 1000);
  SetZoom(1);
  for (auto [density, step] : {std::pair{0, 4096}, {-7, 4096}, {100000, 32}, {8, 512}}) {
    View().density = density;
    EXPECT_EQ(DrawStep(), step) << density;
  }
}

}  // namespace
}  // namespace kelvora
