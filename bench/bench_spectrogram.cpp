// The spectrogram's two costs on the music-like material: one column's
// spectra (both channels, window 2048) at 1/1 and at 1/4096, on one thread,
// and drawing a 1280 × 720 view's lanes from the cache.
#include <benchmark/benchmark.h>

#include "effect_bench.h"
#include "views/spectrogram.h"
#include "views/spectrogram_settings.h"
#include "views/spectrum_analyser.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

void BM_SpectrogramColumn(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Material();
  const SpectrumAnalyser analyser(kDefaultSpectrumWindow);
  SpectrumAnalyser::Scratch scratch(kDefaultSpectrumWindow);
  const SampleSpan span{bytes.data(), {0, kFrames}, {16, 2, 0, 2, 4}};
  std::vector<uint8_t> levels(2 * analyser.Bins());
  const int64_t fpp = state.range(0);
  int64_t column = 10000;
  for (auto _ : state) {
    analyser.Column(span, column * fpp, fpp, levels.data(), scratch);
    column = column % (kFrames / fpp - 2) + 1;
    benchmark::DoNotOptimize(levels.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpectrogramColumn)->Arg(1)->Arg(4096)->Unit(benchmark::kMicrosecond);

void BM_SpectrogramDrawFromCache(benchmark::State& state) {
  TheEngine().Restore();
  ResetSpectrogramState();
  SpectrogramOptions().on = 1;
  SetZoom(static_cast<int>(state.range(0)));
  ViewState& v = View();
  v.clientWidth = 1280;
  v.clientHeight = 720;
  v.textHeight = 15;
  std::vector<uint32_t> pixels(1280 * 720);
  const PixelBuffer buffer{pixels.data(), 1280, 720, 1280};
  const WaveGeometry g = CurrentWaveGeometry();
  const PixelRect all{0, 0, 1280, 720};
  for (RenderSpectrogram(buffer, g, all); SpectrogramPending(); RenderSpectrogram(buffer, g, all)) {
    WaitForSpectrogram();
    CollectSpectrogramColumns();
  }
  for (auto _ : state) {
    RenderSpectrogram(buffer, g, all);
    benchmark::DoNotOptimize(pixels.data());
  }
  ResetSpectrogramState();
}
BENCHMARK(BM_SpectrogramDrawFromCache)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvora
