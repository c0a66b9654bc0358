// How long the window stays frozen when an effect starts on one hour of
// 44.1 kHz 16-bit stereo (635 MB): from the command to the first event the
// operation lets through, and to its first progress text. The memory is
// warm after the first iteration (the undo copy keeps its block).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "shell/commands.h"
#include "test_support.h"

namespace kelvora {
namespace {

using Clock = std::chrono::steady_clock;

void BM_FadeInStartOneHour(benchmark::State& state) {
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  constexpr int64_t kBytes = 44100LL * 3600 * 4;
  SetDocument(MakeFormat(44100, 16, 2), std::vector<uint8_t>(kBytes, 3));
  double firstEvent = 0, firstText = 0;
  for (auto _ : state) {
    platform.ui.statusLog.clear();
    const Clock::time_point start = Clock::now();
    Clock::time_point eventAt{}, textAt{};
    // A queued event that notes when it runs and stays queued until the
    // progress text has appeared.
    std::function<void()> watch = [&] {
      if (eventAt == Clock::time_point{}) eventAt = Clock::now();
      if (!platform.ui.statusLog.empty() && textAt == Clock::time_point{}) textAt = Clock::now();
      if (textAt == Clock::time_point{}) platform.ui.pendingEvents.push_back(watch);
    };
    platform.ui.pendingEvents.assign(1, watch);
    DispatchCommand(kCmdFadeIn, kCodeMenu);
    platform.ui.pendingEvents.clear();
    firstEvent = std::chrono::duration<double, std::milli>(eventAt - start).count();
    firstText = std::chrono::duration<double, std::milli>(textAt - start).count();
  }
  state.counters["first_event_ms"] = firstEvent;
  state.counters["first_progress_ms"] = firstText;
}
BENCHMARK(BM_FadeInStartOneHour)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kelvora
