// Temporary folders and hand-built RIFF files for the file format tests.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kelvora {

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
  TempDir() {
    char name[] = "/tmp/kelvora-test-XXXXXX";
    if (mkdtemp(name) != nullptr) path_ = name;
  }
  ~TempDir() { RemoveTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Names in the folder, without "." and "..".
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(path_.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      closedir(d);
    }
    return names;
  }

private:
  static void RemoveTree(const std::string& path) {
    if (path.empty()) return;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      chmod(path.c_str(), 0700);
      if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
          std::string n = e->d_name;
          if (n != "." && n != "..") RemoveTree(path + "/" + n);
        }
        closedir(d);
      }
      rmdir(path.c_str());
    } else {
      unlink(path.c_str());
    }
  }
  std::string path_;
};

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return bytes;
}

inline uint32_t Le32At(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}
inline uint16_t Le16At(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// A file-size limit makes the kernel refuse a write half-way, as a full disk
// would.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  rlimit old_;
  void (*oldHandler_)(int);
};

// Builds a RIFF/WAVE image chunk by chunk; sizes are whatever the test says.
class RiffBuilder {
public:
  RiffBuilder& Raw(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  RiffBuilder& Tag(const char* id) {
    return Raw({uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3])});
  }
  RiffBuilder& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
  RiffBuilder& U32(uint32_t v) {
    return Raw({uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  }
  RiffBuilder& Header() { return Tag("RIFF").U32(0).Tag("WAVE"); }
  // A chunk whose size field is the body's size.
  RiffBuilder& Chunk(const char* id, const std::vector<uint8_t>& body) {
    return Tag(id).U32(static_cast<uint32_t>(body.size())).Raw(body);
  }
  // A 16-byte fmt chunk.
  RiffBuilder& Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits) {
    return Tag("fmt ")
        .U32(16)
        .U16(tag)
        .U16(channels)
        .U32(rate)
        .U32(rate * align)
        .U16(align)
        .U16(bits);
  }
  RiffBuilder& Pcm(uint32_t rate, int bits, int channels) {
    return Fmt(1, uint16_t(channels), rate, uint16_t(bits / 8 * channels), uint16_t(bits));
  }
  RiffBuilder& Data(const std::vector<uint8_t>& body) { return Chunk("data", body); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kelvora
