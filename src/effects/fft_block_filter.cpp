#include "effects/fft_block_filter.h"

#include <algorithm>
#include <cstring>

#include "document/busy.h"
#include "document/frame_format.h"

namespace kelvora {
namespace {

constexpr int kHop = kFftLength / 2;
constexpr int kKeepFrom = kFftLength / 4;  // later blocks rewrite from here on
// FFTW's inverse returns 1024 times the signal; a power of two, so the
// product rounds exactly as the packed pair's scaling does.
constexpr double kInverseScale = 1.0 / kFftLength;

// Whether any band scales a bin by anything but 1.
bool ChangesAnyBin(const std::vector<FftBand>& bands) {
  for (const FftBand& b : bands)
    if (b.hi - b.lo > 1 && b.gain != 1.0) return true;
  return false;
}

// Both parts of bins lo < i < hi; bin 0 and bin 512 are never scaled.
void ApplyGains(const std::vector<FftBand>& bands, double* spectrum) {
  for (const FftBand& b : bands) {
    const int from = std::max(b.lo, 0) + 1;
    const int to = std::min(b.hi, kFftLength / 2);
    const double g = b.gain;
    for (int i = 2 * from; i < 2 * to; ++i) spectrum[i] *= g;
  }
}

// trunc toward zero, then the sample range: clamping first gives the same
// value and keeps the conversion defined whatever the gains made of it.
inline int32_t ToSample(double v) {
  return static_cast<int32_t>(std::clamp(v * kInverseScale, -32768.0, 32767.0));
}

// One channel of packed frames to and from the block: every frame is
// loaded (and stored) as one word, so the loops run over contiguous memory
// and vectorise; the other channels' lanes are stored back as they were.
template <class Fmt>
struct ReadLane {
  using Raw = typename Fmt::Raw;
  const uint8_t* frames;
  double* x;
  int shift;
  void operator()(int64_t i) const KELVORA_ALWAYS_INLINE {
    const Raw word = LoadLittleEndian<Raw>(frames + i * sizeof(Raw));
    if constexpr (Fmt::kBits == 16)
      x[i] = static_cast<int16_t>(word >> shift);
    else
      x[i] = (static_cast<uint8_t>(word >> shift) - 128) * 256;
  }
};

template <class Fmt>
struct WriteLane {
  using Raw = typename Fmt::Raw;
  static constexpr uint32_t kLane = (1u << Fmt::kBits) - 1;
  uint8_t* frames;
  const double* x;
  int shift;
  void operator()(int64_t i) const KELVORA_ALWAYS_INLINE {
    const int32_t v = ToSample(x[i]);
    const uint32_t lane = Fmt::kBits == 16 ? static_cast<uint16_t>(v) : (v >> 8) + 128;
    uint8_t* p = frames + i * sizeof(Raw);
    const uint32_t word = LoadLittleEndian<Raw>(p);
    StoreLittleEndian(p, static_cast<Raw>((word & ~(kLane << shift)) | (lane << shift)));
  }
};

template <class Fmt>
void ReadBlock(Fmt fmt, const uint8_t* in, int ch, int count, double* x) {
  if constexpr (Fmt::kPacked) {
    VectorLoop(count, ReadLane<Fmt>{in, x, ch * Fmt::kBits});
  } else {
    for (int i = 0; i < count; ++i) x[i] = fmt.Read(in + i * fmt.Align(), ch);
  }
}

// Frames from..count-1 of the block's result.
template <class Fmt>
void WriteBlock(Fmt fmt, uint8_t* out, int ch, int from, int count, const double* x) {
  if constexpr (Fmt::kPacked) {
    VectorLoop(count - from, WriteLane<Fmt>{out + from * fmt.Align(), x + from, ch * Fmt::kBits});
  } else {
    for (int i = from; i < count; ++i) fmt.Write(out + i * fmt.Align(), ToSample(x[i]), ch);
  }
}

template <class Fmt>
void FilterChannel(Fmt fmt, int ch, bool shaped, const std::vector<FftBand>& bands,
                   const char* label, const FftWork& w, const uint8_t* source, uint8_t* out,
                   int64_t frames) {
  const int32_t align = fmt.Align();
  const int64_t calls = static_cast<int64_t>(bands.size());
  const int64_t total = frames * fmt.Count();
  for (int64_t start = 0; start < frames; start += kHop) {
    const int count = static_cast<int>(std::min<int64_t>(frames - start, kFftLength));
    const int from = start == 0 ? 0 : kKeepFrom;
    // A last block that reaches no further than the one before wrote
    // changes nothing, and only its progress is left to report.
    if (shaped && count > from) {
      ReadBlock(fmt, source + start * align, ch, count, w.samples);
      std::fill(w.samples + count, w.samples + kFftLength, 0.0);
      FftForward1024(w);
      ApplyGains(bands, w.spectrum);
      FftInverse1024(w);
      WriteBlock(fmt, out + start * align, ch, from, count, w.samples);
    }
    ShowProgressSpan(label, start + ch * frames, 0, calls, total);
  }
}

}  // namespace

void FftBlockFilter(const std::vector<FftBand>& bands, const char* label, const FftWork& work,
                    const uint8_t* source, uint8_t* out, int64_t frames) {
  WithFrameFormat([&](auto fmt) {
    // Every gain 1: the transforms would give the sound back, at best (a
    // sample may lose a step toward zero), so it is given back as it is.
    const bool shaped = ChangesAnyBin(bands);
    if (!shaped) std::memcpy(out, source, static_cast<size_t>(frames * fmt.Align()));
    for (int ch = 0; ch < fmt.Count(); ++ch)
      FilterChannel(fmt, ch, shaped, bands, label, work, source, out, frames);
  });
}

int RunFftEqualizer(const EffectRecipe& recipe, const char* label,
                    std::vector<FftBand> (*bands)(uint32_t rate)) {
  return RunEffect(recipe, [&](EffectRun& run) {
    MemoryBlock work;
    if (!run.Scratch(work, FftWorkBytes(), true)) return 0;
    FftBlockFilter(bands(Doc().format.nSamplesPerSec), label, FftWorkIn(work.data()),
                   run.SourceSelection(), run.Selection(), run.frames);
    return 1;
  });
}

}  // namespace kelvora
