// Feeds arbitrary bytes to the AU reader, checks that the
// document comes out whole, and writes what loaded back out as AU and AIFF.
#include "files/aiff.h"
#include "files/au.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string output = fuzz::OutputPath("fuzz_load_au", ".au");
  fuzz::LoadAndSaveBack(kAuReader, data, size, "in.au", output, SaveAu, SaveAiff);
  return 0;
}
