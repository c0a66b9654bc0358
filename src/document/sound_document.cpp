#include "document/sound_document.h"

#include "document/observer.h"
#include "document/texts.h"
#include "platform/platform.h"

namespace kelvora {

const char* const kUntitledPath = "無題";

SoundDocument g_document;
PeakState g_peak;

namespace {
uint64_t g_revision = 0;
}  // namespace

uint64_t DocumentRevision() { return g_revision; }
void MarkDocumentChanging() { ++g_revision; }

int32_t BytesPerChannelSample(const SoundFormat& f) {
  return f.nChannels ? f.nBlockAlign / f.nChannels : 0;
}

void SetDocumentFormat(const SoundFormat& f) {
  MarkDocumentChanging();
  SoundDocument& doc = Doc();
  doc.format = f;
  doc.bytesPerChannelSample = BytesPerChannelSample(f);
}

int32_t ReadSampleInBlock(const uint8_t* base, int64_t length, const uint8_t* frame, int ch) {
  // Compare as integers: the frame may lie outside the block entirely.
  auto b = reinterpret_cast<uintptr_t>(base);
  auto p = reinterpret_cast<uintptr_t>(frame);
  if (p < b || p >= b + static_cast<uintptr_t>(length)) return 0;
  return ReadSample(frame, ch);
}

void ResetPeakScale() { Peak().peakScale = 0; }

void RaisePeakScale(int32_t value) {
  // |INT32_MIN| does not fit; it is far beyond any sample anyway.
  int64_t a = value < 0 ? -int64_t{value} : value;
  if (a > 0x7fffffff) a = 0x7fffffff;
  if (a > Peak().peakScale) Peak().peakScale = static_cast<int32_t>(a);
}

void SelectAllIfEmpty() {
  SoundDocument& doc = Doc();
  if (doc.selStart == doc.selEnd) {
    doc.selStart = 0;
    doc.selEnd = doc.length;
  }
}

void SelectAll() {
  SoundDocument& doc = Doc();
  doc.selStart = 0;
  doc.movingEnd = 0;
  doc.selEnd = doc.length;
  doc.channelMask = doc.format.nChannels >= 2 ? 3 : 1;
  NotifySelectionChanged();
}

bool RequireSelection() {
  SoundDocument& doc = Doc();
  if (doc.selStart != doc.selEnd) return true;
  ShowMessage(texts::kCaptionDeva, texts::kNoSelection, MsgIcon::kInformation);
  return false;
}

void ResetDocumentState() {
  SoundDocument& doc = Doc();
  doc.data.Free();
  doc = SoundDocument{};
  Peak() = PeakState{};
}

}  // namespace kelvora
