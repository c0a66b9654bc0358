#include "effects/resample_sola.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

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

// Output frames [j0, j1) of the resampling of `frames` frames, written from
// `out` on: output frame j interpolates between source frames p and p + 1,
// at p + fraction / 100 = j * step / 100; 64 bits, as j * step passes 2^31
// on long selections.
template <class Fmt>
void ResampleRange(Fmt fmt, int64_t step, const uint8_t* src, int64_t srcLen, int64_t frames,
                   uint8_t* out, int64_t j0, int64_t j1) {
  const int32_t align = fmt.Align();
  const int64_t whole = srcLen / align;
  auto frame = [=](int64_t j, int64_t p, int32_t fraction, auto read) KELVORA_ALWAYS_INLINE {
    uint8_t* o = out + (j - j0) * align;
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
  const int64_t in = std::clamp<int64_t>(interior - j0, 0, j1 - j0);
  // Inside, the position advances by whole frames and hundredths.
  int64_t p = j0 * step / 100;
  auto fraction = static_cast<int32_t>(j0 * step % 100);
  for (int64_t j = j0; j < j0 + in; ++j) {
    frame(j, p, fraction, inside);
    p += whole_steps;
    fraction += part_step;
    if (fraction >= 100) fraction -= 100, ++p;
  }
  for (int64_t j = j0 + in; j < j1; ++j)
    frame(j, j * step / 100, static_cast<int32_t>(j * step % 100), checked);
}

template <class Fmt>
void Resample(Fmt fmt, const char* name, int from, int to, int64_t step, const uint8_t* src,
              int64_t srcLen, uint8_t* out, int64_t outLen) {
  const int32_t align = fmt.Align();
  const int64_t frames = outLen / align;
  auto value = [&](int64_t j) { return from + (j + 1) * align * (to - from) / outLen; };
  for (int64_t first = 0; first < frames; first += kChunkFrames) {
    const int64_t n = std::min(kChunkFrames, frames - first);
    ResampleRange(fmt, step, src, srcLen, frames, out + first * align, first, first + n);
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

// Frames of a block from frame `at` on, for the stretch: where they start
// and how many bytes of the block are left from there (0 past its end).
template <class Byte>
struct Frames {
  Byte* at;
  int64_t bytes;
};

// A whole block as the stretch's source or output.
template <class Byte>
struct WholeBlock {
  Byte* data;
  int64_t length;
  int32_t align;
  Frames<Byte> At(int64_t frame, int64_t) const {
    const int64_t offset = std::min(frame * align, length);
    return {data + offset, length - offset};
  }
  void Finish() {}
};

// The stretch of src (srcLen bytes) to outLen bytes. Each segment reads the
// source from its frame s on and the output from its frame t on, no more
// than step + overlap frames of either, and writes only output frames from
// t on: `src.At` and `out.At` give those frames (out's earlier ones are
// final by then), `segment(t, count)` counts the frames written by the
// segment at output byte t.
template <class Fmt, class Src, class Out, class Segment>
void Stretch(Fmt fmt, const BlockFormat& bf, Src& src, int64_t srcLen, Out& out, int64_t outLen,
             Segment segment) {
  const int32_t align = fmt.Align();
  const SolaSizes z = SolaSizesFor(bf.format.nSamplesPerSec);
  const int64_t out_frames = outLen / align;
  const int64_t need = z.step + z.overlap;
  // The first segment fades in from silence.
  uint8_t* silence = out.At(0, need).at;
  for (int64_t j = 0; j < std::min(z.overlap, out_frames); ++j)
    for (int c = 0; c < fmt.Count(); ++c) fmt.Write(silence + j * align, 0, c);
  if (outLen <= 0) return;
  // Source frames per segment; the product is exact in 64 bits.
  const auto advance =
      static_cast<int64_t>(static_cast<double>(z.step * srcLen) / static_cast<double>(outLen));
  for (int64_t s = 0, t = 0; t < outLen; s += advance * align, t += z.step * align) {
    const auto o = out.At(t / align, need);
    const auto x = src.At(s / align, need);
    const int64_t whole = x.bytes / align;
    const int64_t f = FindBestOverlap(bf, o.at, o.bytes, 0, x.at, x.bytes, 0, z.overlap) / align;
    const int64_t count = std::min(z.step + z.overlap - f, out_frames - (t / align + f));
    const int64_t fade = std::min(z.half, count);
    for (int64_t j = 0; j < fade; ++j) {
      uint8_t* w = o.at + (f + j) * align;
      for (int c = 0; c < fmt.Count(); ++c) {
        const int64_t mv = j < whole ? fmt.Read(x.at + j * align, c) : 0;
        // 64 bits: at very high rates H reaches past 2^15.
        const int64_t v = ((mv * j + int64_t{fmt.Read(w, c)} * (z.half - j)) * 2) / z.overlap;
        fmt.Write(w, static_cast<int32_t>(v), c);
      }
    }
    if (count > fade) CopyFrames(fmt, x.at, whole, fade, o.at + (f + fade) * align, count - fade);
    if (count > 0) segment(t, count);
  }
  out.Finish();
}

// The resampling of a source, made as the stretch reads it: frames from
// the lowest one still read to a few segments ahead.
template <class Fmt>
class ResampledWindow {
public:
  ResampledWindow(Fmt fmt, int64_t step, const uint8_t* src, int64_t srcLen, int64_t frames,
                  int64_t need)
      : fmt_(fmt),
        step_(step),
        src_(src),
        srcLen_(srcLen),
        frames_(frames),
        capacity_(need + kChunkFrames),
        buffer_(new uint8_t[static_cast<size_t>(capacity_ * fmt.Align())]) {}

  Frames<const uint8_t> At(int64_t frame, int64_t need) {
    const int32_t align = fmt_.Align();
    frame = std::min(frame, frames_);
    if (base_ + held_ < std::min(frames_, frame + need)) {
      // Frames before `frame` are never read again.
      const int64_t keep = std::max<int64_t>(0, base_ + held_ - frame);
      const uint8_t* from = buffer_.get() + (frame - base_) * align;
      std::copy(from, from + keep * align, buffer_.get());
      base_ = frame;
      const int64_t end = std::min(frames_, base_ + capacity_);
      ResampleRange(fmt_, step_, src_, srcLen_, frames_, buffer_.get() + keep * align, base_ + keep,
                    end);
      held_ = end - base_;
    }
    return {buffer_.get() + (frame - base_) * align, (base_ + held_ - frame) * align};
  }

private:
  Fmt fmt_;
  int64_t step_;
  const uint8_t* src_;
  int64_t srcLen_, frames_, capacity_;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t base_ = 0, held_ = 0;
};

// The stretch's output kept for a few segments, each final frame then
// mixed into `into`: (x * (100 - mix) + z * mix) / 100.
template <class Fmt>
class MixedWindow {
public:
  MixedWindow(Fmt fmt, uint8_t* into, int64_t frames, int64_t need, int32_t mix)
      : fmt_(fmt),
        into_(into),
        frames_(frames),
        capacity_(need + kChunkFrames),
        mix_(mix),
        buffer_(new uint8_t[static_cast<size_t>(capacity_ * fmt.Align())]()) {}

  Frames<uint8_t> At(int64_t frame, int64_t need) {
    const int32_t align = fmt_.Align();
    if (frame + need > base_ + capacity_) {
      Mix(frame);
      const int64_t keep = capacity_ - (frame - base_);
      const uint8_t* from = buffer_.get() + (frame - base_) * align;
      std::copy(from, from + keep * align, buffer_.get());
      std::memset(buffer_.get() + keep * align, 0, static_cast<size_t>((capacity_ - keep) * align));
      base_ = frame;
    }
    return {buffer_.get() + (frame - base_) * align,
            (std::min(frames_, base_ + capacity_) - frame) * align};
  }
  void Finish() { Mix(std::min(frames_, base_ + capacity_)); }

private:
  // Frames from base_ up to `end` are final.
  void Mix(int64_t end) {
    const int32_t align = fmt_.Align();
    const int32_t mix = mix_;
    const Fmt fmt = fmt_;
    uint8_t* x = into_ + base_ * align;
    const uint8_t* z = buffer_.get();
    VectorLoop(end - base_, [=](int64_t i) KELVORA_ALWAYS_INLINE {
      for (int c = 0; c < fmt.Count(); ++c)
        fmt.Write(
            x + i * align,
            (fmt.Read(x + i * align, c) * (100 - mix) + fmt.Read(z + i * align, c) * mix) / 100, c);
    });
  }

  Fmt fmt_;
  uint8_t* into_;
  int64_t frames_, capacity_;
  int32_t mix_;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t base_ = 0;
};

// The progress of resampling all the frames (from 0 to 50) and then of
// stretching them (50 to 100), as when the two ran one after the other,
// while they run interleaved: the same calls in the same order, spread
// over the work. The resampling's calls depend only on the frame count;
// the stretch's wait, counted, until those are all out.
class StagedProgress {
public:
  StagedProgress(const char* name, int64_t frames, int32_t align, int64_t outLen)
      : name_(name), frames_(frames), align_(align), outLen_(outLen) {}

  // The segment at output byte t wrote `count` frames.
  void Segment(int64_t t, int64_t count) {
    if (name_ == nullptr) return;
    segments_.push_back({t, count});
  }
  // Out to `calls` calls in all.
  void Advance(int64_t calls) {
    if (name_ == nullptr) return;
    if (resampled_ < frames_ && calls > done_) {
      const int64_t n = std::min(frames_ - resampled_, calls - done_);
      const int64_t len = frames_ * align_;
      ProgressEach(name_, resampled_, n, [&](int64_t j) { return (j + 1) * align_ * 50 / len; });
      resampled_ += n;
      done_ += n;
    }
    while (resampled_ == frames_ && next_ < segments_.size() && calls > done_) {
      const auto [t, count] = segments_[next_];
      const int64_t n = std::min(count - partial_, calls - done_);
      ShowProgressSpan(name_, 50 + t * 50 / outLen_, 0, n, 100);
      done_ += n;
      partial_ += n;
      if (partial_ == count) partial_ = 0, ++next_;
    }
  }
  void Finish() { Advance(INT64_MAX); }

private:
  const char* name_;
  int64_t frames_;
  int32_t align_;
  int64_t outLen_;
  std::vector<std::pair<int64_t, int64_t>> segments_;  // not yet out
  size_t next_ = 0;
  int64_t partial_ = 0, resampled_ = 0, done_ = 0;
};

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
  WithFrameFormat(f.format, f.bytesPerChannel, [&](auto fmt) {
    WholeBlock<const uint8_t> source{src, srcLen, fmt.Align()};
    WholeBlock<uint8_t> output{out, outLen, fmt.Align()};
    Stretch(fmt, f, source, srcLen, output, outLen, [&](int64_t t, int64_t count) {
      if (name != nullptr) ShowProgressSpan(name, from + t * (to - from) / outLen, 0, count, 100);
    });
  });
}

void ResampleStretch(const BlockFormat& f, const char* name, int32_t step, const uint8_t* src,
                     int64_t srcLen, int64_t resampledLen, uint8_t* out, int64_t outLen,
                     int32_t mix) {
  WithFrameFormat(f.format, f.bytesPerChannel, [&](auto fmt) {
    const int32_t align = fmt.Align();
    const SolaSizes z = SolaSizesFor(f.format.nSamplesPerSec);
    const int64_t need = z.step + z.overlap;
    const int64_t resampled = resampledLen / align, frames = outLen / align;
    ResampledWindow source(fmt, step, src, srcLen, resampled, need);
    StagedProgress progress(name, resampled, align, outLen);
    // The calls both stages make, spread over the output frames.
    auto segment = [&](int64_t t, int64_t count) {
      progress.Segment(t, count);
      const int64_t done = std::min(frames, t / align + z.step);
      progress.Advance(done * (resampled + frames) / std::max<int64_t>(1, frames));
    };
    if (mix < 0) {
      WholeBlock<uint8_t> output{out, outLen, align};
      Stretch(fmt, f, source, resampledLen, output, outLen, segment);
    } else {
      MixedWindow output(fmt, out, frames, need, mix);
      Stretch(fmt, f, source, resampledLen, output, outLen, segment);
    }
    progress.Finish();
  });
}

}  // namespace kelvora
