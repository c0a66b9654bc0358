#include <gtest/gtest.h>

#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <memory>

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

// What the clipboard hands to Paste (empty when nothing).
Bytes Read(QtClipboard& clipboard) {
  Bytes back;
  const ClipboardRead read = clipboard.GetWave([&](size_t n) {
    back.resize(n);
    return back.data();
  });
  return read == ClipboardRead::kRead ? back : Bytes();
}

void Offer(const char* type, const Bytes& bytes) {
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(type),
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

TEST(QtClipboardWave, OurBlockForUsAPlainWaveForOthersAndAnyWholePcmWaveBack) {
  EnsureQtApplication();
  QtClipboard clipboard;
  const Bytes sound = Pcm16({1, -1, 300, -300});
  const Bytes block = Block(MakeFormat(22050, 16, 2), sound);
  // The block handed over is held once for every type, and read where it is.
  auto held = std::make_shared<const Bytes>(block);
  clipboard.HandWave(std::shared_ptr<const uint8_t>(held, held->data()), held->size());
  std::shared_ptr<const uint8_t> seen;
  size_t size = 0;
  ASSERT_EQ(clipboard.ViewWave(&seen, &size), ClipboardRead::kRead);
  EXPECT_EQ(seen.get(), held->data());
  EXPECT_EQ(size, block.size());
  EXPECT_EQ(Data("application/x-kelvora-wave"), block);
  // Other programs get a file as they know it: fmt of 16 bytes, data at 36.
  const Bytes wave = Data("audio/wav");
  Bytes want(block.begin(), block.end() - 2);
  want[4] = uint8_t(36 + sound.size());
  want[16] = 16;
  std::copy_n("data", 4, want.begin() + 36);
  EXPECT_EQ(wave, want);
  EXPECT_EQ(Data("audio/vnd.wave"), wave);
  EXPECT_EQ(Read(clipboard), block);
  // Another program's PCM WAV is read where it is when its header is the
  // standard one, else becomes a block, whatever chunks come with its
  // sound; anything else is sound this program cannot take.
  const Bytes asBlock(block.begin(), block.end() - 2);
  Offer("audio/vnd.wave", wave);
  EXPECT_EQ(Read(clipboard), wave);
  Bytes chunky(wave.begin(), wave.begin() + 12);
  const Bytes extra = {'f', 'm', 't', ' ', 18, 0, 0, 0};
  chunky.insert(chunky.end(), extra.begin(), extra.end());
  chunky.insert(chunky.end(), wave.begin() + 20, wave.begin() + 36);
  const Bytes list = {0, 0, 'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  chunky.insert(chunky.end(), list.begin(), list.end());
  chunky.insert(chunky.end(), wave.begin() + 36, wave.end());
  Offer("audio/wav", chunky);
  EXPECT_EQ(Read(clipboard), asBlock);
  for (auto [at, value] :
       {std::pair{0, 'X'}, {8, 'X'}, {12, 'X'}, {16, 18}, {20, 3}, {36, 'X'}, {40, 9}}) {
    Bytes bad = wave;
    bad[size_t(at)] = uint8_t(value);
    Offer("audio/wav", bad);
    EXPECT_EQ(clipboard.GetWave([](size_t) { return nullptr; }), ClipboardRead::kUnusable) << at;
  }
  // Pasting one is refused with the message, the document as it was.
  EngineFixture engine;
  Services().clipboard = &clipboard;
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({9, 9}));
  PasteClip();
  EXPECT_EQ(ShownMessages(engine.ui()),
            (Shown{{"ペースト", "データ形式が違います", MsgIcon::kWarning}}));
  EXPECT_EQ(DocumentBytes(), Pcm16({9, 9}));
  Services().clipboard = &engine.platform.clipboard;
  clipboard.Clear();
  EXPECT_TRUE(Read(clipboard).empty());
  // No memory for the sound: said so, not thrown.
  ASSERT_TRUE(clipboard.SetWave(block.data(), block.size()));
  EXPECT_EQ(clipboard.GetWave([](size_t) { return nullptr; }), ClipboardRead::kOutOfMemory);
}

// One side of a copy between two processes, started by the test below on a
// display of its own; "copy" serves the clipboard until it is ended.
TEST(QtClipboardProcesses, Peer) {
  const char* role = std::getenv("KELVORA_CLIPBOARD_PEER");
  if (role == nullptr) GTEST_SKIP() << "a child of CopyInOneProcessPasteInAnother";
  EnsureQtApplication();
  EngineFixture engine;
  QtClipboard clipboard;
  Services().clipboard = &clipboard;
  const bool copy = std::string(role) == "copy";
  SetDocument(MakeFormat(22050, 16, 2),
              copy ? Pcm16({1, 2, 300, -300, -32768, 32767}) : Pcm16({9, 9}));
  if (copy) {
    Doc().selStart = 4;
    Doc().selEnd = 12;
    CopySelection();
    std::printf("ready\n");
    std::fflush(stdout);
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
  } else {
    PasteClip();
    EXPECT_EQ(DocumentBytes(), Pcm16({300, -300, -32768, 32767, 9, 9}));
    const Bytes wave = Data("audio/wav");  // what other programs see
    EXPECT_TRUE(IsStandardPcmWave(wave.data(), wave.size()));
  }
  Services().clipboard = &engine.platform.clipboard;
}

// Reads what `p` writes until `text` comes, for at most 30 s.
QByteArray ReadUntil(QProcess& p, const char* text) {
  QByteArray out;
  while (!out.contains(text) && p.waitForReadyRead(30000)) out += p.readAllStandardOutput();
  return out;
}

TEST(QtClipboardProcesses, CopyInOneProcessPasteInAnother) {
  if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "no Xvfb";
  EnsureQtApplication();
  QProcess server, copy, paste;  // the server writes its display number when ready
  server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
  const QByteArray display = ReadUntil(server, "\n").trimmed();
  ASSERT_FALSE(display.isEmpty());
  for (auto [p, role] : {std::pair{&copy, "copy"}, {&paste, "paste"}}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", ":" + display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("KELVORA_CLIPBOARD_PEER", role);
    p->setProcessEnvironment(env);
    p->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=QtClipboardProcesses.Peer"});
    EXPECT_TRUE(p != &copy || ReadUntil(copy, "ready\n").contains("ready\n"));
  }
  EXPECT_TRUE(paste.waitForFinished(30000));
  EXPECT_EQ(paste.exitCode(), 0) << paste.readAllStandardOutput().toStdString();
  copy.kill();
  server.terminate();
  copy.waitForFinished();
  server.waitForFinished();
}

}  // namespace
}  // namespace kelvora
