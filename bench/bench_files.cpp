// AIFF load and save of a ten-minute CD-quality sound, and the format
// conversion that Paste, Mix and the conversion command run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "document/sound_document.h"
#include "editing/convert.h"
#include "files/aiff.h"
#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr size_t kFrames = size_t{44100} * 600;
constexpr size_t kBytes = kFrames * 4;

void FillDocument(size_t bytes) {
  SoundDocument& doc = Doc();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  doc.data.Resize(bytes + 16);
  uint32_t x = 1;
  for (size_t i = 0; i < bytes; ++i)
    doc.data.data()[i] = uint8_t((x = x * 1103515245u + 12345u) >> 24);
  doc.length = static_cast<int32_t>(bytes);
}

struct AiffBench {
  HeadlessPlatform platform;
  std::string path;
  AiffBench() {
    platform.Install();
    StartEngine();
    path = "/tmp/kelvora-bench-" + std::to_string(getpid()) + ".aiff";
    FillDocument(kBytes);
    Doc().path = path;
    SaveAiff();
  }
  ~AiffBench() { std::remove(path.c_str()); }
};

AiffBench& Bench() {
  static AiffBench bench;
  return bench;
}

void BM_LoadAiff(benchmark::State& state) {
  AiffBench& b = Bench();
  for (auto _ : state)
    if (!LoadFile(kAiffReader, b.path)) state.SkipWithError("load failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_LoadAiff)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveAiff(benchmark::State& state) {
  AiffBench& b = Bench();
  FillDocument(kBytes);
  Doc().path = b.path;
  for (auto _ : state)
    if (!SaveAiff()) state.SkipWithError("save failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_SaveAiff)->Unit(benchmark::kMillisecond)->UseRealTime();

// One minute of 44100 Hz stereo into the format given by the arguments.
void BM_ConvertSamples(benchmark::State& state) {
  Bench();
  const size_t bytes = size_t{44100} * 60 * 4;
  FillDocument(bytes);
  const SoundFormat to =
      MakeFormat(uint32_t(state.range(0)), int(state.range(1)), int(state.range(2)));
  for (auto _ : state) {
    MemoryBlock out;
    int32_t length = 0;
    if (!ConvertSamples(Doc().format, Doc().bytes(), Doc().length, to, out, &length))
      state.SkipWithError("refused");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * 44100 * 60);
}
BENCHMARK(BM_ConvertSamples)
    ->Args({44100, 16, 2})
    ->Args({22050, 8, 1})
    ->Args({8000, 16, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvora
