// The fast overlap search against the plain one on random windows.
#include <gtest/gtest.h>

#include <random>

#include "document/frame_format.h"
#include "effects/effect_test_util.h"
#include "effects/resample_sola.h"

namespace kelvora {
namespace {

// `frames` random frames: uniform, drawn from a few values (so that many
// candidates tie), or mostly -32768.
std::vector<uint8_t> Frames(std::mt19937& rng, int bits, int channels, int64_t frames) {
  static const int32_t kFew[] = {-32768, -32768, -256, 0, 256, 32767};
  const uint32_t mode = rng() % 3;
  std::vector<uint8_t> b;
  for (int64_t i = 0; i < frames * channels; ++i) {
    int32_t v = static_cast<int32_t>(rng() % 65536) - 32768;
    if (mode == 1) v = kFew[rng() % 6];
    if (mode == 2 && rng() % 8 != 0) v = -32768;
    if (bits == 16) b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(bits == 8 ? (v >> 8) + 128 : v >> 8));
  }
  b.resize(b.size() + 16);  // reads never reach past the block; checked by ASan
  return b;
}

// The search as plainly written: double sums over every channel of every
// candidate, frames outside a block 0, the first of equal sums.
int64_t PlainOverlap(const SoundFormat& f, const uint8_t* out, int64_t outLen, int64_t t,
                     const uint8_t* src, int64_t srcLen, int64_t s, int64_t c) {
  const int align = f.nBlockAlign;
  auto at = [&](const uint8_t* block, int64_t length, int64_t offset, int ch) {
    return offset >= 0 && offset < length ? ReadSample(block + offset, ch) : 0;
  };
  const int64_t h = c / 2;
  double best = static_cast<double>(h) * 4294836225.0;
  int64_t best_i = 0;
  for (int64_t i = 0; i < h; ++i) {
    double sum = 0;
    for (int ch = 0; ch < f.nChannels; ++ch)
      for (int64_t k = 0; k < h; ++k) {
        const double d =
            at(src, srcLen, s + k * align, ch) - at(out, outLen, t + (i + k) * align, ch);
        sum += d * d;
      }
    if (sum < best) {
      best = sum;
      best_i = i;
    }
  }
  return best_i * align;
}

using Param = std::tuple<int, int, int>;  // level, bits, channels

class OverlapSearch : public testing::TestWithParam<Param> {
protected:
  void TearDown() override { LimitVectorLevel(2); }
};

// Searches `trials` random windows both ways; c within [c_min, c_min + c_span).
void Compare(int bits, int channels, int trials, int64_t c_min, int64_t c_span, uint32_t seed) {
  EngineFixture f;
  const SoundFormat format = MakeFormat(44100, bits, channels);
  SetDocument(format, {});
  std::mt19937 rng(seed);
  const int align = bits / 8 * channels;
  for (int trial = 0; trial < trials; ++trial) {
    const int64_t c = c_min + rng() % c_span;
    const int64_t src_frames = rng() % 400, out_frames = rng() % 400;
    const std::vector<uint8_t> src = Frames(rng, bits, channels, src_frames);
    const std::vector<uint8_t> out = Frames(rng, bits, channels, out_frames);
    const int64_t s = (rng() % (src_frames + 40)) * align, t = (rng() % (out_frames + 40)) * align;
    const int64_t src_len = src_frames * align, out_len = out_frames * align;
    ASSERT_EQ(
        FindBestOverlap({format, bits / 8}, out.data(), out_len, t, src.data(), src_len, s, c),
        PlainOverlap(format, out.data(), out_len, t, src.data(), src_len, s, c))
        << trial;
  }
}

TEST_P(OverlapSearch, FastFindsWhatThePlainSearchFinds) {
  const auto& [level, bits, channels] = GetParam();
  LimitVectorLevel(level);
  Compare(bits, channels, 60, 0, 260, bits * 1000 + channels * 10 + level);
}

// Past 16384 samples a window is searched the plain way.
TEST(OverlapSearchWide, AHundredChannels) { Compare(16, 100, 2, 330, 40, 1); }

INSTANTIATE_TEST_SUITE_P(EveryWidthAndChannelCount, OverlapSearch,
                         testing::Combine(testing::Values(0, 1, 2), testing::Values(8, 16),
                                          testing::Values(1, 2, 3, 4, 5, 6, 7, 8)),
                         [](const auto& info) {
                           return std::to_string(std::get<1>(info.param)) + "bit" +
                                  std::to_string(std::get<2>(info.param)) + "ch_level" +
                                  std::to_string(std::get<0>(info.param));
                         });

}  // namespace
}  // namespace kelvora
