// The equalizers' batch verbs give what the same settings give in the window.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "document/params.h"
#include "effects/effect_test_util.h"
#include "effects/equalizers.h"
#include "files/file_test_support.h"

namespace kelvora {
namespace {

TEST(EqualizerCli, BandsPresetsAndModulesAsInTheWindow) {
  EngineFixture engine;
  TempDir dir;
  const SoundFormat format = MakeFormat(44100, 16, 2);
  const std::vector<uint8_t> samples = NoiseBytes(4 * 3000, 8);
  ASSERT_TRUE(WriteBytes(dir / "in.wav", Image().Riff().Pcm(44100, 16, 2).Data(samples)));
  auto run = [&](std::vector<std::string> steps) {
    std::vector<std::string> args{dir / "in.wav"};
    args.insert(args.end(), steps.begin(), steps.end());
    args.insert(args.end(), {"-o", dir / "out.wav"});
    std::ostringstream out, err;
    const int status = CliMain(args, out, err);
    const std::vector<uint8_t> file = ReadBytes(dir / "out.wav");
    return std::make_pair(
        status, std::vector<uint8_t>(file.end() - std::min<size_t>(file.size(), samples.size()),
                                     file.end()));
  };
  // The same in the window: the sound, the values, OK.
  auto window = [&](const EqPositions* positions, const EqModule* module) {
    ResetProcessState();
    SetDocument(format, samples);
    if (positions != nullptr) {
      Params<GraphicEqParams>().positions = *positions;
      RunCommand(kCmdGraphicEq);
    }
    if (module != nullptr) {
      Params<ParametricEqParams>().modules[0] = *module;
      RunCommand(kCmdParametricEq);
    }
    return DocumentBytes();
  };
  const EqPositions preset4{30, 40, 50, 50, 50, 50, 40, 30, 30};
  EXPECT_EQ(run({"graphic-eq:preset=4"}), std::make_pair(0, window(&preset4, nullptr)));
  const EqPositions dragged{0, 10, 20, 30, 40, 60, 70, 80, 100};
  const EqModule module{1, 2000, -6, 24};
  const auto both = window(&dragged, &module);
  EXPECT_EQ(run({"graphic-eq:bands=0/10/20/30/40/60/70/80/120",
                 "parametric-eq:freq1=2000,level1=-6,width1=24"}),
            std::make_pair(0, both));
  EXPECT_NE(both, samples);
  EXPECT_EQ(run({"graphic-eq:bands=1/2/3"}).first, 2);
  EXPECT_EQ(run({"graphic-eq:preset=7"}).first, 2);
}

}  // namespace
}  // namespace kelvora
