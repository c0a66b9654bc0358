#include "views/spectrum_analyser.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace kelvora {
namespace {

// Windows per column, and where window j starts: evenly spread over the
// column, one centred on it when the column is shorter than a window.
int64_t WindowsPerColumn(int64_t fpp, int window) {
  return fpp <= window ? 1 : (2 * fpp + window - 1) / window;
}
int64_t WindowFirst(int64_t start, int64_t fpp, int window, int64_t n, int64_t j) {
  return start + j * fpp / n + fpp / (2 * n) - window / 2;
}

// The level of a power relative to full scale, looked up by the float's
// exponent and top seven mantissa bits: within 0.02 dB, a fifteenth of a level's
// step, and far cheaper than a logarithm per bin.
class LevelTable {
public:
  LevelTable() : levels_(size_t{1} << 15) {
    for (uint32_t i = 0; i < levels_.size(); ++i) {
      // The middle of the powers that share these bits.
      const float p = std::bit_cast<float>((i << 16) | 0x8000u);
      const double level =
          (10 * std::log10(static_cast<double>(p)) + kSpectrumRangeDb) * 255 / kSpectrumRangeDb;
      // Infinities and NaNs cannot arise; they would read 255 and 0.
      levels_[i] = static_cast<uint8_t>(level > 0 ? std::lround(std::min(level, 255.0)) : 0);
    }
  }
  uint8_t operator()(float power) const { return levels_[std::bit_cast<uint32_t>(power) >> 16]; }

private:
  std::vector<uint8_t> levels_;
};

// Copies the samples of channel `ch` for frames [first, first + n) into
// `out` under the window, zeros where the span has no frames.
template <int Bits>
void Windowed(const SampleSpan& span, int ch, int64_t first, int n, const float* hann, float* out) {
  const int64_t from = std::clamp(span.frames.first - first, int64_t{0}, int64_t{n});
  const int64_t to = std::clamp(span.frames.end - first, from, int64_t{n});
  std::fill(out, out + from, 0.0f);
  std::fill(out + to, out + n, 0.0f);
  const int align = span.access.nBlockAlign;
  const uint8_t* p = span.bytes + (first + from - span.frames.first) * align +
                     int64_t{ch} * span.access.bytesPerChannel;
  for (int64_t i = from; i < to; ++i, p += align) {
    int32_t v;
    if constexpr (Bits == 8)
      v = (int32_t{p[0]} - 128) * 256;
    else
      v = LoadLe16(p);
    out[i] = static_cast<float>(v) * hann[i];
  }
}

}  // namespace

FrameRange ColumnReach(int64_t start, int64_t fpp, int window) {
  const int64_t n = WindowsPerColumn(fpp, window);
  return {WindowFirst(start, fpp, window, n, 0),
          WindowFirst(start, fpp, window, n, n - 1) + window};
}

SpectrumAnalyser::SpectrumAnalyser(int window) : window_(window), hann_(window) {
  // The periodic Hann window: copies at half a window's hop sum to one.
  for (int i = 0; i < window; ++i)
    hann_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / window));
  Scratch scratch(window);
  plan_ = fftwf_plan_dft_r2c_1d(window, scratch.samples_, scratch.spectrum_, FFTW_ESTIMATE);
}

SpectrumAnalyser::~SpectrumAnalyser() { fftwf_destroy_plan(plan_); }

SpectrumAnalyser::Scratch::Scratch(int window)
    : samples_(fftwf_alloc_real(static_cast<size_t>(window))),
      spectrum_(fftwf_alloc_complex(static_cast<size_t>(window / 2 + 1))),
      power_(static_cast<size_t>(window / 2 + 1)) {}

SpectrumAnalyser::Scratch::~Scratch() {
  fftwf_free(samples_);
  fftwf_free(spectrum_);
}

void SpectrumAnalyser::Column(const SampleSpan& span, int64_t start, int64_t fpp, uint8_t* levels,
                              Scratch& scratch) const {
  const int bins = Bins();
  const int64_t n = WindowsPerColumn(fpp, window_);
  // A full-scale sine at a bin's centre has magnitude 32768 * window / 4
  // there (the window's mean is one half); that is 0 dB.
  const double fullScale = 32768.0 * window_ / 4;
  const float toUnit = static_cast<float>(1 / (fullScale * fullScale * static_cast<double>(n)));
  static const LevelTable level;
  float* power = scratch.power_.data();
  for (int ch = 0; ch < span.access.nChannels; ++ch) {
    std::fill(power, power + bins, 0.0f);
    for (int64_t j = 0; j < n; ++j) {
      const int64_t first = WindowFirst(start, fpp, window_, n, j);
      if (span.access.bits == 8)
        Windowed<8>(span, ch, first, window_, hann_.data(), scratch.samples_);
      else
        Windowed<16>(span, ch, first, window_, hann_.data(), scratch.samples_);
      fftwf_execute_dft_r2c(plan_, scratch.samples_, scratch.spectrum_);
      for (int b = 0; b < bins; ++b) {
        const float re = scratch.spectrum_[b][0], im = scratch.spectrum_[b][1];
        power[b] += re * re + im * im;
      }
    }
    uint8_t* out = levels + static_cast<ptrdiff_t>(ch) * bins;
    for (int b = 0; b < bins; ++b) out[b] = level(power[b] * toUnit);
  }
}

uint64_t Fingerprint(const uint8_t* bytes, size_t size, uint64_t seed) {
  constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full;
  auto round = [](uint64_t acc, uint64_t word) {
    return std::rotl(acc + word * kPrime2, 31) * kPrime1;
  };
  uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
  size_t i = 0;
  for (; i + 32 <= size; i += 32)
    for (int k = 0; k < 4; ++k) {
      uint64_t word;
      std::memcpy(&word, bytes + i + 8 * k, 8);
      lanes[k] = round(lanes[k], word);
    }
  uint64_t h = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) +
               std::rotl(lanes[3], 18) + size;
  for (; i < size; ++i) h = round(h, bytes[i]);
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  return h ^ (h >> 32);
}

}  // namespace kelvora
