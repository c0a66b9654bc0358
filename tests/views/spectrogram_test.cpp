#include "views/spectrogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "views/colour_map.h"
#include "views/frequency_axis.h"
#include "views/spectrogram_settings.h"
#include "views/spectrum_analyser.h"
#include "views/view_test_support.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

// Frames of a sound at `rate` whose first channel is f(frame), a value on
// the 16-bit scale, and whose other channels are silent.
template <class F>
void Sound(uint32_t rate, int bits, int channels, int frames, F f) {
  std::vector<int32_t> v;
  for (int i = 0; i < frames; ++i)
    for (int ch = 0; ch < channels; ++ch) v.push_back(ch == 0 ? int32_t(std::lround(f(i))) : 0);
  SetSamples(MakeFormat(rate, bits, channels), v);
}

// The view drawn until every column is ready, in grey, as levels 0..255
// (pixels of the lanes; -1 elsewhere).
struct Levels {
  std::vector<uint32_t> pixels;
  int width = 0;
  int At(int x, int y) const {
    static const std::map<uint32_t, int> level = [] {
      std::map<uint32_t, int> m;
      for (int l = 255; l >= 0; --l) m[GreyColours()[l]] = l;
      return m;
    }();
    const auto it = level.find(pixels[static_cast<size_t>(y) * width + x]);
    return it == level.end() ? -1 : it->second;
  }
  // The row of the highest level in column x of lane ch.
  int Brightest(int x, int ch) const {
    const WaveGeometry g = CurrentWaveGeometry();
    int best = g.LaneTop(ch) + 2;
    for (int y = best; y < g.LaneTop(ch) + g.laneHeight - 2; ++y)
      if (At(x, y) > At(x, best)) best = y;
    return best;
  }
  friend bool operator==(const Levels&, const Levels&) = default;
};

Levels Draw() {
  const WaveGeometry g = CurrentWaveGeometry();
  Levels out{std::vector<uint32_t>(static_cast<size_t>(g.right) * g.bottom, 0xff123456), g.right};
  const PixelBuffer buffer{out.pixels.data(), g.right, g.bottom, g.right};
  for (;;) {
    RenderSpectrogram(buffer, g, {0, 0, g.right, g.bottom});
    if (!SpectrogramPending()) return out;
    WaitForSpectrogram();
    CollectSpectrogramColumns();
  }
}

// The row of lane ch that shows `hz`.
int RowOf(double hz, int ch = 0) {
  const WaveGeometry g = CurrentWaveGeometry();
  const int rows = g.laneHeight - 4;
  const SpectrogramSettings& s = SpectrogramOptions();
  const FrequencyAxis axis{static_cast<double>(Doc().format.nSamplesPerSec), s.window,
                           s.scale == 1};
  return g.LaneTop(ch) + 2 + rows - 1 - static_cast<int>(std::floor(axis.HeightOf(hz) * rows));
}

size_t Computed() { return SpectrogramStats().computed; }

struct Spectrogram : ViewTest {
  Spectrogram() {
    SpectrogramOptions().on = 1;
    SpectrogramOptions().colours = 1;
  }
};

TEST_F(Spectrogram, SineLightsItsOwnRowAndNoneAnOctaveAway) {
  struct Case {
    int bits, channels, scale;
  };
  for (const Case c : {Case{16, 1, 0}, Case{16, 1, 1}, Case{8, 2, 0}, Case{16, 2, 1}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits " << c.channels << " ch axis " << c.scale);
    Sound(44100, c.bits, c.channels, 44100,
          [](int i) { return 16384 * std::sin(2 * std::numbers::pi * 1000 * i / 44100); });
    SpectrogramOptions().scale = c.scale;
    SetZoom(3);  // 64 frames per pixel
    const Levels l = Draw();
    for (int x : {100, 400, 650}) {  // windows clear of the ends
      // Half scale is -6 dB, less up to 1.4 dB where the tone falls between bins.
      EXPECT_NEAR(l.Brightest(x, 0), RowOf(1000), 1) << x;
      EXPECT_GE(l.At(x, RowOf(1000)), 230) << x;
      // 74 dB down and more; 8-bit steps leave a floor at about -66 dB.
      const int floor = c.bits == 8 ? 45 : 20;
      EXPECT_LE(l.At(x, RowOf(500)), floor) << x;
      EXPECT_LE(l.At(x, RowOf(2000)), floor) << x;
      if (c.channels == 2) {
        EXPECT_EQ(l.At(x, RowOf(1000, 1)), 0) << x;
      }
    }
    EXPECT_EQ(l.At(48 + 690, RowOf(1000)), -1);  // past the end: not drawn
  }
}

TEST_F(Spectrogram, FullScaleAtABinCentreIsTheTopLevel) {
  const double hz = 44100.0 / 2048 * 64;  // bin 64 of the default window
  Sound(44100, 16, 1, 44100,
        [&](int i) { return 32767 * std::sin(2 * std::numbers::pi * hz * i / 44100); });
  SetZoom(2);
  EXPECT_GE(Draw().At(200, RowOf(hz)), 254);
}

TEST_F(Spectrogram, ClickLightsTheColumnsWhoseWindowsReachItCentredOnItsOwn) {
  Sound(44100, 16, 1, 44100, [](int i) { return i == 20000 ? 30000 : 0; });
  SetZoom(3);  // 64 frames per pixel, window 2048: 32 columns either side reach it
  const Levels l = Draw();
  const int y = RowOf(5000);
  int first = -1, last = -1;
  for (int x = 48; x < 48 + 689; ++x) {
    if (l.At(x, y) == 0) continue;
    if (first < 0) first = x;
    last = x;
  }
  // Lit as far as the window's taper lets 80 dB through, evenly both sides.
  EXPECT_NEAR((first + last) / 2.0 - 48, 20000 / 64.0, 1.0);
  EXPECT_GT(last - first, 20);
}

TEST_F(Spectrogram, RowsNarrowerThanABinBlendTheBinsAroundThem) {
  // A tone on bin 4 (86 Hz): on the logarithmic axis about eight rows lead
  // to bin 5, 6 dB down, and fall steadily instead of in one step.
  const double hz = 44100.0 / 2048 * 4;
  Sound(44100, 16, 1, 44100,
        [&](int i) { return 16000 * std::sin(2 * std::numbers::pi * hz * i / 44100); });
  SpectrogramOptions().scale = 1;
  SetZoom(2);
  const Levels l = Draw();
  const int bin4 = RowOf(hz), bin5 = RowOf(hz * 5 / 4);
  ASSERT_GT(bin4 - bin5, 6);
  for (int y = bin4; y > bin5 + 1; --y) EXPECT_GT(l.At(100, y), l.At(100, y - 1)) << y;
}

TEST_F(Spectrogram, WhiteNoiseIsFlatWithinAFewDecibels) {
  uint32_t seed = 12345;
  Sound(44100, 16, 1, 10 * 44100, [&](int) {
    seed = seed * 1664525 + 1013904223;
    return static_cast<int>(seed >> 16) - 32768;
  });
  SetZoom(0);  // 107 columns of 4096 frames
  const Levels l = Draw();
  const WaveGeometry g = CurrentWaveGeometry();
  std::vector<double> rows;
  for (int y = g.LaneTop(0) + 4; y < g.LaneTop(0) + g.laneHeight - 4; ++y) {
    double sum = 0;
    for (int x = 50; x < 150; ++x) sum += l.At(x, y);
    rows.push_back(sum / 100);
  }
  const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
  EXPECT_LT((*high - *low) * kSpectrumRangeDb / 255, 3.0);
}

TEST_F(Spectrogram, CacheGivesTheFreshPictureAndRecomputesOnlyWhatAnEditOrUndoChanged) {
  uint32_t seed = 1;
  Sound(44100, 16, 2, 3 * 44100, [&](int i) {
    seed = seed * 1664525 + 1013904223;
    return 8000 * std::sin(i * 0.05) + static_cast<int>(seed >> 20) - 2048;
  });
  SetZoom(2);  // 517 columns of 256 frames
  const Levels first = Draw();
  const size_t columns = Computed();
  EXPECT_EQ(columns, 517u);
  EXPECT_EQ(Draw(), first);  // from the cache
  EXPECT_EQ(Computed(), columns);
  SpectrogramOptions().window = 1024;  // another window empties the cache
  EXPECT_NE(Draw(), first);
  SpectrogramOptions().window = 2048;
  EXPECT_EQ(Draw(), first);
  EXPECT_EQ(Computed(), 3 * columns);

  // Silence over frames 44100..52292 changes the columns whose windows
  // reach into it (168..207), and undo brings back the first picture.
  Doc().selStart = 44100 * 4;
  Doc().selEnd = (44100 + 8192) * 4;
  ASSERT_TRUE(DispatchCommand(kCmdSilenceSelection, kCodeMenu));
  const Levels edited = Draw();
  EXPECT_EQ(Computed(), 3 * columns + 40);
  EXPECT_EQ(edited.At(48 + 187, RowOf(350)), 0);
  EXPECT_EQ(edited.At(48 + 100, RowOf(350)), first.At(48 + 100, RowOf(350)));
  ASSERT_TRUE(DispatchCommand(kCmdUndo, kCodeMenu));
  EXPECT_EQ(Draw(), first);
  EXPECT_EQ(Computed(), 3 * columns + 80);
}

TEST_F(Spectrogram, ScrollingComputesOnlyTheUncoveredColumnsAndTheCacheStaysBounded) {
  Sound(44100, 16, 2, 44100, [](int i) { return 10000 * std::sin(i * 0.3); });
  SetZoom(4);  // 16 frames per pixel: 2756 columns, 1000 in view
  Draw();
  EXPECT_EQ(Computed(), 1000u);
  WaveScrollColumns(80);
  Draw();
  EXPECT_EQ(Computed(), 1080u);
  // A bound below two screens keeps two screens; the one in view survives.
  SetSpectrogramCacheLimit(1);
  WaveScrollColumns(1000);
  const Levels l = Draw();
  const size_t screen = 1000 * (2 * 1025 + 96);
  EXPECT_LE(SpectrogramStats().bytes, 2 * screen);
  EXPECT_GE(SpectrogramStats().bytes, screen);
  const size_t computed = Computed();
  EXPECT_EQ(Draw(), l);
  EXPECT_EQ(Computed(), computed);
}

TEST_F(Spectrogram, SoundsWithoutSpectraDrawAnEmptyFrame) {
  auto empty = [] {
    const Levels l = Draw();
    EXPECT_FALSE(SpectrogramPending());
    return std::all_of(l.pixels.begin(), l.pixels.end(),
                       [](uint32_t p) { return p == 0xff123456; });
  };
  Sound(1, 16, 1, 100, [](int i) { return i * 100; });  // 1 Hz
  EXPECT_TRUE(empty());
  Sound(44100, 16, 2, 0, [](int) { return 0; });
  EXPECT_TRUE(empty());
  Sound(44100, 16, 2, 1000, [](int i) { return i; });
  Doc().format.nBlockAlign = 2;  // a header whose samples overlap their frames
  SetDocumentFormat(Doc().format);
  EXPECT_TRUE(empty());
  Sound(44100, 8, 64, 1000, [](int i) { return i; });  // two screens of 64 lanes: 524 MB
  SpectrogramOptions().window = 8192;
  EXPECT_TRUE(empty());
  SpectrogramOptions().window = 2048;  // 131 MB
  EXPECT_FALSE(empty());
  Sound(2, 8, 2, 3, [](int i) { return i * 9000; });  // 2 Hz, three frames: drawn
  EXPECT_FALSE(empty());
}

TEST_F(Spectrogram, MenuItemAndDialogSwitchAndRememberTheSettings) {
  platform.memoryProfile.values["options\nspectrogramwindow"] = "3000";
  platform.memoryProfile.values["options\nspectrogramscale"] = "1";
  platform.memoryProfile.values["options\nspectrogram"] = "1";
  LoadSpectrogramSettings();
  EXPECT_EQ(SpectrogramOptions().window, 2048);
  EXPECT_EQ(SpectrogramOptions().scale, 1);
  EXPECT_TRUE(DispatchCommand(kCmdSpectrogram, kCodeMenu));
  EXPECT_FALSE(SpectrogramShown());
  EXPECT_EQ(platform.memoryProfile.values["options\nspectrogram"], "0");
  EXPECT_FALSE(ui().menuChecks.at(kCmdSpectrogram));
  platform.dialogs.QueueFields({{"window", "512"}, {"axis", "linear"}, {"colours", "grey"}});
  EXPECT_TRUE(DispatchCommand(kCmdSpectrogramSettings, kCodeMenu));
  EXPECT_EQ(SpectrogramOptions().window, 512);
  EXPECT_EQ(platform.memoryProfile.values["options\nspectrogramwindow"], "512");
  EXPECT_EQ(platform.memoryProfile.values["options\nspectrogramscale"], "0");
  EXPECT_EQ(platform.memoryProfile.values["options\nspectrogramcolours"], "1");
}

TEST_F(Spectrogram, RulerAndPointerNameFrequenciesAndNotes) {
  Sound(44100, 16, 1, 1000, [](int) { return 0; });
  const WaveGeometry g = CurrentWaveGeometry();  // one lane of 384 rows
  auto labels = [&] {
    std::string text;
    for (const RulerMark& m : SpectrogramRuler(g, 30))
      text += m.label + "@" + std::to_string(m.y) + " ";
    return text;
  };
  EXPECT_EQ(labels(),
            "0@393 2k@359 4k@324 6k@289 8k@254 10k@219 12k@185 14k@150 16k@115 18k@80 "
            "20k@45 22k@10 ");
  SpectrogramOptions().scale = 1;  // from one bin, 21.5 Hz, up
  EXPECT_EQ(labels(), "50@347 100@308 200@270 500@219 1k@181 2k@142 5k@92 10k@53 20k@15 ");
  // The pointer: the middle of the linear lane is a quarter of the rate.
  SpectrogramOptions().scale = 0;
  EXPECT_EQ(SpectrogramPointerText(g.LaneTop(0) + 2 + 192), "  10996 Hz");
  EXPECT_EQ(SpectrogramPointerText(g.LaneTop(0) + 1), "");
  std::string texts;
  for (double hz : {440.0, 27.5, 1000.0, 16.0, 15.0, 12000.0}) texts += FrequencyText(hz) + "|";
  EXPECT_EQ(texts,
            "440 Hz  A4 +0セント|27.5 Hz  A0 +0セント|1000 Hz  B5 +21セント|"
            "16.0 Hz  C0 -38セント|15.0 Hz|12000 Hz|");
  EXPECT_EQ(FrequencyLabel(2500) + FrequencyLabel(500), "2.5k500");
}

TEST(ColourMaps, LightnessRisesFromBlackToTheLightestColour) {
  for (const LevelColours* map : {&PerceptualColours(), &GreyColours()}) {
    auto luma = [](uint32_t p) {
      return 0.2126 * (p >> 16 & 255) + 0.7152 * (p >> 8 & 255) + 0.0722 * (p & 255);
    };
    EXPECT_EQ((*map)[0], 0xff000000u);
    for (int l = 1; l < 256; ++l) EXPECT_GE(luma((*map)[l]) + 1.5, luma((*map)[l - 1])) << l;
    EXPECT_GT(luma((*map)[255]), 230);
  }
}

}  // namespace
}  // namespace kelvora
