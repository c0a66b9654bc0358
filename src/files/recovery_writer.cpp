#include "files/recovery_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/wav.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

// A recording is synced to the disk about once a second; a copy once, when
// it is complete (the safe writer does it).
constexpr int64_t kRecordingSyncMs = 1000;

bool EndsWith(const std::string& s, const char* end) {
  const size_t n = std::strlen(end);
  return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

bool PutAll(int fd, const uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    const ssize_t put = ::pwrite(fd, p, n, at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    n -= static_cast<size_t>(put);
    at += put;
  }
  return true;
}

}  // namespace

int CommitRecoveryInfo(const std::string& folder, const RecoveryInfo& info) {
  const std::string text = FormatRecoveryInfo(info);
  SafeFileWriter out;
  out.SetQuiet();
  out.SetPrivate();
  if (!out.Open(folder + "/" + kRecoveryInfoName) || !out.Write(text.data(), text.size()) ||
      !out.Commit())
    return 0;
  for (const std::string& name : FolderNames(folder))
    if (name != info.sound && EndsWith(name, ".wav")) ::unlink((folder + "/" + name).c_str());
  return 1;
}

void PostRemoveFolder(const std::string& folder) {
  Services().background->Post([folder] { RemoveFolder(folder); });
}

// ----- RecoveryCopy ----------------------------------------------------------

RecoveryCopy::RecoveryCopy(const std::string& folder, const std::string& name,
                           const SoundFormat& format, uint32_t bytes)
    : folder_(folder), name_(name), format_(format), bytes_(bytes) {}

std::shared_ptr<RecoveryCopy> RecoveryCopy::Start(const std::string& folder,
                                                  const std::string& name,
                                                  const SoundFormat& format, uint32_t bytes) {
  std::shared_ptr<RecoveryCopy> copy(new RecoveryCopy(folder, name, format, bytes));
  Services().background->Post([copy] { copy->Begin(); });
  return copy;
}

void RecoveryCopy::Begin() {
  if (abandoned_) return;
  writer_ = std::make_unique<SafeFileWriter>();
  writer_->SetQuiet();
  writer_->SetPrivate();
  uint8_t header[kWavHeaderBytes];
  BuildWavHeader(header, format_, bytes_);
  if (!MakeFolders(folder_) || !writer_->Open(folder_ + "/" + name_))
    state_ = State::kFailed;
  else
    writer_->Write(header, sizeof header);
}

void RecoveryCopy::Add(std::shared_ptr<RecoverySlice> slice, size_t bytes) {
  handedOver += static_cast<uint32_t>(bytes);
  std::shared_ptr<RecoveryCopy> copy = shared_from_this();
  Services().background->Post([copy, slice, bytes] {
    // A failed writer ignores further writes by itself.
    if (!copy->abandoned_ && copy->writer_) copy->writer_->Write(slice->bytes.get(), bytes);
    slice->inUse.store(false, std::memory_order_release);
  });
}

void RecoveryCopy::Finish(const RecoveryInfo& info) {
  finishing_ = true;
  std::shared_ptr<RecoveryCopy> copy = shared_from_this();
  // Two steps, so that nothing names the new WAV before it is whole.
  Services().background->Post([copy] { copy->PutInPlace(); });
  Services().background->Post([copy, info] { copy->Describe(info); });
}

void RecoveryCopy::PutInPlace() {
  placed_ = writer_ && !writer_->Failed() && writer_->Commit();
  writer_.reset();
}

void RecoveryCopy::Describe(const RecoveryInfo& info) {
  state_ = placed_ && CommitRecoveryInfo(folder_, info) ? State::kDone : State::kFailed;
}

void RecoveryCopy::Abandon() {
  abandoned_ = true;
  std::shared_ptr<RecoveryCopy> copy = shared_from_this();
  // The temporary file goes on the worker, which may still be writing it.
  Services().background->Post([copy] { copy->writer_.reset(); });
}

// ----- RecordingStream -------------------------------------------------------

std::shared_ptr<RecordingStream> RecordingStream::Start(const std::string& folder,
                                                        const RecoveryInfo& info) {
  std::shared_ptr<RecordingStream> stream(new RecordingStream(folder, info));
  Services().background->Post([stream] { stream->Open(); });
  return stream;
}

bool RecordingStream::Fail() {
  failed_ = true;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  return false;
}

void RecordingStream::Open() {
  const std::string path = folder_ + "/" + kRecordingName;
  if (!MakeFolders(folder_)) {
    Fail();
    return;
  }
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) {
    Fail();
    return;
  }
  Append(nullptr, 0);
  if (!failed_ && (::fsync(fd_) != 0 || !CommitRecoveryInfo(folder_, info_))) Fail();
}

void RecordingStream::Append(const uint8_t* data, size_t bytes) {
  if (fd_ < 0) return;
  // The samples first, then the header that counts them: a crash between
  // the two loses only this piece.
  if (bytes > 0 && !PutAll(fd_, data, bytes, static_cast<off_t>(kWavHeaderBytes + written_))) {
    Fail();
    return;
  }
  written_ += static_cast<uint32_t>(bytes);
  uint8_t header[kWavHeaderBytes];
  BuildWavHeader(header, info_.format, written_);
  if (!PutAll(fd_, header, sizeof header, 0)) {
    Fail();
    return;
  }
  const int64_t now = Services().clock->NowMs();
  if (now - lastSyncMs_ >= kRecordingSyncMs) {
    lastSyncMs_ = now;
    ::fdatasync(fd_);
  }
}

void RecordingStream::Add(std::shared_ptr<MemoryBlock> piece, size_t bytes) {
  handedOver += static_cast<uint32_t>(bytes);
  std::shared_ptr<RecordingStream> stream = shared_from_this();
  Services().background->Post([stream, piece, bytes] { stream->Append(piece->data(), bytes); });
}

void RecordingStream::End() {
  if (fd_ < 0) return;
  ::fsync(fd_);
  ::close(fd_);
  fd_ = -1;
}

void RecordingStream::Close() {
  std::shared_ptr<RecordingStream> stream = shared_from_this();
  Services().background->Post([stream] { stream->End(); });
}

}  // namespace kelvora
