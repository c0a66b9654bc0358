#include <gtest/gtest.h>

#include "document/busy.h"
#include "document/operation.h"
#include "test_support.h"

namespace kelvora {
namespace {

// The counter runs across operations: "b" finds it at 150.
TEST(Progress, UpdatesOnEveryTwoHundredthCallWithAPaddedPercent) {
  EngineFixture f;
  for (int i = 0; i < 150; ++i) ShowProgress("a", i, 1000);
  for (int i = 0; i < 49; ++i) ShowProgress("エコー", i, 1000);
  EXPECT_TRUE(f.ui().statusLog.empty());
  EXPECT_EQ(f.ui().eventsDispatched, 0);
  ShowProgress("エコー", 50, 1000);
  for (int i = 0; i < 200; ++i) ShowProgress("x", 1000, 1000);
  EXPECT_EQ(f.ui().statusLog, (std::vector<std::string>{"エコー:  5%", "x:100%"}));
  EXPECT_EQ(f.ui().eventsDispatched, 2);
  EXPECT_EQ(ProgressPercent(2000000000, 2100000000), 95);  // no overflow
  EXPECT_EQ(ProgressPercent(2147483647, 2147483647), 100);
}

// The chunked form must be indistinguishable from one call per frame.
TEST(Progress, SpanMatchesCallByCall) {
  for (int32_t startCounter : {0, 17, 199}) {
    for (int32_t count : {0, 1, 199, 200, 201, 999, 12345}) {
      EngineFixture byCall;
      Busy().progressCounter = startCounter;
      for (int32_t i = 0; i < count; ++i) ShowProgress("p", 7 + 3 * i, 40000);
      const std::vector<std::string> log = byCall.ui().statusLog;
      const int events = byCall.ui().eventsDispatched;
      ResetBusyState();
      Busy().progressCounter = startCounter;
      byCall.ui().statusLog.clear();
      byCall.ui().eventsDispatched = 0;
      ShowProgressSpan("p", 7, 3, count, 40000);
      EXPECT_EQ(byCall.ui().statusLog, log) << startCounter << " " << count;
      EXPECT_EQ(byCall.ui().eventsDispatched, events);
    }
  }
}

// A peak left from an earlier pass must not scale the next one's writes.
TEST(Busy, BusyScopeShowsTheBusyMenuAndClearsThePeak) {
  EngineFixture f;
  Peak().peakScale = 40000;
  {
    BusyScope busy;
    EXPECT_TRUE(Busy().busy);
    EXPECT_EQ(f.ui().menuMode, MenuMode::kBusy);
    EXPECT_EQ(Peak().peakScale, 0);
  }
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(f.ui().menuModeLog, (std::vector<MenuMode>{MenuMode::kBusy, MenuMode::kMain}));
}

}  // namespace
}  // namespace kelvora
