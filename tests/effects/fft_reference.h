// A plain reference of the packed real transform pair, independent of the
// program's FFT: a textbook radix-2 complex transform (twiddles from cos
// and sin each time, no recurrence), and the defining sums that check it.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace kelvora {

// In place, X_k = sum_t a_t e^(sign i 2 pi k t / n); n a power of two.
inline void RefComplexFft(std::vector<std::complex<double>>& a, int sign) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1)
    for (size_t i = 0; i < n; i += len)
      for (size_t k = 0; k < len / 2; ++k) {
        const double angle = sign * 2 * std::numbers::pi * double(k) / double(len);
        const std::complex<double> w(std::cos(angle), std::sin(angle));
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
}

// Packed spectrum of x (kernel e^(+i...)): x[k] real parts for k <= n/2,
// x[n - k] imaginary parts for 0 < k < n/2.
inline void RefRealForward(int n, double* x) {
  std::vector<std::complex<double>> a(x, x + n);
  RefComplexFft(a, +1);
  for (int k = 0; k <= n / 2; ++k) x[k] = a[k].real();
  for (int k = 1; k < n / 2; ++k) x[n - k] = a[k].imag();
}

// n/2 times the real signal whose packed spectrum x is.
inline void RefRealInverse(int n, double* x) {
  std::vector<std::complex<double>> a(n);
  a[0] = x[0];
  a[n / 2] = x[n / 2];
  for (int k = 1; k < n / 2; ++k) {
    a[k] = {x[k], x[n - k]};
    a[n - k] = std::conj(a[k]);
  }
  RefComplexFft(a, -1);
  for (int t = 0; t < n; ++t) x[t] = a[t].real() / 2;
}

// The packed spectrum straight from its definition.
inline std::vector<double> DefiningSpectrum(const std::vector<double>& s) {
  const int n = static_cast<int>(s.size());
  std::vector<double> x(n, 0.0);
  for (int k = 0; k <= n / 2; ++k)
    for (int t = 0; t < n; ++t) {
      const double angle = 2 * std::numbers::pi * double((int64_t{k} * t) % n) / n;
      x[k] += s[t] * std::cos(angle);
      if (k > 0 && k < n / 2) x[n - k] += s[t] * std::sin(angle);
    }
  return x;
}

}  // namespace kelvora
