// Whether the window stays responsive while the recovery copy of an hour of
// 44.1 kHz 16-bit stereo (635 MB) is written: the program's own timer
// drives the copy as in the window program, the background worker writes
// to a real disk (KELVORA_BENCH_STATE, else ./bench-recovery-state), and a
// 1 ms heartbeat timer notes every pause of the event loop. Reports the
// longest pause, the longest turn of the copy on the window's thread, and
// how long the copy took until it was in place and described.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "document/sound_document.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_system.h"
#include "shell/qt/qt_test_app.h"
#include "shell/recovery.h"
#include "shell/recovery_internal.h"

namespace kelvora {
namespace {

constexpr int32_t kHourFrames = 44100 * 3600;

void BM_RecoveryCopyOfAnHour(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QtWindowFixture f;
  f.UseQtUi();
  QtClock clock;
  QtSystem system;
  QtBackground background;
  Services().clock = &clock;
  Services().background = &background;
  const std::string folder =
      qEnvironmentVariable("KELVORA_BENCH_STATE", "bench-recovery-state").toStdString();
  f.platform.system.stateFolder = std::filesystem::absolute(folder).string();
  Services().system = &f.platform.system;  // real answers, our state folder
  f.platform.memoryProfile.WriteString("Options", "recoveryidle", "1");
  f.window->resize(1280, 800);
  f.window->show();

  SetDocumentFormat(MakeFormat(44100, 16, 2));
  SoundDocument& doc = Doc();
  doc.data.Resize(size_t{kHourFrames} * 4 + 16);
  std::vector<int16_t> second(88200);
  for (size_t i = 0; i < second.size(); ++i)
    second[i] = static_cast<int16_t>(3000 * std::sin(i * 0.05));
  for (int32_t s = 0; s < 3600; ++s)
    std::memcpy(doc.bytes() + size_t{176400} * s, second.data(), 176400);
  doc.length = kHourFrames * 4;
  doc.modified = true;
  StartRecovery();
  const QString info = QString::fromStdString(RecoveryPlaceOf().folder) + "/document.txt";

  qint64 longestTick = 0, longestGap = 0;
  QTimer recovery;
  recovery.setSingleShot(true);
  recovery.setTimerType(Qt::PreciseTimer);
  QObject::connect(&recovery, &QTimer::timeout, [&] {
    QElapsedTimer t;
    t.start();
    const int next = RecoveryTick(false);
    longestTick = std::max(longestTick, t.nsecsElapsed());
    recovery.start(next);
  });
  QElapsedTimer sinceBeat;
  QTimer heartbeat;
  heartbeat.setTimerType(Qt::PreciseTimer);
  QObject::connect(&heartbeat, &QTimer::timeout,
                   [&] { longestGap = std::max(longestGap, sinceBeat.restart()); });
  recovery.start(0);

  double seconds = 0;
  for (auto _ : state) {
    QFile::remove(info);
    MarkDocumentChanging();  // the sound changed: a copy is due after a second
    QElapsedTimer copy;
    copy.start();
    sinceBeat.start();
    heartbeat.start(1);
    while (!QFile::exists(info)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    heartbeat.stop();
    seconds += copy.elapsed() / 1000.0;
  }
  state.counters["longest_pause_ms"] = static_cast<double>(longestGap);
  state.counters["longest_turn_ms"] = static_cast<double>(longestTick) / 1e6;
  state.counters["copy_s"] = seconds / static_cast<double>(state.iterations());
  recovery.stop();
  EndRecovery();
  ResetRecoveryState();
  Services().clock = &f.platform.clock;
  Services().background = &f.platform.background;
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecoveryCopyOfAnHour)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace kelvora
