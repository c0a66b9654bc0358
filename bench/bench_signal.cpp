// The dynamics, delay and modulation effects on ten minutes of 44.1 kHz
// 16-bit stereo, each as the command runs it with the parameters the speed
// comparisons use (undo snapshot included).
#include <benchmark/benchmark.h>

#include <functional>

#include "document/params.h"
#include "effect_bench.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/modulation.h"

namespace kelvora {
namespace {

void Run(benchmark::State& state, int command, const std::function<void()>& set) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    state.PauseTiming();
    e.Restore();
    ResetParams();
    set();
    state.ResumeTiming();
    DispatchCommand(command, kCodeMenu);
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_NoiseGate(benchmark::State& s) {
  Run(s, kCmdNoiseGate, [] {});
}
void BM_Compressor(benchmark::State& s) {
  Run(s, kCmdCompressor, [] {});
}
void BM_Distortion(benchmark::State& s) {
  Run(s, kCmdDistortion, [] {});
}
void BM_NoiseRemoval(benchmark::State& s) {
  Run(s, kCmdNoiseRemoval, [] {});
}
void BM_NoiseRemovalMedian10(benchmark::State& s) {
  Run(s, kCmdNoiseRemoval, [] { Params<NoiseRemovalParams>().impulse = 10; });
}
void BM_Echo(benchmark::State& s) {
  Run(s, kCmdEcho, [] { Params<EchoParams>() = {300, 40, 40}; });
}
void BM_Reverb(benchmark::State& s) {
  Run(s, kCmdReverb, [] {});
}
void BM_Flanger(benchmark::State& s) {
  Run(s, kCmdFlanger, [] {});
}
void BM_Vibrato(benchmark::State& s) {
  Run(s, kCmdVibrato, [] {});
}
void BM_Tremolo(benchmark::State& s) {
  Run(s, kCmdTremolo, [] { Params<TremoloParams>() = {40, 50, 0}; });
}

BENCHMARK(BM_NoiseGate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Compressor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Distortion)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NoiseRemoval)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NoiseRemovalMedian10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Echo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reverb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Flanger)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Vibrato)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Tremolo)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvora
