// How long the window leaves the user without an answer on an hour of
// 44.1 kHz 16-bit stereo (635 MB): the time from a command to the first
// paint of the status bar that shows something new, for the first effect
// after the file is opened (DC成分除去) and for 全てを選択 then Ctrl+X. Each
// iteration starts a fresh window and engine and opens the file through the
// open command's own path, as the program does at start-up, so no block
// holds pages from an earlier run. The file is written once into
// KELVORA_BENCH_DIR (else the temporary folder) and removed at the end.
// Beside the time passed, the processor time the window's thread used until
// the change (the kernel's zeroing of fresh pages included): on a busy
// machine the first also counts waiting for the processor.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise (e.g. xcb on Xvfb).
#include <benchmark/benchmark.h>
#include <time.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/busy.h"
#include "files/open_save.h"
#include "resources/command_ids.h"
#include "shell/commands.h"
#include "shell/qt/qt_test_app.h"
#include "shell/qt/status_bar.h"

namespace kelvora {
namespace {

constexpr uint32_t kHourBytes = 44100u * 3600 * 4;

int64_t ThreadCpuNs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

void PutLe(std::FILE* f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>(v >> (8 * i) & 0xff), f);
}

// An hour of two tones as a PCM WAV file, written on first use.
class HourFile {
public:
  const std::string& Path() {
    if (!path_.empty()) return path_;
    const QString dir = qEnvironmentVariable(
        "KELVORA_BENCH_DIR", QString::fromStdString(std::filesystem::temp_directory_path()));
    path_ = dir.toStdString() + "/kelvora-bench-hour.wav";
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) return path_;
    std::fputs("RIFF", f);
    PutLe(f, 36 + kHourBytes, 4);
    std::fputs("WAVEfmt ", f);
    PutLe(f, 16, 4);  // PCM, stereo, 44100 Hz, 4 bytes a frame, 16 bits
    PutLe(f, 1, 2);
    PutLe(f, 2, 2);
    PutLe(f, 44100, 4);
    PutLe(f, 44100 * 4, 4);
    PutLe(f, 4, 2);
    PutLe(f, 16, 2);
    std::fputs("data", f);
    PutLe(f, kHourBytes, 4);
    std::vector<int16_t> second(88200);
    for (size_t i = 0; i < second.size(); ++i)
      second[i] = static_cast<int16_t>(3000 * std::sin(i * (i % 2 ? 0.07 : 0.05)));
    for (int s = 0; s < 3600; ++s) std::fwrite(second.data(), 2, second.size(), f);
    std::fclose(f);
    return path_;
  }
  ~HourFile() {
    if (!path_.empty()) std::filesystem::remove(path_);
  }

private:
  std::string path_;
};

HourFile g_hour;

// Notes the first paint of the status bar whose texts differ from the
// ones it had when Arm() was called.
class StatusWatch : public QObject {
public:
  explicit StatusWatch(StatusBar* bar) : bar_(bar) { bar->installEventFilter(this); }
  void Arm() {
    for (int part = 0; part < StatusBar::kParts; ++part) before_[part] = bar_->Text(part);
    changedAt = -1;
    cpuAtArm_ = ThreadCpuNs();
    clock_.start();
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint || changedAt >= 0) return false;
    for (int part = 0; part < StatusBar::kParts; ++part) {
      if (bar_->Text(part) == before_[part]) continue;
      changedAt = clock_.nsecsElapsed();
      changedAtCpu = ThreadCpuNs() - cpuAtArm_;
      firstText = bar_->Text(part).toStdString();
      break;
    }
    return false;
  }
  qint64 Elapsed() const { return clock_.nsecsElapsed(); }

  qint64 changedAt = -1;
  int64_t changedAtCpu = 0;  // processor time this thread used until then
  std::string firstText;

private:
  StatusBar* bar_;
  std::array<QString, StatusBar::kParts> before_;
  QElapsedTimer clock_;
  int64_t cpuAtArm_ = 0;
};

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents();
}

QAction* ActionFor(QtMainWindow& window, int id) {
  for (QAction* action : window.findChildren<QAction*>())
    if (action->data().toInt() == id && action->isEnabled()) return action;
  return nullptr;
}

// Opens the hour in a fresh window, runs `before` (if any) and then `id`
// through their menu or accelerator actions; reports the time to the first
// changed status bar and to the command's end.
void FirstAnswer(benchmark::State& state, int before, int id) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string path = g_hour.Path();
  double first = 0, firstCpu = 0, whole = 0;
  std::string text;
  for (auto _ : state) {
    QtClipboard clipboard;  // outlives the fixture, which puts the headless one back
    auto f = std::make_unique<QtWindowFixture>();
    f->UseQtUi();
    Services().clipboard = &clipboard;
    int finished = 0;
    f->window->SetDispatcher([&finished](int command, int code) {
      DispatchCommand(command, code);
      ++finished;
    });
    f->window->resize(1280, 800);
    f->window->show();
    if (!OpenSoundFile(path)) {
      state.SkipWithError("the hour could not be opened");
      return;
    }
    Settle(500);
    if (before != 0) {
      ActionFor(*f->window, before)->trigger();
      while (finished == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      Settle(200);
    }
    QAction* action = ActionFor(*f->window, id);
    StatusWatch watch(f->window->Status());
    const int target = finished + 1;
    watch.Arm();
    action->trigger();
    while (finished < target) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 end = watch.Elapsed();
    // Nothing shown while it ran: the answer is the paint after it.
    while (watch.changedAt < 0 && watch.Elapsed() - end < 2'000'000'000)
      QCoreApplication::processEvents();
    if (watch.changedAt < 0) {
      state.SkipWithError("the status bar did not change");
      return;
    }
    first += static_cast<double>(watch.changedAt) / 1e6;
    firstCpu += static_cast<double>(watch.changedAtCpu) / 1e6;
    whole += static_cast<double>(end) / 1e6;
    text = watch.firstText;
    f.reset();
    QGuiApplication::clipboard()->clear();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["first_change_ms"] = first / n;
  state.counters["first_change_cpu_ms"] = firstCpu / n;
  state.counters["command_ms"] = whole / n;
  state.SetLabel(text);
}

void BM_FirstEffectAfterOpeningAnHour(benchmark::State& state) {
  FirstAnswer(state, 0, kCmdRemoveDc);
}
BENCHMARK(BM_FirstEffectAfterOpeningAnHour)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CutAllOfAnHour(benchmark::State& state) { FirstAnswer(state, kCmdSelectAll, kCmdCut); }
BENCHMARK(BM_CutAllOfAnHour)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kelvora
