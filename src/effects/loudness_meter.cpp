#include "effects/loudness_meter.h"

#include <ebur128.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace kelvora {
namespace {

// The interpolation filter of BS.1770-4 Annex 2 times 8192: every
// coefficient is a whole multiple of 2^-13, so a 16-bit window sums exactly
// in 32 bits (at most 16571 * 32768) and every vector width agrees.
constexpr int kTaps = 12;
constexpr int kHistory = kTaps - 1;
constexpr int32_t kInterpolator[4][kTaps] = {
    {14, 90, -161, 272, -487, 1125, 7964, -838, 390, -218, 122, -68},
    {-239, 240, -424, 730, -1364, 3810, 6388, -1641, 832, -477, 271, -155},
    {-155, 271, -477, 832, -1641, 6388, 3810, -1364, 730, -424, 240, -239},
    {-68, 122, -218, 390, -838, 7964, 1125, -487, 272, -161, 90, 14},
};
constexpr double kInterpolatorScale = 8192.0;
constexpr double kFullScale = 32768.0;

// Extremes of the four interpolated points after each sample, and of the
// samples themselves. `x` holds kHistory samples before the first; being
// 16-bit, it cannot alias the extremes, and the loop vectorises.
struct PeakScan {
  const int16_t* x;
  int32_t lo = 0, hi = 0, sampleLo = 0, sampleHi = 0;
  void operator()(int64_t i) KELVORA_ALWAYS_INLINE {
    const int16_t* w = x + i;
    int32_t y0 = 0, y1 = 0, y2 = 0, y3 = 0;
    for (int k = 0; k < kTaps; ++k) {
      const int32_t s = w[k];
      y0 += kInterpolator[0][k] * s;
      y1 += kInterpolator[1][k] * s;
      y2 += kInterpolator[2][k] * s;
      y3 += kInterpolator[3][k] * s;
    }
    lo = std::min(lo, std::min(std::min(y0, y1), std::min(y2, y3)));
    hi = std::max(hi, std::max(std::max(y0, y1), std::max(y2, y3)));
    sampleLo = std::min<int32_t>(sampleLo, w[kHistory]);
    sampleHi = std::max<int32_t>(sampleHi, w[kHistory]);
  }
};

struct MeterDeleter {
  void operator()(ebur128_state* st) const { ebur128_destroy(&st); }
};
using Meter = std::unique_ptr<ebur128_state, MeterDeleter>;

// The mean square behind a loudness, and back.
double EnergyOf(double lufs) {
  return std::isfinite(lufs) ? std::pow(10.0, (lufs + 0.691) / 10) : 0;
}
std::optional<double> LoudnessOf(double energy) {
  if (!(energy > 0)) return std::nullopt;
  return -0.691 + 10 * std::log10(energy);
}
std::optional<double> Decibels(double linear) {
  if (!(linear > 0)) return std::nullopt;
  return 20 * std::log10(linear);
}
std::optional<double> Finite(double v) {
  return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// The momentary and short-term windows, as 4 and 30 slices of 100 ms
// (slices before the start count as silence, as in the library's buffers).
class WindowMaxima {
public:
  void Add(double energy) {
    slices_[count_++ % slices_.size()] = energy;
    if (count_ < 4) return;
    double momentary = 0, shortTerm = 0;
    for (size_t back = 0; back < slices_.size(); ++back) {
      const double e = slices_[(count_ - 1 - back) % slices_.size()];
      if (back < 4) momentary += e;
      shortTerm += e;
    }
    momentary_ = std::max(momentary_, momentary / 4);
    shortTerm_ = std::max(shortTerm_, shortTerm / slices_.size());
  }
  double Momentary() const { return momentary_; }
  double ShortTerm() const { return shortTerm_; }

private:
  std::array<double, 30> slices_{};
  size_t count_ = 0;
  double momentary_ = 0, shortTerm_ = 0;
};

}  // namespace

MeterOutcome MeasureLoudness(const SoundView& v, const std::function<bool()>& stop,
                             LoudnessFigures* figures) {
  *figures = LoudnessFigures{};
  const uint32_t rate = v.Rate();
  const int channels = v.Channels();
  if (rate < kMinLoudnessRate) return MeterOutcome::kRateTooLow;
  if (channels < 1 || v.frames <= 0) return MeterOutcome::kMeasured;
  Meter meter(
      ebur128_init(static_cast<unsigned>(channels), rate, EBUR128_MODE_I | EBUR128_MODE_LRA));
  if (!meter) return MeterOutcome::kNoMemory;
  // One slice is 100 ms: the step of the momentary and short-term windows.
  const int64_t slice = rate / 10;
  std::vector<int16_t> interleaved(static_cast<size_t>(slice * channels));
  std::vector<std::vector<int16_t>> history(channels,
                                            std::vector<int16_t>(kHistory + slice + kHistory, 0));
  int32_t peak = 0, samplePeak = 0;
  auto scan = [&](int ch, int64_t n) {
    std::vector<int16_t>& x = history[ch];
    const PeakScan r = VectorLoop(n, PeakScan{x.data()});
    peak = std::max({peak, r.hi, -r.lo});
    samplePeak = std::max({samplePeak, r.sampleHi, -r.sampleLo});
    std::memmove(x.data(), x.data() + n, kHistory * sizeof(int16_t));
  };
  WindowMaxima windows;
  MeterOutcome outcome = MeterOutcome::kMeasured;
  const uint8_t* base = v.SourceRange();
  const int32_t align = v.Align();
  v.WithFormat([&](auto fmt) {
    for (int64_t first = 0; first < v.frames; first += slice) {
      const int64_t n = std::min(slice, v.frames - first);
      const uint8_t* frame = base + first * align;
      int16_t* out = interleaved.data();
      for (int64_t i = 0; i < n; ++i, frame += align)
        for (int ch = 0; ch < channels; ++ch) {
          const auto s = static_cast<int16_t>(std::clamp(fmt.Read(frame, ch), -32768, 32767));
          *out++ = s;
          history[ch][kHistory + i] = s;
        }
      if (ebur128_add_frames_short(meter.get(), interleaved.data(), static_cast<size_t>(n)) !=
          EBUR128_SUCCESS) {
        outcome = MeterOutcome::kNoMemory;
        return;
      }
      for (int ch = 0; ch < channels; ++ch) scan(ch, n);
      double last = 0;
      if (n == slice && ebur128_loudness_window(meter.get(), 100, &last) == EBUR128_SUCCESS)
        windows.Add(EnergyOf(last));
      if (v.progress != nullptr) ShowProgressSpan(v.progress, first, 1, n, v.frames);
      if (stop && stop()) {
        outcome = MeterOutcome::kStopped;
        return;
      }
    }
    // The sound ends in silence: the points between its last samples.
    for (int ch = 0; ch < channels; ++ch) {
      std::fill(history[ch].begin() + kHistory, history[ch].end(), 0);
      scan(ch, kHistory);
    }
  });
  if (outcome != MeterOutcome::kMeasured) return outcome;

  double integrated = 0;
  if (ebur128_loudness_global(meter.get(), &integrated) == EBUR128_SUCCESS)
    figures->integrated = Finite(integrated);
  double range = 0;
  if (figures->integrated && v.frames >= 3 * int64_t{rate} &&
      ebur128_loudness_range(meter.get(), &range) == EBUR128_SUCCESS)
    figures->range = Finite(range);
  figures->samplePeak = Decibels(samplePeak / kFullScale);
  figures->truePeak =
      Decibels(std::max(peak / kInterpolatorScale, static_cast<double>(samplePeak)) / kFullScale);
  figures->momentaryMax = LoudnessOf(windows.Momentary());
  figures->shortTermMax = LoudnessOf(windows.ShortTerm());
  return outcome;
}

}  // namespace kelvora
