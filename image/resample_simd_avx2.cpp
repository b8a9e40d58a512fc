// AVX2 kernels: four lanes per vector. Chosen at run time only on CPUs that
// have AVX2; nothing in this file may be reached otherwise, hence no shared
// inline code (all helpers have internal linkage).
#include <immintrin.h>

#include <cstddef>

#include "image/resample_simd.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

namespace skyloom::resample_simd {
namespace {

constexpr int kLanes = kAvx2Lanes;

__m128i RoundClamp(__m256d sum) {
  const __m256d clamped = _mm256_min_pd(_mm256_max_pd(sum, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
  return _mm256_cvtpd_epi32(clamped);
}

// Four positions of four lanes (16 bytes, position-major) to exact doubles.
void Widen4x4(__m128i bytes, double* out) {
  const __m256i lo = _mm256_cvtepu8_epi32(bytes);
  const __m256i hi = _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8));
  _mm256_storeu_pd(out + 0, _mm256_cvtepi32_pd(_mm256_castsi256_si128(lo)));
  _mm256_storeu_pd(out + 4, _mm256_cvtepi32_pd(_mm256_extracti128_si256(lo, 1)));
  _mm256_storeu_pd(out + 8, _mm256_cvtepi32_pd(_mm256_castsi256_si128(hi)));
  _mm256_storeu_pd(out + 12, _mm256_cvtepi32_pd(_mm256_extracti128_si256(hi, 1)));
}

// scratch[p * 4 + lane] = sample p of the lane's row, as an exact double.
void InterleaveRows(const THorzGroup& g) {
  const int n = g.srcCount * 3;
  const std::uint8_t* rows[kLanes];
  for (int lane = 0; lane < kLanes; ++lane) rows[lane] = g.src[lane] + g.srcFirst * 3;
  double* out = g.scratch;
  int p = 0;
  for (; p + 16 <= n; p += 16, out += 64) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + p));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2] + p));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[3] + p));
    const __m128i ab_lo = _mm_unpacklo_epi8(a, b);
    const __m128i ab_hi = _mm_unpackhi_epi8(a, b);
    const __m128i cd_lo = _mm_unpacklo_epi8(c, d);
    const __m128i cd_hi = _mm_unpackhi_epi8(c, d);
    Widen4x4(_mm_unpacklo_epi16(ab_lo, cd_lo), out + 0);
    Widen4x4(_mm_unpackhi_epi16(ab_lo, cd_lo), out + 16);
    Widen4x4(_mm_unpacklo_epi16(ab_hi, cd_hi), out + 32);
    Widen4x4(_mm_unpackhi_epi16(ab_hi, cd_hi), out + 48);
  }
  for (; p < n; ++p, out += 4) {
    for (int lane = 0; lane < kLanes; ++lane) out[lane] = static_cast<double>(rows[lane][p]);
  }
}

struct TPixelSums {
  __m256d c[3];
};

// Results go to a small staging block (one run of bytes per lane) that is
// copied to the rows afterwards: scattered byte stores straight into the
// large intermediate raster stall on its cache misses.
struct TStaging {
  // One spare byte per lane: each column is written as four bytes.
  std::uint8_t bytes[kLanes][kStripColumns * 3 + 1];
};

void StoreColumn(TStaging& staging, int column, const TPixelSums& s) {
  const __m128i b = _mm_packus_epi16(_mm_packs_epi32(RoundClamp(s.c[0]), RoundClamp(s.c[1])),
                                     _mm_packs_epi32(RoundClamp(s.c[2]), _mm_setzero_si128()));
  // Bytes come channel-major (channel c of lane l at 4c + l); gather each
  // lane's three channels into its own 32-bit slot.
  const __m128i order = _mm_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1);
  const __m128i lanes = _mm_shuffle_epi8(b, order);
  const int at = column * 3;
  _mm_storeu_si32(staging.bytes[0] + at, lanes);
  _mm_storeu_si32(staging.bytes[1] + at, _mm_srli_si128(lanes, 4));
  _mm_storeu_si32(staging.bytes[2] + at, _mm_srli_si128(lanes, 8));
  _mm_storeu_si32(staging.bytes[3] + at, _mm_srli_si128(lanes, 12));
}

void CopyOut(const THorzGroup& g, const TStaging& staging) {
  for (int lane = 0; lane < kLanes; ++lane) {
    if (g.dst[lane]) __builtin_memcpy(g.dst[lane] + g.firstColumn * 3, staging.bytes[lane], g.columns * 3);
  }
}

TPixelSums ZeroSums() { return {{_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()}}; }

void Accumulate(TPixelSums& sums, const double* samples, double weight) {
  const __m256d w = _mm256_set1_pd(weight);
  sums.c[0] = _mm256_add_pd(sums.c[0], _mm256_mul_pd(w, _mm256_loadu_pd(samples)));
  sums.c[1] = _mm256_add_pd(sums.c[1], _mm256_mul_pd(w, _mm256_loadu_pd(samples + 4)));
  sums.c[2] = _mm256_add_pd(sums.c[2], _mm256_mul_pd(w, _mm256_loadu_pd(samples + 8)));
}

// Two output columns at a time keep six independent sums in flight.
void FilterColumns(const THorzGroup& g, TStaging& staging) {
  const double* s = g.scratch;
  int i = 0;
  for (; i + 2 <= g.columns; i += 2) {
    const std::int32_t* ia = g.index + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    const double* wa = g.weight + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    const std::int32_t* ib = ia + g.taps;
    const double* wb = wa + g.taps;
    TPixelSums a = ZeroSums();
    TPixelSums b = ZeroSums();
    for (int t = 0; t < g.taps; ++t) {
      Accumulate(a, s + ia[t] * (3 * kLanes), wa[t]);
      Accumulate(b, s + ib[t] * (3 * kLanes), wb[t]);
    }
    StoreColumn(staging, i, a);
    StoreColumn(staging, i + 1, b);
  }
  for (; i < g.columns; ++i) {
    const std::int32_t* ia = g.index + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    const double* wa = g.weight + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    TPixelSums a = ZeroSums();
    for (int t = 0; t < g.taps; ++t) Accumulate(a, s + ia[t] * (3 * kLanes), wa[t]);
    StoreColumn(staging, i, a);
  }
}

}  // namespace

void HorzGroupAvx2(const THorzGroup& group) {
  InterleaveRows(group);
  TStaging staging;
  FilterColumns(group, staging);
  CopyOut(group, staging);
}

void VertRowAvx2(const TVertRow& row) {
  int x = 0;
  for (; x + 32 <= row.bytes; x += 32) {
    __m256d sum[8];
    for (auto& s : sum) s = _mm256_setzero_pd();
    for (int t = 0; t < row.taps; ++t) {
      const std::uint8_t* src = row.rows[t] + x;
      const __m256d w = _mm256_set1_pd(row.weight[t]);
      for (int k = 0; k < 8; ++k) {
        const __m128i four = _mm_loadu_si32(src + 4 * k);
        const __m256d v = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(four));
        sum[k] = _mm256_add_pd(sum[k], _mm256_mul_pd(w, v));
      }
    }
    const __m128i w0 = _mm_packs_epi32(RoundClamp(sum[0]), RoundClamp(sum[1]));
    const __m128i w1 = _mm_packs_epi32(RoundClamp(sum[2]), RoundClamp(sum[3]));
    const __m128i w2 = _mm_packs_epi32(RoundClamp(sum[4]), RoundClamp(sum[5]));
    const __m128i w3 = _mm_packs_epi32(RoundClamp(sum[6]), RoundClamp(sum[7]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.dst + x), _mm_packus_epi16(w0, w1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.dst + x + 16), _mm_packus_epi16(w2, w3));
  }
  for (; x < row.bytes; ++x) row.dst[x] = VertByteScalar(row, x);
}

}  // namespace skyloom::resample_simd

#if defined(__clang__)
#pragma clang attribute pop
#endif
