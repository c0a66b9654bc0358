#include "editing/clipboard_commands.h"

#include <cstring>

#include "document/frame_format.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/replace_selection.h"
#include "document/sound_document.h"
#include "editing/clip_wave_block.h"
#include "editing/convert.h"
#include "editing/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

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
    // One channel chosen: the copy carries it in both, byte for byte, so
    // that samples of every width arrive as they are.
    const int32_t width = doc.bytesPerChannelSample;
    const int32_t from = mask == 1 ? 0 : width, to = width - from;
    const int align = doc.format.nBlockAlign;
    uint8_t* sound = block.data() + kClipHeaderBytes;
    for (int32_t at = 0; at + align <= n; at += align)
      std::memcpy(sound + at + to, sound + at + from, static_cast<size_t>(width));
  }
  if (!clipboard->SetWave(block.data(), block.size())) {
    ShowOutOfMemory(texts::kCaptionCopy);
    return 0;
  }
  return 1;
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

bool ClipboardHasWave() {
  // Asked for no memory, a clipboard with sound on it says it has none to
  // take it.
  return Services().clipboard->GetWave([](size_t) -> uint8_t* { return nullptr; }) !=
         ClipboardRead::kNone;
}

bool ReadConvertedClip(const char* formatCaption, const char* caption, int64_t at,
                       MemoryBlock& converted, int32_t* m) {
  MemoryBlock clip;
  const ClipboardRead read = Services().clipboard->GetWave(
      [&clip](size_t size) { return clip.Resize(size) ? clip.data() : nullptr; });
  if (read == ClipboardRead::kOutOfMemory) ShowOutOfMemory(caption);
  if (read == ClipboardRead::kNone || read == ClipboardRead::kOutOfMemory) return false;
  SoundFormat f;
  const uint8_t* sound = nullptr;
  int32_t n = 0;
  // A clip cut short, too short for a header or in a form that cannot be
  // read is refused like one that is not PCM: pasting what happened to
  // arrive would lose the rest without a word.
  if (read == ClipboardRead::kUnusable ||
      !ParseClipWaveBlock(clip.data(), clip.size(), f, &sound, &n) || f.wFormatTag != 1) {
    ShowWarning(formatCaption, texts::kWrongDataFormat);
    return false;
  }
  const int64_t bytes = ConvertedBytes(f, n, Doc().format);
  if (bytes >= 0 && at + bytes > kMaxSoundBytes) {
    ShowOutOfMemory(caption);
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
  if (!RequireEditableSamples(texts::kCaptionPaste)) return;
  if (!BeginUndoableOperation(texts::kCaptionPaste)) return;
  // Conversion dispatches events; commands stay out until the sound is in.
  BusyScope busy;
  SoundDocument& doc = Doc();
  MemoryBlock converted;
  int32_t m = 0;
  if (!ReadConvertedClip(texts::kCaptionPasteFormat, texts::kCaptionPaste, doc.length, converted,
                         &m))
    return;
  // The clip takes the place of nothing at the insertion point, and is
  // selected; a shortage leaves the selection as it was.
  const int32_t selStart = doc.selStart, selEnd = doc.selEnd;
  doc.selStart = doc.selEnd = InsertionPoint();
  if (!ReplaceSelection(converted.data(), m, texts::kCaptionPaste)) {
    doc.selStart = selStart;
    doc.selEnd = selEnd;
    return;
  }
  std::memset(doc.bytes() + doc.length, 0, kSpareBytes);
  doc.movingEnd = doc.selEnd;
  doc.modified = true;
}

void MixClip() {
  if (!RequireEditableSamples(texts::kCaptionMix)) return;
  if (!BeginUndoableOperation(texts::kCaptionMix)) return;
  BusyScope busy;
  SoundDocument& doc = Doc();
  const int32_t at = InsertionPoint();
  MemoryBlock converted;
  int32_t m = 0;
  if (!ReadConvertedClip(texts::kCaptionMix, texts::kCaptionMix, at, converted, &m)) return;
  const int64_t end = int64_t{at} + m;
  const int align = doc.format.nBlockAlign;
  if (end > doc.length) {
    if (end > kMaxSoundBytes || !doc.data.Resize(static_cast<size_t>(end) + kSpareBytes)) {
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
