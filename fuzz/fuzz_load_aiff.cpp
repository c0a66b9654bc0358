// Feeds arbitrary bytes to the AIFF reader, checks that the
// document comes out whole, and writes what loaded back out as AIFF and AU:
// every format the reader gives can be written back.
#include "files/aiff.h"
#include "files/au.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string output = fuzz::OutputPath("fuzz_load_aiff", ".aiff");
  fuzz::LoadAndSaveBack(kAiffReader, data, size, "in.aiff", output, SaveAiff, SaveAu);
  return 0;
}
