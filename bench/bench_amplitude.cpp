// The amplitude effects on ten minutes of 44.1 kHz 16-bit stereo, each as
// the command runs it (undo snapshot included), against a memcpy of the
// same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "document/params.h"
#include "document/undo.h"
#include "effect_bench.h"
#include "effects/amplitude.h"

namespace kelvora {
namespace {

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> to(kBytes, 1);
  const std::vector<uint8_t>& from = Material();
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoSnapshot(benchmark::State& state) {
  Engine& e = TheEngine();
  e.Restore();
  for (auto _ : state) TakeUndoSnapshot();
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();

void RunEffect(benchmark::State& state, int command, VolumeParams volume = {}) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    state.PauseTiming();
    e.Restore();
    Params<VolumeParams>() = volume;
    state.ResumeTiming();
    DispatchCommand(command, kCodeMenu);
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_VolumeLimited(benchmark::State& s) { RunEffect(s, kCmdVolume, {150, 40, 1}); }
void BM_VolumeClipped(benchmark::State& s) { RunEffect(s, kCmdVolume, {150, 40, 0}); }
void BM_FadeIn(benchmark::State& s) { RunEffect(s, kCmdFadeIn); }
void BM_FadeOut(benchmark::State& s) { RunEffect(s, kCmdFadeOut); }
void BM_Normalize(benchmark::State& s) { RunEffect(s, kCmdNormalize); }
void BM_Reverse(benchmark::State& s) { RunEffect(s, kCmdReverse); }
void BM_InvertPhase(benchmark::State& s) { RunEffect(s, kCmdInvertPhase); }
void BM_RemoveDc(benchmark::State& s) { RunEffect(s, kCmdRemoveDc); }
void BM_Silence(benchmark::State& s) { RunEffect(s, kCmdSilenceSelection); }

BENCHMARK(BM_VolumeLimited)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VolumeClipped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FadeIn)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FadeOut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Normalize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InvertPhase)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RemoveDc)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Silence)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvora
