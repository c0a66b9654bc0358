// WAV load and save of a ten-minute CD-quality sound, and the mu-law codec.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "document/sound_document.h"
#include "files/file_test_support.h"
#include "files/mulaw.h"
#include "files/wav.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr size_t kFrames = size_t{44100} * 600;
constexpr size_t kBytes = kFrames * 4;

// One engine and one 106 MB file on disk for all WAV benchmarks.
struct WavBench {
  HeadlessPlatform platform;
  std::string path;
  WavBench() {
    platform.Install();
    StartEngine();
    path = "/tmp/kelvora-bench-" + std::to_string(getpid()) + ".wav";
    FillDocument();
    Doc().path = path;
    SaveWav(0);
  }
  ~WavBench() { std::remove(path.c_str()); }
  static void FillDocument() {
    SoundDocument& doc = Doc();
    SetDocumentFormat(MakeFormat(44100, 16, 2));
    doc.data.Resize(kBytes + 16);
    uint32_t x = 1;
    for (size_t i = 0; i < kBytes; ++i)
      doc.data.data()[i] = uint8_t((x = x * 1103515245u + 12345u) >> 24);
    doc.length = static_cast<int32_t>(kBytes);
  }
};

WavBench& Bench() {
  static WavBench bench;
  return bench;
}

void BM_LoadWavFresh(benchmark::State& state) {
  WavBench& b = Bench();
  for (auto _ : state) {
    state.PauseTiming();
    StartEngine();  // a new process's empty document
    state.ResumeTiming();
    if (!LoadFile(kWavReader, b.path)) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
  WavBench::FillDocument();
}
BENCHMARK(BM_LoadWavFresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWavAgain(benchmark::State& state) {
  WavBench& b = Bench();
  for (auto _ : state)
    if (!LoadFile(kWavReader, b.path)) state.SkipWithError("load failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_LoadWavAgain)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveWav(benchmark::State& state) {
  WavBench& b = Bench();
  WavBench::FillDocument();
  Doc().path = b.path;
  const int mode = static_cast<int>(state.range(0));
  for (auto _ : state)
    if (!SaveWav(mode)) state.SkipWithError("save failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
  SaveWav(0);
}
BENCHMARK(BM_SaveWav)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MuLawDecode(benchmark::State& state) {
  std::vector<uint8_t> codes(1 << 20), pcm(2 << 20);
  for (size_t i = 0; i < codes.size(); ++i) codes[i] = uint8_t(i * 131);
  for (auto _ : state) {
    MuLawDecodeToPcm16(codes.data(), codes.size(), pcm.data());
    benchmark::DoNotOptimize(pcm.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(codes.size()));
}
BENCHMARK(BM_MuLawDecode);

void BM_MuLawEncode(benchmark::State& state) {
  std::vector<uint8_t> pcm(2 << 20), codes(1 << 20);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = uint8_t(i * 77 + (i >> 9));
  for (auto _ : state) {
    MuLawEncodePcm16(pcm.data(), codes.size(), codes.data());
    benchmark::DoNotOptimize(codes.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(codes.size()));
}
BENCHMARK(BM_MuLawEncode);

}  // namespace
}  // namespace kelvora
