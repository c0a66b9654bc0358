#include "files/extended_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kelvora {
namespace {

std::vector<uint8_t> Encode(double v) {
  std::vector<uint8_t> b(10, 0xEE);
  DoubleToExtended(v, b.data());
  return b;
}

struct Known {
  double value;
  std::vector<uint8_t> bytes;
};

class ExtendedKnown : public testing::TestWithParam<Known> {};

TEST_P(ExtendedKnown, EncodesToTheBytesAndBack) {
  EXPECT_EQ(Encode(GetParam().value), GetParam().bytes);
  EXPECT_EQ(ExtendedToDouble(GetParam().bytes.data()), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Rates, ExtendedKnown,
                         testing::Values(Known{8000, {0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0}},
                                         Known{11025, {0x40, 0x0C, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}},
                                         Known{22050, {0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}},
                                         Known{44100, {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}},
                                         Known{0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                                         Known{1, {0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}},
                                         Known{-44100, {0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}},
                                         Known{4294967295.0,
                                               {0x40, 0x1E, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}}));

TEST(Extended, FractionsUseTheLowMantissaBothWays) {
  for (double v : {22050.5, 0.1, 1234567.890625, 1e300}) {
    std::vector<uint8_t> b = Encode(v);
    EXPECT_EQ(ExtendedToDouble(b.data()), v) << v;
  }
  EXPECT_NE(Encode(0.1)[6], 0);  // a double has more than 32 mantissa bits
}

TEST(Extended, InfinityAndWhatCannotBeHeld) {
  const std::vector<uint8_t> inf = {0x7F, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Encode(HUGE_VAL), inf);
  EXPECT_EQ(Encode(std::nan("")), inf);
  std::vector<uint8_t> neg = Encode(-HUGE_VAL);
  EXPECT_EQ(neg[0], 0xFF);
  // Exponent 32767 reads as infinity whatever the mantissa says (a NaN
  // pattern included), with its sign.
  uint8_t nan_pattern[10] = {0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(ExtendedToDouble(nan_pattern), HUGE_VAL);
  nan_pattern[0] = 0xFF;
  EXPECT_EQ(ExtendedToDouble(nan_pattern), -HUGE_VAL);
  // Values beyond a double's range read as infinity too, never as garbage.
  const uint8_t huge[10] = {0x7F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::isinf(ExtendedToDouble(huge)));
}

}  // namespace
}  // namespace kelvora
