// The batch tool's file, edit and effect verbs, each run once from the command line
// to the file it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "files/file_test_support.h"
#include "platform/atomic_file_writer.h"
#include "test_support.h"

namespace kelvora {
namespace {

class EditCli : public testing::Test {
protected:
  EditCli() {
    std::vector<int16_t> ramp;  // 100 frames of 8000 Hz 16-bit mono
    for (int i = 0; i < 100; ++i) ramp.push_back(int16_t(i * 100));
    EXPECT_TRUE(
        WriteBytes(dir / "in.wav", Image().Riff(36 + 200).Pcm(8000, 16, 1).Data(Pcm16(ramp))));
  }
  // Runs the tool; true when it ended with `status`.
  bool Run(std::vector<std::string> args, int status = 0) {
    std::ostringstream o, e;
    const bool as_expected = CliMain(args, o, e) == status;
    out = o.str();
    err = e.str();
    return as_expected;
  }
  bool Says(const std::string& s) { return out.find(s) != std::string::npos; }
  EngineFixture engine;
  TempDir dir;
  std::string out, err;
};

TEST_F(EditCli, EditVerbsInOneRun) {
  // 100 + 10 - 5, cropped to 50, cut to nothing, pasted back (50) and mixed
  // in after itself (100).
  ASSERT_TRUE(Run({dir / "in.wav", "select=10:20", "copy", "cursor=0", "paste", "select=0:5",
                   "delete", "select=0:50", "crop", "select-all", "cut", "paste", "mix", "-o",
                   dir / "out.au", "--info"}))
      << err;
  EXPECT_EQ(out,
            "{\"rate\":8000,\"bits\":16,\"channels\":1,\"frames\":100,\"bytes\":200,"
            "\"selection\":[100,100],\"moving_end\":100,\"modified\":false,\"file_kind\":2}\n");
  EXPECT_EQ(ReadBytes(dir / "out.au").size(), 32u + 100u);
  EXPECT_EQ(err, "");
}

TEST_F(EditCli, ConvertNewClipAndEveryKindOfOutput) {
  ASSERT_TRUE(Run(
      {dir / "in.wav", "convert:rate=22050,bits=8,channels=2", "-o", dir / "c.aiff", "--info"}));
  EXPECT_TRUE(Says("\"rate\":22050,\"bits\":8,\"channels\":2,\"frames\":276,"));
  ASSERT_TRUE(Run({dir / "c.aiff", "-o", dir / "c.snd", "--kind", "au"}));  // asks, answered OK
  EXPECT_EQ(ReadBytes(dir / "c.snd").size(), 32u + 2u * 276u);
  ASSERT_TRUE(Run({dir / "c.aiff", "--no", "-o", dir / "c2.au"}, 1));  // answered No
  ASSERT_TRUE(Run({dir / "in.wav", "-o", dir / "u.dat", "--kind", "ulaw", "--info"}));
  EXPECT_TRUE(Says("\"file_kind\":257"));
  ASSERT_TRUE(Run({dir / "in.wav", "-o", dir / "p.dat", "--kind", "pcm"}));
  // 100 frames at 8000 Hz become 552 at 44100 Hz, in both channels.
  ASSERT_TRUE(
      Run({"new:rate=44100,bits=16,channels=2", "--clip", dir / "in.wav", "paste", "--info"}));
  EXPECT_TRUE(Says("\"channels\":2,\"frames\":552,\"bytes\":2208,\"selection\":[0,552]"));
}

// Nothing is saved after a refused file or a position past the end; a data
// size of 0 (a recording cut short) keeps its sound through load and save.
TEST_F(EditCli, RefusedFilesAndPositionsSaveNothing) {
  const std::vector<uint8_t> flac = {'f', 'L', 'a', 'C', 0, 0, 0, 34};
  ASSERT_TRUE(WriteBytes(dir / "flac.wav", flac));
  ASSERT_TRUE(Run({dir / "flac.wav", "-o", dir / "flac.wav"}, 1));
  EXPECT_EQ(ReadBytes(dir / "flac.wav"), flac);
  for (const char* step : {"select=50:101", "select=101:0", "cursor=101"}) {
    ASSERT_TRUE(Run({dir / "in.wav", step, "silence", "-o", dir / "s.wav"}, 1)) << step;
    EXPECT_EQ(err, "kelvora-cli: " + std::string(step) +
                       " lies outside the sound, which is 100 frames long (positions 0 to 100)\n");
  }
  EXPECT_TRUE(ReadBytes(dir / "s.wav").empty());
  ASSERT_TRUE(Run({dir / "in.wav", "select=100:0", "cursor=100", "-o", dir / "s.wav"}));
  std::vector<uint8_t> cut = ReadBytes(dir / "in.wav");
  cut[40] = cut[41] = 0;  // the data size
  ASSERT_TRUE(WriteBytes(dir / "cut.wav", cut));
  ASSERT_TRUE(Run({dir / "cut.wav", "-o", dir / "cut.wav", "--info"}));
  EXPECT_TRUE(Says("\"frames\":100,")) << out;
  EXPECT_EQ(ReadBytes(dir / "cut.wav"), ReadBytes(dir / "in.wav"));
}

// The executable itself: exit status, --info on stdout, messages on stderr.
TEST_F(EditCli, TheProgramCopiesReportsAndFails) {
  auto run = [&](const std::string& args) {
    const std::string command = std::string(KELVORA_CLI_PATH) + " " + args + " >" +
                                (dir / "stdout") + " 2>" + (dir / "stderr");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  auto text = [&](const char* name) { return ReadText(dir / name); };
  ASSERT_EQ(run(dir / "in.wav" + " -o " + (dir / "out.wav") + " --info"), 0);
  EXPECT_EQ(ReadBytes(dir / "out.wav"), ReadBytes(dir / "in.wav"));
  EXPECT_EQ(text("stdout").find("{\"rate\":8000,\"bits\":16,\"channels\":1,\"frames\":100,"), 0u);
  ASSERT_TRUE(WriteBytes(dir / "bad.wav", Image().Riff()));
  EXPECT_EQ(run(dir / "bad.wav" + " -o " + (dir / "bad-out.wav")), 1);
  EXPECT_NE(text("stderr").find("ファイルを開く: データが異常です\n"), std::string::npos);
  EXPECT_TRUE(ReadBytes(dir / "bad-out.wav").empty());
}

// A file the tool creates is left to the system's writing back; one it
// replaces is synced with its folder, and so is every file with --sync.
TEST_F(EditCli, SyncsOnlyWhatItReplacesUnlessAsked) {
  auto syncs = [&](std::vector<std::string> args) {
    const uint64_t before = AtomicFileWriter::SyncCalls();
    EXPECT_TRUE(Run(args)) << err;
    return AtomicFileWriter::SyncCalls() - before;
  };
  EXPECT_EQ(syncs({dir / "in.wav", "normalize", "-o", dir / "new.wav"}), 0u);
  EXPECT_EQ(syncs({dir / "in.wav", "reverse", "-o", dir / "new.wav"}), 2u);  // file and folder
  EXPECT_EQ(syncs({dir / "in.wav", "-o", dir / "other.au", "--sync"}), 2u);
  EXPECT_EQ(ReadBytes(dir / "other.au").size(), 32u + 100u);
  // The window's saves, after the tool has run, sync new files as before.
  EXPECT_TRUE(AtomicFileWriter::SyncNewFiles());
}

}  // namespace
}  // namespace kelvora
