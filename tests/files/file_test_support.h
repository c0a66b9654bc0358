// Temporary folders and hand-built sound file images for the file tests.
#pragma once

#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/open_save.h"

namespace kelvora {

// Loads the file at `path` the way the open flow does once it has the file
// open: no undo snapshot, path and kind as they are. 1 when loaded.
inline int LoadFile(const SoundReader& reader, const std::string& path) {
  FileReader file;
  if (!file.Open(path)) return 0;
  return LoadIntoDocument(reader, file);
}

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
  TempDir() {
    char name[] = "/tmp/kelvora-test-XXXXXX";
    if (mkdtemp(name) != nullptr) path_ = name;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path_, ec))
      names.push_back(e.path().filename().string());
    return names;
  }

private:
  std::string path_;
};

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  f.close();
  return !f.fail();
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}
inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Reproducible bytes that are not all alike.
inline std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  for (auto& x : v) x = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
  return v;
}

// FNV-1a over bytes, for golden hashes of fixed signals; `h` chains several.
inline uint32_t HashBytes(const std::vector<uint8_t>& bytes, uint32_t h = 2166136261u) {
  for (uint8_t b : bytes) h = (h ^ b) * 16777619u;
  return h;
}

// A file-size limit makes the kernel refuse a write half-way, as a full disk
// would.
struct FileSizeLimit {
  rlimit old;
  void (*oldHandler)(int);
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit lim = old;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
    oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
  }
};

// Builds a file image field by field: little-endian for RIFF/WAVE, big-endian
// (the B- fields) for AIFF and AU. Sizes are whatever the test says.
struct Image {
  std::vector<uint8_t> bytes;
  operator const std::vector<uint8_t>&() const { return bytes; }

  Image& Raw(const std::vector<uint8_t>& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  Image& Tag(const char* id) { return Raw({id, id + 4}); }
  Image& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
  Image& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  Image& B16(uint16_t v) { return Raw({uint8_t(v >> 8), uint8_t(v)}); }
  Image& B32(uint32_t v) { return B16(uint16_t(v >> 16)).B16(uint16_t(v)); }

  Image& Riff(uint32_t size = 0) { return Tag("RIFF").U32(size).Tag("WAVE"); }
  // A chunk whose size field is the body's size.
  Image& Chunk(const char* id, const std::vector<uint8_t>& body) {
    return Tag(id).U32(uint32_t(body.size())).Raw(body);
  }
  // A 16-byte fmt chunk.
  Image& Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits) {
    return Tag("fmt ")
        .U32(16)
        .U16(tag)
        .U16(channels)
        .U32(rate)
        .U32(rate * align)
        .U16(align)
        .U16(bits);
  }
  Image& Pcm(uint32_t rate, int bits, int channels) {
    return Fmt(1, uint16_t(channels), rate, uint16_t(bits / 8 * channels), uint16_t(bits));
  }
  Image& Data(const std::vector<uint8_t>& body) { return Chunk("data", body); }

  Image& Form(uint32_t size = 0) { return Tag("FORM").B32(size).Tag("AIFF"); }
  // `rate` is the 10-byte extended float.
  Image& Comm(uint16_t ch, uint32_t frames, uint16_t bits, const std::vector<uint8_t>& rate) {
    return Tag("COMM").B32(18).B16(ch).B32(frames).B16(bits).Raw(rate);
  }
  // An SSND chunk whose sound starts `offset` bytes into `body`.
  Image& Ssnd(const std::vector<uint8_t>& body, uint32_t offset = 0) {
    return Tag("SSND").B32(uint32_t(8 + body.size())).B32(offset).B32(0).Raw(body);
  }
  Image& Au(uint32_t offset, uint32_t size, uint32_t encoding, uint32_t rate, uint32_t ch) {
    return Tag(".snd").B32(offset).B32(size).B32(encoding).B32(rate).B32(ch);
  }
};

}  // namespace kelvora
