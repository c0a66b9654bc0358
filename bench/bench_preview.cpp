// How soon a changed value is heard while an effect dialog previews: the
// time from the change (a slider moved, a curve point dragged) to the new
// loop ready, for a 10-second 44.1 kHz 16-bit stereo selection.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "document/params.h"
#include "effect_bench.h"
#include "effects/dynamics.h"
#include "effects/preview.h"
#include "resources/dialogs.h"
#include "shell/commands.h"

namespace kelvora {
namespace {

struct Change {
  const char* name;
  int command;
  int slider;  // moved between `low` and `high`; 0: a dragged curve point
  int low, high;
  void (*set)() = nullptr;
};

const Change kChanges[] = {
    {"Volume", kCmdVolume, 200, 50, 60},
    {"NoiseGate", kCmdNoiseGate, 200, 20, 30},
    {"Compressor", kCmdCompressor, 200, 50, 60},
    {"Distortion", kCmdDistortion, 200, 50, 60},
    {"NoiseRemoval", kCmdNoiseRemoval, 200, 10, 20},
    {"NoiseRemovalWidest", kCmdNoiseRemoval, 200, 10, 20,
     [] { Params<NoiseRemovalParams>().impulse = 10; }},
    {"Echo", kCmdEcho, 200, 120, 130},
    {"Reverb", kCmdReverb, 200, 500, 510},
    {"Flanger", kCmdFlanger, 202, 20, 30},
    {"Vibrato", kCmdVibrato, 200, 20, 30},
    {"Tremolo", kCmdTremolo, 200, 90, 100},
    {"VolumeEnvelope", kCmdVolumeEnvelope, 0, 60, 200},
    {"PanEnvelope", kCmdPanEnvelope, 0, 60, 200},
    {"PitchEnvelope", kCmdPitchEnvelope, 0, 60, 200},
    {"Pitch", kCmdPitch, 200, 60, 70},
    {"TimeStretch", kCmdTimeStretch, 200, 50, 60},
    {"Transpose", kCmdTranspose, 200, -700, -600},
    {"GraphicEq", kCmdGraphicEq, 203, 0, 10},
    {"ParametricEq", kCmdParametricEq, 103, 5, 9},
};

void BM_PreviewRerender(benchmark::State& state) {
  const Change& c = kChanges[state.range(0)];
  state.SetLabel(c.name);
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  ResetParams();
  if (c.set != nullptr) c.set();
  constexpr int64_t kTenSeconds = 44100 * 10 * 4;
  SetDocument(MakeFormat(44100, 16, 2),
              std::vector<uint8_t>(Material().begin(), Material().begin() + kTenSeconds));
  platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& w) {
        w.Click(kPreviewToggle);
        if (c.slider == 0) w.MouseDown(110, 200, 128);  // a point in the middle
        bool high = false;
        for (auto _ : state) {
          high = !high;
          if (c.slider == 0)
            w.MouseMove(110, 200, high ? c.high : c.low);
          else
            w.Scroll(c.slider, kScrollThumbTrack, high ? c.high : c.low);
        }
        if (!Preview().playing) state.SkipWithError("the preview did not play");
        state.counters["renders"] = Preview().renders;
        state.counters["changed"] = Preview().processedBytes != Preview().originalBytes ||
                                    std::memcmp(Preview().processed, Preview().original,
                                                static_cast<size_t>(Preview().originalBytes)) != 0;
      },
      2);
  DispatchCommand(c.command, kCodeMenu);
}
BENCHMARK(BM_PreviewRerender)
    ->DenseRange(0, static_cast<int>(std::size(kChanges)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);

}  // namespace
}  // namespace kelvora
