// Painting on a long sound: a full repaint of the waveform view (1280 × 720)
// and of the overview (1280 × 100) for an hour of 44.1 kHz 16-bit stereo,
// at 1/4096, 1/64 and 1/1, and one scroll step. The view starts in the middle
// of the hour with a selection across it, in line mode at density 8. Then
// the same view as a spectrogram (window 2048): the first complete picture,
// a repaint from the cache, and a scroll by a screen's width.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>

#include "document/sound_document.h"
#include "shell/commands.h"
#include "test_support.h"
#include "views/qt/overview_view.h"
#include "views/qt/wave_view.h"
#include "views/spectrogram.h"
#include "views/spectrogram_settings.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

constexpr int32_t kHourFrames = 44100 * 3600;

struct Bench {
  HeadlessPlatform platform;
  std::unique_ptr<QApplication> app;
  std::unique_ptr<WaveCanvas> wave;
  std::unique_ptr<OverviewCanvas> overview;

  Bench() {
    static int argc = 1;
    static char name[] = "kelvora_bench_qt";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
    platform.Install();
    StartEngine();
    SetDocumentFormat(MakeFormat(44100, 16, 2));
    SoundDocument& doc = Doc();
    doc.data.Resize(size_t{kHourFrames} * 4 + 16);
    // A tone under a slow swell, so that columns differ.
    for (int32_t i = 0; i < kHourFrames; ++i) {
      const double t = i / 44100.0;
      const auto v = static_cast<int16_t>(20000 * std::sin(t * 0.7) * std::sin(t * 2764.6));
      StoreLe16(doc.bytes() + size_t{static_cast<uint32_t>(i)} * 4, v);
      StoreLe16(doc.bytes() + size_t{static_cast<uint32_t>(i)} * 4 + 2, -v);
    }
    doc.length = kHourFrames * 4;
    wave = std::make_unique<WaveCanvas>(nullptr);
    wave->resize(1280, 720);
    overview = std::make_unique<OverviewCanvas>(nullptr);
    overview->resize(1280, 100);
    QCoreApplication::sendPostedEvents();
    View().clientWidth = 1280;  // what the resize events report
    View().clientHeight = 720;
    View().textHeight = wave->fontMetrics().height();
    View().overviewWidth = 1280;
    View().overviewHeight = 100;
  }

  void At(int level) {
    SetZoom(level);
    Doc().viewStart = kHourFrames / 2 * 4;
    Doc().selStart = Doc().viewStart + 300 * View().framesPerPixel * 4;
    Doc().selEnd = Doc().selStart + 400 * View().framesPerPixel * 4;
  }
};

Bench& B() {
  static Bench b;
  return b;
}

void BM_WaveFullRepaint(benchmark::State& state) {
  Bench& b = B();
  b.At(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    b.wave->InvalidateAll();
    benchmark::DoNotOptimize(b.wave->Render().constBits());
  }
}
BENCHMARK(BM_WaveFullRepaint)->Arg(0)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// One line step of the scroll bar: eight columns, back and forth.
void BM_WaveScrollStep(benchmark::State& state) {
  Bench& b = B();
  b.At(static_cast<int>(state.range(0)));
  b.wave->Render();
  int direction = 8;
  for (auto _ : state) {
    Doc().viewStart += direction * View().framesPerPixel * 4;
    b.wave->ScrollColumns(direction);
    benchmark::DoNotOptimize(b.wave->Render().constBits());
    direction = -direction;
  }
}
BENCHMARK(BM_WaveScrollStep)->Arg(0)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// After a change of the data: every dot read again.
void BM_OverviewFullRepaint(benchmark::State& state) {
  Bench& b = B();
  b.At(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    b.overview->InvalidateAll();
    benchmark::DoNotOptimize(b.overview->Render().constBits());
  }
}
BENCHMARK(BM_OverviewFullRepaint)->Arg(0)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// After a scroll or zoom: the kept dots with a new frame.
void BM_OverviewFrameRepaint(benchmark::State& state) {
  Bench& b = B();
  b.At(static_cast<int>(state.range(0)));
  b.overview->Render();
  for (auto _ : state) {
    b.overview->ViewFrameChanged();
    benchmark::DoNotOptimize(b.overview->Render().constBits());
  }
}
BENCHMARK(BM_OverviewFrameRepaint)->Arg(0)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// Draws and collects until every column in view is ready; the workers'
// wake-ups are taken here instead of from the event loop.
void CompleteSpectrogram(Bench& b) {
  benchmark::DoNotOptimize(b.wave->Render().constBits());
  while (SpectrogramPending()) {
    WaitForSpectrogram();
    b.wave->SpectrogramReady();
    benchmark::DoNotOptimize(b.wave->Render().constBits());
  }
}

void SpectrogramAt(Bench& b, int level) {
  ResetSpectrogramState();
  SpectrogramOptions().on = 1;
  b.At(level);
}

// From an empty cache (and no worker threads yet) to the complete picture.
void BM_SpectrogramFirstPicture(benchmark::State& state) {
  Bench& b = B();
  for (auto _ : state) {
    state.PauseTiming();
    SpectrogramAt(b, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    b.wave->InvalidateAll();
    CompleteSpectrogram(b);
  }
  ResetSpectrogramState();
}
BENCHMARK(BM_SpectrogramFirstPicture)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every column in the cache: the whole view painted again.
void BM_SpectrogramRepaintFromCache(benchmark::State& state) {
  Bench& b = B();
  SpectrogramAt(b, static_cast<int>(state.range(0)));
  b.wave->InvalidateAll();
  CompleteSpectrogram(b);
  for (auto _ : state) {
    b.wave->InvalidateAll();
    CompleteSpectrogram(b);
  }
  ResetSpectrogramState();
}
BENCHMARK(BM_SpectrogramRepaintFromCache)
    ->Arg(0)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A screen's width (1216 columns) to the right, into columns never seen:
// until the picture is complete, or (Arg 1) only what the UI thread does
// before it returns to the event loop.
void BM_SpectrogramScrollScreen(benchmark::State& state) {
  Bench& b = B();
  SpectrogramAt(b, static_cast<int>(state.range(0)));
  b.wave->InvalidateAll();
  CompleteSpectrogram(b);
  const int columns = View().clientWidth - kDrawingWidthLess;
  for (auto _ : state) {
    Doc().viewStart += columns * View().framesPerPixel * 4;
    b.wave->ScrollColumns(columns);
    if (state.range(1) == 0) {
      CompleteSpectrogram(b);
    } else {
      benchmark::DoNotOptimize(b.wave->Render().constBits());
      state.PauseTiming();
      CompleteSpectrogram(b);
      state.ResumeTiming();
    }
  }
  ResetSpectrogramState();
}
BENCHMARK(BM_SpectrogramScrollScreen)
    ->Args({6, 0})
    ->Args({6, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace kelvora
