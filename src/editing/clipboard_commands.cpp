#include "editing/clipboard_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "document/frame_format.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/replace_selection.h"
#include "document/sound_document.h"
#include "document/undo.h"
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

// Puts the selection on the clipboard, handing it the block. 1 when it is
// there. Inside an operation the copy shows progress under `progress`.
int CopyToClipboard(const char* caption, const char* progress) {
  SoundDocument& doc = Doc();
  Clipboard* clipboard = Services().clipboard;
  clipboard->Clear();
  const int32_t n = doc.selEnd - doc.selStart;
  MemoryBlock block;
  if (!block.Resize(static_cast<size_t>(n) + 46)) {
    ShowOutOfMemory(caption);
    return 0;
  }
  WriteClipHeader(doc.format, static_cast<uint32_t>(n), block.data());
  uint8_t* sound = block.data() + kClipHeaderBytes;
  MoveShowingProgress(sound, doc.bytes() + doc.selStart, n, progress);
  sound[n] = sound[n + 1] = 0;
  const uint32_t mask = doc.channelMask;
  if (doc.format.nChannels > 1 && (mask == 1 || mask == 2)) {
    // One channel chosen: the copy carries it in both, byte for byte, so
    // that samples of every width arrive as they are.
    const int32_t width = doc.bytesPerChannelSample;
    const int32_t from = mask == 1 ? 0 : width, to = width - from;
    const int align = doc.format.nBlockAlign;
    for (int32_t at = 0; at + align <= n; at += align)
      std::memcpy(sound + at + to, sound + at + from, static_cast<size_t>(width));
  }
  try {
    auto held = std::make_shared<MemoryBlock>(std::move(block));
    const size_t size = held->size();
    clipboard->HandWave(std::shared_ptr<const uint8_t>(held, held->data()), size);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(caption);
    return 0;
  }
  return 1;
}

void RemoveSelectedBytes(const char* progress) {
  SoundDocument& doc = Doc();
  uint8_t* data = doc.bytes();
  MoveShowingProgress(data + doc.selStart, data + doc.selEnd, doc.length - doc.selEnd, progress);
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

namespace {

// The clipboard's sound where it is, checked: its format, and n bytes at
// `sound` that `held` keeps alive.
struct ClipView {
  std::shared_ptr<const uint8_t> held;
  SoundFormat format;
  const uint8_t* sound = nullptr;
  int32_t n = 0;
};

bool ViewClip(const char* formatCaption, const char* caption, ClipView& clip) {
  size_t size = 0;
  const ClipboardRead read = Services().clipboard->ViewWave(&clip.held, &size);
  if (read == ClipboardRead::kOutOfMemory) ShowOutOfMemory(caption);
  if (read == ClipboardRead::kNone || read == ClipboardRead::kOutOfMemory) return false;
  // A clip cut short, too short for a header or in a form that cannot be
  // read is refused like one that is not PCM: pasting what happened to
  // arrive would lose the rest without a word.
  if (read == ClipboardRead::kUnusable ||
      !ParseClipWaveBlock(clip.held.get(), size, clip.format, &clip.sound, &clip.n) ||
      clip.format.wFormatTag != 1) {
    ShowWarning(formatCaption, texts::kWrongDataFormat);
    return false;
  }
  return true;
}

// How many bytes the clip makes in the document's format, at byte `at`;
// -1 after the message when they cannot be had.
int64_t ClipBytesAt(const ClipView& clip, const char* caption, int64_t at) {
  const int64_t bytes = ConvertedBytes(clip.format, clip.n, Doc().format);
  if (bytes < 0) {
    ShowWarning(texts::kCaptionConvert, texts::kConvertUnsupported);
    return -1;
  }
  if (at + bytes > kMaxSoundBytes) {
    ShowOutOfMemory(caption);
    return -1;
  }
  return bytes;
}

}  // namespace

bool ReadConvertedClip(const char* formatCaption, const char* caption, int64_t at,
                       MemoryBlock& converted, int32_t* m) {
  ClipView clip;
  if (!ViewClip(formatCaption, caption, clip)) return false;
  const int64_t bytes = ConvertedBytes(clip.format, clip.n, Doc().format);
  if (bytes >= 0 && at + bytes > kMaxSoundBytes) {
    ShowOutOfMemory(caption);
    return false;
  }
  return ConvertSamples(clip.format, clip.sound, clip.n, Doc().format, converted, m) != 0;
}

void CopySelection() {
  if (!RequireSelection()) return;
  CopyToClipboard(texts::kCaptionCopy, nullptr);
  Refresh();
}

void CutSelection() {
  if (!RequireSelection()) return;
  // One bar: the undo copy, the clipboard's copy, then closing the gap.
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionCut, nullptr, 40)) return;
  const bool shown = Busy().progressFrom != 0;
  if (shown) SetProgressStretch(40, 80);
  // A selection that did not reach the clipboard is not thrown away.
  if (!CopyToClipboard(texts::kCaptionCopy, texts::kCaptionCut)) return;
  if (shown) SetProgressStretch(80, 100);
  RemoveSelectedBytes(texts::kCaptionCut);
}

void DeleteSelection() {
  if (!RequireSelection()) return;
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionDelete, nullptr, 60)) return;
  RemoveSelectedBytes(texts::kCaptionDelete);
}

void CropToSelection() {
  if (!RequireSelection()) return;
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionCrop, nullptr, 60)) return;
  SoundDocument& doc = Doc();
  const int32_t n = doc.selEnd - doc.selStart;
  MoveShowingProgress(doc.bytes(), doc.bytes() + doc.selStart, n, texts::kCaptionCrop);
  doc.length = n;
  doc.data.Resize(static_cast<size_t>(n) + kSpareBytes);
  doc.selStart = doc.selEnd = doc.movingEnd = 0;
  if (doc.anchor > doc.length) doc.anchor = doc.length;
  doc.viewStart = 0;
  doc.modified = true;
}

void PasteClip() {
  if (!RequireEditableSamples(texts::kCaptionPaste)) return;
  // Commands stay out until the sound is in.
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionPaste, texts::kCaptionPasteFormat, 50)) return;
  SoundDocument& doc = Doc();
  ClipView clip;
  if (!ViewClip(texts::kCaptionPasteFormat, texts::kCaptionPaste, clip)) return;
  const int64_t m = ClipBytesAt(clip, texts::kCaptionPaste, doc.length);
  if (m < 0) return;
  // The clip takes the place of nothing at the insertion point, and is
  // selected; a shortage leaves the selection as it was.
  const int32_t selStart = doc.selStart, selEnd = doc.selEnd;
  doc.selStart = doc.selEnd = InsertionPoint();
  if (!ReplaceSelection(nullptr, static_cast<int32_t>(m), texts::kCaptionPaste)) {
    doc.selStart = selStart;
    doc.selEnd = selEnd;
    return;
  }
  // Straight from the clipboard's bytes into the gap.
  uint8_t* gap = doc.bytes() + doc.selStart;
  if (ConvertsAsCopy(clip.format, doc.format))
    MoveShowingProgress(gap, clip.sound, m, texts::kCaptionPasteFormat);
  else
    ConvertFramesInto(clip.format, clip.sound, clip.n, doc.format, gap, 0,
                      m / doc.format.nBlockAlign);
  std::memset(doc.bytes() + doc.length, 0, kSpareBytes);
  doc.movingEnd = doc.selEnd;
  doc.modified = true;
}

void MixClip() {
  if (!RequireEditableSamples(texts::kCaptionMix)) return;
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionMix, nullptr, 50)) return;
  SoundDocument& doc = Doc();
  const int32_t at = InsertionPoint();
  ClipView clip;
  if (!ViewClip(texts::kCaptionMix, texts::kCaptionMix, clip)) return;
  const int64_t m = ClipBytesAt(clip, texts::kCaptionMix, at);
  if (m < 0) return;
  const int64_t end = int64_t{at} + m;
  const int align = doc.format.nBlockAlign;
  // A clip in another format is converted a piece at a time into this
  // scratch, which it then adds from.
  constexpr int64_t kPieceFrames = 16384;
  const bool copy = ConvertsAsCopy(clip.format, doc.format);
  MemoryBlock piece;
  if (!copy && !piece.Resize(static_cast<size_t>(kPieceFrames * align))) {
    RestoreAfterShortage(texts::kCaptionMix);
    return;
  }
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
  const int64_t frames = m / align;
  for (int64_t first = 0; first < frames; first += kPieceFrames) {
    const int64_t count = std::min(kPieceFrames, frames - first);
    const uint8_t* add = clip.sound + first * align;
    if (!copy) {
      ConvertFramesInto(clip.format, clip.sound, clip.n, doc.format, piece.data(), first, count);
      add = piece.data();
    }
    WithFrameFormat([&](const auto fmt) {
      uint8_t* frame = doc.bytes() + at + first * align;
      for (int64_t j = 0; j < count * align; j += align)
        for (int c = 0; c < fmt.Count(); ++c)
          fmt.Write(frame + j, fmt.Read(frame + j, c) + fmt.Read(add + j, c), c);
    });
  }
  doc.movingEnd = doc.selStart = doc.selEnd = static_cast<int32_t>(end);
  doc.modified = true;
}

}  // namespace kelvora
