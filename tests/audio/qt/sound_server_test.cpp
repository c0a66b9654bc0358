// Against a real sound server: the PulseAudio null sink and loopback source
// of tools/audio-env.sh, started here when it is not running.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QThread>
#include <cmath>
#include <functional>

#include "audio/audio.h"
#include "files/file_test_support.h"
#include "platform/qt/qt_wave_devices.h"
#include "shell/qt/qt_test_app.h"

namespace kelvora {
namespace {

// Starts the server of tools/audio-env.sh unless one answers already.
bool EnsureSoundServer() {
  QProcess shell;
  shell.start("bash", {"-c", QStringLiteral("source '%1/tools/audio-env.sh' && kelvora_start_audio "
                                            "&& pactl list short sinks | grep -q kelvora_null && "
                                            "echo \"$XDG_RUNTIME_DIR\"")
                                 .arg(KELVORA_SOURCE_DIR)});
  if (!shell.waitForFinished(20000) || shell.exitCode() != 0) return false;
  const QByteArray dir = shell.readAllStandardOutput().trimmed();
  if (!dir.isEmpty()) qputenv("XDG_RUNTIME_DIR", dir);
  return true;
}

// The real devices, noting the chunks written and given back.
class Spy : public QtWaveDevices, public WaveListener {
public:
  WaveResult OpenOutput(int d, const WaveStreamFormat& f, WaveListener* l) override {
    const WaveResult result = QtWaveDevices::OpenOutput(d, f, this);
    listener_ = l;
    return result;
  }
  bool WriteOutput(int tag, const uint8_t* data, int bytes) override {
    written.push_back(bytes);
    return QtWaveDevices::WriteOutput(tag, data, bytes);
  }
  void CloseOutput() override {
    closes += listener_ != nullptr;  // not the close that opening begins with
    QtWaveDevices::CloseOutput();
  }
  void OutputDone(int tag, int bytes) override {
    returned.push_back(bytes);
    listener_->OutputDone(tag, bytes);
  }
  void InputDone(int) override {}

  std::vector<int> written, returned;
  int closes = 0;

private:
  WaveListener* listener_ = nullptr;
};

// A sine of `hz`, 16-bit, in every channel. The playback tests play theirs
// quietly, so that a recording running beside them hears its own tone.
std::vector<uint8_t> Tone(int rate, int channels, double seconds, double hz,
                          double amplitude = 200) {
  std::vector<int16_t> s;
  const int frames = static_cast<int>(rate * seconds);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      s.push_back(static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate)));
  return Pcm16(s);
}

// The amplitude of `hz` in `count` 16-bit mono samples of `b` from `first`.
double Amplitude(const uint8_t* b, int first, int count, double hz) {
  double re = 0, im = 0;
  for (int i = first; i < first + count; ++i) {
    const double v = static_cast<int16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    re += v * std::cos(2 * M_PI * hz * i / 44100);
    im += v * std::sin(2 * M_PI * hz * i / 44100);
  }
  return std::hypot(re, im) * 2 / count;
}

// Runs the event loop until `done` or `ms` have passed; the time taken.
qint64 RunUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return t.elapsed();
}

class SoundServerTest : public ::testing::Test, public EngineFixture {
protected:
  static void SetUpTestSuite() { serverUp = EnsureSoundServer(); }
  void SetUp() override {
    ASSERT_TRUE(serverUp) << "no PulseAudio server with the kelvora_null sink";
    EnsureQtApplication();
    devices = std::make_unique<Spy>();
    Services().waveDevices = devices.get();
  }
  void TearDown() override {
    ResetAudioState();
    Services().waveDevices = &platform.waveDevices;
  }

  static inline bool serverUp = false;
  std::unique_ptr<Spy> devices;
};

TEST_F(SoundServerTest, DeviceListHasTheNullSinkAndTheLoopbackSource) {
  auto has = [](const QList<QAudioDevice>& list, const char* id) {
    for (const QAudioDevice& d : list)
      if (d.id() == id) return true;
    return false;
  };
  ASSERT_TRUE(has(QMediaDevices::audioOutputs(), "kelvora_null"));
  ASSERT_TRUE(has(QMediaDevices::audioInputs(), "kelvora_loopback"));
  WaveDeviceCaps caps;
  ASSERT_TRUE(devices->OutputCaps(-1, &caps));  // the default: the null sink
  EXPECT_EQ(caps.name, QMediaDevices::defaultAudioOutput().description().toStdString());
  EXPECT_EQ(caps.formats, 0x0FFFu);
  EXPECT_EQ(caps.channels, 2);
  ASSERT_TRUE(devices->InputCaps(-1, &caps));
  EXPECT_EQ(caps.name, QMediaDevices::defaultAudioInput().description().toStdString());
  EXPECT_EQ(devices->OutputCount(), QMediaDevices::audioOutputs().size());
  EXPECT_EQ(devices->InputCount(), QMediaDevices::audioInputs().size());
}

TEST_F(SoundServerTest, OneSecondOfCdSoundPlaysAsFiveChunksInOneSecond) {
  SetDocument(MakeFormat(44100, 16, 2), Tone(44100, 2, 1.0, 440));
  StartPlayback(kPlayAll);
  ASSERT_TRUE(IsAudioRunning());
  const qint64 ms = RunUntil([] { return !IsAudioRunning(); }, 5000);
  EXPECT_FALSE(IsAudioRunning());
  EXPECT_EQ(devices->written, std::vector<int>(5, 35280));
  EXPECT_EQ(devices->returned, std::vector<int>(5, 35280));
  EXPECT_EQ(devices->closes, 1);
  // Played in real time, give or take the server's start on a busy machine.
  EXPECT_GE(ms, 700);
  EXPECT_LE(ms, 5000);
  EXPECT_EQ(ui().playPositions, (std::vector<double>{0.2, 0.4, 0.6, 0.8, 1.0}));
  EXPECT_EQ(devices->Stats().underruns, 0);
}

TEST_F(SoundServerTest, RecordsTheToneHeardOnTheLoopbackUntilTheLimit) {
  // The tone plays from a file while the loopback records it for 1 s.
  TempDir dir;
  const std::vector<uint8_t> pcm = Tone(44100, 2, 3.0, 1000, 16000);
  const uint32_t n = static_cast<uint32_t>(pcm.size());
  ASSERT_TRUE(WriteBytes(dir / "tone.wav",
                         Image().Riff(36 + n).Pcm(44100, 16, 2).Tag("data").U32(n).Raw(pcm)));
  devices->PlaySoundFile(dir / "tone.wav");
  RunUntil([] { return false; }, 300);

  platform.dialogs.QueueFields(
      {{"rate", "44100"}, {"bits", "16"}, {"channels", "1"}, {"time", "1"}});
  StartRecording();
  ASSERT_TRUE(Recording().recording);
  const qint64 ms = RunUntil([] { return !Recording().recording; }, 5000);
  EXPECT_FALSE(Recording().recording);  // stopped by itself at the limit
  EXPECT_GE(ms, 800);
  ASSERT_EQ(Doc().length, 88200);
  EXPECT_EQ(Doc().format, MakeFormat(44100, 16, 1));

  // The strongest of the frequencies 100 Hz .. 5 kHz in the last half.
  double bestPower = 0;
  int bestHz = 0;
  for (int hz = 100; hz <= 5000; hz += 50) {
    const double power = Amplitude(Doc().bytes(), 22050, 22050, hz);
    if (power > bestPower) std::tie(bestPower, bestHz) = std::pair{power, hz};
  }
  EXPECT_EQ(bestHz, 1000);
}

}  // namespace
}  // namespace kelvora
