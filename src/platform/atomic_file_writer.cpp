#include "platform/atomic_file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace kelvora {
namespace {

// The kernel moves at most about 2 GiB per call; stay well below.
constexpr size_t kMaxIoCall = size_t{1} << 30;
// A temporary file of a process that is gone is removed once it has not
// changed for this long: a younger one may belong to a save that runs in
// another process namespace, where its process id means nothing here.
constexpr time_t kStaleSeconds = 60;

bool g_testNamedTemporary = false;

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The mode a file created now gets: 0666 less the umask, read without
// setting it (which every other thread would see for a moment).
unsigned NewFileMode() {
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[128];
    unsigned mask = 0;
    while (std::fgets(line, sizeof line, f) != nullptr) {
      if (std::sscanf(line, "Umask: %o", &mask) == 1) {
        std::fclose(f);
        return 0666 & ~mask;
      }
    }
    std::fclose(f);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteFully(int fd, const uint8_t* p, size_t n, off_t at) {
  size_t done = 0;
  while (done < n) {
    const size_t want = n - done < kMaxIoCall ? n - done : kMaxIoCall;
    const ssize_t put = ::pwrite(fd, p + done, want, at + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

// Copies every extended attribute of `from` (access control lists are
// among them) to the open file. False when one could not be copied.
bool CopyExtendedAttributes(const std::string& from, int to) {
  ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP;
  if (size == 0) return true;
  std::vector<char> names(static_cast<size_t>(size));
  size = ::listxattr(from.c_str(), names.data(), names.size());
  if (size < 0) return false;
  std::vector<char> value;
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
    const char* name = &names[at];
    ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length < 0) return false;
    value.resize(static_cast<size_t>(length) + 1);
    length = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (length < 0 || ::fsetxattr(to, name, value.data(), static_cast<size_t>(length), 0) != 0)
      return false;
  }
  return true;
}

// Our own temporary files in `dir` that a process which no longer runs left
// behind (a killed save where the file system has no nameless files).
void RemoveStaleTemporaries(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* e = ::readdir(d)) {
    long pid = 0;
    unsigned counter = 0;
    int end = 0;
    if (std::sscanf(e->d_name, ".kelvora-%ld-%u.tmp%n", &pid, &counter, &end) != 2 || end == 0 ||
        e->d_name[end] != '\0' || pid <= 0 || pid == ::getpid())
      continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid() || now - st.st_mtime < kStaleSeconds)
      continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

std::atomic<bool> g_syncNewFiles = true;
std::atomic<uint64_t> g_syncCalls = 0;

int Sync(int fd) {
  g_syncCalls.fetch_add(1);
  return ::fsync(fd);
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // Some file systems cannot sync a folder; the file itself is on disk.
  Sync(fd);
  ::close(fd);
}

}  // namespace

void AtomicFileWriter::SetTestNamedTemporary(bool on) { g_testNamedTemporary = on; }

void AtomicFileWriter::SetSyncNewFiles(bool on) { g_syncNewFiles = on; }
bool AtomicFileWriter::SyncNewFiles() { return g_syncNewFiles; }
uint64_t AtomicFileWriter::SyncCalls() { return g_syncCalls; }

// Without a sync a crash can leave a new file empty or short, but never
// cost content that was there before.
bool AtomicFileWriter::MustSync() const { return replacing_ || g_syncNewFiles; }

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  mode_ = Mode::kClosed;
  if (stage_ >= 0) ::close(stage_);
  stage_ = -1;
  std::free(pending_);
  pending_ = nullptr;
  pendingCapacity_ = pendingBytes_ = 0;
}

int AtomicFileWriter::Error(int error) {
  if (error_ == 0) error_ = error;
  return 0;
}

int AtomicFileWriter::Fail(int error) {
  Error(error);
  failed_ = true;
  Discard();
  return 0;
}

int AtomicFileWriter::Refuse(Refusal why) {
  refusal_ = why;
  return Fail(0);
}

int AtomicFileWriter::Open(const std::string& path) {
  Discard();
  failed_ = replacing_ = nameless_ = false;
  error_ = 0;
  refusal_ = Refusal::kNone;
  written_ = 0;
  target_ = path;
  // Saving through a symbolic link replaces the file it points to and keeps
  // the link; a link that leads nowhere is not followed into a new file.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return errno == ENOENT ? Refuse(Refusal::kDanglingLink) : Fail(errno);
    target_ = real;
    std::free(real);
  }
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
    // Saving into a pipe or a device would hand it a sound file, and a
    // rename would take its place.
    if (!S_ISREG(st.st_mode)) return Refuse(Refusal::kNotRegularFile);
    // A file the user may not write stays protected even though its folder
    // would let us rename over it.
    if (::access(target_.c_str(), W_OK) != 0) return Fail(errno);
    replacing_ = true;
  } else if (errno != ENOENT) {
    return Fail(errno);
  }
  RemoveStaleTemporaries(DirectoryOf(target_));
  // The other names of a hard-linked file see the new content only if it
  // is written where the old one is.
  if (replacing_ && st.st_nlink > 1) return BeginInPlace();
  return CreateTemporary(replacing_ ? &st : nullptr);
}

int AtomicFileWriter::NameTemporary(int (*make)(const std::string& name, int fd), int fd) {
  const std::string dir = DirectoryOf(target_);
  static std::atomic<unsigned> counter = 0;  // writers run on more than one thread
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "/.kelvora-%ld-%u.tmp", static_cast<long>(::getpid()),
                  counter.fetch_add(1));
    const int made = make(dir + name, fd);
    if (made >= 0) {
      temp_ = dir + name;
      return made;
    }
    if (errno != EEXIST) break;
  }
  return -1;
}

int AtomicFileWriter::CreateTemporary(const struct stat* original) {
  int fd = -1;
  if (!g_testNamedTemporary) {
    // Nameless until it is complete: a killed save leaves nothing behind. It
    // gets its name through /proc, so without /proc it needs one at once.
    fd = ::open(DirectoryOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 && ::access(DescriptorPath(fd).c_str(), F_OK) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  nameless_ = fd >= 0;
  if (fd < 0) {
    fd = NameTemporary(
        [](const std::string& name, int) {
          return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        },
        -1);
  }
  if (fd < 0) {
    // No file can be made in the folder: an existing file is rewritten
    // where it is.
    if (original != nullptr) return BeginInPlace();
    return Fail(errno);
  }
  fd_ = fd;
  mode_ = Mode::kTemporary;
  if (original == nullptr) {
    newMode_ = private_ ? 0600 : NewFileMode();
    return 1;
  }
  // Owner, group, mode and attributes before any data, so that nobody who
  // may not read the old file ever reads the new one. Where they cannot be
  // kept, the file is rewritten in place and keeps them all.
  struct stat mine;
  bool kept = ::fstat(fd, &mine) == 0;
  if (kept && (mine.st_uid != original->st_uid || mine.st_gid != original->st_gid))
    kept = ::fchown(fd, original->st_uid, original->st_gid) == 0;
  kept =
      kept && ::fchmod(fd, original->st_mode & 07777) == 0 && CopyExtendedAttributes(target_, fd);
  if (!kept) {
    Discard();
    return BeginInPlace();
  }
  return 1;
}

int AtomicFileWriter::BeginInPlace() {
  // Nothing is written before Commit; opening it now tells at once whether
  // it can be written at all.
  const int fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return Fail(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Refuse(Refusal::kNotRegularFile);
  }
  fd_ = fd;
  mode_ = Mode::kInPlace;
  // The new content waits in a nameless file beside the target rather than
  // in memory, where a long sound would need its size a second time; only
  // where none can be made is it gathered.
  stage_ = ::open(DirectoryOf(target_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  return 1;
}

int AtomicFileWriter::Write(const void* src, size_t n) {
  if (failed_ || mode_ == Mode::kClosed) {
    failed_ = true;
    return 0;
  }
  const auto* p = static_cast<const uint8_t*>(src);
  if (mode_ == Mode::kInPlace && stage_ < 0) {
    const size_t need = pendingBytes_ + n;
    if (need > pendingCapacity_) {
      size_t grown = pendingCapacity_ * 2 > need ? pendingCapacity_ * 2 : need;
      void* more = std::realloc(pending_, grown);
      if (more == nullptr) more = std::realloc(pending_, grown = need);
      if (more == nullptr) return Fail(ENOMEM);
      pending_ = static_cast<uint8_t*>(more);
      pendingCapacity_ = grown;
    }
    std::memcpy(pending_ + pendingBytes_, p, n);
    pendingBytes_ = need;
    return 1;
  }
  if (!WriteFully(stage_ >= 0 ? stage_ : fd_, p, n, static_cast<off_t>(written_)))
    return Fail(errno);
  written_ += n;
  return 1;
}

int AtomicFileWriter::CommitTemporary() {
  // The new content is on disk before any name leads to it: a crash soon
  // after cannot leave an empty file where the old one was.
  bool synced = MustSync();
  if (synced && Sync(fd_) != 0) return Error(errno);
  if (!replacing_ && ::fchmod(fd_, newMode_) != 0) return Error(errno);
  if (nameless_) {
    auto linkTo = [](const std::string& name, int fd) {
      return ::linkat(AT_FDCWD, DescriptorPath(fd).c_str(), AT_FDCWD, name.c_str(),
                      AT_SYMLINK_FOLLOW);
    };
    // A new file gets its name directly; one that appeared meanwhile, like
    // an old one, is replaced through a temporary name.
    const bool named = !replacing_ && linkTo(target_, fd_) == 0;
    if (!named && !synced) {
      if (Sync(fd_) != 0) return Error(errno);
      synced = true;
    }
    if (!named && NameTemporary(linkTo, fd_) < 0) return Error(errno);
  }
  // A file that appeared meanwhile is replaced: its content must not be
  // traded for one that a crash could still lose.
  struct stat st;
  if (!synced && !temp_.empty() && ::lstat(target_.c_str(), &st) == 0) {
    if (Sync(fd_) != 0) return Error(errno);
    synced = true;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Error(errno);
  if (!temp_.empty()) {
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Error(errno);
    temp_.clear();
  }
  if (synced) SyncDirectory(DirectoryOf(target_));
  return 1;
}

int AtomicFileWriter::CopyStage(off_t size) {
  off_t from = 0, to = 0;
  while (from < size) {
    const size_t want = static_cast<size_t>(size - from) < kMaxIoCall
                            ? static_cast<size_t>(size - from)
                            : kMaxIoCall;
    const ssize_t moved = ::copy_file_range(stage_, &from, fd_, &to, want, 0);
    if (moved < 0 && errno == EINTR) continue;
    if (moved > 0) continue;
    if (moved == 0) return Error(EIO);
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
      return Error(errno);
    // Without the kernel's copy: through a small buffer.
    std::vector<uint8_t> buffer(size_t{1} << 20);
    while (from < size) {
      const ssize_t got = ::pread(stage_, buffer.data(), buffer.size(), from);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return Error(got == 0 ? EIO : errno);
      if (!WriteFully(fd_, buffer.data(), static_cast<size_t>(got), from)) return Error(errno);
      from += got;
    }
  }
  return 1;
}

int AtomicFileWriter::CommitInPlace() {
  const off_t size = static_cast<off_t>(stage_ >= 0 ? written_ : pendingBytes_);
  rlimit limit;
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      static_cast<rlim_t>(size) > limit.rlim_cur)
    return Error(EFBIG);
  // Room for all of it first: a full disk stops the save before the old
  // content is touched.
  if (size > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP &&
      errno != ENOSYS)
    return Error(errno);
  if (stage_ >= 0 ? !CopyStage(size) : !WriteFully(fd_, pending_, pendingBytes_, 0))
    return Error(errno);
  if (::ftruncate(fd_, size) != 0 || Sync(fd_) != 0) return Error(errno);
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 ? 1 : Error(errno);
}

int AtomicFileWriter::Commit() {
  int ok = 0;
  if (!failed_ && mode_ == Mode::kTemporary)
    ok = CommitTemporary();
  else if (!failed_ && mode_ == Mode::kInPlace)
    ok = CommitInPlace();
  if (!ok) return Fail(0);
  Discard();
  return 1;
}

}  // namespace kelvora
