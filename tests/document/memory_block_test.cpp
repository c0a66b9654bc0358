#include "document/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

#if defined(__linux__)
// A mapped block shrunk within its capacity gives back the pages past its
// new end (fresh zero pages when it grows again) and keeps every byte
// before it.
TEST(MemoryBlock, ShrinkGivesThePagesPastTheEndBack) {
  MemoryBlock b;
  const size_t big = 16u << 20, small = (9u << 20) + 5;
  ASSERT_TRUE(b.Resize(big));
  std::memset(b.data(), 0xA5, big);
  ASSERT_TRUE(b.Resize(small));
  ASSERT_TRUE(b.Resize(big));
  EXPECT_EQ(std::count(b.data(), b.data() + small, 0xA5), static_cast<std::ptrdiff_t>(small));
  EXPECT_EQ(b.data()[big - 1], 0);
}
#endif

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
