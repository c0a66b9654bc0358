#include "document/memory_block.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

// Crosses the boundary between heap blocks and mappings in both directions.
TEST(MemoryBlock, ResizeKeepsContentsAcrossSizes) {
  MemoryBlock b;
  ASSERT_TRUE(b.Resize(100));
  for (int i = 0; i < 100; ++i) b.data()[i] = static_cast<uint8_t>(i);
  for (size_t s : {5u << 20, 64u << 20, 3u << 20, 200u, 100u}) {
    ASSERT_TRUE(b.Resize(s)) << s;
    EXPECT_EQ(b.size(), s);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(b.data()[i], i) << s;
    b.data()[s - 1] = 7;  // the whole block is writable
  }
  MemoryBlock c(std::move(b));
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(c.data()[98], 98);
}

TEST(MemoryBlock, FailedResizeLeavesTheBlockAsItWas) {
  MemoryBlock b;
  ASSERT_TRUE(b.Resize(10));
  b.data()[9] = 3;
  EXPECT_FALSE(b.Resize(size_t{1} << 62));  // impossible: fails instead of aborting
  MemoryBlock::SetTestCap(64);
  EXPECT_FALSE(b.Resize(65));
  EXPECT_EQ(b.size(), 10u);
  EXPECT_EQ(b.data()[9], 3);
  EXPECT_TRUE(b.Resize(64));
  MemoryBlock::SetTestCap(0);
}

}  // namespace
}  // namespace kelvora
