// Whether playback keeps the sound server fed while the window is busy: an
// hour of 44.1 kHz 16-bit stereo plays through the real devices (a
// PulseAudio server must answer) while the user zooms through every level
// and scrolls with the buttons, each step painted at once in a 1280 × 800
// window. Reports the sink's underruns, the longest pause between two
// feeds, the least sound queued ahead of the server and the longest step.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/audio.h"
#include "platform/qt/qt_wave_devices.h"
#include "shell/qt/qt_test_app.h"
#include "views/overview.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

constexpr int32_t kHourFrames = 44100 * 3600;

void BM_PlaybackWhileZoomingAndScrolling(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QtWindowFixture f;
  f.UseQtUi();
  QtWaveDevices devices;
  Services().waveDevices = &devices;
  f.window->resize(1280, 800);
  f.window->show();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  SoundDocument& doc = Doc();
  doc.data.Resize(size_t{kHourFrames} * 4 + 16);
  // A second of two tones under a swell, over and over.
  std::vector<int16_t> second(88200);
  for (size_t i = 0; i < second.size(); ++i)
    second[i] =
        static_cast<int16_t>(3000 * std::sin(i * 0.00007) * std::sin(i * (i % 2 ? 0.07 : 0.05)));
  for (int32_t s = 0; s < 3600; ++s)
    std::memcpy(doc.bytes() + size_t{176400} * s, second.data(), 176400);
  doc.length = kHourFrames * 4;
  doc.viewStart = doc.movingEnd = doc.anchor = doc.selStart = doc.selEnd = kHourFrames / 2 * 4;
  f.window->repaint();
  QCoreApplication::processEvents();

  StartPlayback(kPlayAll);
  if (!IsAudioRunning()) {
    state.SkipWithError("no sound device");
    return;
  }
  qint64 longestStep = 0;
  int step = 0;
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    if (step % 8 < 7) {
      SetZoomLevel(step / 8 % kZoomLevels);  // every level in turn
      ScrollByButtons(step % 2 ? 10 : -10);
    } else {
      for (int i = 0; i < 20; ++i) ScrollByButtons(10);  // a button held
    }
    f.window->repaint();
    longestStep = std::max(longestStep, t.elapsed());
    QCoreApplication::processEvents();
    ++step;
  }
  const QtWaveDevices::OutputStats stats = devices.Stats();
  state.counters["underruns"] = stats.underruns;
  state.counters["longest_feed_gap_ms"] = static_cast<double>(stats.longestFeedGapMs);
  state.counters["least_ahead_ms"] = static_cast<double>(stats.leastAheadMs);
  state.counters["longest_step_ms"] = static_cast<double>(longestStep);
  StopAudio();
  QElapsedTimer wait;
  wait.start();
  while (IsAudioRunning() && wait.elapsed() < 3000) QCoreApplication::processEvents();
  Services().waveDevices = &f.platform.waveDevices;
}
BENCHMARK(BM_PlaybackWhileZoomingAndScrolling)->Unit(benchmark::kMillisecond)->Iterations(600);

}  // namespace
}  // namespace kelvora
