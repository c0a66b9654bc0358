// File access shared by the sound file readers and writers.
//
// FileReader reads a regular file with 64-bit positions; small reads (chunk
// headers, fields) come from a read-ahead buffer, bulk reads go straight from
// the kernel into the caller's memory in as few calls as the kernel allows.
//
// SafeFileWriter never leaves a half-written file behind: it writes into a
// temporary file beside the target and renames it over the target only when
// every byte was written and the file closed cleanly. On any failure the
// temporary file is removed, the target is untouched, and the user is told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

private:
  size_t ReadDirect(uint8_t* dst, size_t n, uint64_t at);

  int fd_ = -1;
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
  // Closes the temporary file and renames it over the target. Returns 1, or
  // 0 after showing the message (the target is then as it was).
  int Commit();

private:
  void Fail();
  void Discard();

  int fd_ = -1;
  bool failed_ = false;
  bool replacing_ = false;
  std::string path_;    // as the user named it, for the message
  std::string target_;  // what gets replaced (a symbolic link's destination)
  std::string temp_;
};

// Shows "could not write <path>" under the save caption.
void ReportWriteFailure(const std::string& path);

// Whether anything (file, folder, link to either) exists at `path`.
bool PathExists(const std::string& path);

}  // namespace kelvora
