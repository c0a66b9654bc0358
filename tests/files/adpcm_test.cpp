// Expected outputs below were worked out by hand from the decoding rules.
#include <gtest/gtest.h>

#include <vector>

#include "files/ima_adpcm.h"
#include "files/ms_adpcm.h"

namespace kelvora {
namespace {

std::vector<int16_t> Samples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> s;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    s.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
  return s;
}

// Decodes into a buffer of exactly the announced size, so that a decoder
// writing more than it announced trips the address sanitizer.
template <typename Decode, typename Size>
std::vector<int16_t> Run(Decode decode, Size size, const std::vector<uint8_t>& block,
                         int channels) {
  std::vector<uint8_t> out(size(block.size(), channels));
  size_t n = decode(block.data(), block.size(), channels, out.data());
  EXPECT_EQ(n, out.size());
  return Samples(out);
}

std::vector<int16_t> Ms(const std::vector<uint8_t>& block, int channels) {
  return Run(MsAdpcmDecodeBlock, MsAdpcmOutputBytes, block, channels);
}
std::vector<int16_t> Ima(const std::vector<uint8_t>& block, int channels) {
  return Run(ImaAdpcmDecodeBlock, ImaAdpcmOutputBytes, block, channels);
}

uint8_t Lo(int v) { return uint8_t(v); }
uint8_t Hi(int v) { return uint8_t(uint16_t(v) >> 8); }

TEST(MsAdpcm, MonoBlock) {
  // predictor 1, delta 16, sample1 100, sample2 50; nibbles 1, 7, 9, 15.
  std::vector<uint8_t> block = {1, Lo(16), Hi(16), Lo(100), Hi(100), Lo(50), Hi(50), 0x17, 0x9F};
  EXPECT_EQ(Ms(block, 1), (std::vector<int16_t>{50, 100, 166, 344, 256, 77}));
}

TEST(MsAdpcm, StereoBlockHighNibbleLeft) {
  // Left: predictor 0, delta 16, 1000/900. Right: predictor 3 (whose
  // prediction -192 >> 8 is -1: the shift rounds down), delta 20, -1/0.
  std::vector<uint8_t> block = {0,        3,        Lo(16), Hi(16), Lo(20),  Hi(20),
                                Lo(1000), Hi(1000), Lo(-1), Hi(-1), Lo(900), Hi(900),
                                0,        0,        0x2E,   0x80};
  EXPECT_EQ(Ms(block, 2), (std::vector<int16_t>{900, 0, 1000, -1, 1032, -41, 904, -31}));
}

TEST(MsAdpcm, PredictionClipsAndBadPredictorIsZero) {
  // Predictor 1 doubles sample1: 64000 clips; predictor 9 reads as 0.
  EXPECT_EQ(Ms({1, 16, 0, Lo(32000), Hi(32000), 0, 0, 0x00}, 1),
            (std::vector<int16_t>{0, 32000, 32767, 32767}));
  EXPECT_EQ(Ms({9, 16, 0, 100, 0, 0, 0, 0x10}, 1), (std::vector<int16_t>{0, 100, 116, 116}));
}

TEST(MsAdpcm, HostileDeltaSaturatesWithoutOverflow) {
  // Nibble 8 triples the delta every step; a sanitizer build checks that no
  // product overflows on the way.
  std::vector<uint8_t> block(7 + 200, 0x88);
  const uint8_t header[7] = {0, Lo(32767), Hi(32767), 0, 0, 0, 0};
  std::copy(header, header + 7, block.begin());
  std::vector<int16_t> out = Ms(block, 1);
  ASSERT_EQ(out.size(), 2u + 400u);
  for (size_t i = 2; i < out.size(); ++i) ASSERT_EQ(out[i], -32768) << i;
  // A negative delta from the header recovers to the minimum of 16.
  EXPECT_EQ(Ms({0, Lo(-5000), Hi(-5000), 0, 0, 0, 0, 0x11}, 1),
            (std::vector<int16_t>{0, 0, -5000, -4984}));
}

TEST(ImaAdpcm, MonoBlockLowNibbleFirst) {
  // predictor 100, index 0; nibbles 1, 7, 12, 8.
  EXPECT_EQ(Ima({Lo(100), Hi(100), 0, 0, 0x71, 0x8C}, 1),
            (std::vector<int16_t>{100, 101, 112, 94, 92}));
}

TEST(ImaAdpcm, StereoGroupsOfFourBytesPerChannel) {
  // Left 0 / index 0 with nibbles 4; right 1000 / index 0 with F,0,F,0,0...
  std::vector<uint8_t> block = {0,    0,    0,    0,    Lo(1000), Hi(1000), 0,    0,
                                0x44, 0x44, 0x44, 0x44, 0x0F,     0x0F,     0x00, 0x00};
  const std::vector<int16_t> expected = {0,   1000, 7,   989, 17,  991, 29,  966, 43,
                                         969, 61,   972, 82,  975, 107, 977, 138, 979};
  EXPECT_EQ(Ima(block, 2), expected);
  // Four bytes more make no whole group: they are not decoded, and nothing
  // beyond the block is read.
  block.insert(block.end(), {0x77, 0x77, 0x77, 0x77});
  EXPECT_EQ(Ima(block, 2), expected);
}

TEST(ImaAdpcm, HeaderValuesAreClampedAndOutputClips) {
  // Index 90 clamps to 88 (step 32767); a negative index byte clamps to 0.
  std::vector<int16_t> out = Ima({Lo(30000), Hi(30000), 90, 0, 0x77}, 1);
  EXPECT_EQ(out, (std::vector<int16_t>{30000, 32767, 32767}));
  out = Ima({0, 0, 0xF0, 0, 0x01}, 1);
  EXPECT_EQ(out, (std::vector<int16_t>{0, 1, 1}));
}

struct CountCase {
  bool ms;
  int channels;
  size_t blockBytes;
  size_t frames;
};

class AdpcmCount : public testing::TestWithParam<CountCase> {};

TEST_P(AdpcmCount, FramesPerBlock) {
  const CountCase& c = GetParam();
  std::vector<uint8_t> block(c.blockBytes, 0x5A);
  std::vector<int16_t> out = c.ms ? Ms(block, c.channels) : Ima(block, c.channels);
  EXPECT_EQ(out.size(), c.frames * c.channels);
}

INSTANTIATE_TEST_SUITE_P(Blocks, AdpcmCount,
                         testing::Values(CountCase{true, 1, 256, 500},
                                         CountCase{false, 1, 256, 505},
                                         CountCase{false, 2, 2048, 2041},
                                         CountCase{true, 2, 512, 500},
                                         // Shorter than the header: nothing.
                                         CountCase{true, 1, 6, 0}, CountCase{true, 2, 13, 0},
                                         CountCase{false, 1, 3, 0}, CountCase{false, 2, 7, 0},
                                         // Just the header.
                                         CountCase{true, 2, 14, 2}, CountCase{false, 2, 8, 1}));

TEST(Adpcm, AnnouncedSizeMatchesEveryBlockLength) {
  for (int channels = 1; channels <= 2; ++channels) {
    for (size_t n = 0; n < 300; ++n) {
      std::vector<uint8_t> block(n, uint8_t(n * 37));
      Ms(block, channels);
      Ima(block, channels);
    }
  }
}

}  // namespace
}  // namespace kelvora
