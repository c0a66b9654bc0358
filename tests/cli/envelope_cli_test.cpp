// The envelope verbs of the batch tool: the points drawn into the editor
// with the mouse, the effect applied to the file; bad point lists refused
// before anything runs.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "effects/envelope.h"
#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

class EnvelopeCli : public testing::Test {
protected:
  EnvelopeCli() {
    std::vector<int16_t> frames;  // 100 stereo frames of (1000, -2000)
    for (int i = 0; i < 100; ++i) frames.insert(frames.end(), {1000, -2000});
    EXPECT_TRUE(
        WriteBytes(dir / "in.wav", Image().Riff(36 + 400).Pcm(8000, 16, 2).Data(Pcm16(frames))));
  }
  // Runs the tool on in.wav with `step`; the samples of out.wav.
  std::vector<int16_t> Run(const std::string& step, int status = 0) {
    std::ostringstream out, err;
    EXPECT_EQ(CliMain({dir / "in.wav", step, "-o", dir / "out.wav"}, out, err), status) << step;
    error = err.str();
    const std::vector<uint8_t> b = ReadBytes(dir / "out.wav");
    std::vector<int16_t> samples;
    for (size_t i = 44; i + 1 < b.size(); i += 2)
      samples.push_back(static_cast<int16_t>(b[i] | b[i + 1] << 8));
    return samples;
  }
  EngineFixture engine;
  TempDir dir;
  std::string error;
};

TEST_F(EnvelopeCli, EachVerbDrawsItsCurveAndApplies) {
  const std::vector<int16_t> volume = Run("volume-envelope:points=0:0/40:250/200:3/256:128");
  const Envelope e = {0, 0, 40, 250, 200, 3, 256, 128, kCurveEnd, kCurveEnd};
  ASSERT_EQ(volume.size(), 200u);
  for (int i = 0; i < 100; ++i) {
    const int32_t g = EnvelopeValue(e, i * 256 / 100);
    ASSERT_EQ(volume[2 * i], 1000 * g / 128) << i;
    ASSERT_EQ(volume[2 * i + 1], std::max(-32768, -2000 * g / 128)) << i;
  }
  EXPECT_EQ(Run("pan-envelope:points=0:256/256:256"), [] {
    std::vector<int16_t> v;
    for (int i = 0; i < 100; ++i) v.insert(v.end(), {2000, 0});
    return v;
  }());
  EXPECT_EQ(Run("pitch-envelope:points=0:256/256:256").size(), 100u);  // half as long
}

TEST_F(EnvelopeCli, BadPointListsAreRefused) {
  for (const char* points :
       {"1:128/256:128", "0:128/255:128", "0:128/100:5/100:6/256:128", "0:128/60:5/50:6/256:128",
        "0:257/256:128", "0:128/256:-1", "0:128/256", "0:128/x:1/256:128"}) {
    EXPECT_TRUE(Run(std::string("volume-envelope:points=") + points, 2).empty());
    EXPECT_NE(error.find("bad value for points"), std::string::npos) << error;
  }
  std::string forty = "0:0";
  for (int x = 1; x <= 38; ++x) {  // piece by piece keeps GCC's -Wrestrict quiet
    forty += '/';
    forty += std::to_string(x);
    forty += ":9";
  }
  forty += "/256:0";
  EXPECT_TRUE(Run("pitch-envelope:points=" + forty, 2).empty());
  EXPECT_NE(error.find("2 to 39 points"), std::string::npos) << error;
}

}  // namespace
}  // namespace kelvora
