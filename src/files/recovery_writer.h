// Writing into a recovery folder without holding up the window. The
// window's thread decides everything and copies the sound out in slices;
// the tasks it posts to the background worker own all they touch, and run
// in the order posted.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "document/memory_block.h"
#include "files/file_io.h"
#include "files/recovery_folder.h"

namespace kelvora {

// A buffer that the window's thread fills and the worker writes out, used
// again and again: fresh memory for every slice would fault in page by page
// (or wait for the kernel to make a huge page) on the window's thread.
struct RecoverySlice {
  std::unique_ptr<uint8_t[]> bytes;
  size_t capacity = 0;
  std::atomic<bool> inUse{false};  // handed over, not yet written
};

// One copy of the document on its way into the folder: the slices go
// through the safe writer into the WAV that document.txt does not name; it
// is put in place, and only then does document.txt name it and the other
// WAVs go. A crash at any moment leaves the previous copy and its
// description whole.
class RecoveryCopy : public std::enable_shared_from_this<RecoveryCopy> {
public:
  enum class State { kWriting, kDone, kFailed };

  // Begins a copy of `bytes` bytes of sound in `format` as `folder`/`name`.
  static std::shared_ptr<RecoveryCopy> Start(const std::string& folder, const std::string& name,
                                             const SoundFormat& format, uint32_t bytes);
  // The next `bytes` bytes of the sound, in a slice marked in use.
  void Add(std::shared_ptr<RecoverySlice> slice, size_t bytes);
  // After the last slice: puts the copy in place, described by `info`.
  void Finish(const RecoveryInfo& info);
  // Before Finish only: the sound changed, what was written is thrown away.
  void Abandon();

  State state() const { return state_.load(); }
  uint32_t bytes() const { return bytes_; }
  const std::string& name() const { return name_; }
  bool finishing() const { return finishing_; }

  // The window thread's own progress: bytes handed over so far.
  uint32_t handedOver = 0;

private:
  RecoveryCopy(const std::string& folder, const std::string& name, const SoundFormat& format,
               uint32_t bytes);
  void Begin();
  void PutInPlace();
  void Describe(const RecoveryInfo& info);

  const std::string folder_, name_;
  const SoundFormat format_;
  const uint32_t bytes_;
  bool finishing_ = false;                  // the window's thread
  std::unique_ptr<SafeFileWriter> writer_;  // the worker's, like placed_
  bool placed_ = false;
  std::atomic<State> state_{State::kWriting};
  std::atomic<bool> abandoned_{false};
};

// A recording written as it comes in to recording.wav, its header rewritten
// after every piece so that the file is whole at any moment; document.txt
// names it from the start.
class RecordingStream : public std::enable_shared_from_this<RecordingStream> {
public:
  static std::shared_ptr<RecordingStream> Start(const std::string& folder,
                                                const RecoveryInfo& info);
  ~RecordingStream() { End(); }
  void Add(std::shared_ptr<MemoryBlock> piece, size_t bytes);
  // The file stays until a copy of the document replaces it.
  void Close();
  bool failed() const { return failed_.load(); }

  // The window thread's own progress: bytes handed over so far.
  uint32_t handedOver = 0;

private:
  explicit RecordingStream(const std::string& folder, const RecoveryInfo& info)
      : folder_(folder), info_(info) {}
  void Open();
  void Append(const uint8_t* data, size_t bytes);
  void End();
  bool Fail();

  const std::string folder_;
  const RecoveryInfo info_;
  int fd_ = -1;  // the worker's, like the two below
  uint32_t written_ = 0;
  int64_t lastSyncMs_ = 0;
  std::atomic<bool> failed_{false};
};

// Removes the folder once the tasks before have run.
void PostRemoveFolder(const std::string& folder);

// document.txt through the safe writer, quietly; then every WAV it does not
// name is removed. 1 or 0.
int CommitRecoveryInfo(const std::string& folder, const RecoveryInfo& info);

}  // namespace kelvora
