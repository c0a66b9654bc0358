// What the reader fuzzers share: the load of the input bytes as the open
// flow does it, the document checks that every later operation relies on,
// and the saves of what loaded.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/sound_document.h"
#include "files/file_io.h"
#include "files/open_save.h"
#include "platform/headless/headless_platform.h"
#include "shell/commands.h"

namespace kelvora::fuzz {

// Where the saves go: removed after every run, since libFuzzer ends the
// process without destructors.
inline std::string OutputPath(const char* name, const char* extension) {
  struct stat st;
  const std::string folder = stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp";
  return folder + "/" + name + "-" + std::to_string(getpid()) + extension;
}

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

// Loads `data` with `load` into a fresh engine, checks the document, and
// writes what loaded back out with both writers. Its own writer must manage;
// the other may refuse a layout it cannot hold, but never without a message.
template <typename Load>
inline void LoadAndSaveBackWith(Load load, const uint8_t* data, size_t size, const char* name,
                                const std::string& output, int (*save)(), int (*saveOther)()) {
  HeadlessPlatform platform;
  platform.Install();
  StartEngine();
  Doc().path = name;
  FileReader file;
  file.OpenMemory(data, size);
  const int loaded = load(file);
  CheckDocument(loaded);
  if (loaded) {
    Doc().path = output;
    const bool saved = save();
    const size_t said = platform.ui.messages.size();
    const bool other = saveOther();
    std::remove(output.c_str());
    if (!saved || (!other && platform.ui.messages.size() == said)) std::abort();
  }
  ResetProcessState();
}

inline void LoadAndSaveBack(const SoundReader& reader, const uint8_t* data, size_t size,
                            const char* name, const std::string& output, int (*save)(),
                            int (*saveOther)()) {
  LoadAndSaveBackWith([&](FileReader& file) { return LoadIntoDocument(reader, file); }, data, size,
                      name, output, save, saveOther);
}

}  // namespace kelvora::fuzz
