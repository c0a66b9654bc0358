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

#include "editing/clip_wave_block.h"
#include "editing/clipboard_commands.h"
#include "platform/qt/qt_platform.h"
#include "shell/qt/qt_main_window.h"
#include "shell/qt/qt_test_app.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Block(const SoundFormat& f, const Bytes& sound) {
  MemoryBlock block;
  EXPECT_TRUE(BuildClipWaveBlock(f, sound.data(), int32_t(sound.size()), block));
  return Bytes(block.data(), block.data() + block.size());
}

Bytes Data(const char* type) {
  const QByteArray b = QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(type));
  return Bytes(b.begin(), b.end());
}

void Offer(const char* type, const Bytes& bytes) {
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(type),
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

TEST(QtClipboardWave, OurBlockForUsAPlainWaveForOthersAndOnlyAPlainOneBack) {
  EnsureQtApplication();
  QtClipboard clipboard;
  const Bytes sound = Pcm16({1, -1, 300, -300});
  const Bytes block = Block(MakeFormat(22050, 16, 2), sound);
  ASSERT_TRUE(clipboard.SetWave(block.data(), block.size()));
  EXPECT_EQ(Data("application/x-kelvora-wave"), block);
  // Other programs get a file as they know it: fmt of 16 bytes, data at 36.
  const Bytes wave = Data("audio/wav");
  Bytes want(block.begin(), block.end() - 2);
  want[4] = uint8_t(36 + sound.size());
  want[16] = 16;
  std::copy_n("data", 4, want.begin() + 36);
  EXPECT_EQ(wave, want);
  EXPECT_EQ(Data("audio/vnd.wave"), wave);
  Bytes back;
  ASSERT_TRUE(clipboard.GetWave(back));
  EXPECT_EQ(back, block);
  // Another program's WAV is taken only when it has the plain header.
  Offer("audio/vnd.wave", wave);
  ASSERT_TRUE(clipboard.GetWave(back));
  EXPECT_EQ(back, wave);
  for (auto [at, value] :
       {std::pair{0, 'X'}, {8, 'X'}, {12, 'X'}, {16, 18}, {20, 3}, {36, 'X'}, {40, 9}}) {
    Bytes bad = wave;
    bad[size_t(at)] = uint8_t(value);
    Offer("audio/wav", bad);
    EXPECT_FALSE(clipboard.GetWave(back)) << at;
  }
  clipboard.Clear();
  EXPECT_FALSE(clipboard.GetWave(back));
}

// ----- Between two processes ---------------------------------------------------

// One side of a copy between two processes, started by the test below with
// KELVORA_CLIPBOARD_PEER set to "copy" or "paste" on a display of its own.
TEST(QtClipboardProcesses, Peer) {
  const char* role = std::getenv("KELVORA_CLIPBOARD_PEER");
  if (role == nullptr) GTEST_SKIP() << "a child of CopyInOneProcessPasteInAnother";
  EnsureQtApplication();
  EngineFixture engine;
  QtClipboard clipboard;
  Services().clipboard = &clipboard;
  if (std::string(role) == "copy") {
    SetDocument(MakeFormat(22050, 16, 2), Pcm16({1, 2, 300, -300, -32768, 32767}));
    Doc().selStart = 4;
    Doc().selEnd = 12;
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
    const Bytes wave = Data("audio/wav");  // what other programs see
    EXPECT_TRUE(IsStandardPcmWave(wave.data(), wave.size()));
  }
  Services().clipboard = &engine.platform.clipboard;
}

// Starts `args` with `env` added; its standard input and output are pipes.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int* in,
            int* out) {
  int i[2], o[2];
  if (pipe(i) != 0 || pipe(o) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(i[0], 0);
    dup2(o[1], 1);
    close(i[1]);  // else our own input would never end
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(i[0]);
  close(o[1]);
  *in = i[1];
  *out = o[0];
  return pid;
}

std::string ReadLine(int fd) {
  std::string line;
  char ch;
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, 30000) > 0 && read(fd, &ch, 1) == 1 && ch != '\n') line += ch;
  return line;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QtClipboardProcesses, CopyInOneProcessPasteInAnother) {
  if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
  int server_in, server_out;  // Xvfb writes its display number when ready
  const pid_t server =
      Spawn({"Xvfb", "-displayfd", "1", "-nolisten", "tcp"}, {}, &server_in, &server_out);
  const std::string display = ReadLine(server_out);
  ASSERT_FALSE(display.empty());
  const std::vector<std::string> args = {"/proc/self/exe",
                                         "--gtest_filter=QtClipboardProcesses.Peer"};
  const std::string shared[] = {"DISPLAY=:" + display, "QT_QPA_PLATFORM=xcb"};
  int copy_in, copy_out, paste_in, paste_out;
  const pid_t copy =
      Spawn(args, {shared[0], shared[1], "KELVORA_CLIPBOARD_PEER=copy"}, &copy_in, &copy_out);
  std::string line;
  do line = ReadLine(copy_out);
  while (!line.empty() && line != "ready");
  EXPECT_EQ(line, "ready");
  const pid_t paste =
      Spawn(args, {shared[0], shared[1], "KELVORA_CLIPBOARD_PEER=paste"}, &paste_in, &paste_out);
  close(paste_in);
  EXPECT_EQ(ExitStatus(paste), 0);
  close(copy_in);  // the copying process may go now
  EXPECT_EQ(ExitStatus(copy), 0);
  for (int fd : {copy_out, paste_out, server_in, server_out}) close(fd);
  kill(server, SIGTERM);
  ExitStatus(server);
}

}  // namespace
}  // namespace kelvora
