// Expected outputs below were worked out by hand from the decoding rules.
#include <gtest/gtest.h>

#include <vector>

#include "files/ima_adpcm.h"
#include "files/ms_adpcm.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Bytes = std::vector<uint8_t>;

// Decodes into a buffer of exactly the announced size, so that a decoder
// writing more than it announced trips the address sanitizer.
template <typename Decode, typename Size>
Bytes Run(Decode decode, Size size, const Bytes& block, int channels) {
  Bytes out(size(block.size(), channels));
  EXPECT_EQ(decode(block.data(), block.size(), channels, out.data()), out.size());
  return out;
}
Bytes Ms(const Bytes& block, int channels) {
  return Run(MsAdpcmDecodeBlock, MsAdpcmOutputBytes, block, channels);
}
Bytes Ima(const Bytes& block, int channels) {
  return Run(ImaAdpcmDecodeBlock, ImaAdpcmOutputBytes, block, channels);
}

uint8_t Lo(int v) { return uint8_t(v); }
uint8_t Hi(int v) { return uint8_t(uint16_t(v) >> 8); }

TEST(MsAdpcm, BlocksDecodeHighNibbleFirst) {
  // Mono: predictor 1, delta 16, sample1 100, sample2 50; nibbles 1, 7, 9, 15.
  EXPECT_EQ(Ms({1, Lo(16), Hi(16), Lo(100), Hi(100), Lo(50), Hi(50), 0x17, 0x9F}, 1),
            Pcm16({50, 100, 166, 344, 256, 77}));
  // Stereo, left in the high nibble. Left: predictor 0, delta 16, 1000/900.
  // Right: predictor 3 (whose prediction -192 >> 8 is -1: the shift rounds
  // down), delta 20, -1/0.
  EXPECT_EQ(Ms({0, 3, Lo(16), Hi(16), Lo(20), Hi(20), Lo(1000), Hi(1000), Lo(-1), Hi(-1), Lo(900),
                Hi(900), 0, 0, 0x2E, 0x80},
               2),
            Pcm16({900, 0, 1000, -1, 1032, -41, 904, -31}));
}

TEST(MsAdpcm, HostileValuesClipAndSaturateWithoutOverflow) {
  // Predictor 1 doubles sample1: 64000 clips; predictor 9 reads as 0.
  EXPECT_EQ(Ms({1, 16, 0, Lo(32000), Hi(32000), 0, 0, 0x00}, 1), Pcm16({0, 32000, 32767, 32767}));
  EXPECT_EQ(Ms({9, 16, 0, 100, 0, 0, 0, 0x10}, 1), Pcm16({0, 100, 116, 116}));
  // Nibble 8 triples the delta every step; a sanitizer build checks that no
  // product overflows on the way.
  Bytes block(7 + 200, 0x88);
  std::fill(block.begin(), block.begin() + 7, 0);
  block[1] = Lo(32767), block[2] = Hi(32767);
  const Bytes out = Ms(block, 1);
  EXPECT_EQ(Bytes(out.begin() + 4, out.end()), Pcm16(std::vector<int16_t>(400, -32768)));
  // A negative delta from the header recovers to the minimum of 16.
  EXPECT_EQ(Ms({0, Lo(-5000), Hi(-5000), 0, 0, 0, 0, 0x11}, 1), Pcm16({0, 0, -5000, -4984}));
}

TEST(ImaAdpcm, BlocksDecodeLowNibbleFirst) {
  // Mono: predictor 100, index 0; nibbles 1, 7, 12, 8.
  EXPECT_EQ(Ima({Lo(100), Hi(100), 0, 0, 0x71, 0x8C}, 1), Pcm16({100, 101, 112, 94, 92}));
  // Stereo in groups of four bytes a channel. Left 0 / index 0 with nibbles
  // 4; right 1000 / index 0 with F,0,F,0,0...
  Bytes block = {0, 0, 0, 0, Lo(1000), Hi(1000), 0, 0, 0x44, 0x44, 0x44, 0x44, 0x0F, 0x0F, 0, 0};
  const Bytes expected =
      Pcm16({0, 1000, 7, 989, 17, 991, 29, 966, 43, 969, 61, 972, 82, 975, 107, 977, 138, 979});
  EXPECT_EQ(Ima(block, 2), expected);
  // Four bytes more make no whole group: they are not decoded, and nothing
  // beyond the block is read.
  block.insert(block.end(), {0x77, 0x77, 0x77, 0x77});
  EXPECT_EQ(Ima(block, 2), expected);
  // Index 90 clamps to 88 (step 32767) and the output clips; the index
  // byte is unsigned, so 0xF0 clamps to 88 as well.
  EXPECT_EQ(Ima({Lo(30000), Hi(30000), 90, 0, 0x77}, 1), Pcm16({30000, 32767, 32767}));
  EXPECT_EQ(Ima({0, 0, 0xF0, 0, 0x01}, 1), Pcm16({0, 12286, 16010}));
}

// Nibble 4 from -32768 adds step + step / 8 at each index of the table,
// never clipping: the hash was recorded from the standard table.
TEST(ImaAdpcm, EveryEntryOfTheStepTable) {
  uint32_t hash = 2166136261u;
  for (int index = 0; index <= 88; ++index) {
    const Bytes out = Ima({0x00, 0x80, uint8_t(index), 0, 0x04}, 1);
    hash = (hash ^ (out[2] | out[3] << 8)) * 16777619u;
  }
  EXPECT_EQ(hash, 0x9b8c20abu);
}

TEST(Adpcm, FramesPerBlock) {
  // {MS?, channels, block bytes, frames}: full blocks, blocks shorter than
  // their header, and blocks of just the header.
  const struct {
    bool ms;
    int channels;
    size_t bytes, frames;
  } cases[] = {{true, 1, 256, 500}, {false, 1, 256, 505}, {false, 2, 2048, 2041},
               {true, 2, 512, 500}, {true, 1, 6, 0},      {true, 2, 13, 0},
               {false, 1, 3, 0},    {false, 2, 7, 0},     {true, 2, 14, 2},
               {false, 2, 8, 1}};
  for (const auto& c : cases) {
    const Bytes block(c.bytes, 0x5A);
    EXPECT_EQ((c.ms ? Ms(block, c.channels) : Ima(block, c.channels)).size(),
              2 * c.frames * c.channels)
        << c.ms << " " << c.bytes;
  }
  // The announced size holds for every length (Run checks it).
  for (int channels = 1; channels <= 2; ++channels) {
    for (size_t n = 0; n < 300; ++n) {
      Ms(Bytes(n, uint8_t(n * 37)), channels);
      Ima(Bytes(n, uint8_t(n * 37)), channels);
    }
  }
}

}  // namespace
}  // namespace kelvora
