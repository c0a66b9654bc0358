// Both equalizers' bands, and the cases where they must leave the sound as
// it is (their results on fixed signals are in golden_test.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "document/frame_format.h"
#include "document/params.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"
#include "effects/equalizers.h"

namespace kelvora {
namespace {

using Modules = std::array<EqModule, 3>;

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
    Params<GraphicEqParams>().positions = c.positions;
    Params<ParametricEqParams>().modules = c.modules;
    ASSERT_TRUE(RunCommand(c.command));
    EXPECT_EQ(DocumentBytes(), bytes);
    EXPECT_TRUE(Doc().modified);
  }
}

}  // namespace
}  // namespace kelvora
