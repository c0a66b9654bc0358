// The packed real transform pair against its defining sums.
#include "effects/real_fft.h"

#include <gtest/gtest.h>

#include <random>

#include "effects/fft_reference.h"

namespace kelvora {
namespace {

std::vector<double> RandomSignal(int n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-64.0, 64.0);
  std::vector<double> s(n);
  for (double& v : s) v = d(rng);
  return s;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], tol) << "index " << i;
}

class RealFftPair : public testing::TestWithParam<int> {};

TEST_P(RealFftPair, PackingScalingAndTheReferenceAgree) {
  const int n = GetParam();
  const double tol = 1e-9 * n;
  const std::vector<double> s = RandomSignal(n, n);
  const std::vector<double> spectrum = DefiningSpectrum(s);

  std::vector<double> x = s;
  RealFftForward(n, x.data());
  ExpectNear(x, spectrum, tol);
  std::vector<double> ref = s;
  RefRealForward(n, ref.data());
  ExpectNear(ref, spectrum, tol);

  // Back: n/2 times the signal, from the program's pair and the reference.
  std::vector<double> half(s);
  for (double& v : half) v *= n / 2;
  RealFftInverse(n, x.data());
  ExpectNear(x, half, tol);
  RefRealInverse(n, ref.data());
  ExpectNear(ref, half, tol);

  // An arbitrary packed spectrum (no signal behind it in particular).
  const std::vector<double> packed = RandomSignal(n, n + 7);
  x = packed;
  ref = packed;
  RealFftInverse(n, x.data());
  RefRealInverse(n, ref.data());
  ExpectNear(x, ref, tol);
}

INSTANTIATE_TEST_SUITE_P(Lengths, RealFftPair, testing::Values(2, 4, 8, 64, 1024));

TEST(RealFftWork, ThePlannedPairReturns1024TimesTheSignal) {
  std::vector<uint8_t> block(FftWorkBytes());
  const FftWork w = FftWorkIn(block.data());
  ASSERT_EQ(reinterpret_cast<uintptr_t>(w.samples) % 64, 0u);
  const std::vector<double> s = RandomSignal(kFftLength, 3);
  std::copy(s.begin(), s.end(), w.samples);
  FftForward1024(w);
  // The spectrum pairs carry the packed layout with the opposite sign of
  // the imaginary parts.
  std::vector<double> packed = s;
  RealFftForward(kFftLength, packed.data());
  for (int k = 1; k < kFftLength / 2; ++k) {
    ASSERT_NEAR(w.spectrum[2 * k], packed[k], 1e-6);
    ASSERT_NEAR(w.spectrum[2 * k + 1], -packed[kFftLength - k], 1e-6);
  }
  FftInverse1024(w);
  for (int t = 0; t < kFftLength; ++t) ASSERT_NEAR(w.samples[t], 1024 * s[t], 1e-6);
}

}  // namespace
}  // namespace kelvora
