// The hot loops of every operation on samples: passes over frames that the
// compiler can specialise and vectorise, while progress still counts one
// ShowProgress call per frame.
//
//   WithFrameFormat([&](auto fmt) {              // one instantiation per format
//     ForEachChunk(frames, plan, [&](int64_t first, int64_t n) {
//       VectorLoop(n, [=](int64_t i) { ... fmt.Read / fmt.Write ... });
//     });                                        // progress made per chunk
//   });
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "document/busy.h"
#include "document/byte_order.h"
#include "document/sound_document.h"

namespace kelvora {

// The document's frame format fixed at compile time. Bits 8 or 16 with the
// channels packed side by side (Channels 1 or 2) give loops the compiler can
// specialise; Bits 0 stands for every other layout, read and written through
// SampleAccess exactly as ReadSample and WriteSample do.
template <int Bits, int Channels>
struct FrameFormat {
  int channels = 0;     // the count when Channels is 0
  int32_t align = 0;    // nBlockAlign when Bits is 0
  SampleAccess access;  // Bits 0 only; its PeakScale is 0

  // Packed formats store a frame as one unsigned word of this type.
  using Raw = std::conditional_t<Bits * Channels == 32, uint32_t,
                                 std::conditional_t<Bits * Channels == 16, uint16_t, uint8_t>>;
  static constexpr bool kPacked = Bits != 0;
  static constexpr int kBits = Bits;
  static constexpr int kChannels = Channels;

  int Count() const {
    if constexpr (Channels != 0) return Channels;
    return channels;
  }
  int32_t Align() const {
    if constexpr (kPacked) return Bits * Channels / 8;
    return align;
  }
  int32_t Read(const uint8_t* frame, int ch) const {
    if constexpr (Bits == 16) {
      return LoadLe16(frame + 2 * ch);
    } else if constexpr (Bits == 8) {
      return (int32_t{frame[ch]} - 128) * 256;
    }
    return access.Read(frame, ch);
  }
  // WriteSample with PeakScale at 0 (every pass but those of MapSamples):
  // clip, then store at the sample width.
  void Write(uint8_t* frame, int32_t v, int ch) const {
    if constexpr (Bits == 16) {
      StoreLe16(frame + 2 * ch, ClipSample(v));
    } else if constexpr (Bits == 8) {
      frame[ch] = static_cast<uint8_t>((ClipSample(v) >> 8) + 128);
    } else {
      access.Write(frame, v, ch);
    }
  }
};

// Calls f with the FrameFormat of format `sf` (bytes per channel sample
// `bytesPerChannel`): a fixed layout for packed 8/16-bit mono and stereo,
// else the general one.
template <class F>
void WithFrameFormat(const SoundFormat& sf, int32_t bytesPerChannel, F&& f) {
  auto packed = [&](int bits, int channels) {
    return sf.wBitsPerSample == bits && sf.nChannels == channels && bytesPerChannel == bits / 8 &&
           sf.nBlockAlign == bits / 8 * channels;
  };
  if (packed(16, 2)) {
    f(FrameFormat<16, 2>{});
  } else if (packed(16, 1)) {
    f(FrameFormat<16, 1>{});
  } else if (packed(8, 2)) {
    f(FrameFormat<8, 2>{});
  } else if (packed(8, 1)) {
    f(FrameFormat<8, 1>{});
  } else {
    const SampleAccess access{sf.wBitsPerSample, bytesPerChannel, 0, sf.nChannels, sf.nBlockAlign};
    f(FrameFormat<0, 0>{sf.nChannels, sf.nBlockAlign, access});
  }
}

// Calls f with the FrameFormat of the document.
template <class F>
void WithFrameFormat(F&& f) {
  WithFrameFormat(Doc().format, Doc().bytesPerChannelSample, std::forward<F>(f));
}

// Whole frames in the selection (0 for a format without frame size).
inline int32_t SelectionFrames() {
  const SoundDocument& doc = Doc();
  const int32_t align = doc.format.nBlockAlign;
  return align == 0 ? 0 : (doc.selEnd - doc.selStart) / align;
}

// The ShowProgress calls of a pass: one per frame, the i-th at position
// base + i * step, against total.
struct ProgressPlan {
  const char* name;  // null: no progress
  int64_t base;
  int64_t step;
  int64_t total;
};

// Enough frames to amortise the progress bookkeeping, few enough to stay in
// the first-level cache while a pass reads a chunk more than once.
inline constexpr int64_t kChunkFrames = 4096;

// Runs kernel(first, n) over [0, count) a chunk at a time; after each chunk,
// the chunk's ShowProgress calls (none with a null plan or name). Events dispatched
// there may run between chunks, so kernels fetch the data address each time.
template <class Kernel>
void ForEachChunk(int64_t count, const ProgressPlan* plan, Kernel&& kernel) {
  for (int64_t first = 0; first < count; first += kChunkFrames) {
    const int64_t n = std::min(kChunkFrames, count - first);
    kernel(first, n);
    if (plan != nullptr && plan->name != nullptr)
      ShowProgressSpan(plan->name, plan->base + first * plan->step, plan->step, n, plan->total);
  }
}

// ----- Vector loops ---------------------------------------------------------
//
// VectorLoop(n, body) runs body(0) ... body(n - 1) and returns the body as
// it stands afterwards (a functor can carry a reduction out). The body is
// copied in so its captures sit in registers, and on x86-64 the loop is
// compiled for the base instruction set, AVX2 and AVX-512, chosen at run
// time. Fused multiply-add stays off (-ffp-contract=off for the whole
// build), so double arithmetic rounds exactly as written in every version.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELVORA_VECTOR_CLONES 1
#define KELVORA_ALWAYS_INLINE __attribute__((always_inline))
#else
#define KELVORA_VECTOR_CLONES 0
#define KELVORA_ALWAYS_INLINE
#endif

namespace detail {

template <class Body>
Body LoopBase(int64_t n, Body body) {
  for (int64_t i = 0; i < n; ++i) body(i);
  return body;
}

#if KELVORA_VECTOR_CLONES
template <class Body>
__attribute__((target("avx2"))) Body LoopAvx2(int64_t n, Body body) {
  for (int64_t i = 0; i < n; ++i) body(i);
  return body;
}
template <class Body>
__attribute__((target("avx512f,avx512bw,avx512vl,avx512dq"))) Body LoopAvx512(int64_t n,
                                                                              Body body) {
  for (int64_t i = 0; i < n; ++i) body(i);
  return body;
}
#endif

}  // namespace detail

// The widest version VectorLoop runs: 0 base, 1 AVX2, 2 AVX-512; what the
// processor offers, unless lowered (tests run every version this way).
int VectorLevel();
void LimitVectorLevel(int level);

template <class Body>
Body VectorLoop(int64_t n, Body body) {
#if KELVORA_VECTOR_CLONES
  const int level = VectorLevel();
  if (level >= 2) return detail::LoopAvx512(n, body);
  if (level == 1) return detail::LoopAvx2(n, body);
#endif
  return detail::LoopBase(n, body);
}

// ----- Shared passes --------------------------------------------------------

// Smallest and largest values over n frames: of channels 0 and 1 of a
// packed format in one sweep, or of channel ch of any.
template <class Fmt>
struct ChannelRanges {
  Fmt fmt;
  const uint8_t* frames;
  int ch = 0;  // the channel of an unpacked format
  int32_t min0 = INT32_MAX, max0 = INT32_MIN, min1 = INT32_MAX, max1 = INT32_MIN;
  void operator()(int64_t i) KELVORA_ALWAYS_INLINE {
    const uint8_t* frame = frames + i * fmt.Align();
    const int32_t x0 = fmt.Read(frame, Fmt::kPacked ? 0 : ch);
    min0 = std::min(min0, x0);
    max0 = std::max(max0, x0);
    if constexpr (Fmt::kChannels == 2) {
      const int32_t x1 = fmt.Read(frame, 1);
      min1 = std::min(min1, x1);
      max1 = std::max(max1, x1);
    }
  }
};

// Calls fn(ch, min, max) for channels 0 .. channels - 1 over n frames.
template <class Fmt, class Fn>
void ForEachChannelRange(Fmt fmt, const uint8_t* frames, int64_t n, int channels, Fn fn) {
  if constexpr (Fmt::kPacked) {
    const auto r = VectorLoop(n, ChannelRanges<Fmt>{fmt, frames});
    fn(0, r.min0, r.max0);
    if (channels > 1) fn(1, r.min1, r.max1);
  } else {
    for (int ch = 0; ch < channels; ++ch) {
      const auto r = VectorLoop(n, ChannelRanges<Fmt>{fmt, frames, ch});
      fn(ch, r.min0, r.max0);
    }
  }
}

// The channels a pass writes: all of them, or those whose bit is set.
struct ChannelSet {
  bool all = false;
  uint32_t mask = 0;
  bool Has(int ch) const { return all || (ch < 32 && ((mask >> ch) & 1u) != 0); }
};

}  // namespace kelvora
