// File access shared by the sound file readers and writers.
//
// FileReader reads a regular file with 64-bit positions; small reads (chunk
// headers, fields) come from a read-ahead buffer, bulk reads go straight from
// the kernel into the caller's memory in as few calls as the kernel allows.
//
// SafeFileWriter saves through AtomicFileWriter (platform/atomic_file_writer.h:
// the target is either whole and new or as it was) and tells the user why
// a save failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "document/busy.h"
#include "platform/atomic_file_writer.h"

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
  void SetPrivate() { writer_.SetPrivate(); }
  bool Failed() const { return writer_.failed(); }
  // After Open, for a save the user waits for: a write that takes longer
  // than half a second shows progress under `name` against `total` bytes.
  void ShowProgress(const char* name, int64_t total) {
    progress_.emplace(name);
    total_ = total;
  }

  // Tests: use a named temporary file even where a nameless one is possible.
  static void SetTestNamedTemporary(bool on) { AtomicFileWriter::SetTestNamedTemporary(on); }

private:
  int Report();

  AtomicFileWriter writer_;
  std::string path_;  // as the user named it, for the message
  bool quiet_ = false;
  std::optional<LatePassProgress> progress_;
  int64_t total_ = 0, done_ = 0;
};

// Shows "could not write <path>" and the reason under the save caption.
void ReportWriteFailure(const std::string& path, const std::string& reason);

// Whether anything (file, folder, link to either) exists at `path`.
bool PathExists(const std::string& path);

}  // namespace kelvora
