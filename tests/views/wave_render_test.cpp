#include "views/wave_render.h"

#include <gtest/gtest.h>

#include <cmath>

#include "views/view_test_support.h"

namespace kelvora {
namespace {

struct Picture {
  std::vector<uint32_t> pixels;
  int width, height;
  Picture(int w, int h) : pixels(static_cast<size_t>(w) * h, 0), width(w), height(h) {}
  PixelBuffer Buffer() { return PixelBuffer{pixels.data(), width, height, width}; }
  // Rows of the pixels of colour c in column x, top to bottom.
  std::vector<int> Column(int x, uint32_t c = kWaveGreen) const {
    std::vector<int> rows;
    for (int y = 0; y < height; ++y)
      if (pixels[static_cast<size_t>(y) * width + x] == c) rows.push_back(y);
    return rows;
  }
};

// Mono 16-bit at 22050 Hz from a sample function of the frame number.
template <class F>
void MonoSound(int frames, F sample) {
  std::vector<int16_t> s(frames);
  for (int i = 0; i < frames; ++i) s[i] = static_cast<int16_t>(sample(i));
  SetDocument(MakeFormat(22050, 16, 1), Pcm16(s));
}

// The whole view, at `scale` device pixels per pixel.
Picture RenderWhole(int scale = 1) {
  Picture p(View().clientWidth * scale, View().clientHeight * scale);
  RenderWaveform(p.Buffer(), CurrentWaveGeometry(), {0, 0, p.width, p.height}, scale);
  return p;
}

class WaveRender : public ViewTest {};

TEST_F(WaveRender, CoarseColumnsSpanTheirLowestToHighestReadSample) {
  // At 1/1024 and density 8 every 128th frame is read; others are spikes
  // that must not show.
  MonoSound(1024 * 20, [](int i) { return i % 128 ? 30000 : (i / 128) % 8 * 1000 - 4000; });
  SetZoom(1);
  const WaveGeometry g = CurrentWaveGeometry();
  Picture p = RenderWhole();
  for (int x = 48; x < 48 + 19; ++x) {
    // Column samples run -4000..3000, and the next column's first (-4000) joins.
    const std::vector<int> col = p.Column(x);
    ASSERT_FALSE(col.empty());
    EXPECT_EQ(col.front(), g.ValueToY(0, 3000)) << x;
    EXPECT_EQ(col.back(), g.ValueToY(0, -4000)) << x;
    EXPECT_EQ(col.size(), static_cast<size_t>(col.back() - col.front() + 1));
  }
  // A density above the frames per pixel reads every frame: the spikes show.
  SetZoom(3);
  View().density = 128;
  EXPECT_EQ(RenderWhole().Column(48).front(), g.ValueToY(0, 30000));
}

// Any strip drawn alone gives the pixels the whole view would: the picture
// is scrolled and only its uncovered strip drawn.
class StripRender : public ViewFixture,
                    public ::testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(StripRender, MatchesTheWholePicture) {
  const auto [mode, level, density, scale] = GetParam();
  MonoSound(300000, [](int i) {
    return static_cast<int>(20000 * std::sin(i * 0.013) * std::sin(i * 0.0007));
  });
  SetZoom(level);
  View().displayMode = mode;
  View().density = density;
  Doc().viewStart = 2 * 777;
  Picture whole = RenderWhole(scale);
  Picture strips(whole.width, whole.height);
  for (int left : {0, 300, 301, 611}) {
    const int right = left == 0 ? 300 : left == 300 ? 301 : left == 301 ? 611 : whole.width / scale;
    RenderWaveform(strips.Buffer(), CurrentWaveGeometry(),
                   {left * scale, 0, right * scale, whole.height}, scale);
  }
  EXPECT_EQ(strips.pixels, whole.pixels);
}

INSTANTIATE_TEST_SUITE_P(ModesAndZooms, StripRender,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(1, 3, 6),
                                            ::testing::Values(8, 3), ::testing::Values(1, 2)));

// On a 2x screen every pixel is two device pixels: a frame at 1/1 lands on
// the first of its two columns, at its value's row of the doubled lane, and
// coarse zooms read twice the density, one device column at a time.
TEST_F(WaveRender, DevicePixelsOfAHiDpiScreen) {
  MonoSound(4000, [](int i) { return (i % 7) * 4000 - 12000; });
  SetZoom(6);
  View().displayMode = 0;
  const WaveGeometry g = CurrentWaveGeometry();
  const Picture p = RenderWhole(2);
  for (int frame = 0; frame < 50; ++frame) {
    const int v = (frame % 7) * 4000 - 12000;
    EXPECT_EQ(p.Column(96 + 2 * frame), std::vector<int>{g.ValueToY(0, v, 2)}) << frame;
    EXPECT_TRUE(p.Column(97 + 2 * frame).empty()) << frame;
    EXPECT_LE(std::abs(g.ValueToY(0, v, 2) - 2 * g.ValueToY(0, v)), 1) << frame;
  }
  // 1/1024 at density 8: 16 reads per pixel, 8 in each device column
  // (points, so each column shows its own reads only).
  MonoSound(1024 * 4, [](int i) { return i % 64 ? 0 : (i / 64) % 16 * 1000; });
  SetZoom(1);
  const Picture coarse = RenderWhole(2);
  EXPECT_EQ(coarse.Column(96).front(), g.ValueToY(0, 7000, 2));   // reads 0..7 of column 0
  EXPECT_EQ(coarse.Column(97).front(), g.ValueToY(0, 15000, 2));  // reads 8..15
}

TEST_F(WaveRender, PointsModeDrawsOnePixelAColumnAndLinesJoinTheSamples) {
  MonoSound(4000, [](int i) { return i % 2 ? 20000 : -20000; });
  SetZoom(6);
  View().displayMode = 0;
  EXPECT_EQ(RenderWhole().Column(200).size(), 1u);
  View().displayMode = 1;
  EXPECT_GT(RenderWhole().Column(200).size(), CurrentWaveGeometry().plotHeight / 4u);
}

TEST_F(WaveRender, EmptyOneFrameAndEndOfTheDataPaintSafely) {
  MonoSound(0, [](int) { return 0; });
  EXPECT_EQ(RenderWhole().pixels, Picture(1064, 420).pixels);
  MonoSound(1, [](int) { return 8000; });
  for (int level : {0, 6}) {
    SetZoom(level);
    EXPECT_EQ(RenderWhole().Column(48), std::vector<int>{CurrentWaveGeometry().ValueToY(0, 8000)});
  }
  Doc().viewStart = 2;  // at the end: nothing left to draw
  EXPECT_EQ(RenderWhole().pixels, Picture(1064, 420).pixels);
}

// 2 GiB less a little, seen at its end at the coarsest zoom. (Only the
// pages read are touched.)
TEST_F(WaveRender, AlmostTwoGigabytesPaint) {
  const int32_t length = INT32_MAX - 15;
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  ASSERT_TRUE(Doc().data.Resize(static_cast<size_t>(length) + 16));
  Doc().length = length - length % 4;
  StoreLe16(Doc().bytes() + Doc().length - 4096 * 4, 32767);  // the last column's first read
  SetZoom(0);
  Doc().viewStart = Doc().length - 4096 * 4 * 10;
  Picture p = RenderWhole();
  EXPECT_EQ(p.Column(57).front(), CurrentWaveGeometry().ValueToY(0, 32767));
  EXPECT_TRUE(p.Column(58).empty());
}

TEST_F(WaveRender, OverviewDrawsAllChannelsInOneLaneBetweenTheButtons) {
  std::vector<int16_t> s;
  for (int i = 0; i < 4000; ++i) s.insert(s.end(), {16384, -16384});
  SetDocument(MakeFormat(8000, 16, 2), Pcm16(s));
  Picture o(1032, 40);
  RenderOverview(o.Buffer());
  // ±16384 is a quarter of 36 rows from the middle; the ends are the buttons'.
  for (int x = 16; x < 1016; ++x) EXPECT_EQ(o.Column(x), (std::vector<int>{11, 29})) << x;
  EXPECT_EQ(std::vector<uint32_t>(o.pixels.begin() + 15, o.pixels.begin() + 18),
            (std::vector<uint32_t>{0, kOverviewBlue, kOverviewBlue}));
  EXPECT_EQ(o.pixels[1031], 0u);
}

}  // namespace
}  // namespace kelvora
