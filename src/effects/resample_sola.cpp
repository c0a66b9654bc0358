#include "effects/resample_sola.h"

#include <algorithm>
#include <cstring>

#include "document/frame_format.h"

namespace kelvora {
namespace {

// `count` ShowProgress calls against 100, the k-th (from `first` on)
// reporting value(k); only every 200th call computes its value.
template <class Value>
void ProgressEach(const char* name, int64_t first, int64_t count, Value value) {
  if (name == nullptr) return;
  BusyState& b = Busy();
  while (count > 0) {
    const int64_t only_count = 200 - 1 - b.progressCounter;
    if (count <= only_count) {
      b.progressCounter += static_cast<int32_t>(count);
      return;
    }
    first += only_count;
    count -= only_count + 1;
    ShowProgressUpdate(name, value(first), 100);
    ++first;
  }
}

template <class Fmt>
void Resample(Fmt fmt, const char* name, int from, int to, int64_t step, const uint8_t* src,
              int64_t srcLen, uint8_t* out, int64_t outLen) {
  const int32_t align = fmt.Align();
  const int64_t frames = outLen / align;
  const int64_t whole = srcLen / align;
  // Output frame j from source frames p and p + 1, at p + fraction / 100 =
  // j * step / 100; 64 bits, as j * step passes 2^31 on long selections.
  auto frame = [=](int64_t j, int64_t p, int32_t fraction, auto read) KELVORA_ALWAYS_INLINE {
    uint8_t* o = out + j * align;
    for (int c = 0; c < fmt.Count(); ++c) {
      const int32_t a = read(p, c), b = read(p + 1, c);
      fmt.Write(o, a + (b - a) * fraction / 100, c);
    }
  };
  auto inside = [=](int64_t f, int c)
                    KELVORA_ALWAYS_INLINE { return fmt.Read(src + f * align, c); };
  auto checked = [=](int64_t f, int c) {
    return f >= 0 && f < whole ? fmt.Read(src + f * align, c) : 0;
  };
  // Frames whose two neighbours both lie in the source, then the rest.
  int64_t interior = 0;
  if (step > 0 && whole >= 1) interior = std::min(frames, ((whole - 1) * 100 + step - 1) / step);
  const int64_t whole_steps = step / 100;
  const auto part_step = static_cast<int32_t>(step % 100);
  auto value = [&](int64_t j) { return from + (j + 1) * align * (to - from) / outLen; };
  for (int64_t first = 0; first < frames; first += kChunkFrames) {
    const int64_t n = std::min(kChunkFrames, frames - first);
    const int64_t in = std::clamp<int64_t>(interior - first, 0, n);
    // Inside, the position advances by whole frames and hundredths.
    int64_t p = first * step / 100;
    auto fraction = static_cast<int32_t>(first * step % 100);
    for (int64_t j = first; j < first + in; ++j) {
      frame(j, p, fraction, inside);
      p += whole_steps;
      fraction += part_step;
      if (fraction >= 100) fraction -= 100, ++p;
    }
    for (int64_t j = first + in; j < first + n; ++j)
      frame(j, j * step / 100, static_cast<int32_t>(j * step % 100), checked);
    ProgressEach(name, first, n, value);
  }
}

// Output frames [first, first + n) take source frames from `from` on as
// they are (0 beyond the source's `whole` frames).
template <class Fmt>
void CopyFrames(Fmt fmt, const uint8_t* src, int64_t whole, int64_t from, uint8_t* out, int64_t n) {
  const int32_t align = fmt.Align();
  const int64_t in = std::clamp<int64_t>(whole - from, 0, n);
  if constexpr (Fmt::kPacked) {
    // A sample read and written back at the same width is the same bytes.
    std::memcpy(out, src + from * align, static_cast<size_t>(in * align));
  } else {
    for (int64_t j = 0; j < in; ++j)
      for (int c = 0; c < fmt.Count(); ++c)
        fmt.Write(out + j * align, fmt.Read(src + (from + j) * align, c), c);
  }
  for (int64_t j = in; j < n; ++j)
    for (int c = 0; c < fmt.Count(); ++c) fmt.Write(out + j * align, 0, c);
}

template <class Fmt>
void Stretch(Fmt fmt, const BlockFormat& bf, const char* name, int from, int to, const uint8_t* src,
             int64_t srcLen, uint8_t* out, int64_t outLen) {
  const int32_t align = fmt.Align();
  const int ch = fmt.Count();
  const SolaSizes z = SolaSizesFor(bf.format.nSamplesPerSec);
  const int64_t out_frames = outLen / align, whole = srcLen / align;
  // The first segment fades in from silence.
  CopyFrames(fmt, src, 0, 0, out, std::min(z.overlap, out_frames));
  if (outLen <= 0) return;
  // Source frames per segment; the product is exact in 64 bits.
  const auto advance =
      static_cast<int64_t>(static_cast<double>(z.step * srcLen) / static_cast<double>(outLen));
  for (int64_t s = 0, t = 0, e = 0; t < outLen;
       s += advance * align, t += z.step * align, e += align) {
    const int64_t f = FindBestOverlap(bf, out, outLen, t, src, srcLen, s, z.overlap);
    const int64_t o0 = (t + f) / align, s0 = s / align;
    const int64_t count = std::min(z.step + z.overlap - f / align, out_frames - o0);
    const int64_t fade = std::min(z.half, count);
    for (int64_t j = 0; j < fade; ++j) {
      uint8_t* o = out + (o0 + j) * align;
      for (int c = 0; c < ch; ++c) {
        const int64_t mv = s0 + j < whole ? fmt.Read(src + (s0 + j) * align, c) : 0;
        // 64 bits: at very high rates H reaches past 2^15.
        const int64_t v = ((mv * j + int64_t{fmt.Read(o, c)} * (z.half - j)) * 2) / z.overlap;
        fmt.Write(o, static_cast<int32_t>(v), c);
      }
    }
    if (count > fade)
      CopyFrames(fmt, src, whole, s0 + fade, out + (o0 + fade) * align, count - fade);
    if (count > 0 && name != nullptr)
      ShowProgressSpan(name, from + z.step * e * (to - from) / outLen, 0, count, 100);
  }
}

}  // namespace

SolaSizes SolaSizesFor(uint32_t rate) {
  // At least one frame a step, or a rate below 30 Hz would never advance.
  const int64_t step = std::max<int64_t>(1, rate / 30);
  return {step, step / 4, step / 8};
}

void ResampleLinear(const BlockFormat& f, const char* name, int from, int to, int32_t step,
                    const uint8_t* src, int64_t srcLen, uint8_t* out, int64_t outLen) {
  WithFrameFormat(f.format, f.bytesPerChannel,
                  [&](auto fmt) { Resample(fmt, name, from, to, step, src, srcLen, out, outLen); });
}

void SolaStretch(const BlockFormat& f, const char* name, int from, int to, const uint8_t* src,
                 int64_t srcLen, uint8_t* out, int64_t outLen) {
  WithFrameFormat(f.format, f.bytesPerChannel,
                  [&](auto fmt) { Stretch(fmt, f, name, from, to, src, srcLen, out, outLen); });
}

}  // namespace kelvora
