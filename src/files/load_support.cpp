#include "files/load_support.h"

#include <cstdio>
#include <cstring>

#include "files/texts.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace kelvora {
namespace {

// The samples are kept and saved back untouched, but drawing and every
// operation see only 8- and 16-bit mono or stereo at a real rate; without a
// word the user would take the flat lines for silence.
void NoticeLayoutNotEditable(const SoundFormat& f) {
  const bool editable = (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
                        (f.nChannels == 1 || f.nChannels == 2) && f.nSamplesPerSec != 0;
  if (editable) return;
  char text[256];
  std::snprintf(text, sizeof text, texts::kLayoutNotEditableFormat,
                static_cast<unsigned long>(f.nSamplesPerSec), unsigned{f.wBitsPerSample},
                unsigned{f.nChannels});
  ShowMessage(texts::kCaptionOpenFile, text, MsgIcon::kInformation);
}

void EmptyDocument() {
  SoundDocument& doc = Doc();
  doc.length = 0;
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
}

}  // namespace

uint64_t NextChunk(FileReader& file, uint64_t pos, uint32_t size) {
  uint64_t next = pos + 8 + size;
  if (size & 1) {
    file.Seek(next);
    uint8_t pad = 0xFF;
    if (file.Read(&pad, 1) == 1 && pad == 0) ++next;
  }
  return next;
}

int PrepareLoadBlock(uint64_t bytes) {
  EmptyDocument();
  return Doc().data.Resize(static_cast<size_t>(bytes) + kLoadSpareBytes) != 0;
}

int FinishLoad(const SoundFormat& f, uint64_t bytes) {
  SoundDocument& doc = Doc();
  std::memset(doc.data.data() + bytes, 0, kLoadSpareBytes);
  SetDocumentFormat(f);
  doc.length = static_cast<int32_t>(bytes);
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
  Services().ui->SetScrollPosition(0);
  doc.modified = false;
  UpdateTitle();
  RefreshViews();
  ShowFormatStatus();
  NoticeLayoutNotEditable(f);
  return 1;
}

int FailLoadHeader(FileReader& file, const char* text) {
  file.Close();
  ShowWarning(texts::kCaptionOpenFile, text);
  EmptyDocument();
  return 0;
}

int FailLoad(FileReader& file, const char* text, const SoundFormat* record) {
  file.Close();
  ShowWarning(texts::kCaptionOpenFile, text);
  EmptyDocument();
  SoundDocument& doc = Doc();
  if (record != nullptr) SetDocumentFormat(*record);
  // The block may have been released for data that never arrived; the
  // rest of the program expects a small zeroed one.
  if (doc.data.size() < kLoadSpareBytes) doc.data.AllocateZeroed(kLoadSpareBytes);
  doc.path = kUntitledPath;
  RefreshViews();
  return 0;
}

}  // namespace kelvora
