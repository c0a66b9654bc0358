#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "test_support.h"

namespace kelvora {
namespace {

int Parse(std::vector<std::string> args, CliOptions* options, std::string* error) {
  return ParseCliArguments(args, options, error) ? 0 : 2;
}

TEST(CliParse, StepsKeepTheirOrderAndOptionsGoAnywhere) {
  CliOptions o;
  std::string error;
  ASSERT_EQ(Parse({"in.wav", "--info", "select=10:20", "channels=2", "undo", "select-all",
                   "cursor=5", "-o", "out.aif", "--no"},
                  &o, &error),
            0)
      << error;
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_TRUE(o.info);
  EXPECT_TRUE(o.answerNo);
  EXPECT_EQ(o.output, "out.aif");
  EXPECT_EQ(o.outputKind, kFileKindAiff);
  ASSERT_EQ(o.steps.size(), 5u);
  EXPECT_EQ(o.steps[0].kind, CliStep::Kind::kSelect);
  EXPECT_EQ(o.steps[0].first, 10);
  EXPECT_EQ(o.steps[0].second, 20);
  EXPECT_EQ(o.steps[1].kind, CliStep::Kind::kChannels);
  EXPECT_EQ(o.steps[2].commandId, kCmdUndo);
  EXPECT_EQ(o.steps[3].commandId, kCmdSelectAll);
  EXPECT_EQ(o.steps[4].kind, CliStep::Kind::kCursor);
}

TEST(CliParse, OutputKindFromOptionOrExtension) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"a.wav", "-o", "b.WAV"}, kFileKindWavPcm},
      {{"a.wav", "-o", "b.au"}, kFileKindAu},
      {{"a.wav", "-o", "b.aiff"}, kFileKindAiff},
      {{"a.wav", "-o", "b.wav", "--kind", "ulaw"}, kFileKindWavMuLaw},
      {{"a.wav", "-o", "b.snd", "--kind", "au"}, kFileKindAu},
  };
  for (const auto& [args, kind] : cases) {
    CliOptions o;
    std::string error;
    ASSERT_EQ(Parse(args, &o, &error), 0) << error;
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

TEST(CliRun, UnreadableInputFailsWithStatusOne) {
  std::ostringstream out, err;
  EXPECT_EQ(CliMain({"/nonexistent/x.wav", "--info"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("/nonexistent/x.wav"), std::string::npos);
  EXPECT_NE(out.str().find("\"frames\":0"), std::string::npos);
}

TEST(CliRun, UnknownExtensionShowsTheMessageOnStderr) {
  std::ostringstream out, err;
  EXPECT_EQ(CliMain({"sound.mp3"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("DevaZedudo: この形式はサポートしていません"), std::string::npos);
}

}  // namespace
}  // namespace kelvora
