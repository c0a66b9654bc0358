// The pitch and time engines on ten minutes of 44.1 kHz 16-bit stereo: the
// resampler, the overlap-add stretch at speeds 150 and 70, one overlap
// search at each vector level, and the three commands as they run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "document/frame_format.h"
#include "document/params.h"
#include "effects/pitch_time.h"
#include "effects/resample_sola.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr int64_t kFrames = 44100LL * 600;
constexpr int64_t kBytes = kFrames * 4;

// A chord of three tones with a little noise: the search has matches to find.
const std::vector<int16_t>& Material() {
  static const std::vector<int16_t> samples = [] {
    std::vector<int16_t> s(kFrames * 2);
    uint32_t noise = 1;
    for (int64_t i = 0; i < kFrames * 2; ++i) {
      const double t = static_cast<double>(i / 2) / 44100;
      noise = noise * 1664525u + 1013904223u;
      s[i] = static_cast<int16_t>(7000 * std::sin(t * 2764.6) + 6000 * std::sin(t * 3483.1) +
                                  5000 * std::sin(t * 4143.9 + (i & 1)) + (noise >> 22) - 512);
    }
    return s;
  }();
  return samples;
}
const uint8_t* Source() { return reinterpret_cast<const uint8_t*>(Material().data()); }

struct Engine {
  HeadlessPlatform platform;
  Engine() {
    platform.Install();
    StartEngine();
    SetDocument(MakeFormat(44100, 16, 2), std::vector<uint8_t>(Source(), Source() + kBytes));
  }
};
Engine& TheEngine() {
  static Engine engine;
  return engine;
}

void BM_ResampleLinear(benchmark::State& state) {
  TheEngine();
  const int64_t out_bytes = kFrames * 100 / 120 * 4;
  std::vector<uint8_t> out(out_bytes);
  for (auto _ : state)
    ResampleLinear({MakeFormat(44100, 16, 2), 2}, "", 0, 100, 120, Source(), kBytes, out.data(),
                   out_bytes);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_ResampleLinear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SolaStretch(benchmark::State& state) {
  TheEngine();
  const int64_t out_bytes = kFrames * 100 / state.range(0) * 4;
  std::vector<uint8_t> out(out_bytes);
  for (auto _ : state)
    SolaStretch({MakeFormat(44100, 16, 2), 2}, "", 0, 100, Source(), kBytes, out.data(), out_bytes);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_SolaStretch)->Arg(150)->Arg(70)->Unit(benchmark::kMillisecond)->UseRealTime();

// One segment's search at 44100 Hz (C = 367, H = 183) on neighbouring
// stretches of the tone; the argument is the vector level.
void BM_FindBestOverlap(benchmark::State& state) {
  TheEngine();
  LimitVectorLevel(static_cast<int>(state.range(0)));
  int64_t t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindBestOverlap({MakeFormat(44100, 16, 2), 2}, Source(), kBytes, t,
                                             Source(), kBytes, t + 4000, 367));
    t = (t + 1470 * 4) % (kBytes / 2);
  }
  LimitVectorLevel(2);
}
BENCHMARK(BM_FindBestOverlap)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void RunCommand(benchmark::State& state, int command) {
  Engine& e = TheEngine();
  for (auto _ : state) {
    state.PauseTiming();
    SetDocument(MakeFormat(44100, 16, 2), std::vector<uint8_t>(Source(), Source() + kBytes));
    Params<PitchParams>().pitch = 120;
    Params<TimeStretchParams>().speed = 150;
    Params<TransposeParams>() = {300, 0, 50};
    e.platform.ui.statusLog.clear();
    state.ResumeTiming();
    DispatchCommand(command, kCodeMenu);
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
void BM_Pitch(benchmark::State& s) { RunCommand(s, kCmdPitch); }
void BM_TimeStretch(benchmark::State& s) { RunCommand(s, kCmdTimeStretch); }
void BM_Transpose(benchmark::State& s) { RunCommand(s, kCmdTranspose); }
BENCHMARK(BM_Pitch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TimeStretch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Transpose)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvora
