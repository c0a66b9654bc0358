// Feeds arbitrary bytes to the AU reader as a file, checks that the
// document comes out whole, and writes what loaded back out as AU and AIFF.
#include "files/aiff.h"
#include "files/au.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::Files files("fuzz_load_au", ".au");
  files.Put(data, size);
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  Doc().path = files.input;
  const int loaded = LoadAu(files.input);
  fuzz::CheckDocument(loaded);
  if (loaded) {
    Doc().path = files.output;
    const bool saved = SaveAu() && SaveAiff();
    std::remove(files.output.c_str());
    if (!saved) std::abort();
  }
  ResetProcessState();
  return 0;
}
