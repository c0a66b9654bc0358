// What an effect pass works on: a stretch of frames of a sound in a known
// format, where it writes, and where its progress goes. A pass reads nothing
// else, so the window's document, a preview's scratch copy and a test's
// buffer are all the same to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "document/frame_format.h"
#include "document/memory_block.h"
#include "document/sound_document.h"

namespace kelvora {

struct SoundView {
  SoundFormat format;
  int32_t bytesPerChannel = 2;
  // The whole sound as it was before the pass: what a pass reads around its
  // frames, or must read without seeing its own writes. Stable while it runs.
  const uint8_t* source = nullptr;
  int64_t sourceLength = 0;  // bytes
  // The frames the pass works on, counted in `source`.
  int64_t first = 0;
  int64_t frames = 0;
  // Where those frames are written. It starts as a copy of them (often it is
  // the very sound being edited), so a pass may read a frame here before it
  // writes it, and channels it leaves alone keep their samples.
  uint8_t* out = nullptr;
  // The channels a masked effect writes: bit 0 the first, bit 1 the second.
  uint32_t channelMask = 3;
  // The name its progress texts show; null for a pass without progress.
  const char* progress = nullptr;

  int32_t Align() const { return format.nBlockAlign; }
  int Channels() const { return format.nChannels; }
  uint32_t Rate() const { return format.nSamplesPerSec; }
  int64_t Length() const { return frames * format.nBlockAlign; }
  const uint8_t* SourceRange() const { return source + first * format.nBlockAlign; }
  // The channels a stereo rule writes: both, or those of the channel mask.
  ChannelSet Masked() const { return ChannelSet{false, Channels() == 1 ? 1u : channelMask & 3u}; }
  ProgressPlan Plan(int64_t base, int64_t step, int64_t total) const {
    return ProgressPlan{progress, base, step, total};
  }
  template <class F>
  void WithFormat(F&& f) const {
    WithFrameFormat(format, bytesPerChannel, std::forward<F>(f));
  }
};

// Scratch memory for a pass. Get resizes `block` (zero-filled with `zero`);
// on a shortage it reports it, as its owner arranges, and returns 0, and the
// pass then returns 0 at once.
class Scratch {
public:
  virtual ~Scratch() = default;
  virtual int Get(MemoryBlock& block, size_t bytes, bool zero = false) const = 0;
};

// ----- Sample helpers -------------------------------------------------------

// What a scratch block laid out like the sound holds after WriteSample of v:
// the clipped value at the sound's sample width.
template <class Fmt>
int32_t Held(Fmt fmt, int32_t v) {
  uint8_t frame[2] = {0, 0};  // channel 0 of any readable width fits
  fmt.Write(frame, v, 0);
  return fmt.Read(frame, 0);
}

// Channel ch of frame `frame` (counted from the start of `base`, `length`
// bytes), 0 for a frame outside them.
template <class Fmt>
int32_t ReadFrameOrZero(Fmt fmt, const uint8_t* base, int64_t length, int64_t frame, int ch) {
  if (frame < 0 || frame * fmt.Align() >= length) return 0;
  return fmt.Read(base + frame * fmt.Align(), ch);
}

// ----- Point maps ----------------------------------------------------------

// The table behind MapView: for every stored code of a sample, the code
// that WriteSample stores for fn(ch, value). Kept in static storage.
uint16_t* SampleMapTable(int slot);

// Below this many samples a table costs more than it saves.
inline constexpr int64_t kTableMinSamples = 1 << 15;

// Writes fn(ch, x) over every sample x of the channels in `set` of the
// view's frames, as WriteSample does with PeakScale `peak` (0 for plain
// clipping; above 32767 everything is scaled by 32767 / peak first). fn must
// be a pure function of (ch, x). Long packed runs look the result up in a
// table built through SampleAccess itself, so the result is WriteSample's to
// the bit whatever fn computes, at one load per sample; a map cheaper than
// a load (kTable false) is computed in a vector loop instead.
template <bool kTable = true, class Fmt, class Fn>
void MapSamples(Fmt fmt, uint8_t* frames, int64_t n, ChannelSet set, int32_t peak,
                const ProgressPlan& plan, Fn fn) {
  SampleAccess live{Fmt::kPacked ? Fmt::kBits : fmt.access.bits,
                    Fmt::kPacked ? Fmt::kBits / 8 : fmt.access.bytesPerChannel, peak, fmt.Count(),
                    fmt.Align()};
  const int32_t align = fmt.Align();
  if constexpr (Fmt::kPacked && kTable) {
    if (n * fmt.Count() >= kTableMinSamples) {
      using Raw = typename Fmt::Raw;
      constexpr int kBits = Fmt::kBits;
      constexpr int kMask = (1 << kBits) - 1;
      // Channels left alone get the identity, so that one loop does a frame.
      const uint16_t* table[2] = {nullptr, nullptr};
      for (int ch = 0; ch < fmt.Count(); ++ch) {
        uint16_t* t = SampleMapTable(ch);
        for (int code = 0; code <= kMask; ++code) {
          uint8_t in[2] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8)};
          uint8_t out[2] = {in[0], in[1]};
          if (set.Has(ch)) live.Write(out, fn(ch, live.Read(in, 0)), 0);
          t[code] = static_cast<uint16_t>(out[0] | (out[1] << 8));
        }
        table[ch] = t;
      }
      // Channels mapped alike share one table, half the cache to keep warm.
      if (fmt.Count() == 2 && std::memcmp(table[0], table[1], sizeof(uint16_t) << kBits) == 0)
        table[1] = table[0];
      ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
        uint8_t* p = frames + first * align;
        for (int64_t i = 0; i < count; ++i, p += sizeof(Raw)) {
          const Raw in = LoadLittleEndian<Raw>(p);
          Raw out = 0;
          for (int ch = 0; ch < fmt.Count(); ++ch)
            out |=
                static_cast<Raw>(uint32_t{table[ch][(in >> (ch * kBits)) & kMask]} << (ch * kBits));
          StoreLittleEndian(p, out);
        }
      });
      return;
    }
  }
  if (peak == 0) {  // the format's own stores clip as WriteSample does
    ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
      uint8_t* p = frames + first * align;
      VectorLoop(count, [=](int64_t i) KELVORA_ALWAYS_INLINE {
        uint8_t* frame = p + i * fmt.Align();
        for (int ch = 0; ch < fmt.Count(); ++ch)
          if (set.Has(ch)) fmt.Write(frame, fn(ch, fmt.Read(frame, ch)), ch);
      });
    });
    return;
  }
  ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
    uint8_t* p = frames + first * align;
    for (int64_t i = 0; i < count; ++i, p += align)
      for (int ch = 0; ch < fmt.Count(); ++ch)
        if (set.Has(ch)) live.Write(p, fn(ch, live.Read(p, ch)), ch);
  });
}

// The largest |fn(ch, x)| over channels 0 .. channels - 1 of n frames, for an
// fn monotonic in x (each channel's extremes give its peak), as
// RaisePeakScale would leave it starting from 0.
template <class Fmt, class Fn>
int32_t PeakOfMap(Fmt fmt, const uint8_t* frames, int64_t n, int channels, const ProgressPlan& plan,
                  Fn fn) {
  int32_t peak = 0;
  auto raise = [&peak](int32_t v) {
    const int64_t a = std::min<int64_t>(v < 0 ? -int64_t{v} : v, INT32_MAX);
    if (a > peak) peak = static_cast<int32_t>(a);
  };
  ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
    ForEachChannelRange(fmt, frames + first * fmt.Align(), count, channels,
                        [&](int ch, int32_t min, int32_t max) {
                          raise(fn(ch, min));
                          raise(fn(ch, max));
                        });
  });
  return peak;
}

}  // namespace kelvora
