// Fades, normalize, reverse, phase inversion and silence.
#include "effects/amplitude.h"

#include <cstring>

#include "document/operation.h"
#include "effects/sample_pass.h"
#include "effects/texts.h"
#include "document/observer.h"

namespace kelvora {
namespace {

// Frame k of n is multiplied by (from + step * k) / n, the quotient in
// floating point and the product truncated.
void Fade(const char* name, int32_t from_whole, int32_t step) {
  SoundDocument& doc = Doc();
  SelectAllIfEmpty();
  if (!BeginUndoableOperation(name)) return;
  BusyScope busy;
  const int32_t start = doc.selStart;
  const int32_t frames = SelectionFrames();
  const int32_t from = from_whole * frames;
  WithFrameFormat([&](auto fmt) {
    const ProgressPlan plan{name, 0, 1, frames};
    ForEachChunk(frames, &plan, [&](int64_t first, int64_t n) {
      uint8_t* p = Doc().bytes() + start + first * fmt.Align();
      const auto k0 = static_cast<int32_t>(first);
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        const int32_t k = k0 + static_cast<int32_t>(i);
        const double factor = static_cast<double>(from + step * k) / frames;
        uint8_t* frame = p + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(frame, static_cast<int32_t>(fmt.Read(frame, ch) * factor), ch);
      });
    });
  });
  doc.modified = true;
}

}  // namespace

void FadeIn() { Fade(texts::kNameFadeIn, 0, 1); }

void FadeOut() { Fade(texts::kNameFadeOut, 1, -1); }

void Normalize() {
  SoundDocument& doc = Doc();
  SelectAllIfEmpty();
  if (!BeginUndoableOperation(texts::kNameNormalize)) return;
  BusyScope busy;
  const int32_t start = doc.selStart;
  const int32_t length = doc.selEnd - doc.selStart;
  const int64_t frames = SelectionFrames();
  WithFrameFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    const ProgressPlan scan{texts::kNameNormalize, 0, align, 2 * int64_t{length}};
    ForEachChunk(frames, &scan, [&](int64_t first, int64_t n) {
      ForEachChannelRange(fmt, Doc().bytes() + start + first * align, n, fmt.Count(),
                          [](int, int32_t min, int32_t max) {
                            RaisePeakScale(min);
                            RaisePeakScale(max);
                          });
    });
    // WriteSample still holds the peak: a peak of 32768 is scaled once more.
    // A silent selection has no gain to apply and is written back as it is.
    const int32_t peak = Peak().peakScale;
    const ProgressPlan write{texts::kNameNormalize, length, align, 2 * int64_t{length}};
    MapSamples(fmt, start, frames, ChannelSet{true, 0}, write,
               [peak](int, int32_t x) { return peak == 0 ? x : x * 32767 / peak; });
  });
  ResetPeakScale();
  doc.modified = true;
}

void Reverse() {
  SoundDocument& doc = Doc();
  SelectAllIfEmpty();
  if (!BeginUndoableOperation(texts::kNameReverse)) return;
  BusyScope busy;
  if (!doc.HasSelection()) return;
  const int32_t start = doc.selStart;
  const int32_t frames = SelectionFrames();
  WithFrameFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    const int32_t align = fmt.Align();
    const ProgressPlan plan{texts::kNameReverse, 0, 1, frames};
    ForEachChunk(frames / 2, &plan, [&](int64_t first, int64_t n) {
      uint8_t* front = Doc().bytes() + start + first * align;
      uint8_t* back = Doc().bytes() + start + (frames - 1 - first) * align;
      if constexpr (Fmt::kPacked) {
        // A sample read and written back unscaled keeps its bytes, so
        // exchanging whole frames is the exchange of every channel.
        using Raw = typename Fmt::Raw;
        VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
          Raw a, b;
          std::memcpy(&a, front + i * sizeof(Raw), sizeof(Raw));
          std::memcpy(&b, back - i * sizeof(Raw), sizeof(Raw));
          std::memcpy(front + i * sizeof(Raw), &b, sizeof(Raw));
          std::memcpy(back - i * sizeof(Raw), &a, sizeof(Raw));
        });
      } else {
        for (int64_t i = 0; i < n; ++i, front += align, back -= align)
          for (int ch = 0; ch < fmt.Count(); ++ch) {
            const int32_t a = fmt.Read(front, ch);
            fmt.Write(front, fmt.Read(back, ch), ch);
            fmt.Write(back, a, ch);
          }
      }
    });
  });
  doc.modified = true;
}

void InvertPhase() {
  SoundDocument& doc = Doc();
  SelectAllIfEmpty();
  if (!BeginUndoableOperation(texts::kNameInvertPhase)) return;
  BusyScope busy;
  if (!doc.HasSelection()) return;
  const int32_t start = doc.selStart;
  const int32_t frames = SelectionFrames();
  WithFrameFormat([&](auto fmt) {
    const ProgressPlan plan{texts::kNameInvertPhase, 0, 1, frames};
    ForEachChunk(frames, &plan, [&](int64_t first, int64_t n) {
      uint8_t* p = Doc().bytes() + start + first * fmt.Align();
      VectorLoop(n, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        uint8_t* frame = p + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch) fmt.Write(frame, -fmt.Read(frame, ch), ch);
      });
    });
  });
  doc.modified = true;
}

// Quick enough to need neither the busy state nor progress.
void SilenceSelection() {
  SoundDocument& doc = Doc();
  SelectAllIfEmpty();
  if (!BeginUndoableOperation(texts::kNameSilence)) return;
  ResetPeakScale();
  const ChannelSet set{false, doc.format.nChannels == 1 ? 1u : doc.channelMask};
  const int32_t frames = SelectionFrames();
  uint8_t* p = doc.bytes() + doc.selStart;
  WithFrameFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    if constexpr (Fmt::kPacked) {
      if (set.Has(0) && (fmt.Count() == 1 || set.Has(1))) {
        std::memset(p, Fmt::kBits == 8 ? 128 : 0, size_t(frames) * fmt.Align());
        return;
      }
    }
    VectorLoop(frames, [=](int64_t i) KELVORA_ALWAYS_INLINE {
      for (int ch = 0; ch < fmt.Count(); ++ch)
        if (set.Has(ch)) fmt.Write(p + i * fmt.Align(), 0, ch);
    });
  });
  doc.modified = true;
  NotifyDataChanged();
}

}  // namespace kelvora
