// Every batch verb with fields, one row each: the values its dialog stores
// and the hash of the file written; then the fields refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "cli/cli.h"
#include "document/params.h"
#include "effects/amplitude.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/envelope.h"
#include "effects/equalizers.h"
#include "effects/loudness.h"
#include "effects/modulation.h"
#include "effects/pitch_time.h"
#include "files/file_test_support.h"
#include "generators/generators.h"
#include "test_support.h"

namespace kelvora {
namespace {

using V = std::vector<int32_t>;

// The values of a parameter struct made of int32 only.
template <class P>
V Stored() {
  static_assert(sizeof(P) % sizeof(int32_t) == 0);
  V v(sizeof(P) / sizeof(int32_t));
  std::memcpy(v.data(), &Params<P>(), sizeof(P));
  return v;
}

V Curve(const Envelope& e) { return V(e.begin(), e.begin() + 2 * EnvelopePoints(e)); }

struct Verb {
  std::vector<std::string> steps;
  V (*stored)();
  V want;
  uint32_t hash;  // of the file written
};

// clang-format off
const Verb kVerbs[] = {
    {{"volume:volume=300,pan=-5,limiter=off"}, Stored<VolumeParams>, {200, 0, 0}, 0xdee8def1},
    {{"noise-gate:level=100,attack=5,release=600"}, Stored<NoiseGateParams>, {100, 5, 500}, 0x465b692b},
    {{"compressor:output=70,ratio=0"}, Stored<CompressorParams>, {70, 1}, 0xc9024599},
    {{"distortion:depth=80,mode=fuzz"}, Stored<DistortionParams>, {80, 0}, 0xa818c637},
    {{"noise-removal:random=40,impulse=3"}, Stored<NoiseRemovalParams>, {40, 3}, 0x45068001},
    {{"echo:delay=50,level=40,feedback=30"}, Stored<EchoParams>, {50, 40, 30}, 0x6ae1793f},
    {{"reverb:time=900,level=20,dry=70"}, Stored<ReverbParams>, {900, 20, 70}, 0xeade7a5c},
    {{"flanger:level=60,depth=10,rate=35,stereo=on"}, Stored<FlangerParams>, {60, 10, 35, 1}, 0x03a74c07},
    // 2.3 in single precision is below 2.3: times 10, truncated, 22; "10.0"
    // as the box shows it keeps 100.
    {{"vibrato:depth=30,rate=2.3,delay=1.5"}, Stored<VibratoParams>, {30, 22, 15}, 0x57c2bdab},
    {{"vibrato:rate=10.0"}, Stored<VibratoParams>, {20, 100, 0}, 0x35f4c4e9},
    {{"tremolo:level=40,rate=50,autopan=on"}, Stored<TremoloParams>, {40, 50, 1}, 0x3ea407b7},
    {{"pitch:pitch=137"}, Stored<PitchParams>, {137}, 0x02aca799},
    {{"time-stretch:speed=10"}, Stored<TimeStretchParams>, {20}, 0xd21e9fe5},
    {{"transpose:cents=-500,harmonize=on,mix=30"}, Stored<TransposeParams>, {-500, 1, 30}, 0xfd2d7b09},
    {{"volume-envelope:points=0:20/100:200/256:128"}, [] { return Curve(Params<VolumeEnvelopeParams>().curve); }, {0, 20, 100, 200, 256, 128}, 0x96e196ba},
    {{"pan-envelope:points=0:0/128:255/256:0"}, [] { return Curve(Params<PanEnvelopeParams>().curve); }, {0, 0, 128, 255, 256, 0}, 0x841079a4},
    {{"pitch-envelope:points=0:0/90:255/256:128"}, [] { return Curve(Params<PitchEnvelopeParams>().curve); }, {0, 0, 90, 255, 256, 128}, 0xa0f84f36},
    {{"graphic-eq:preset=4"}, Stored<GraphicEqParams>, {30, 40, 50, 50, 50, 50, 40, 30, 30}, 0x144d4125},
    {{"graphic-eq:preset=2,bands=-5/70000/3/4/5/6/7/8/9"}, Stored<GraphicEqParams>, {0, 100, 3, 4, 5, 6, 7, 8, 9}, 0xa61777d9},
    {{"parametric-eq:freq1=800,level1=-6,width1=60,use2=off"}, Stored<ParametricEqParams>, {1, 800, -6, 48, 0, 1000, 0, 12, 1, 1000, 0, 12}, 0x4a7e8ff9},
    {{"insert-silence:time=50"}, Stored<SilenceParams>, {50}, 0xb8ae5470},
    {{"noise:volume=90,time=100,stereo=off"}, [] { auto& p = Params<NoiseParams>(); return V{p.volume, p.time, p.stereo}; }, {90, 100, 0}, 0xfa3e3db0},
    {{"tone:volume=90,frequency=20000,time=100,wave=sawtooth,fm=on,depth=40,ratio=25"}, Stored<ToneParams>, {90, 10000, 100, 2, 1, 40, 25}, 0x81de6528},
    {{"select=0:3000", "copy", "melody:tempo=-5,melody=o5C8d+16.e-r8c2"}, [] { auto& p = Params<MelodyParams>(); return V{p.tempo, static_cast<int32_t>(p.melody.size())}; }, {60, 15}, 0x9fe32bb0},
    {{"convert:rate=11025,bits=8,channels=1"}, nullptr, {}, 0x3b30270a},
    {{"tone:time=1000", "select-all", "loudness-normalize:target=-20.5,ceiling=-2"}, Stored<LoudnessNormalizeParams>, {-205, -20}, 0xc2425fda},
};
// clang-format on

class BatchVerbs : public testing::TestWithParam<Verb> {
protected:
  BatchVerbs() {
    std::vector<int16_t> wave;  // 3000 stereo frames of a tone with both extremes
    for (int i = 0; i < 6000; ++i)
      wave.push_back(i % 97 == 0 ? (i & 1 ? 32767 : -32768) : int16_t((i * 7919) % 20001 - 10000));
    EXPECT_TRUE(
        WriteBytes(dir / "in.wav", Image().Riff(36 + 12000).Pcm(8000, 16, 2).Data(Pcm16(wave))));
  }
  int Run(const std::vector<std::string>& steps) {
    std::vector<std::string> args{dir / "in.wav"};
    args.insert(args.end(), steps.begin(), steps.end());
    args.insert(args.end(), {"--seed", "5", "-o", dir / "out.wav"});
    std::ostringstream out, err;
    const int status = CliMain(args, out, err);
    error = err.str();
    return status;
  }
  EngineFixture engine;
  TempDir dir;
  std::string error;
};

TEST_P(BatchVerbs, StoreTheirFieldsAndWriteTheFile) {
  const Verb& v = GetParam();
  ASSERT_EQ(Run(v.steps), 0) << error;
  EXPECT_EQ(error, "");
  if (v.stored != nullptr) {
    EXPECT_EQ(v.stored(), v.want);
  }
  const uint32_t hash = HashBytes(ReadBytes(dir / "out.wav"));
  if (std::getenv("KELVORA_PRINT_GOLDEN") != nullptr) {
    std::printf("%s 0x%08x\n", v.steps.back().c_str(), hash);
  } else {
    EXPECT_EQ(hash, v.hash);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryVerb, BatchVerbs, testing::ValuesIn(kVerbs));

// A mono sound has no second channel: the stereo boxes are grey and stay off.
TEST_F(BatchVerbs, GreyBoxesStayOff) {
  ASSERT_EQ(Run({"convert:channels=1", "flanger:stereo=on", "noise:stereo=on"}), 0) << error;
  EXPECT_EQ(Params<FlangerParams>().stereo, 0);
  EXPECT_EQ(Params<NoiseParams>().stereo, 0);
}

TEST_F(BatchVerbs, BadFieldsAreRefusedBeforeAnythingRuns) {
  const std::pair<std::string, const char*> refused[] = {
      {"volume:loudness=3", "unknown field: loudness"},
      {"volume:volume=1.5", "bad value for volume (a whole number): 1.5"},
      {"vibrato:rate=2,3", "bad field syntax: 3"},
      {"flanger:stereo=yes", "bad value for stereo (on or off): yes"},
      {"distortion:mode=soft", "bad value for mode (fuzz/overdrive): soft"},
      {"graphic-eq:bands=1/2/3", "bad value for bands (9 whole numbers separated by /): 1/2/3"},
      {"graphic-eq:preset=7", "bad value for preset (1/2/3/4/5/6): 7"},
      {"normalize:level=3", "operation has no fields: normalize"},
      {"volume-envelope:points=1:128/256:128", "the first x is 0, the last 256"},
      {"volume-envelope:points=0:128/100:5/100:6/256:128", "x rises from point to point"},
      {"volume-envelope:points=0:257/256:128", "y 0..256 at the ends, 0..255 between"},
      {"volume-envelope:points=0:128/256", "x:y pairs of whole numbers separated by /"},
      {"loudness-normalize:target=-80", "out of range for target (-70.0 to -5.0): -80"},
      {"loudness-normalize:ceiling=0.5", "out of range for ceiling (-9.0 to 0.0): 0.5"},
      {"loudness-normalize:gain=3", "unknown field: gain"},
  };
  for (const auto& [step, why] : refused) {
    EXPECT_EQ(Run({step}), 2) << step;
    EXPECT_NE(error.find(why), std::string::npos) << error;
    EXPECT_TRUE(ReadBytes(dir / "out.wav").empty()) << step;
  }
}

// --loudness reads the sound the steps leave: silence has no figures; a
// normalized tone reads its target.
TEST_F(BatchVerbs, LoudnessLineAfterTheSteps) {
  for (const char* step : {"silence", "loudness-normalize"}) {
    std::ostringstream out, err;
    ASSERT_EQ(
        CliMain({dir / "in.wav", "tone:time=2000", "select-all", step, "--loudness"}, out, err), 0)
        << err.str();
    const std::string line = out.str();
    if (std::string(step) == "silence") {
      EXPECT_EQ(line,
                "{\"integrated\":null,\"range\":null,\"sample_peak\":null,\"true_peak\":null,"
                "\"momentary_max\":null,\"short_term_max\":null}\n");
    } else {
      ASSERT_EQ(line.rfind("{\"integrated\":", 0), 0u) << line;
      EXPECT_NEAR(std::strtod(line.c_str() + 14, nullptr), -16, 0.2) << line;
    }
  }
}

}  // namespace
}  // namespace kelvora
