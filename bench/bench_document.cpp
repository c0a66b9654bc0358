// The spine's costs: a pass over a 10-minute 44.1 kHz 16-bit stereo sound
// through the sample routines against a plain memcpy of the same bytes, and
// the price of a ShowProgress call that does not update.
#include <benchmark/benchmark.h>

#include <cstring>

#include "document/busy.h"
#include "document/memory_block.h"
#include "document/sound_document.h"
#include "document/frame_format.h"
#include "test_support.h"

namespace kelvora {
namespace {

constexpr size_t kTenMinutes = size_t{44100} * 600 * 4;

struct TenMinuteSound {
  MemoryBlock a, b;
  TenMinuteSound() {
    a.Resize(kTenMinutes);
    b.Resize(kTenMinutes);
    for (size_t i = 0; i < kTenMinutes; ++i) a.data()[i] = static_cast<uint8_t>(i * 7);
    std::memcpy(b.data(), a.data(), kTenMinutes);
  }
};

TenMinuteSound& Sound() {
  static TenMinuteSound s;
  return s;
}

void BM_Memcpy(benchmark::State& state) {
  TenMinuteSound& s = Sound();
  for (auto _ : state) {
    std::memcpy(s.b.data(), s.a.data(), kTenMinutes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kTenMinutes);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Halving every sample in place, the way an effect reads and writes.
void HalvePass(uint8_t* p, size_t bytes) {
  WithFrameFormat([&](auto fmt) {
    for (size_t o = 0; o < bytes; o += fmt.Align())
      for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(p + o, fmt.Read(p + o, ch) / 2, ch);
  });
}

void BM_ReadModifyWriteFrameFormat(benchmark::State& state) {
  HeadlessPlatform platform;
  platform.Install();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  TenMinuteSound& s = Sound();
  for (auto _ : state) {
    HalvePass(s.b.data(), kTenMinutes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kTenMinutes);
}
BENCHMARK(BM_ReadModifyWriteFrameFormat)->Unit(benchmark::kMillisecond);

void BM_ReadModifyWriteFreeFunctions(benchmark::State& state) {
  HeadlessPlatform platform;
  platform.Install();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  TenMinuteSound& s = Sound();
  uint8_t* p = s.b.data();
  for (auto _ : state) {
    for (size_t o = 0; o < kTenMinutes; o += 4)
      for (int ch = 0; ch < 2; ++ch) WriteSample(p + o, ReadSample(p + o, ch) / 2, ch);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kTenMinutes);
}
BENCHMARK(BM_ReadModifyWriteFreeFunctions)->Unit(benchmark::kMillisecond);

void BM_ShowProgressWithoutUpdate(benchmark::State& state) {
  HeadlessPlatform platform;
  platform.Install();
  int32_t i = 0;
  for (auto _ : state) {
    if (Busy().progressCounter > 150) Busy().progressCounter = 0;  // never reaches an update
    ShowProgress("x", i++, 1000);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ShowProgressWithoutUpdate);

}  // namespace
}  // namespace kelvora
