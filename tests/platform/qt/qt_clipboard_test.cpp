#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "editing/clip_wave_block.h"
#include "editing/clipboard_commands.h"
#include "platform/qt/qt_platform.h"
#include "shell/qt/qt_main_window.h"
#include "shell/qt/qt_test_app.h"
#include "test_support.h"

namespace kelvora {
namespace {

std::vector<uint8_t> Block(const SoundFormat& f, const std::vector<uint8_t>& sound) {
  MemoryBlock block;
  EXPECT_TRUE(BuildClipWaveBlock(f, sound.data(), int32_t(sound.size()), block));
  return std::vector<uint8_t>(block.data(), block.data() + block.size());
}

std::vector<uint8_t> Data(const QMimeData* mime, const char* type) {
  const QByteArray b = mime->data(QString::fromLatin1(type));
  return std::vector<uint8_t>(b.begin(), b.end());
}

void Offer(const char* type, const std::vector<uint8_t>& bytes) {
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(type),
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

TEST(QtClipboardWave, OurBlockForUsAPlainWaveForOthers) {
  EnsureQtApplication();
  QtClipboard clipboard;
  const std::vector<uint8_t> sound = Pcm16({1, -1, 300, -300, 7, 8});
  const std::vector<uint8_t> block = Block(MakeFormat(22050, 16, 2), sound);
  ASSERT_TRUE(clipboard.SetWave(block.data(), block.size()));
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  EXPECT_EQ(Data(mime, "application/x-kelvora-wave"), block);
  // Other programs get a file as they know it: fmt of 16 bytes, data at 36.
  const std::vector<uint8_t> wave = Data(mime, "audio/wav");
  ASSERT_EQ(wave.size(), 44u + sound.size());
  EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
  EXPECT_EQ(wave[4], 36 + sound.size());
  EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(wave[16], 16);
  EXPECT_EQ(std::string(wave.begin() + 36, wave.begin() + 40), "data");
  EXPECT_EQ(std::vector<uint8_t>(wave.begin() + 20, wave.begin() + 36),
            std::vector<uint8_t>(block.begin() + 20, block.begin() + 36));
  EXPECT_EQ(std::vector<uint8_t>(wave.begin() + 40, wave.end()),
            std::vector<uint8_t>(block.begin() + 40, block.end() - 2));
  EXPECT_EQ(Data(mime, "audio/vnd.wave"), wave);
  std::vector<uint8_t> back;
  ASSERT_TRUE(clipboard.GetWave(back));
  EXPECT_EQ(back, block);
}

TEST(QtClipboardWave, AnotherProgramsWaveIsCheckedBeforeItIsPasted) {
  EnsureQtApplication();
  EngineFixture engine;
  QtClipboard clipboard;
  Services().clipboard = &clipboard;
  const std::vector<uint8_t> good =
      StandardWaveImage(Block(MakeFormat(8000, 8, 1), {0x10, 0x20, 0x30}).data(), 3 + 46);
  Offer("audio/vnd.wave", good);
  SetDocument(MakeFormat(8000, 8, 1), {1, 2});
  Doc().movingEnd = 1;
  PasteClip();
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 0x10, 0x20, 0x30, 2}));

  const auto broken = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  std::vector<uint8_t> back;
  for (const std::vector<uint8_t>& bad :
       {broken(0, 'X'), broken(8, 'X'), broken(12, 'X'), broken(16, 18), broken(20, 3),
        broken(36, 'X'), broken(40, 4), std::vector<uint8_t>(good.begin(), good.begin() + 43)}) {
    Offer("audio/wav", bad);
    EXPECT_FALSE(clipboard.GetWave(back));
  }
  clipboard.Clear();
  EXPECT_FALSE(clipboard.GetWave(back));
  Services().clipboard = &engine.platform.clipboard;
}

// ----- Between two processes ---------------------------------------------------

// The peer's sound: three stereo frames, of which the last two are copied.
const std::vector<int16_t> kPeerSound = {1, 2, 300, -300, -32768, 32767};

// One side of the copy between two processes, started by the test below
// with KELVORA_CLIPBOARD_PEER set to "copy" or "paste" and a real X display.
TEST(QtClipboardProcesses, Peer) {
  const char* role = std::getenv("KELVORA_CLIPBOARD_PEER");
  if (role == nullptr) GTEST_SKIP() << "a child of CopyInOneProcessPasteInAnother";
  EnsureQtApplication();
  EngineFixture engine;
  QtClipboard clipboard;
  Services().clipboard = &clipboard;
  if (std::string(role) == "copy") {
    SetDocument(MakeFormat(22050, 16, 2), Pcm16(kPeerSound));
    Doc().selStart = 4;
    Doc().selEnd = Doc().movingEnd = 12;
    CopySelection();
    std::printf("ready\n");
    std::fflush(stdout);
    // Serves the clipboard until the parent closes our input.
    QEventLoop loop;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
      char c;
      if (read(0, &c, 1) <= 0) loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
  } else {
    SetDocument(MakeFormat(22050, 16, 2), Pcm16({9, 9}));
    PasteClip();
    EXPECT_EQ(DocumentBytes(), Pcm16({300, -300, -32768, 32767, 9, 9}));
    EXPECT_EQ(Doc().selEnd, 8);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const std::vector<uint8_t> wave = Data(mime, "audio/wav");
    EXPECT_TRUE(IsStandardPcmWave(wave.data(), wave.size()));
    EXPECT_EQ(wave.size(), 44u + 8u);
  }
  Services().clipboard = &engine.platform.clipboard;
}

struct Child {
  pid_t pid = -1;
  int in = -1;   // our end of its standard input
  int out = -1;  // our end of its standard output
};

Child Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  int in[2], out[2];
  Child c;
  if (pipe(in) != 0 || pipe(out) != 0) return c;
  c.pid = fork();
  if (c.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  c.in = in[1];
  c.out = out[0];
  return c;
}

// A line from the child, waiting at most `ms`.
std::string ReadLine(int fd, int ms) {
  std::string line;
  char ch;
  while (true) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0 || read(fd, &ch, 1) != 1 || ch == '\n') return line;
    line += ch;
  }
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QtClipboardProcesses, CopyInOneProcessPasteInAnother) {
  if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
  // A display of our own; Xvfb writes its number when it is ready.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t server = fork();
  if (server == 0) {
    close(ready[0]);
    const std::string fd = std::to_string(ready[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
           "320x240x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  const std::string display = ReadLine(ready[0], 20000);
  close(ready[0]);
  ASSERT_FALSE(display.empty());

  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = 0;
  const std::vector<std::string> args = {self, "--gtest_filter=QtClipboardProcesses.Peer"};
  const std::vector<std::string> env = {"DISPLAY=:" + display, "QT_QPA_PLATFORM=xcb"};
  auto with = [&](const char* role) {
    std::vector<std::string> e = env;
    e.push_back(std::string("KELVORA_CLIPBOARD_PEER=") + role);
    return e;
  };
  Child copy = Spawn(args, with("copy"));
  ASSERT_GT(copy.pid, 0);
  std::string line;
  do line = ReadLine(copy.out, 30000);
  while (!line.empty() && line != "ready");
  EXPECT_EQ(line, "ready");
  Child paste = Spawn(args, with("paste"));
  close(paste.in);
  EXPECT_EQ(Wait(paste.pid), 0);
  close(paste.out);
  close(copy.in);  // the copying process may go now
  EXPECT_EQ(Wait(copy.pid), 0);
  close(copy.out);
  kill(server, SIGTERM);
  Wait(server);
}

}  // namespace
}  // namespace kelvora
