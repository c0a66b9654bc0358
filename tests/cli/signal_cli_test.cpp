// The batch verbs of the dynamics, delay and modulation effects: each field
// typed into the dialog lands in its parameter (scaled fields as typed into
// the window), and the effect runs to the file.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "document/params.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/modulation.h"
#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

struct Verb {
  const char* step;
  std::vector<int32_t> (*stored)();
  std::vector<int32_t> want;
};

template <class P>
std::vector<int32_t> Fields(const P& p) {
  std::vector<int32_t> v(sizeof(P) / sizeof(int32_t));
  std::memcpy(v.data(), &p, sizeof(P));
  return v;
}

const Verb kVerbs[] = {
    {"noise-gate:level=30,attack=5,release=600",
     [] { return Fields(Params<NoiseGateParams>()); },
     {30, 5, 500}},
    {"compressor:output=70,ratio=0", [] { return Fields(Params<CompressorParams>()); }, {70, 1}},
    {"distortion:depth=80,mode=fuzz", [] { return Fields(Params<DistortionParams>()); }, {80, 0}},
    {"noise-removal:random=40,impulse=3",
     [] { return Fields(Params<NoiseRemovalParams>()); },
     {40, 3}},
    {"echo:delay=50,level=40,feedback=30",
     [] { return Fields(Params<EchoParams>()); },
     {50, 40, 30}},
    {"reverb:time=900,level=20,dry=70",
     [] { return Fields(Params<ReverbParams>()); },
     {900, 20, 70}},
    {"flanger:level=60,depth=10,rate=35,stereo=on",
     [] { return Fields(Params<FlangerParams>()); },
     {60, 10, 35, 1}},
    // 2.3 in single precision is below 2.3: times 10, truncated, 22.
    {"vibrato:depth=30,rate=2.3,delay=1.5",
     [] { return Fields(Params<VibratoParams>()); },
     {30, 22, 15}},
    {"tremolo:level=40,rate=50,autopan=on",
     [] { return Fields(Params<TremoloParams>()); },
     {40, 50, 1}},
};

class SignalCli : public testing::TestWithParam<Verb> {};

TEST_P(SignalCli, FieldsReachTheParametersAndTheFileIsWritten) {
  const Verb& v = GetParam();
  EngineFixture engine;
  TempDir dir;
  std::vector<int16_t> wave;
  for (int i = 0; i < 2000; ++i) wave.push_back(int16_t((i * 7919) % 20001 - 10000));
  ASSERT_TRUE(
      WriteBytes(dir / "in.wav", Image().Riff(36 + 4000).Pcm(8000, 16, 2).Data(Pcm16(wave))));
  std::ostringstream out, err;
  ASSERT_EQ(CliMain({dir / "in.wav", v.step, "-o", dir / "out.wav", "--info"}, out, err), 0)
      << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(v.stored(), v.want);
  EXPECT_NE(out.str().find("\"frames\":1000,"), std::string::npos);
  const std::vector<uint8_t> written = ReadBytes(dir / "out.wav");
  ASSERT_EQ(written.size(), 44u + 4000u);
  EXPECT_NE(std::vector<uint8_t>(written.begin() + 44, written.end()), Pcm16(wave));
}

INSTANTIATE_TEST_SUITE_P(Verbs, SignalCli, testing::ValuesIn(kVerbs),
                         [](const testing::TestParamInfo<Verb>& info) {
                           std::string name = info.param.step;
                           name = name.substr(0, name.find(':'));
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

}  // namespace
}  // namespace kelvora
