// The equalizers' costs: the 1024-point transform pair that the block
// filter runs for every 512 frames of every channel, and the whole filter
// over ten minutes of 44.1 kHz 16-bit stereo.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "effects/equalizers.h"
#include "test_support.h"

namespace kelvora {
namespace {

std::vector<double> Block() {
  std::mt19937 rng(3);
  std::vector<double> s(kFftLength);
  for (double& v : s) v = static_cast<int>(rng() % 20001) - 10000;
  return s;
}

// FFTW's pair on the filter's own buffers.
void BM_FftPair1024(benchmark::State& state) {
  const std::vector<double> s = Block();
  std::vector<uint8_t> block(FftWorkBytes());
  const FftWork w = FftWorkIn(block.data());
  for (auto _ : state) {
    std::memcpy(w.samples, s.data(), sizeof(double) * kFftLength);
    FftForward1024(w);
    FftInverse1024(w);
    benchmark::DoNotOptimize(w.samples[5]);
  }
}
BENCHMARK(BM_FftPair1024);

// The packed pair, with its conversions to and from FFTW's layout.
void BM_PackedPair1024(benchmark::State& state) {
  const std::vector<double> s = Block();
  std::vector<double> x(kFftLength);
  for (auto _ : state) {
    std::memcpy(x.data(), s.data(), sizeof(double) * kFftLength);
    RealFftForward(kFftLength, x.data());
    RealFftInverse(kFftLength, x.data());
    benchmark::DoNotOptimize(x[5]);
  }
}
BENCHMARK(BM_PackedPair1024);

// The block filter with preset 4's bands, reading one buffer and writing
// another, as the command does between the undo copy and the sound.
void BM_GraphicEqFilter(benchmark::State& state) {
  constexpr int64_t kFrames = 44100LL * 600;
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  std::vector<uint8_t> in(kFrames * 4), out(kFrames * 4);
  std::mt19937 rng(7);
  for (auto& b : in) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> work(FftFilterWorkBytes());
  const std::vector<FftBand> bands = GraphicEqBands(44100, {30, 40, 50, 50, 50, 50, 40, 30, 30});
  for (auto _ : state) {
    FftBlockFilter(SoundView{.format = MakeFormat(44100, 16, 2)}, bands, "bench", work.data(),
                   in.data(), out.data(), kFrames);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * kFrames * 4);
}
BENCHMARK(BM_GraphicEqFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace kelvora
