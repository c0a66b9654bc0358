// The batch tool with today's formats.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

struct Tool {
  EngineFixture engine;
  std::string out, err;
  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    const int status = CliMain(args, o, e);
    out = o.str();
    err = e.str();
    return status;
  }
};

TEST(FormatsCli, EachFormatByItsExtensionAndBack) {
  Tool tool;
  TempDir dir;
  const std::pair<const char*, const char*> formats[] = {
      {"flac", "FLAC"}, {"ogg", "Ogg Vorbis"}, {"opus", "Opus"}, {"mp3", "MP3"}};
  for (const auto& [extension, name] : formats) {
    const std::string file = dir / (std::string("t.") + extension);
    ASSERT_EQ(tool.Run({"new:rate=44100,bits=16,channels=2", "tone:time=300", "-o", file}), 0)
        << tool.err;
    ASSERT_EQ(tool.Run({file, "-o", dir / "back.wav", "--info"}), 0) << tool.err;
    EXPECT_NE(tool.out.find(std::string("\"file_kind\":1,\"source\":\"") + name + "\"}"),
              std::string::npos)
        << tool.out;
    // Only the lossless file comes back exactly, and says nothing.
    EXPECT_EQ(tool.err.empty(), std::string(extension) == "flac") << tool.err;
  }
  EXPECT_EQ(tool.Run({dir / "back.wav", "-o", dir / "x.m4a"}), kCliUsage);
}

TEST(FormatsCli, TheSeedChoosesTheDither) {
  Tool tool;
  TempDir dir;
  ASSERT_EQ(tool.Run({"new:rate=22050,bits=16,channels=1", "noise:time=200", "-o", dir / "n.ogg"}),
            0);
  auto decode = [&](const char* seed) {
    EXPECT_EQ(tool.Run({dir / "n.ogg", "--seed", seed, "-o", dir / "n.wav"}), 0);
    return ReadBytes(dir / "n.wav");
  };
  const std::vector<uint8_t> first = decode("1");
  EXPECT_EQ(decode("1"), first);
  EXPECT_NE(decode("2"), first);
}

}  // namespace
}  // namespace kelvora
