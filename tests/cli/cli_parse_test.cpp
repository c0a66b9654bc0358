#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "cli/cli.h"
#include "cli/usage.h"
#include "resources/dialogs.h"
#include "shell/commands.h"
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

TEST(CliParse, UsageErrorsAreRefusedBeforeAnythingRuns) {
  // clang-format off
  const std::vector<std::vector<std::string>> bad = {
      {}, {"a.wav", "frobnicate"}, {"a.wav", "select=1"}, {"a.wav", "select=-1:4"},
      {"a.wav", "cursor=x"}, {"a.wav", "channels=4"}, {"a.wav", "select-all:x=1"}, {"a.wav", "-o"},
      {"a.wav", "-o", ""}, {"a.wav", "-o", "", "--kind", "pcm"}, {"a.wav", "-o", "b.xyz"},
      {"a.wav", "-o", "b.wav", "--kind", "mp3"}, {"a.wav", "--kind", "pcm"}, {"new:", "--seed", "x"}};
  // clang-format on
  for (const auto& args : bad) {
    std::ostringstream out, err;
    EXPECT_EQ(CliMain(args, out, err), kCliUsage) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(err.str().empty());
    EXPECT_TRUE(out.str().empty());
  }
}

// Only one of two values could count, so neither does: the message names
// what was repeated. The same field in two steps is two settings, not one.
TEST(CliParse, RepeatedOptionsAndFieldsAreRefusedByName) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"a.wav", "-o", "b.wav", "-o", "c.wav"}, "repeated option: -o"},
      {{"a.wav", "--no", "--info", "--no"}, "repeated option: --no"},
      {{"a.wav", "--seed", "1", "normalize", "--seed", "1"}, "repeated option: --seed"},
      {{"a.wav", "volume:volume=50,pan=9,volume=200"}, "repeated field: volume"},
      {{"new:rate=8000,rate=22050"}, "repeated field: rate"},
  };
  for (const auto& [args, message] : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(CliMain(args, out, err), kCliUsage) << message;
    EXPECT_EQ(err.str(), "kelvora-cli: " + message + "\n");
  }
  CliOptions o;
  std::string error;
  EXPECT_TRUE(ParseCliArguments({"a.wav", "volume:volume=50", "volume:volume=50"}, &o, &error))
      << error;
}

TEST(CliRun, FilesThatCannotBeReadFailWithTheMessageOnStderr) {
  std::ostringstream out, err;
  EXPECT_EQ(CliMain({"/nonexistent/x.wav", "--info"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("/nonexistent/x.wav"), std::string::npos);
  EXPECT_NE(out.str().find("\"frames\":0"), std::string::npos);
  err.str("");
  EXPECT_EQ(CliMain({"sound.xyz"}, out, err), kCliFailed);
  EXPECT_NE(err.str().find("DevaZedudo: この形式はサポートしていません"), std::string::npos);
}

TEST(CliUsage, HelpNamesEveryOperationAndVersionMatchesTheBuildAndAboutBox) {
  std::ostringstream out, err;
  ASSERT_EQ(CliMain({"--help"}, out, err), kCliOk);
  const std::string help = out.str();
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  for (int i = 0; i < count; ++i) {
    if (table[i].cliVerb != nullptr && table[i].action != nullptr) {
      EXPECT_NE(help.find(table[i].cliVerb), std::string::npos) << table[i].cliVerb;
    }
  }
  EXPECT_NE(help.find("rate=8000|11025|22050|44100"), std::string::npos);
  EXPECT_NE(help.find("limiter=on|off"), std::string::npos);

  std::ostringstream version;
  ASSERT_EQ(CliMain({"--version"}, version, err), kCliOk);
  EXPECT_EQ(version.str(), std::string("kelvora-cli ") + KELVORA_PROJECT_VERSION + "\n");
  const DialogDesc* about = FindDialog(105);
  ASSERT_NE(about, nullptr);
  bool shown = false;
  for (const ControlDesc& c : about->controls)
    shown |= std::string(c.text) == std::string("Kelvora Version ") + kProgramVersion;
  EXPECT_TRUE(shown);
  EXPECT_TRUE(err.str().empty());
}

// The window program answers --help and --version alone; anything else,
// and those among other words, is a path to open.
TEST(CliUsage, WindowProgramPrintsUsageAndVersion) {
  std::string text;
  ASSERT_TRUE(ProgramInfoRequest({"--version"}, &text));
  EXPECT_EQ(text, std::string("kelvora ") + kProgramVersion + "\n");
  ASSERT_TRUE(ProgramInfoRequest({"--help"}, &text));
  EXPECT_EQ(text.rfind("usage: kelvora [FILE]\n       kelvora --help | --version\n", 0), 0u);
  EXPECT_FALSE(ProgramInfoRequest({"--help", "me.wav"}, &text));
  EXPECT_FALSE(ProgramInfoRequest({"./--help"}, &text));
  EXPECT_FALSE(ProgramInfoRequest({}, &text));
}

TEST(CliUsage, ManualPagesEscapeWhatTroffWouldTakeAsCommands) {
  for (const ManualPage& page : {CliManual(), ProgramManual()}) {
    const std::string man = RenderManPage(page);
    EXPECT_EQ(man.rfind(".TH ", 0), 0u);
    size_t line = 0;
    // Every line that starts with a dot is one of the few requests we write.
    while (line < man.size()) {
      const size_t end = man.find('\n', line);
      const std::string text = man.substr(line, end - line);
      if (!text.empty() && text[0] == '.') {
        const std::string request = text.substr(0, text.find(' '));
        EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".TP" || request == ".B" ||
                    request == ".br")
            << text;
      }
      line = end + 1;
    }
    EXPECT_EQ(man.find("--"), std::string::npos) << "dashes must be escaped";
  }
}

}  // namespace
}  // namespace kelvora
