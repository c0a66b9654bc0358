#include "effects/real_fft.h"

#include <fftw3.h>

#include <array>
#include <bit>
#include <cstring>

namespace kelvora {
namespace {

// The r2c / c2r pair of one length, planned on first use and kept for the
// life of the process. FFTW_ESTIMATE plans without timing anything, so the
// same machine computes the same algorithm, and the same bits, every run.
struct PlanPair {
  fftw_plan forward = nullptr;
  fftw_plan inverse = nullptr;
  double* samples = nullptr;
  fftw_complex* spectrum = nullptr;
};

PlanPair& PlansFor(int n) {
  static std::array<PlanPair, 31> plans;
  PlanPair& p = plans[std::countr_zero(static_cast<unsigned>(n))];
  if (p.forward == nullptr) {
    p.samples = fftw_alloc_real(static_cast<size_t>(n));
    p.spectrum = fftw_alloc_complex(static_cast<size_t>(n / 2 + 1));
    p.forward = fftw_plan_dft_r2c_1d(n, p.samples, p.spectrum, FFTW_ESTIMATE);
    p.inverse = fftw_plan_dft_c2r_1d(n, p.spectrum, p.samples, FFTW_ESTIMATE);
  }
  return p;
}

bool Supported(int n) { return n >= 2 && std::has_single_bit(static_cast<unsigned>(n)); }

constexpr size_t kAlign = 64;

}  // namespace

void RealFftForward(int n, double* x) {
  if (!Supported(n)) return;
  PlanPair& p = PlansFor(n);
  std::memcpy(p.samples, x, sizeof(double) * static_cast<size_t>(n));
  fftw_execute(p.forward);
  // FFTW's kernel is e^(-i ...): its imaginary parts are the negatives of ours.
  for (int k = 0; k <= n / 2; ++k) x[k] = p.spectrum[k][0];
  for (int k = 1; k < n / 2; ++k) x[n - k] = -p.spectrum[k][1];
}

void RealFftInverse(int n, double* x) {
  if (!Supported(n)) return;
  PlanPair& p = PlansFor(n);
  p.spectrum[0][0] = x[0];
  p.spectrum[0][1] = 0.0;
  for (int k = 1; k < n / 2; ++k) {
    p.spectrum[k][0] = x[k];
    p.spectrum[k][1] = -x[n - k];
  }
  p.spectrum[n / 2][0] = x[n / 2];
  p.spectrum[n / 2][1] = 0.0;
  fftw_execute(p.inverse);
  // FFTW returns n times the signal; the packed pair promises n/2.
  for (int t = 0; t < n; ++t) x[t] = p.samples[t] * 0.5;
}

size_t FftWorkBytes() { return sizeof(double) * (kFftLength + 2 * kFftBins) + kAlign; }

FftWork FftWorkIn(uint8_t* block) {
  PlansFor(kFftLength);  // planned here, before any second thread executes it
  const uintptr_t at = (reinterpret_cast<uintptr_t>(block) + kAlign - 1) & ~(kAlign - 1);
  double* samples = reinterpret_cast<double*>(at);
  return FftWork{samples, samples + kFftLength};
}

void FftForward1024(const FftWork& w) {
  fftw_execute_dft_r2c(PlansFor(kFftLength).forward, w.samples,
                       reinterpret_cast<fftw_complex*>(w.spectrum));
}

void FftInverse1024(const FftWork& w) {
  fftw_execute_dft_c2r(PlansFor(kFftLength).inverse, reinterpret_cast<fftw_complex*>(w.spectrum),
                       w.samples);
}

}  // namespace kelvora
