// Replaces a file so that nobody ever finds it half-written. The new
// content goes into a temporary file beside the target (nameless where the
// file system allows, so that a killed write leaves nothing), which gets the
// target's owner, group, mode and extended attributes before any data, and
// is renamed over the target only when every byte was written. A file that
// replaces another is synced before the rename, and its folder after it, so
// that a crash cannot cost the old content; a new file is synced too unless
// SetSyncNewFiles(false) says that nothing is lost without it. Where a rename would split hard
// links or lose the owner, the whole new content is written to a nameless file in the folder first
// (gathered in memory where none can be made) and then copied over the file in place. Targets that
// are not regular files, and files the user may not write, are refused. On any failure the target
// is as it was; the caller tells the user.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvora {

class AtomicFileWriter {
public:
  enum class Refusal { kNone, kNotRegularFile, kDanglingLink };

  AtomicFileWriter() = default;
  // Abandons an uncommitted file: the temporary file is removed.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Starts writing a replacement for `path` (a symbolic link is followed to
  // the file it names). Returns 1 or 0.
  int Open(const std::string& path);
  // Appends n bytes. After the first failure every later write does nothing
  // and returns 0; Commit then fails.
  int Write(const void* src, size_t n);
  // Puts the new content in place of the target. Returns 1 or 0 (the target
  // is then as it was).
  int Commit();

  // Why Open or Commit failed: a refusal, else the errno of the first
  // failure (0 when none is known).
  Refusal refusal() const { return refusal_; }
  int error() const { return error_; }
  bool failed() const { return failed_; }

  // Before Open: a new file is readable by its owner only.
  void SetPrivate() { private_ = true; }

  // Tests: use a named temporary file even where a nameless one is possible.
  static void SetTestNamedTemporary(bool on);

  // Whether a file that did not exist is synced to disk with its folder
  // (true at start). Replacing a file always syncs.
  static void SetSyncNewFiles(bool on);
  static bool SyncNewFiles();
  // How many fsync calls writers have made in this process, files and
  // folders together.
  static uint64_t SyncCalls();

private:
  enum class Mode { kClosed, kTemporary, kInPlace };
  int Refuse(Refusal why);
  int Fail(int error);
  int Error(int error);
  void Discard();
  int NameTemporary(int (*make)(const std::string& name, int fd), int fd);
  int CreateTemporary(const struct stat* original);
  int BeginInPlace();
  int CommitTemporary();
  int CommitInPlace();
  int CopyStage(off_t size);
  bool MustSync() const;

  Mode mode_ = Mode::kClosed;
  int fd_ = -1;
  int error_ = 0;  // errno of the first failure
  Refusal refusal_ = Refusal::kNone;
  bool failed_ = false;
  bool replacing_ = false;
  bool nameless_ = false;
  bool private_ = false;
  uint64_t written_ = 0;
  unsigned newMode_ = 0;  // what a new file's mode becomes
  std::string target_;    // what gets replaced (a symbolic link's destination)
  std::string temp_;      // the named temporary file
  // In place: the whole new content, written over the target only once it
  // is complete; in the nameless file `stage_`, or else in memory.
  int stage_ = -1;
  uint8_t* pending_ = nullptr;
  size_t pendingCapacity_ = 0;
  size_t pendingBytes_ = 0;
};

}  // namespace kelvora
