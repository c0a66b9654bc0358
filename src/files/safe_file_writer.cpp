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

int SafeFileWriter::Commit() { return writer_.Commit() ? 1 : Report(); }

}  // namespace kelvora
