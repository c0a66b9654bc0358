// Feeds arbitrary bytes to the WAV reader as a file, checks that the
// document comes out whole, and writes what loaded back out both ways.
#include "files/wav.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::Files files("fuzz_load_wav", ".wav");
  files.Put(data, size);
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  Doc().path = files.input;
  const int loaded = LoadWav(files.input);
  fuzz::CheckDocument(loaded);
  if (loaded) {
    Doc().path = files.output;
    const bool saved = SaveWav(0) && SaveWav(1);
    std::remove(files.output.c_str());
    if (!saved) std::abort();
  }
  ResetProcessState();
  return 0;
}
