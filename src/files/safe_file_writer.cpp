#include <cstring>

#include "files/file_io.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {

void ReportWriteFailure(const std::string& path, const std::string& reason) {
  const std::string format = texts::kWriteFailed;
  const size_t at = format.find("%s");
  std::string text = format.substr(0, at) + path + format.substr(at + 2);
  if (!reason.empty()) text += "\n" + reason;
  ShowWarning(texts::kCaptionSave, text);
}

int SafeFileWriter::Report() {
  if (quiet_) return 0;
  switch (writer_.refusal()) {
    case AtomicFileWriter::Refusal::kNotRegularFile:
      ReportWriteFailure(path_, texts::kNotRegularFile);
      break;
    case AtomicFileWriter::Refusal::kDanglingLink:
      ReportWriteFailure(path_, texts::kDanglingLink);
      break;
    case AtomicFileWriter::Refusal::kNone:
      ReportWriteFailure(path_, writer_.error() != 0 ? std::strerror(writer_.error()) : "");
      break;
  }
  return 0;
}

int SafeFileWriter::Open(const std::string& path) {
  path_ = path;
  return writer_.Open(path) ? 1 : Report();
}

int SafeFileWriter::Write(const void* src, size_t n) {
  if (!progress_ || n == 0) return writer_.Write(src, n);
  constexpr size_t kPiece = size_t{4} << 20;
  const auto* p = static_cast<const uint8_t*>(src);
  for (size_t at = 0; at < n; at += kPiece) {
    const size_t take = n - at < kPiece ? n - at : kPiece;
    if (!writer_.Write(p + at, take)) return 0;
    done_ += static_cast<int64_t>(take);
    progress_->Update(done_, total_);
  }
  return 1;
}

int SafeFileWriter::Commit() {
  const int committed = writer_.Commit();
  progress_.reset();
  return committed ? 1 : Report();
}

}  // namespace kelvora
