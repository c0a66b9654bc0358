// Feeds arbitrary bytes to the WAV reader, checks that the
// document comes out whole, and writes what loaded back out both ways.
#include "files/wav.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string output = fuzz::OutputPath("fuzz_load_wav", ".wav");
  fuzz::LoadAndSaveBack(
      kWavReader, data, size, "in.wav", output, [] { return SaveWav(0); },
      [] { return SaveWav(1); });
  return 0;
}
