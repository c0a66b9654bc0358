// What the reader fuzzers share: the input bytes as a file in memory, a
// place for the saves, and the document checks that every later operation
// relies on.
#pragma once

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/sound_document.h"
#include "platform/headless/headless_platform.h"
#include "shell/commands.h"

namespace kelvora::fuzz {

struct Files {
  int fd = -1;
  std::string input;   // the bytes under test, in memory
  std::string output;  // where saves go; removed after every run, since
                       // libFuzzer ends the process without destructors
  explicit Files(const char* name, const char* extension) {
    fd = memfd_create(name, 0);
    if (fd < 0) std::abort();
    input = "/proc/self/fd/" + std::to_string(fd);
    struct stat st;
    std::string folder = stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp";
    output = folder + "/" + name + "-" + std::to_string(getpid()) + extension;
  }
  void Put(const uint8_t* data, size_t size) {
    if (ftruncate(fd, 0) != 0) std::abort();
    if (size != 0 && pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
  }
};

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "document invariant broken: %s\n", what);
    std::abort();
  }
}

inline void CheckDocument(int loaded) {
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

}  // namespace kelvora::fuzz
