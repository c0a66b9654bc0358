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

}  // namespace

// ----- FileReader -----------------------------------------------------------

int FileReader::Open(const std::string& path) {
  Close();
  // Non-blocking so that naming a FIFO cannot hang the program; it is
  // refused below like every other file that is not a regular one.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    openFailure_ = error == EACCES || error == EPERM     ? texts::kNoReadPermission
                   : error == ENOENT || error == ENOTDIR ? texts::kFileNotFound
                   : error == EISDIR                     ? texts::kNotARegularFile
                                                         : texts::kFileUnreadable;
    return 0;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    openFailure_ = texts::kNotARegularFile;
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

uint64_t FileReader::FirstNonZero(uint64_t from) {
  uint64_t at = from;
  while (fd_ >= 0 && at < size_) {
    const off_t data = ::lseek(fd_, static_cast<off_t>(at), SEEK_DATA);
    if (data < 0 && errno == ENXIO) break;  // nothing but a hole to the end
    if (data > 0 && static_cast<uint64_t>(data) > at) at = static_cast<uint64_t>(data);
    uint8_t piece[kBufferSize];
    const uint64_t left = size_ > at ? size_ - at : 0;
    const size_t got =
        ReadDirect(piece, left < sizeof piece ? static_cast<size_t>(left) : sizeof piece, at);
    if (got == 0) break;
    for (size_t i = 0; i < got; ++i)
      if (piece[i] != 0) return at + i;
    at += got;
  }
  return size_;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace kelvora
