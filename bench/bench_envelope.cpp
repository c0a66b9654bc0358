// The envelope effects on ten minutes of 44.1 kHz 16-bit stereo as the
// commands run them (undo snapshot included), and the editor's paint of its
// frame with that selection behind it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "document/params.h"
#include "effects/envelope.h"
#include "platform/pixel_canvas.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr int64_t kFrames = 44100LL * 600;
constexpr int64_t kBytes = kFrames * 4;

struct TenMinutes {
  HeadlessPlatform platform;
  std::vector<uint8_t> material = std::vector<uint8_t>(kBytes);
  TenMinutes() {
    platform.Install();
    StartEngine();
    uint32_t seed = 1;
    for (int64_t i = 0; i < kBytes; i += 2) {
      seed = seed * 1664525u + 1013904223u;
      const int16_t v = static_cast<int16_t>(static_cast<int32_t>(seed >> 16) % 24000 - 12000);
      std::memcpy(&material[i], &v, 2);
    }
    SetDocument(MakeFormat(44100, 16, 2), material);
  }
  // The material back and selected whole, outside the timing.
  void Restore() {
    SetDocument(MakeFormat(44100, 16, 2), material);
    Doc().selEnd = static_cast<int32_t>(kBytes);
    platform.ui.statusLog.clear();
  }
};

TenMinutes& Sound() {
  static TenMinutes sound;
  return sound;
}

// A curve with a rise, a dip and a slope.
Envelope Shape() {
  return Envelope{0, 20, 60, 240, 100, 200, 180, 30, 256, 128, kCurveEnd, kCurveEnd};
}

void RunEnvelope(benchmark::State& state, int command, Envelope& curve) {
  TenMinutes& sound = Sound();
  for (auto _ : state) {
    state.PauseTiming();
    sound.Restore();
    curve = Shape();
    state.ResumeTiming();
    DispatchCommand(command, kCodeMenu);
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_VolumeEnvelope(benchmark::State& s) {
  RunEnvelope(s, kCmdVolumeEnvelope, Params<VolumeEnvelopeParams>().curve);
}
void BM_PanEnvelope(benchmark::State& s) {
  RunEnvelope(s, kCmdPanEnvelope, Params<PanEnvelopeParams>().curve);
}
void BM_PitchEnvelope(benchmark::State& s) {
  RunEnvelope(s, kCmdPitchEnvelope, Params<PitchEnvelopeParams>().curve);
}
BENCHMARK(BM_VolumeEnvelope)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PanEnvelope)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PitchEnvelope)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole frame painted at display density 8 (a dot every 16th frame),
// 1 (every 128th) and 128 (every frame).
void BM_EnvelopeEditorPaint(benchmark::State& state) {
  TenMinutes& sound = Sound();
  sound.Restore();
  Envelope curve = Shape();
  EnvelopeEditorState editor{&curve};
  editor.dotEvery = static_cast<int32_t>(128 / state.range(0));
  PixelCanvas canvas(400, 256);
  for (auto _ : state) {
    PaintEnvelopeFrame(canvas, editor);
    benchmark::DoNotOptimize(canvas.pixels().data());
  }
}
BENCHMARK(BM_EnvelopeEditorPaint)->Arg(8)->Arg(1)->Arg(128)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvora
