// Feeds arbitrary bytes to the intake of today's formats, checks that the
// document comes out whole, or exactly as it was when nothing loads, and
// writes what loaded back out as WAV and as FLAC.
#include "files/encoded_writer.h"
#include "files/wav.h"
#include "load_fuzz_support.h"

using namespace kelvora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string output = fuzz::OutputPath("fuzz_load_intake", ".flac");
  fuzz::LoadAndSaveBackWith(
      [](FileReader& file) {
        const SoundDocument& doc = Doc();
        const SoundFormat format = doc.format;
        const uint8_t* block = doc.data.data();
        const int32_t length = doc.length;
        const int loaded = LoadThroughIntake(file);
        fuzz::Check(loaded || (doc.format == format && doc.data.data() == block &&
                               doc.length == length && doc.path == "in.flac"),
                    "untouched after a failed load");
        return loaded;
      },
      data, size, "in.flac", output, [] { return SaveWav(0); },
      [] {
        // FLAC may refuse a sound (a rate above 655,350 Hz) with its
        // message; it must not do worse.
        SaveEncoded(kFileKindFlac);
        return 1;
      });
  return 0;
}
