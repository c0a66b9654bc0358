// Real SIGKILLs of the window program, then a restart; the edits compared
// with kelvora-cli's.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "files/file_test_support.h"
#include "files/recovery_folder.h"
#include "files/wav.h"
#include "shell/texts.h"

namespace kelvora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool WaitFor(const std::function<bool()>& done, int seconds) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

struct CrashTest : ::testing::Test {
  CrashTest() {
    fs::create_directories(state);
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("CHILD", KELVORA_RECOVERY_CHILD, 1);
  }
  ~CrashTest() override {
    for (pid_t pid : children) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    ::unsetenv("XDG_STATE_HOME");
  }
  std::string Root() const { return state + "/kelvora/recovery"; }

  // The batch tool, which must leave the recovery folder alone.
  int Cli(const std::string& args) {
    return std::system((KELVORA_CLI_PATH " " + args + " 2>/dev/null").c_str());
  }
  // Starts `argv` (the child by default) with the steps and answer given,
  // its output into tmp/stdout.
  pid_t Start(const std::string& steps, const std::string& answer,
              std::vector<std::string> argv = {}) {
    if (argv.empty() || argv[0] != "unshare") argv.insert(argv.begin(), KELVORA_RECOVERY_CHILD);
    std::vector<char*> a;
    for (std::string& s : argv) a.push_back(s.data());
    a.push_back(nullptr);
    const std::string out = tmp + "/stdout";
    ::setenv("KELVORA_CHILD_STEPS", steps.c_str(), 1);
    ::setenv("KELVORA_CHILD_ANSWER", answer.c_str(), 1);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      ::execvp(a[0], a.data());
      ::_exit(127);
    }
    children.push_back(pid);
    return pid;
  }
  // The exit status, or -1 when it did not end in time.
  int Wait(pid_t pid, int seconds = 60) {
    int status = 0;
    const bool ended = WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, seconds);
    children.erase(std::remove(children.begin(), children.end(), pid), children.end());
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Crash(pid_t pid) {
    ::kill(pid, SIGKILL);
    Wait(pid);
  }
  // The child's folder, once it has one.
  std::string FolderOf(pid_t pid) {
    for (const std::string& name : FolderNames(Root()))
      if (name.rfind(std::to_string(pid) + "-", 0) == 0) return Root() + "/" + name;
    return "";
  }
  std::string Info(pid_t pid) { return ReadText(FolderOf(pid) + "/" + kRecoveryInfoName); }

  TempDir dir;
  std::string tmp = dir.path(), state = tmp + "/state";
  std::vector<pid_t> children;
};

// Copied, killed, restored, saved: kelvora-cli's file; a broken copy is offered first.
TEST_F(CrashTest, CopyRestoreSaveGivesTheSameFileAsTheBatchTool) {
  const std::string sound = tmp + "/voice.aiff", expected = tmp + "/expected.aiff";
  ASSERT_EQ(Cli("new:rate=22050,bits=16,channels=2 tone:time=3000 -o " + sound), 0);
  ASSERT_EQ(Cli(sound + " invert reverse -o " + expected), 0);
  EXPECT_FALSE(fs::exists(state + "/kelvora"));
  const pid_t first = Start("40024,40041,copied,wait:60000", "yes", {sound});
  ASSERT_TRUE(WaitFor([&] { return !Info(first).empty(); }, 60));
  Crash(first);
  fs::create_directories(Root() + "/999999999-1");
  WriteText(Root() + "/999999999-1/document.txt", "kelvora recovery 1\nbroken");

  const pid_t second = Start("40004,exit", "yes");
  EXPECT_EQ(Wait(second), 0);
  EXPECT_EQ(ReadText(sound), ReadText(expected));
  EXPECT_TRUE(FolderNames(Root()).empty());
}

// Killed while the next copy is written: the copy that document.txt names
// is whole and holds one of the states the sound went through.
TEST_F(CrashTest, KilledWhileACopyIsWrittenLeavesThePreviousOneWhole) {
  const std::string sound = tmp + "/long.wav";
  ASSERT_EQ(Cli("new:rate=44100,bits=16,channels=2 tone:time=600000 -o " + sound), 0);
  // Inverting and reversing in turn goes round these four states; the child
  // keeps copying, so that a loaded machine cannot miss every write.
  std::vector<std::string> states{ReadText(sound)};
  for (const char* steps : {"invert", "invert reverse", "reverse"}) {
    ASSERT_EQ(Cli(sound + " " + steps + " -o " + tmp + "/state.wav"), 0);
    states.push_back(ReadText(tmp + "/state.wav"));
  }
  std::string steps;
  for (int i = 0; i < 20; ++i) steps += "40024,copied,40041,copied,";
  const pid_t child = Start(steps + "wait:60000", "yes", {sound});
  ASSERT_TRUE(WaitFor([&] { return !Info(child).empty(); }, 120));
  // A file in the folder open and not yet named (or under a temporary
  // name): the next copy is being written.
  const std::string fds = "/proc/" + std::to_string(child) + "/fd";
  auto writing = [&] {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(fds, ec)) {
      const std::string to = fs::read_symlink(fd.path(), ec).string();
      if (to.rfind(Root(), 0) == 0 &&
          (to.find("(deleted)") != std::string::npos || to.find("/.kelvora-") != std::string::npos))
        return true;
    }
    return false;
  };
  ASSERT_TRUE(WaitFor(writing, 120));
  Crash(child);
  RecoveryInfo info;
  ASSERT_TRUE(ParseRecoveryInfo(ReadText(FolderOf(child) + "/" + kRecoveryInfoName), &info));
  const std::string copy = ReadText(FolderOf(child) + "/" + info.sound);
  EXPECT_EQ(static_cast<int64_t>(copy.size()), info.bytes + static_cast<int64_t>(kWavHeaderBytes));
  EXPECT_NE(std::find(states.begin(), states.end(), copy), states.end());
}

// A recovery folder on a full file system: no copy, one note in the status
// bar, and the save goes through all the same.
TEST_F(CrashTest, AFullDiskSkipsTheCopyWithANote) {
  if (std::system("unshare -rm sh -c 'mount -t tmpfs -o size=64k tmpfs /tmp' 2>/dev/null") != 0)
    GTEST_SKIP() << "no private mounts here; RecoveryTest.NoRoomSkips... simulates a full disk";
  const std::string sound = tmp + "/voice.wav", expected = tmp + "/expected.wav";
  ASSERT_EQ(Cli("new:rate=22050,bits=16,channels=2 tone:time=3000 -o " + sound), 0);
  ASSERT_EQ(Cli(sound + " invert -o " + expected), 0);
  const pid_t child =
      Start("40024,wait:3000,status,40004,exit", "yes",
            {"unshare", "-rm", "sh", "-c",
             "mount -t tmpfs -o size=64k tmpfs \"$XDG_STATE_HOME\" && exec \"$CHILD\" \"$1\"", "sh",
             sound});
  EXPECT_EQ(Wait(child), 0);
  EXPECT_EQ(ReadText(tmp + "/stdout"), std::string(texts::kRecoveryNoSpace) + "\n");
  EXPECT_EQ(ReadText(sound), ReadText(expected));
}

}  // namespace
}  // namespace kelvora
