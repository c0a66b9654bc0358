// Both equalizers against a plain block-by-block rendering of their
// definition (reference transform, ReadSample and WriteSample into a zeroed
// buffer, one ShowProgress per band), their bands, and the cases where they
// must leave the sound as it is.
#include <gtest/gtest.h>

#include <cmath>

#include "document/busy.h"
#include "document/frame_format.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"
#include "effects/equalizers.h"
#include "effects/fft_reference.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

using Modules = std::array<EqModule, 3>;

std::vector<FftBand> GraphicRef(uint32_t rate, const EqPositions& p) {
  std::vector<FftBand> bands;
  int32_t lo = 0;
  for (int k = 0; k < 9; ++k) {
    const int32_t hi = std::min<int32_t>((75 << k) / (rate / 1024), 512);
    bands.push_back({lo, hi, std::pow(1.04246576084, 50 - p[k])});
    lo = hi;
  }
  return bands;
}

std::vector<FftBand> ParametricRef(uint32_t rate, const Modules& modules) {
  std::vector<FftBand> bands;
  const double b = rate / 1024.0;
  for (const EqModule& m : modules) {
    if (!m.use) continue;
    int32_t lo = static_cast<int32_t>(m.frequency / std::pow(1.02930223664, m.bandwidth) / b);
    int32_t hi = static_cast<int32_t>(std::pow(1.02930223664, m.bandwidth) * m.frequency / b);
    bands.push_back({std::min(lo, 511), std::min(hi, 511), std::pow(1.122462, m.level)});
  }
  return bands;
}

void ReferenceFilter(const std::vector<FftBand>& bands, const char* label) {
  SoundDocument& d = Doc();
  const int32_t align = d.format.nBlockAlign, channels = d.format.nChannels;
  const int32_t frames = (d.selEnd - d.selStart) / align;
  std::vector<uint8_t> out(static_cast<size_t>(frames) * align, 0);
  double x[1024];
  for (int ch = 0; ch < channels; ++ch) {
    for (int32_t remaining = frames, start = 0; remaining > 0; remaining -= 512, start += 512) {
      for (int i = 0; i < 1024; ++i)
        x[i] = i < remaining ? ReadSample(d.bytes() + d.selStart + (start + i) * align, ch) / 512.0
                             : 0;
      RefRealForward(1024, x);
      for (const FftBand& b : bands) {
        ShowProgress(label, (frames - remaining) + ch * frames, channels * frames);
        for (int i = b.lo + 1; i < b.hi; ++i) {
          x[i] *= b.gain;
          x[1024 - i] *= b.gain;
        }
      }
      RefRealInverse(1024, x);
      for (int i = start == 0 ? 0 : 256; i < remaining && i < 1024; ++i)
        WriteSample(out.data() + (start + i) * align, static_cast<int32_t>(x[i]), ch);
    }
  }
  std::copy(out.begin(), out.end(), d.bytes() + d.selStart);
}

struct Case {
  const char* label;
  int command;
  const char* progress;
  EqPositions positions;
  Modules modules;
};

// Shaped gains everywhere; the second and first parametric modules overlap.
const Case kCases[] = {
    {"Graphic", kCmdGraphicEq, texts::kProgressGraphicEq, {0, 10, 30, 50, 70, 90, 100, 20, 60}, {}},
    {"Parametric",
     kCmdParametricEq,
     texts::kNameParametricEq,
     {},
     {EqModule{1, 1000, 12, 24}, EqModule{1, 1500, -9, 12}, EqModule{1, 8000, 18, 48}}},
};

// What the run leaves, and the calls it made since the last update.
using Outcome = std::pair<MatrixOutcome, int>;

Outcome RunCase(const SoundFormat& f, const Case& c, int32_t frames, bool reference) {
  EngineFixture fixture;
  SetDocument(f, NoiseBytes((frames + 100) * f.nBlockAlign, f.nBlockAlign * 7 + f.wBitsPerSample));
  Select(5, 5 + frames);
  GraphicEqParameters().positions = c.positions;
  ParametricEqModules() = c.modules;
  Busy().progressCounter = 197;  // an update on the third call
  if (!reference) {
    EXPECT_TRUE(RunCommand(c.command));
  } else {
    const uint32_t rate = f.nSamplesPerSec;
    ReferenceFilter(
        c.command == kCmdGraphicEq ? GraphicRef(rate, c.positions) : ParametricRef(rate, c.modules),
        c.progress);
  }
  return {OutcomeOf(fixture.ui(), c.progress), Busy().progressCounter};
}

using Param = std::tuple<SoundFormat, int32_t, Case>;
class EqualizerMatchesReference : public testing::TestWithParam<Param> {};

// 500 frames make one zero-padded block, 800 a second that rewrites frames
// 768 onward, 1024 two blocks, 2600 six; 33068 frames (65 blocks) are
// shared with a second thread, 33 blocks and 32.
// Every vector version of the sample loops.
TEST_P(EqualizerMatchesReference, SameSamplesProgressAndEvents) {
  const auto& [format, frames, c] = GetParam();
  const Outcome want = RunCase(format, c, frames, true);
  EXPECT_FALSE(std::get<1>(want.first).empty());
  for (int level : {0, 1, 2}) {
    LimitVectorLevel(level);
    EXPECT_EQ(RunCase(format, c, frames, false), want) << "level " << level;
  }
  LimitVectorLevel(2);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, EqualizerMatchesReference,
                         testing::Combine(testing::ValuesIn(kMatrixFormats),
                                          testing::Values(500, 800, 1024, 2600, 33068),
                                          testing::ValuesIn(kCases)),
                         [](const auto& info) {
                           const SoundFormat& f = std::get<0>(info.param);
                           return std::string(std::get<2>(info.param).label) + "_" +
                                  std::to_string(f.wBitsPerSample) + "bit" +
                                  std::to_string(f.nChannels) + "ch_" +
                                  std::to_string(std::get<1>(info.param)) + "frames";
                         });

std::vector<int32_t> Edges(const std::vector<FftBand>& bands) {
  std::vector<int32_t> edges{bands.front().lo};
  for (const FftBand& b : bands) edges.push_back(b.hi);
  return edges;
}

TEST(GraphicEqBands, EdgesInWholeHertzPerBinAndGainsFromThePositions) {
  const EqPositions flat{50, 50, 50, 50, 50, 50, 50, 50, 50};
  EXPECT_EQ(Edges(GraphicEqBands(44100, flat)),
            (std::vector<int32_t>{0, 1, 3, 6, 13, 27, 55, 111, 223, 446}));
  EXPECT_EQ(Edges(GraphicEqBands(8000, flat)),
            (std::vector<int32_t>{0, 10, 21, 42, 85, 171, 342, 512, 512, 512}));
  // Below 1024 Hz a bin is narrower than a hertz: the true width is taken.
  EXPECT_EQ(Edges(GraphicEqBands(1000, flat)),
            (std::vector<int32_t>{0, 76, 153, 307, 512, 512, 512, 512, 512, 512}));
  EXPECT_EQ(Edges(GraphicEqBands(0, flat)),
            (std::vector<int32_t>{0, 512, 512, 512, 512, 512, 512, 512, 512, 512}));
  const std::vector<FftBand> bands = GraphicEqBands(44100, {0, 100, 50, 25, 50, 50, 50, 50, 50});
  EXPECT_NEAR(bands[0].gain, 8.0, 1e-9);
  EXPECT_NEAR(bands[1].gain, 0.125, 1e-9);
  EXPECT_EQ(bands[2].gain, 1.0);
  EXPECT_EQ(bands[3].gain, std::pow(1.04246576084, 25));
}

TEST(ParametricEqBands, ModulesInUseInOrderWithTheTopBinHeld) {
  const Modules modules{EqModule{1, 1000, 6, 12}, EqModule{0, 500, 3, 12},
                        EqModule{1, 20000, -18, 48}};
  const std::vector<FftBand> bands = ParametricEqBands(44100, modules);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(std::tie(bands[0].lo, bands[0].hi), std::make_tuple(16, 32));
  EXPECT_EQ(bands[0].gain, std::pow(1.122462, 6));
  EXPECT_EQ(std::tie(bands[1].lo, bands[1].hi), std::make_tuple(116, 511));
  // A sound without sample rate names no bin it could scale.
  const std::vector<FftBand> none = ParametricEqBands(0, modules);
  EXPECT_EQ(std::tie(none[0].lo, none[0].hi), std::make_tuple(511, 511));
}

// Settings that scale no bin leave every sample as it was (the transforms
// would at best give it back), yet the sound is marked changed and undoable.
TEST(Equalizers, NothingToScaleLeavesTheSamples) {
  const struct {
    int command;
    EqPositions positions;
    Modules modules;
  } cases[] = {
      {kCmdGraphicEq, {50, 50, 50, 50, 50, 50, 50, 50, 50}, {}},
      // At 44100 Hz the 50 Hz band holds no bin.
      {kCmdGraphicEq, {0, 50, 50, 50, 50, 50, 50, 50, 50}, {}},
      // So narrow that hi <= lo + 1; the others are off.
      {kCmdParametricEq,
       {},
       {EqModule{1, 50, 18, 1}, EqModule{0, 1000, 18, 12}, EqModule{0, 1000, 18, 12}}},
  };
  for (const auto& c : cases) {
    EngineFixture f;
    const std::vector<uint8_t> bytes = NoiseBytes(4 * 3000, 5);
    SetDocument(MakeFormat(44100, 16, 2), bytes);
    GraphicEqParameters().positions = c.positions;
    ParametricEqModules() = c.modules;
    ASSERT_TRUE(RunCommand(c.command));
    EXPECT_EQ(DocumentBytes(), bytes);
    EXPECT_TRUE(Doc().modified);
  }
}

TEST(Equalizers, UndoBringsTheSoundBack) {
  for (int command : {kCmdGraphicEq, kCmdParametricEq}) {
    EngineFixture f;
    const std::vector<uint8_t> bytes = NoiseBytes(4 * 3000, 6);
    SetDocument(MakeFormat(44100, 16, 2), bytes);
    Select(100, 2100);
    GraphicEqParameters().positions = {0, 0, 0, 0, 100, 100, 100, 100, 100};
    ParametricEqModules()[0].level = 12;
    ASSERT_TRUE(RunCommand(command));
    EXPECT_NE(DocumentBytes(), bytes);
    ASSERT_TRUE(RunCommand(kCmdUndo));
    EXPECT_EQ(DocumentBytes(), bytes);
  }
}

}  // namespace
}  // namespace kelvora
