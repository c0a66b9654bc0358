// File access shared by the sound file readers and writers.
//
// FileReader reads a regular file with 64-bit positions; small reads (chunk
// headers, fields) come from a read-ahead buffer, bulk reads go straight from
// the kernel into the caller's memory in as few calls as the kernel allows.
//
// SafeFileWriter never leaves a half-written file behind. It writes into a
// temporary file beside the target (nameless where the file system allows,
// so that a killed save leaves nothing), which gets the target's owner,
// group, mode and extended attributes before any data, and is synced and
// renamed over the target only when every byte was written. Where a rename
// would split hard links or lose the owner, or no temporary file can be made
// in the folder, the whole new content is gathered first and then written
// over the file in place. Targets that are not regular files are refused.
// On any failure the target is as it was and the user is told why.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/memory_block.h"

namespace kelvora {

class FileReader {
public:
  FileReader() = default;
  ~FileReader() { Close(); }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens a regular file (paths are UTF-8). Directories, pipes and devices
  // count as files that cannot be opened. Returns 1 or 0.
  int Open(const std::string& path);
  // Why the last Open failed, in words for the user.
  const char* OpenFailure() const { return openFailure_; }
  // Reads `size` bytes at `data` as if they were a file (the fuzzers). They
  // must stay until Close.
  void OpenMemory(const uint8_t* data, size_t size);
  void Close();
  bool IsOpen() const { return fd_ >= 0 || memory_ != nullptr; }

  // The size when the file was opened.
  uint64_t Size() const { return size_; }
  uint64_t Position() const { return position_; }
  uint64_t BytesLeft() const { return position_ < size_ ? size_ - position_ : 0; }
  // Any position is accepted; reads beyond the end return 0 bytes.
  void Seek(uint64_t position) { position_ = position; }
  // Reads up to n bytes at the position and advances by what was read.
  // Returns the count, short at the end of the file or on a read error.
  size_t Read(void* dst, size_t n);
  // Where the first byte at or after `from` that is not zero lies, or the
  // size when none is. The holes of a sparse file are passed over unread.
  uint64_t FirstNonZero(uint64_t from);

private:
  size_t ReadDirect(uint8_t* dst, size_t n, uint64_t at);

  int fd_ = -1;
  const char* openFailure_ = "";
  const uint8_t* memory_ = nullptr;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
  // Read-ahead window [bufferStart_, bufferStart_ + bufferLength_).
  static constexpr size_t kBufferSize = 16384;
  uint8_t buffer_[kBufferSize];
  uint64_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
};

class SafeFileWriter {
public:
  SafeFileWriter() = default;
  // Abandons an uncommitted file: the temporary file is removed.
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Starts writing a replacement for `path`. On failure the message is shown
  // and 0 returned.
  int Open(const std::string& path);
  // Appends n bytes. After the first failure every later write does nothing
  // and returns 0; Commit then reports it.
  int Write(const void* src, size_t n);
  // Puts the new content in place of the target. Returns 1, or 0 after
  // showing the message (the target is then as it was).
  int Commit();

  // Before Open: failures are kept for Failed() instead of shown (a writer
  // away from the window's thread), and a new file is readable by its owner
  // only.
  void SetQuiet() { quiet_ = true; }
  void SetPrivate() { private_ = true; }
  bool Failed() const { return failed_; }

  // Tests: use a named temporary file even where a nameless one is possible.
  static void SetTestNamedTemporary(bool on);

private:
  enum class Mode { kClosed, kTemporary, kInPlace };
  int Refuse(const char* reason);
  int Fail(int error);
  void Stop(int error);
  int Error(int error);
  void Discard();
  int NameTemporary(int (*make)(const std::string& name, int fd), int fd);
  int CreateTemporary(const struct stat* original);
  int BeginInPlace();
  int CommitTemporary();
  int CommitInPlace();

  Mode mode_ = Mode::kClosed;
  int fd_ = -1;
  int error_ = 0;  // errno of the first failure
  bool failed_ = false;
  bool replacing_ = false;
  bool nameless_ = false;
  bool quiet_ = false;
  bool private_ = false;
  uint64_t written_ = 0;
  unsigned newMode_ = 0;  // what a new file's mode becomes
  std::string path_;      // as the user named it, for the message
  std::string target_;    // what gets replaced (a symbolic link's destination)
  std::string temp_;      // the named temporary file
  // In place: the whole new content, written only once it is complete.
  MemoryBlock pending_;
  size_t pendingBytes_ = 0;
};

// Shows "could not write <path>" and the reason under the save caption.
void ReportWriteFailure(const std::string& path, const std::string& reason);

// Whether anything (file, folder, link to either) exists at `path`.
bool PathExists(const std::string& path);

}  // namespace kelvora
