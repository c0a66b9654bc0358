#include "document/memory_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvora {
namespace {

// Crosses the boundary between heap blocks and mappings in both directions.
TEST(MemoryBlock, ResizeKeepsContentsAcrossSizes) {
  MemoryBlock b;
  ASSERT_TRUE(b.Resize(100));
  for (int i = 0; i < 100; ++i) b.data()[i] = static_cast<uint8_t>(i);
  const size_t sizes[] = {5u << 20, 64u << 20, 3u << 20, 200, 100};
  for (size_t s : sizes) {
    ASSERT_TRUE(b.Resize(s)) << s;
    EXPECT_EQ(b.size(), s);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(b.data()[i], i) << s;
    b.data()[s - 1] = 7;  // the whole block is writable
  }
  ASSERT_TRUE(b.Resize(0));
  EXPECT_EQ(b.size(), 0u);
}

TEST(MemoryBlock, CapMakesResizeFailWithoutChangingTheBlock) {
  MemoryBlock b;
  ASSERT_TRUE(b.Resize(10));
  std::memset(b.data(), 3, 10);
  MemoryBlock::SetTestCap(64);
  EXPECT_FALSE(b.Resize(65));
  EXPECT_EQ(b.size(), 10u);
  EXPECT_EQ(b.data()[9], 3);
  EXPECT_TRUE(b.Resize(64));
  MemoryBlock::SetTestCap(0);
}

TEST(MemoryBlock, ImpossibleSizesFailInsteadOfAborting) {
  MemoryBlock b;
  EXPECT_FALSE(b.Resize(size_t{1} << 62));
  EXPECT_TRUE(b.empty());
}

TEST(MemoryBlock, SwapAndMoveExchangeOwnership) {
  MemoryBlock a, b;
  ASSERT_TRUE(a.AllocateZeroed(8));
  ASSERT_TRUE(b.Resize(3 << 20));
  uint8_t* big = b.data();
  a.Swap(b);
  EXPECT_EQ(a.data(), big);
  EXPECT_EQ(b.size(), 8u);
  MemoryBlock c(std::move(a));
  EXPECT_EQ(c.data(), big);
  EXPECT_TRUE(a.empty());
}

}  // namespace
}  // namespace kelvora
