// Whether the window stays responsive while the recovery copy of an hour of
// 44.1 kHz 16-bit stereo (635 MB) is written: the program's own timer
// drives the copy as in the window program, the background worker writes
// to a real disk (KELVORA_BENCH_STATE, else ./bench-recovery-state), and a
// 1 ms heartbeat timer notes every pause of the event loop. Reports the
// longest pause, the longest turn of the copy on the window's thread (as
// time passed, and as processor time the thread used: on a busy machine
// the first includes waiting for the processor), and how long the copy took
// until it was in place and described; and, for
// comparison, the longest pause of the same event loop with nothing to do
// (what the machine's own load costs).
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>
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

int64_t ThreadCpuNs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

// The longest time between two beats of a 1 ms timer while it runs.
struct PauseMeter {
  PauseMeter() {
    beat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&beat, &QTimer::timeout,
                     [this] { longest = std::max(longest, since.restart()); });
  }
  void Start() {
    since.start();
    beat.start(1);
  }
  void Stop() { beat.stop(); }
  QTimer beat;
  QElapsedTimer since;
  qint64 longest = 0;
};

// Lets the window paint what it has to before anything is measured.
void Settle() {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 500) QCoreApplication::processEvents();
}

void BM_IdleLoopPauses(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QtWindowFixture f;
  f.window->show();
  Settle();
  PauseMeter pauses;
  for (auto _ : state) {
    pauses.Start();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 4000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    pauses.Stop();
  }
  state.counters["longest_pause_ms"] = static_cast<double>(pauses.longest);
}
BENCHMARK(BM_IdleLoopPauses)->Unit(benchmark::kSecond)->Iterations(3);

void BM_RecoveryCopyOfAnHour(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QtWindowFixture f;
  f.UseQtUi();
  QtClock clock;
  QtBackground background;
  Services().clock = &clock;
  Services().background = &background;
  const std::string folder =
      qEnvironmentVariable("KELVORA_BENCH_STATE", "bench-recovery-state").toStdString();
  f.platform.system.stateFolder = std::filesystem::absolute(folder).string();
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

  qint64 longestTurn = 0;
  int64_t longestTurnCpu = 0;
  QTimer recovery;
  recovery.setSingleShot(true);
  recovery.setTimerType(Qt::PreciseTimer);
  QObject::connect(&recovery, &QTimer::timeout, [&] {
    QElapsedTimer t;
    t.start();
    const int64_t cpu = ThreadCpuNs();
    const int next = RecoveryTick(false);
    longestTurnCpu = std::max(longestTurnCpu, ThreadCpuNs() - cpu);
    longestTurn = std::max(longestTurn, t.nsecsElapsed());
    recovery.start(next);
  });
  Settle();
  recovery.start(0);

  PauseMeter pauses;
  double seconds = 0;
  for (auto _ : state) {
    QFile::remove(info);
    MarkDocumentChanging();  // the sound changed: a copy is due after a second
    QElapsedTimer copy;
    copy.start();
    pauses.Start();
    // Watched from another thread: a look into the folder while the worker
    // renames in it may wait, and that wait is not the window's.
    std::atomic<bool> done = false;
    std::thread watcher([&] {
      while (!QFile::exists(info)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      done = true;
      QMetaObject::invokeMethod(
          qApp, [] {}, Qt::QueuedConnection);  // wakes the loop
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    watcher.join();
    pauses.Stop();
    seconds += copy.elapsed() / 1000.0;
  }
  state.counters["longest_pause_ms"] = static_cast<double>(pauses.longest);
  state.counters["longest_turn_ms"] = static_cast<double>(longestTurn) / 1e6;
  state.counters["longest_turn_cpu_ms"] = static_cast<double>(longestTurnCpu) / 1e6;
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
