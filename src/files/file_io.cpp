#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

// The kernel moves at most about 2 GiB per call; stay well below.
constexpr size_t kMaxIoCall = size_t{1} << 30;

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

// ----- FileReader -----------------------------------------------------------

int FileReader::Open(const std::string& path) {
  Close();
  // Non-blocking so that naming a FIFO cannot hang the program; it is
  // refused below like every other file that is not a regular one.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 0;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 0;
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
  position_ = 0;
  bufferStart_ = 0;
  bufferLength_ = 0;
  return 1;
}

void FileReader::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  // A non-null pointer marks the reader open, also for no bytes at all.
  static const uint8_t kNothing = 0;
  memory_ = data != nullptr ? data : &kNothing;
  size_ = size;
  position_ = 0;
  bufferStart_ = 0;
  bufferLength_ = 0;
}

void FileReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  memory_ = nullptr;
  size_ = position_ = 0;
  bufferLength_ = 0;
}

size_t FileReader::ReadDirect(uint8_t* dst, size_t n, uint64_t at) {
  if (memory_ != nullptr) {
    if (at >= size_) return 0;
    const size_t take = size_ - at < n ? static_cast<size_t>(size_ - at) : n;
    std::memcpy(dst, memory_ + at, take);
    return take;
  }
  size_t done = 0;
  while (done < n) {
    if (at + done > static_cast<uint64_t>(LLONG_MAX)) break;
    size_t want = n - done < kMaxIoCall ? n - done : kMaxIoCall;
    ssize_t got = ::pread(fd_, dst + done, want, static_cast<off_t>(at + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t FileReader::Read(void* dst, size_t n) {
  if (!IsOpen()) return 0;
  auto* out = static_cast<uint8_t*>(dst);
  size_t done = 0;
  while (done < n) {
    uint64_t pos = position_;
    if (pos >= bufferStart_ && pos < bufferStart_ + bufferLength_) {
      size_t offset = static_cast<size_t>(pos - bufferStart_);
      size_t take = bufferLength_ - offset;
      if (take > n - done) take = n - done;
      std::memcpy(out + done, buffer_ + offset, take);
      done += take;
      position_ += take;
      continue;
    }
    if (n - done >= kBufferSize / 2) {
      // Bulk data goes straight to its destination.
      size_t got = ReadDirect(out + done, n - done, pos);
      done += got;
      position_ += got;
      break;
    }
    bufferStart_ = pos;
    bufferLength_ = ReadDirect(buffer_, kBufferSize, pos);
    if (bufferLength_ == 0) break;
  }
  return done;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// ----- SafeFileWriter -------------------------------------------------------

void ReportWriteFailure(const std::string& path) {
  const std::string format = texts::kWriteFailed;
  const size_t at = format.find("%s");
  ShowWarning(texts::kCaptionSave, format.substr(0, at) + path + format.substr(at + 2));
}

SafeFileWriter::~SafeFileWriter() { Discard(); }

void SafeFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

void SafeFileWriter::Fail() {
  failed_ = true;
  Discard();
}

int SafeFileWriter::Open(const std::string& path) {
  Discard();
  failed_ = false;
  path_ = path;
  target_ = path;
  // Saving through a symbolic link replaces the file it points to and keeps
  // the link.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  bool replacing = ::stat(target_.c_str(), &st) == 0;
  // A directory cannot be replaced, and a file the user may not write stays
  // protected even though its folder would let us rename over it.
  if (replacing && (S_ISDIR(st.st_mode) || ::access(target_.c_str(), W_OK) != 0)) {
    Fail();
    ReportWriteFailure(path_);
    return 0;
  }
  const std::string dir = DirectoryOf(target_);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "/.kelvora-%ld-%u.tmp", static_cast<long>(::getpid()),
                  counter++);
    temp_ = dir + name;
    // Mode 0666 lets the umask decide, as for any newly created file.
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temp_.clear();
    Fail();
    ReportWriteFailure(path_);
    return 0;
  }
  // A replaced file keeps its permissions.
  if (replacing) ::fchmod(fd_, st.st_mode & 07777);
  replacing_ = replacing;
  return 1;
}

int SafeFileWriter::Write(const void* src, size_t n) {
  if (failed_ || fd_ < 0) {
    failed_ = true;
    return 0;
  }
  const auto* p = static_cast<const uint8_t*>(src);
  size_t done = 0;
  while (done < n) {
    size_t want = n - done < kMaxIoCall ? n - done : kMaxIoCall;
    ssize_t put = ::write(fd_, p + done, want);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      Fail();
      return 0;
    }
    done += static_cast<size_t>(put);
  }
  return 1;
}

int SafeFileWriter::Commit() {
  bool ok = !failed_ && fd_ >= 0;
  if (ok) {
    int fd = fd_;
    fd_ = -1;
    // Before an existing file is replaced, its successor must be on disk:
    // otherwise a crash soon after the rename could leave an empty file
    // where the old one was. A new
    // file puts nothing at stake and skips the wait.
    ok = (!replacing_ || ::fdatasync(fd) == 0);
    ok = ::close(fd) == 0 && ok && ::rename(temp_.c_str(), target_.c_str()) == 0;
  }
  if (!ok) {
    Fail();
    ReportWriteFailure(path_);
    return 0;
  }
  temp_.clear();
  return 1;
}

}  // namespace kelvora
