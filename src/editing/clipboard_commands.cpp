#include "editing/clipboard_commands.h"

#include <cstring>
#include <vector>

#include "document/frame_format.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/sound_document.h"
#include "editing/clip_wave_block.h"
#include "editing/convert.h"
#include "editing/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr int64_t kMaxBytes = 0x7FFFFFFF - 32;
constexpr size_t kSpareBytes = 16;

void Refresh() {
  NotifyFormatChanged();
  NotifyDataChanged();
}

// Puts the selection on the clipboard. 1 when it is there.
int CopyToClipboard() {
  SoundDocument& doc = Doc();
  Clipboard* clipboard = Services().clipboard;
  clipboard->Clear();
  const int32_t n = doc.selEnd - doc.selStart;
  MemoryBlock block;
  if (!BuildClipWaveBlock(doc.format, doc.bytes() + doc.selStart, n, block)) {
    ShowOutOfMemory(texts::kCaptionCopy);
    return 0;
  }
  const uint32_t mask = doc.channelMask;
  if (doc.format.nChannels > 1 && (mask == 1 || mask == 2)) {
    // One channel chosen: the copy carries it in both.
    SampleAccess s = Samples();
    s.peakScale = 0;
    const int from = mask == 1 ? 0 : 1;
    const int align = doc.format.nBlockAlign;
    uint8_t* sound = block.data() + kClipHeaderBytes;
    for (int32_t at = 0; at + align <= n; at += align)
      s.Write(sound + at, s.Read(sound + at, from), 1 - from);
  }
  return clipboard->SetWave(block.data(), block.size()) ? 1 : 0;
}

void RemoveSelectedBytes() {
  SoundDocument& doc = Doc();
  uint8_t* data = doc.bytes();
  std::memmove(data + doc.selStart, data + doc.selEnd,
               static_cast<size_t>(doc.length - doc.selEnd));
  doc.length -= doc.selEnd - doc.selStart;
  // Shrinking keeps the block; should it fail, the block stays larger.
  doc.data.Resize(static_cast<size_t>(doc.length) + kSpareBytes);
  doc.selEnd = doc.movingEnd = doc.selStart;
  if (doc.viewStart > doc.length) doc.viewStart = doc.selStart;
  // A drag extends from the anchor; it must not reach past the sound.
  if (doc.anchor > doc.length) doc.anchor = doc.length;
  doc.modified = true;
}

// The insertion point, brought inside the sound should anything have left
// it beyond the end.
int32_t InsertionPoint() {
  const SoundDocument& doc = Doc();
  if (doc.movingEnd < 0) return 0;
  return doc.movingEnd < doc.length ? doc.movingEnd : doc.length;
}

}  // namespace

// The clipboard's sound in the document's format, if it holds one. A block
// that is not PCM is reported under `caption` and counts as none.
bool ReadConvertedClip(const char* caption, MemoryBlock& converted, int32_t* m) {
  std::vector<uint8_t> clip;
  SoundFormat f;
  const uint8_t* sound = nullptr;
  int32_t n = 0;
  if (!Services().clipboard->GetWave(clip) ||
      !ParseClipWaveBlock(clip.data(), clip.size(), f, &sound, &n))
    return false;
  if (f.wFormatTag != 1) {
    ShowWarning(caption, texts::kWrongDataFormat);
    return false;
  }
  return ConvertSamples(f, sound, n, Doc().format, converted, m) != 0;
}

void CopySelection() {
  if (!RequireSelection()) return;
  CopyToClipboard();
  Refresh();
}

void CutSelection() {
  if (!RequireSelection()) return;
  if (!BeginUndoableOperation(texts::kCaptionCut)) return;
  // A selection that did not reach the clipboard is not thrown away.
  if (CopyToClipboard()) RemoveSelectedBytes();
  Refresh();
}

void DeleteSelection() {
  if (!RequireSelection()) return;
  if (!BeginUndoableOperation(texts::kCaptionDelete)) return;
  RemoveSelectedBytes();
  Refresh();
}

void CropToSelection() {
  if (!RequireSelection()) return;
  if (!BeginUndoableOperation(texts::kCaptionCrop)) return;
  SoundDocument& doc = Doc();
  const int32_t n = doc.selEnd - doc.selStart;
  std::memmove(doc.bytes(), doc.bytes() + doc.selStart, static_cast<size_t>(n));
  doc.length = n;
  doc.data.Resize(static_cast<size_t>(n) + kSpareBytes);
  doc.selStart = doc.selEnd = doc.movingEnd = 0;
  if (doc.anchor > doc.length) doc.anchor = doc.length;
  doc.viewStart = 0;
  doc.modified = true;
  Refresh();
}

void PasteClip() {
  if (!BeginUndoableOperation(texts::kCaptionPaste)) return;
  // Conversion dispatches events; commands stay out until the sound is in.
  BusyScope busy;
  MemoryBlock converted;
  int32_t m = 0;
  if (!ReadConvertedClip(texts::kCaptionPasteFormat, converted, &m)) return;
  SoundDocument& doc = Doc();
  const int32_t at = InsertionPoint();
  if (int64_t{doc.length} + m > kMaxBytes ||
      !doc.data.Resize(static_cast<size_t>(doc.length) + m + kSpareBytes)) {
    RestoreAfterShortage(texts::kCaptionPaste);
    return;
  }
  uint8_t* data = doc.bytes();
  std::memmove(data + at + m, data + at, static_cast<size_t>(doc.length - at));
  std::memcpy(data + at, converted.data(), static_cast<size_t>(m));
  doc.length += m;
  std::memset(data + doc.length, 0, kSpareBytes);
  doc.selStart = at;
  doc.selEnd = doc.movingEnd = at + m;
  doc.modified = true;
}

void MixClip() {
  if (!BeginUndoableOperation(texts::kCaptionMix)) return;
  BusyScope busy;
  MemoryBlock converted;
  int32_t m = 0;
  if (!ReadConvertedClip(texts::kCaptionMix, converted, &m)) return;
  SoundDocument& doc = Doc();
  const int32_t at = InsertionPoint();
  const int64_t end = int64_t{at} + m;
  const int align = doc.format.nBlockAlign;
  if (end > doc.length) {
    if (end > kMaxBytes || !doc.data.Resize(static_cast<size_t>(end) + kSpareBytes)) {
      RestoreAfterShortage(texts::kCaptionMix);
      return;
    }
    // The stretch beyond the old end starts as silence.
    uint8_t* data = doc.bytes();
    std::memset(data + doc.length, 0, static_cast<size_t>(end - doc.length) + kSpareBytes);
    const SampleAccess s = Samples();
    for (int64_t p = doc.length; p < end; p += align)
      for (int c = 0; c < s.channels(); ++c) s.Write(data + p, 0, c);
    doc.length = static_cast<int32_t>(end);
  }
  WithFrameFormat([&](const auto fmt) {
    uint8_t* frame = doc.bytes() + at;
    const uint8_t* add = converted.data();
    for (int32_t j = 0; j + align <= m; j += align)
      for (int c = 0; c < fmt.Count(); ++c)
        fmt.Write(frame + j, fmt.Read(frame + j, c) + fmt.Read(add + j, c), c);
  });
  doc.movingEnd = doc.selStart = doc.selEnd = static_cast<int32_t>(end);
  doc.modified = true;
}

}  // namespace kelvora
