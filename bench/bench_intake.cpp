// Today's formats: a ten-minute CD-quality sound saved as FLAC and loaded
// back through the intake, one minute of it through Ogg Vorbis and MP3,
// and the 16-bit reduction with dither and the 5.1 mix on their own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "document/sound_document.h"
#include "files/encoded_writer.h"
#include "files/file_io.h"
#include "files/open_save.h"
#include "files/pcm_reduction.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr size_t kRate = 44100;

// Two tones and a little noise: something an encoder has to work at.
void FillDocument(size_t seconds) {
  SoundDocument& doc = Doc();
  SetDocumentFormat(MakeFormat(kRate, 16, 2));
  const size_t frames = kRate * seconds;
  doc.data.Resize(frames * 4 + 16);
  auto* s = reinterpret_cast<int16_t*>(doc.data.data());
  uint32_t x = 1;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const int noise = static_cast<int>((x = x * 1103515245u + 12345u) >> 21) - 1024;
    s[2 * i] = static_cast<int16_t>(9000 * std::sin(6.2831853 * 440 * t) + noise);
    s[2 * i + 1] = static_cast<int16_t>(9000 * std::sin(6.2831853 * 1000 * t) + noise);
  }
  doc.length = static_cast<int32_t>(frames * 4);
}

struct IntakeBench {
  HeadlessPlatform platform;
  std::string flac, ogg, mp3;
  IntakeBench() {
    platform.Install();
    StartEngine();
    const std::string base = "/tmp/kelvora-bench-" + std::to_string(getpid());
    flac = base + ".flac";
    ogg = base + ".ogg";
    mp3 = base + ".mp3";
    FillDocument(60);
    for (auto [path, kind] : {std::pair{ogg, kFileKindOggVorbis}, std::pair{mp3, kFileKindMp3}}) {
      Doc().path = path;
      SaveEncoded(kind);
    }
    FillDocument(600);
    Doc().path = flac;
    SaveEncoded(kFileKindFlac);
  }
  ~IntakeBench() {
    for (const std::string& p : {flac, ogg, mp3}) std::remove(p.c_str());
  }
};

IntakeBench& Bench() {
  static IntakeBench bench;
  return bench;
}

void Load(benchmark::State& state, const std::string& path, size_t seconds) {
  for (auto _ : state) {
    FileReader file;
    if (!file.Open(path) || !LoadThroughIntake(file)) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(seconds * kRate * 4));
}

void BM_LoadFlac(benchmark::State& state) { Load(state, Bench().flac, 600); }
BENCHMARK(BM_LoadFlac)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadOggVorbis(benchmark::State& state) { Load(state, Bench().ogg, 60); }
BENCHMARK(BM_LoadOggVorbis)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadMp3(benchmark::State& state) { Load(state, Bench().mp3, 60); }
BENCHMARK(BM_LoadMp3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFlac(benchmark::State& state) {
  IntakeBench& b = Bench();
  FillDocument(600);
  Doc().path = b.flac;
  for (auto _ : state)
    if (!SaveEncoded(kFileKindFlac)) state.SkipWithError("save failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(600 * kRate * 4));
}
BENCHMARK(BM_SaveFlac)->Unit(benchmark::kMillisecond)->UseRealTime();

// Float samples to 16 bits with dither: stereo as it is, and 5.1 mixed.
void BM_Reduce(benchmark::State& state) {
  const int channels = static_cast<int>(state.range(0));
  const Downmix mix = MakeDownmix(channels == 6 ? ConventionalLayout(6, false)
                                                : std::vector<Speaker>(2, Speaker::kUnknown));
  Pcm16Reducer reducer(mix, 1);
  const size_t frames = 65536;
  std::vector<float> in(frames * static_cast<size_t>(channels));
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<float>(std::sin(i * 0.001) * 0.3);
  std::vector<int16_t> out(frames * 2);
  for (auto _ : state) {
    reducer.Reduce(in.data(), frames, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(frames));
}
BENCHMARK(BM_Reduce)->Arg(2)->Arg(6)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelvora
