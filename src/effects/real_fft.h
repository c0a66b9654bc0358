// The program's real FFT.
//
// RealFftForward and RealFftInverse work in place on n doubles (n a power
// of two, at least 2) in one packed layout:
//   x[0]         the sum of the samples (bin 0),
//   x[k]         the real part of bin k, 1 <= k <= n/2,
//   x[n - k]     the imaginary part of bin k, 1 <= k < n/2, with the sign of
//                a transform whose kernel is e^(+i 2 pi k t / n).
// Nothing is scaled on the way forward; the inverse returns n/2 times the
// real signal whose spectrum it is given, so Inverse(Forward(s)) = (n/2) s.
//
// The equalizers run the 1024-point pair a hundred thousand times for a
// ten-minute sound, so they use it directly: FftWork holds the buffers of
// one block, FftForward1024 leaves the spectrum as 513 (re, im) pairs with
// the kernel e^(-i ...) (each imaginary part the negative of the packed
// one), and FftInverse1024 returns 1024 times the signal. Real gains scale
// a bin's two parts alike, so they commute with the sign, and the scale
// factor is a power of two, applied exactly where the samples are written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

void RealFftForward(int n, double* x);
void RealFftInverse(int n, double* x);

inline constexpr int kFftLength = 1024;
inline constexpr int kFftBins = kFftLength / 2 + 1;  // bins 0 .. 512

struct FftWork {
  double* samples = nullptr;   // kFftLength
  double* spectrum = nullptr;  // kFftBins (re, im) pairs
};

// Bytes of the block FftWorkIn carves the buffers of one transform from.
size_t FftWorkBytes();
// The buffers inside `block` (FftWorkBytes() long), aligned as the plans
// want them. The first call plans the pair; after that, the pair may run on
// several threads at once, each with its own buffers.
FftWork FftWorkIn(uint8_t* block);

// samples -> spectrum; samples are kept.
void FftForward1024(const FftWork& w);
// spectrum -> samples, 1024 times the signal; the spectrum is used up.
void FftInverse1024(const FftWork& w);

}  // namespace kelvora
