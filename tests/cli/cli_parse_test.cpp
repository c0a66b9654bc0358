#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "cli/cli.h"
#include "test_support.h"

namespace kelvora {
namespace {

TEST(CliParse, StepsKeepTheirOrderAndOptionsGoAnywhere) {
  CliOptions o;
  std::string error;
  ASSERT_TRUE(ParseCliArguments({"in.wav", "--info", "select=10:20", "channels=2", "undo",
                                 "select-all", "cursor=5", "-o", "out.aif", "--no"},
                                &o, &error))
      << error;
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_TRUE(o.info && o.answerNo);
  EXPECT_EQ(o.output, "out.aif");
  using K = CliStep::Kind;
  std::vector<std::tuple<K, int64_t, int64_t, int>> steps;
  for (const CliStep& s : o.steps) steps.emplace_back(s.kind, s.first, s.second, s.commandId);
  EXPECT_EQ(steps, (decltype(steps){{K::kSelect, 10, 20, 0},
                                    {K::kChannels, 2, 0, 0},
                                    {K::kCommand, 0, 0, kCmdUndo},
                                    {K::kCommand, 0, 0, kCmdSelectAll},
                                    {K::kCursor, 5, 0, 0}}));
}

TEST(CliParse, OutputKindFromOptionOrExtension) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"a.wav", "-o", "b.WAV"}, kFileKindWavPcm},
      {{"a.wav", "-o", "b.au"}, kFileKindAu},
      {{"a.wav", "-o", "b.aiff"}, kFileKindAiff},
      {{"a.wav", "-o", "b.aif"}, kFileKindAiff},
      {{"a.wav", "-o", "b.wav", "--kind", "ulaw"}, kFileKindWavMuLaw},
      {{"a.wav", "-o", "b.snd", "--kind", "au"}, kFileKindAu},
  };
  for (const auto& [args, kind] : cases) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(ParseCliArguments(args, &o, &error)) << error;
    EXPECT_EQ(o.outputKind, kind) << args[2];
  }
}

TEST(CliParse, UsageErrorsAreRefusedBeforeAnythingRuns) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"a.wav", "frobnicate"},
      {"a.wav", "select=1"},
      {"a.wav", "select=-1:4"},
      {"a.wav", "cursor=x"},
      {"a.wav", "channels=4"},
      {"a.wav", "select-all:x=1"},
      {"a.wav", "-o"},
      {"a.wav", "-o", ""},
      {"a.wav", "-o", "", "--kind", "pcm"},
      {"a.wav", "-o", "b.xyz"},
      {"a.wav", "-o", "b.wav", "--kind", "mp3"},
      {"a.wav", "--kind", "pcm"},
  };
  for (const auto& args : bad) {
    std::ostringstream out, err;
    EXPECT_EQ(CliMain(args, out, err), kCliUsage) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(err.str().empty());
    EXPECT_TRUE(out.str().empty());
  }
}

TEST(CliRun, FilesThatCannotBeReadFailWithTheMessageOnStderr) {
  std::ostringstream out, err;
  EXPECT_EQ(CliMain({"/nonexistent/x.wav", "--info"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("/nonexistent/x.wav"), std::string::npos);
  EXPECT_NE(out.str().find("\"frames\":0"), std::string::npos);
  err.str("");
  EXPECT_EQ(CliMain({"sound.mp3"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("DevaZedudo: この形式はサポートしていません"), std::string::npos);
}

}  // namespace
}  // namespace kelvora
