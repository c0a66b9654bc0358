#include "files/mulaw.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora {
namespace {

// The textbook G.711 routines, written independently of the tables.
int RefDecode(uint8_t code) {
  int u = static_cast<uint8_t>(~code);
  int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
  return (u & 0x80) ? 0x84 - t : t - 0x84;
}

uint8_t RefEncode(int x) {
  static const int kSegmentEnd[8] = {0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF, 0x3FFF, 0x7FFF};
  int sign = 0;
  if (x < 0) {
    sign = 0x80;
    x = -x;
  }
  if (x > 32635) x = 32635;
  x += 132;
  int seg = 0;
  while (x > kSegmentEnd[seg]) ++seg;
  auto code = static_cast<uint8_t>(~(sign | seg << 4 | ((x >> (seg + 3)) & 0x0F)));
  return code == 0 ? 0x02 : code;
}

TEST(MuLaw, EveryCodeAndEverySixteenBitValueAgreeWithTheReference) {
  EXPECT_EQ(MuLawEncode(0), 0xFF);
  EXPECT_EQ(MuLawEncode(-32768), 0x02);  // the zero code is never written
  EXPECT_EQ(MuLawDecode(0x00), -32124);
  EXPECT_EQ(MuLawDecode(0x80), 32124);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(MuLawDecode(uint8_t(c)), RefDecode(uint8_t(c))) << c;
  for (int x = -32768; x <= 32767; ++x) ASSERT_EQ(MuLawEncode(x), RefEncode(x)) << x;
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
  MuLawEncodePcm16(samples.data(), 65536, out.data());
  for (int i = 0; i < 65536; ++i) ASSERT_EQ(out[i], MuLawEncode(i - 32768)) << i;
}

}  // namespace
}  // namespace kelvora
