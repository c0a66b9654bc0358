// Feeds arbitrary bytes to the WAV reader as a file, checks that the
// document comes out whole, and writes what loaded back out both ways.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/sound_document.h"
#include "files/wav.h"
#include "platform/headless/headless_platform.h"
#include "shell/commands.h"

namespace {

using namespace kelvora;

struct Files {
  int fd = -1;
  std::string input;   // the bytes under test, in memory
  std::string output;  // where saves go; removed after every run, since
                       // libFuzzer ends the process without destructors
  Files() {
    fd = memfd_create("fuzz_load_wav", 0);
    if (fd < 0) std::abort();
    input = "/proc/self/fd/" + std::to_string(fd);
    // Memory-backed when the system has it: saves run on every input.
    struct stat st;
    std::string folder = stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp";
    output = folder + "/fuzz-wav-" + std::to_string(getpid()) + ".wav";
  }
};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "document invariant broken: %s\n", what);
    std::abort();
  }
}

// What every later operation relies on.
void CheckDocument(int loaded) {
  const SoundDocument& doc = Doc();
  Check(doc.format.nChannels >= 1, "channels");
  Check(doc.bytesPerChannelSample >= 1, "bytes per channel sample");
  Check(doc.length >= 0 && doc.length % doc.format.nBlockAlign == 0, "whole frames");
  Check(doc.selStart == 0 && doc.selEnd == 0 && doc.anchor == 0 && doc.movingEnd == 0, "selection");
  if (loaded) {
    Check(doc.data.size() >= size_t(doc.length) + 16, "spare bytes");
    // Touch every byte so the address sanitizer sees the whole block.
    unsigned sum = 0;
    for (size_t i = 0; i < size_t(doc.length) + 16; ++i) sum += doc.data.data()[i];
    for (int i = 0; i < 16; ++i) Check(doc.data.data()[doc.length + i] == 0, "zeroed spare");
    Check(sum != 0xFFFFFFFFu, "sum");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Files files;
  if (ftruncate(files.fd, 0) != 0) std::abort();
  if (size != 0 && pwrite(files.fd, data, size, 0) != ssize_t(size)) std::abort();

  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  Doc().path = files.input;
  int loaded = LoadWav(files.input);
  CheckDocument(loaded);
  if (loaded) {
    Doc().path = files.output;
    bool saved = SaveWav(0) && SaveWav(1);
    std::remove(files.output.c_str());
    if (!saved) std::abort();
  }
  ResetProcessState();
  return 0;
}
