#include "files/mulaw.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora {
namespace {

// Every code decoded and every 16-bit value encoded, as recorded when they
// agreed with the textbook routines.
TEST(MuLaw, EveryCodeAndEverySixteenBitValue) {
  EXPECT_EQ(MuLawEncode(0), 0xFF);
  EXPECT_EQ(MuLawEncode(-32768), 0x02);  // the zero code is never written
  EXPECT_EQ(MuLawDecode(0x00), -32124);
  EXPECT_EQ(MuLawDecode(0x80), 32124);
  uint32_t hash = 2166136261u;
  for (int c = 0; c < 256; ++c) hash = (hash ^ uint32_t(MuLawDecode(uint8_t(c)))) * 16777619u;
  for (int x = -32768; x <= 32767; ++x) hash = (hash ^ MuLawEncode(x)) * 16777619u;
  EXPECT_EQ(hash, 0x538937c0u);
  // Values beyond the scale clip rather than wrap.
  EXPECT_EQ(MuLawEncode(100000), MuLawEncode(32767));
  EXPECT_EQ(MuLawEncode(-100000), MuLawEncode(-32768));
}

TEST(MuLaw, BlockFormsAgreeWithSingleValues) {
  std::vector<uint8_t> codes(256), pcm(512);
  for (int c = 0; c < 256; ++c) codes[c] = uint8_t(c);
  MuLawDecodeToPcm16(codes.data(), codes.size(), pcm.data());
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(int16_t(pcm[2 * c] | pcm[2 * c + 1] << 8), MuLawDecode(uint8_t(c)));
  std::vector<uint8_t> samples, out(65536);
  for (int x = -32768; x <= 32767; ++x) {
    samples.push_back(uint8_t(x));
    samples.push_back(uint8_t(uint16_t(x) >> 8));
  }
  out.back() = 0x5A;  // not written: one value fewer than the buffer holds
  MuLawEncodePcm16(samples.data(), 65535, out.data());
  for (int i = 0; i < 65535; ++i) ASSERT_EQ(out[i], MuLawEncode(i - 32768)) << i;
  EXPECT_EQ(out.back(), 0x5A);
}

}  // namespace
}  // namespace kelvora
