// The overlap search of SolaStretch. Each candidate offset i costs a sum of
// squared differences over H frames of every channel, so a segment costs
// H x H x channels sample pairs. Here both windows are read once into small
// arrays of 16-bit integers (zeros where a window overhangs its block, so
// nothing outside a block is ever read), and the sums are formed as
//
//   sum(i) = S2 + O2(i) - 2 X(i)
//
// with S2 the source window's energy, O2(i) the output window's at offset i
// (a running sum) and X(i) their cross product, the one term worth
// vectorising. Every term is an exact integer, and so is each double sum of
// the plain reading as long as no sum can reach 2^53; within that bound the
// two give the very same comparisons, whatever the order of the additions.
#include <algorithm>
#include <cstring>

#include "document/frame_format.h"
#include "effects/resample_sola.h"

#if KELVORA_VECTOR_CLONES
#include <immintrin.h>
#endif

namespace kelvora {
namespace {

constexpr int64_t kLanes = 16;           // 16-bit values in a 256-bit vector
constexpr int64_t kMaxWindow = 1 << 14;  // samples in the source window
// The largest square of a difference of two samples.
constexpr int64_t kMaxSquare = int64_t{65535} * 65535;
static_assert(kMaxWindow * kMaxSquare < (int64_t{1} << 53), "sums must stay exact in double");

alignas(32) int16_t g_src[kMaxWindow + kLanes];
// The source window as 256 hi + lo, hi in -128..127 and lo in 0..255.
alignas(32) int16_t g_hi[kMaxWindow + kLanes];
alignas(32) int16_t g_lo[kMaxWindow + kLanes];
alignas(32) int16_t g_out[2 * kMaxWindow + kLanes];
int64_t g_cross[kMaxWindow];

// `frames` frames from frame `first` of a block of `length` bytes, 0 for
// frames outside it.
template <class Fmt>
void ReadWindow(Fmt fmt, const uint8_t* block, int64_t length, int64_t first, int64_t frames,
                int16_t* into) {
  const int ch = fmt.Count();
  const int64_t whole = length / fmt.Align();
  for (int64_t f = 0; f < frames; ++f, into += ch) {
    const int64_t frame = first + f;
    if (frame < 0 || frame >= whole) {
      std::memset(into, 0, sizeof(int16_t) * ch);
      continue;
    }
    const uint8_t* p = block + frame * fmt.Align();
    for (int c = 0; c < ch; ++c) into[c] = static_cast<int16_t>(fmt.Read(p, c));
  }
}

// x[i] = sum over k < n of a[k] * o[i * stride + k], for i < count; n is a
// multiple of kLanes.
void CrossSumsPlain(const int16_t* a, const int16_t* o, int64_t n, int stride, int64_t count,
                    int64_t* x) {
  for (int64_t i = 0; i < count; ++i) {
    const int16_t* b = o + i * stride;
    int64_t sum = 0;
    for (int64_t k = 0; k < n; ++k) sum += int32_t{a[k]} * b[k];
    x[i] = sum;
  }
}

#if KELVORA_VECTOR_CLONES
// The source split in two halves, so that products summed in pairs and
// then in 32-bit lanes cannot overflow: |hi x o| <= 2^22 and |lo x o| <
// 2^23, so 128 vectors of pairs stay below 2^31 before they are widened.
constexpr int64_t kBlock = 128 * kLanes;

__attribute__((target("avx2"))) int64_t Widened(__m256i v) {
  const __m256i w = _mm256_add_epi64(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(v)),
                                     _mm256_cvtepi32_epi64(_mm256_extracti128_si256(v, 1)));
  const __m128i h = _mm_add_epi64(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
  return _mm_cvtsi128_si64(h) + _mm_extract_epi64(h, 1);
}

__attribute__((target("avx2"))) inline __m256i Load(const int16_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Two candidates at a time share the loads of the source halves.
__attribute__((target("avx2"))) void CrossSumsAvx2(const int16_t* hi, const int16_t* lo,
                                                   const int16_t* o, int64_t n, int stride,
                                                   int64_t count, int64_t* x) {
  for (int64_t i = 0; i < count; i += 2) {
    const int16_t* b0 = o + i * stride;
    const int16_t* b1 = b0 + stride;  // within the window's padding for the last odd one
    int64_t total0 = 0, total1 = 0;
    for (int64_t k0 = 0; k0 < n; k0 += kBlock) {
      const int64_t k1 = std::min(n, k0 + kBlock);
      __m256i h0 = _mm256_setzero_si256(), l0 = h0, h1 = h0, l1 = h0;
      for (int64_t k = k0; k < k1; k += kLanes) {
        const __m256i vh = Load(hi + k), vl = Load(lo + k);
        const __m256i o0 = Load(b0 + k), o1 = Load(b1 + k);
        h0 = _mm256_add_epi32(h0, _mm256_madd_epi16(vh, o0));
        l0 = _mm256_add_epi32(l0, _mm256_madd_epi16(vl, o0));
        h1 = _mm256_add_epi32(h1, _mm256_madd_epi16(vh, o1));
        l1 = _mm256_add_epi32(l1, _mm256_madd_epi16(vl, o1));
      }
      total0 += 256 * Widened(h0) + Widened(l0);
      total1 += 256 * Widened(h1) + Widened(l1);
    }
    x[i] = total0;
    if (i + 1 < count) x[i + 1] = total1;
  }
}
#endif

void CrossSums(const int16_t* a, const int16_t* o, int64_t n, int stride, int64_t count,
               int64_t* x) {
#if KELVORA_VECTOR_CLONES
  if (VectorLevel() >= 1) {
    for (int64_t k = 0; k < n; ++k) {
      g_hi[k] = static_cast<int16_t>(a[k] >> 8);
      g_lo[k] = static_cast<int16_t>(a[k] & 255);
    }
    return CrossSumsAvx2(g_hi, g_lo, o, n, stride, count, x);
  }
#endif
  CrossSumsPlain(a, o, n, stride, count, x);
}

// The reading as written, for windows too large for the arrays: double sums,
// channel by channel.
template <class Fmt>
int64_t SearchPlain(Fmt fmt, const uint8_t* out, int64_t outLen, int64_t t, const uint8_t* src,
                    int64_t srcLen, int64_t s, int64_t h) {
  const int32_t align = fmt.Align();
  auto at = [&](const uint8_t* block, int64_t length, int64_t frame, int ch) -> int32_t {
    return frame >= 0 && frame < length / align ? fmt.Read(block + frame * align, ch) : 0;
  };
  double best = static_cast<double>(h) * 4294836225.0;
  int64_t best_i = 0;
  for (int64_t i = 0; i < h; ++i) {
    double sum = 0;
    for (int ch = 0; ch < fmt.Count(); ++ch)
      for (int64_t k = 0; k < h; ++k) {
        const double d =
            at(src, srcLen, s / align + k, ch) - at(out, outLen, t / align + i + k, ch);
        sum += d * d;
      }
    if (sum < best) {
      best = sum;
      best_i = i;
    }
  }
  return best_i * align;
}

template <class Fmt>
int64_t Search(Fmt fmt, const uint8_t* out, int64_t outLen, int64_t t, const uint8_t* src,
               int64_t srcLen, int64_t s, int64_t h) {
  const int ch = fmt.Count();
  const int64_t n = h * ch;
  if (n > kMaxWindow) return SearchPlain(fmt, out, outLen, t, src, srcLen, s, h);
  const int32_t align = fmt.Align();
  const int64_t padded = (n + kLanes - 1) / kLanes * kLanes;
  ReadWindow(fmt, src, srcLen, s / align, h, g_src);
  ReadWindow(fmt, out, outLen, t / align, 2 * h - 1, g_out);
  std::memset(g_src + n, 0, sizeof(int16_t) * (padded - n));
  // Candidate h - 1 reads up to (h - 1) * ch + padded.
  std::memset(g_out + (2 * h - 1) * ch, 0, sizeof(int16_t) * (padded - n));

  int64_t s2 = 0;
  for (int64_t k = 0; k < n; ++k) s2 += int32_t{g_src[k]} * g_src[k];
  CrossSums(g_src, g_out, padded, ch, h, g_cross);
  int64_t o2 = 0;
  for (int64_t k = 0; k < n; ++k) o2 += int32_t{g_out[k]} * g_out[k];

  int64_t best = h * 4294836225;  // H x 65535^2
  int64_t best_i = 0;
  for (int64_t i = 0; i < h; ++i) {
    const int16_t* o = g_out + i * ch;
    const int64_t sum = s2 + o2 - 2 * g_cross[i];
    if (sum < best) {
      best = sum;
      best_i = i;
    }
    if (i + 1 < h)
      for (int c = 0; c < ch; ++c) o2 += int32_t{o[n + c]} * o[n + c] - int32_t{o[c]} * o[c];
  }
  return best_i * align;
}

}  // namespace

int64_t FindBestOverlap(const BlockFormat& f, const uint8_t* out, int64_t outLen, int64_t t,
                        const uint8_t* src, int64_t srcLen, int64_t s, int64_t overlap) {
  const int64_t h = overlap / 2;
  if (h <= 0) return 0;
  int64_t offset = 0;
  WithFrameFormat(f.format, f.bytesPerChannel,
                  [&](auto fmt) { offset = Search(fmt, out, outLen, t, src, srcLen, s, h); });
  return offset;
}

}  // namespace kelvora
