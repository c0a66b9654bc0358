#include <gtest/gtest.h>

#include "document/busy.h"
#include "document/operation.h"
#include "test_support.h"

namespace kelvora {
namespace {

TEST(Progress, UpdatesOnEveryTwoHundredthCallWithAPaddedPercent) {
  EngineFixture f;
  for (int i = 0; i < 199; ++i) ShowProgress("エコー", i, 1000);
  EXPECT_TRUE(f.ui().statusLog.empty());
  EXPECT_EQ(f.ui().eventsDispatched, 0);
  ShowProgress("エコー", 50, 1000);
  ASSERT_EQ(f.ui().statusLog.size(), 1u);
  EXPECT_EQ(f.ui().statusLog[0], "エコー:  5%");
  EXPECT_EQ(f.ui().eventsDispatched, 1);
  for (int i = 0; i < 200; ++i) ShowProgress("x", 1000, 1000);
  EXPECT_EQ(f.ui().statusLog.back(), "x:100%");
}

TEST(Progress, LargePositionsDoNotOverflow) {
  EXPECT_EQ(ProgressPercent(2000000000, 2100000000), 95);
  EXPECT_EQ(ProgressPercent(2147483647, 2147483647), 100);
  EXPECT_EQ(ProgressPercent(0, 5), 0);
}

TEST(Progress, CounterIsSharedAcrossOperations) {
  EngineFixture f;
  for (int i = 0; i < 150; ++i) ShowProgress("a", i, 1000);
  for (int i = 0; i < 50; ++i) ShowProgress("b", i, 100);
  ASSERT_EQ(f.ui().statusLog.size(), 1u);
  EXPECT_EQ(f.ui().statusLog[0], "b: 49%");
}

// The chunked form must be indistinguishable from one call per frame.
TEST(Progress, SpanMatchesCallByCall) {
  const int64_t counts[] = {0, 1, 199, 200, 201, 999, 12345};
  for (int64_t start_counter : {0, 17, 199}) {
    for (int64_t count : counts) {
      std::vector<std::string> expected;
      int expected_events;
      {
        EngineFixture f;
        Busy().progressCounter = static_cast<int32_t>(start_counter);
        for (int64_t i = 0; i < count; ++i)
          ShowProgress("p", static_cast<int32_t>(7 + 3 * i), 40000);
        expected = f.ui().statusLog;
        expected_events = f.ui().eventsDispatched;
      }
      EngineFixture f;
      Busy().progressCounter = static_cast<int32_t>(start_counter);
      ShowProgressSpan("p", 7, 3, count, 40000);
      EXPECT_EQ(f.ui().statusLog, expected) << start_counter << " " << count;
      EXPECT_EQ(f.ui().eventsDispatched, expected_events);
    }
  }
}

TEST(Busy, BusyScopeShowsTheBusyMenuAndRestoresEverything) {
  EngineFixture f;
  Peak().peakScale = 40000;
  {
    BusyScope busy;
    EXPECT_TRUE(Busy().busy);
    EXPECT_EQ(f.ui().menuMode, MenuMode::kBusy);
    EXPECT_EQ(Peak().peakScale, 0);
  }
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(f.ui().menuMode, MenuMode::kMain);
  EXPECT_EQ(f.ui().zoomChecked, 1);
  EXPECT_EQ(f.ui().status[0], "22050Hz 16Bits Mono");
  EXPECT_GT(f.ui().invalidations, 0);
}

TEST(Busy, OnlyStopPassesTheFilterWhileBusy) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2}));
  BeginBusy();
  EXPECT_FALSE(DispatchCommand(kCmdSelectAll, kCodeMenu));
  EXPECT_FALSE(DispatchCommand(kCmdUndo, kCodeAccelerator));
  EXPECT_EQ(Doc().selEnd, 0);
  EndBusy();
  EXPECT_FALSE(DispatchCommand(kCmdSelectAll, 2));  // neither menu nor accelerator
  EXPECT_TRUE(DispatchCommand(kCmdSelectAll, kCodeAccelerator));
  EXPECT_EQ(Doc().selEnd, 4);
  EXPECT_FALSE(DispatchCommand(12345, kCodeMenu));
}

TEST(Operation, ShortageRestoresTheDocumentAndSaysSo) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2, 3}));
  ASSERT_TRUE(BeginUndoableOperation("エコー"));
  Doc().data.data()[0] = 99;  // an operation that began changing things
  MemoryBlock scratch;
  MemoryBlock::SetTestCap(100);
  EXPECT_FALSE(AllocateScratch(scratch, 1000, "エコー"));
  EXPECT_EQ(DocumentBytes(), Pcm16({1, 2, 3}));
  ASSERT_EQ(f.ui().messages.size(), 1u);
  EXPECT_EQ(f.ui().messages[0].caption, "エコー");
  EXPECT_EQ(f.ui().messages[0].text, "メモリーが足りません");
  EXPECT_EQ(f.ui().messages[0].icon, MsgIcon::kWarning);
}

}  // namespace
}  // namespace kelvora
