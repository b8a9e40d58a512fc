// SSE2 kernels: two lanes per vector. In the horizontal pass the lanes are
// two neighbouring source rows, in the vertical pass neighbouring bytes.
#include <emmintrin.h>

#include <cstddef>

#include "image/resample_simd.h"

namespace skyloom::resample_simd {
namespace {

constexpr int kLanes = kSse2Lanes;

// Clamp to 0..255; the conversion rounds half to even (the default
// rounding mode, which the program never changes).
__m128i RoundClamp(__m128d sum) {
  const __m128d clamped = _mm_min_pd(_mm_max_pd(sum, _mm_setzero_pd()), _mm_set1_pd(255.0));
  return _mm_cvtpd_epi32(clamped);
}

// scratch[p * 2 + lane] = sample p of the lane's row, as an exact double.
void InterleaveRows(const THorzGroup& g) {
  const int n = g.srcCount * 3;
  const std::uint8_t* rows[kLanes];
  for (int lane = 0; lane < kLanes; ++lane) rows[lane] = g.src[lane] + g.srcFirst * 3;
  const __m128i zero = _mm_setzero_si128();
  double* out = g.scratch;
  int p = 0;
  for (; p + 16 <= n; p += 16, out += 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + p));
    const __m128i pairs[2] = {_mm_unpacklo_epi8(a, b), _mm_unpackhi_epi8(a, b)};
    for (int h = 0; h < 2; ++h) {
      const __m128i words[2] = {_mm_unpacklo_epi8(pairs[h], zero), _mm_unpackhi_epi8(pairs[h], zero)};
      for (int q = 0; q < 2; ++q) {
        const __m128i lo = _mm_unpacklo_epi16(words[q], zero);
        const __m128i hi = _mm_unpackhi_epi16(words[q], zero);
        double* o = out + h * 16 + q * 8;
        _mm_storeu_pd(o + 0, _mm_cvtepi32_pd(lo));
        _mm_storeu_pd(o + 2, _mm_cvtepi32_pd(_mm_srli_si128(lo, 8)));
        _mm_storeu_pd(o + 4, _mm_cvtepi32_pd(hi));
        _mm_storeu_pd(o + 6, _mm_cvtepi32_pd(_mm_srli_si128(hi, 8)));
      }
    }
  }
  for (; p < n; ++p, out += 2) {
    out[0] = static_cast<double>(rows[0][p]);
    out[1] = static_cast<double>(rows[1][p]);
  }
}

struct TPixelSums {
  __m128d c[3];
};

// Results go to a small staging block (one run of bytes per lane) that is
// copied to the rows afterwards: scattered byte stores straight into the
// large intermediate raster stall on its cache misses.
struct TStaging {
  std::uint8_t bytes[kLanes][kStripColumns * 3];
};

void StoreColumn(TStaging& staging, int column, const TPixelSums& s) {
  const __m128i b = _mm_packus_epi16(_mm_packs_epi32(RoundClamp(s.c[0]), RoundClamp(s.c[1])),
                                     _mm_packs_epi32(RoundClamp(s.c[2]), _mm_setzero_si128()));
  // Bytes: channel 0 lanes 0..3, channel 1 at 4, channel 2 at 8.
  alignas(16) std::uint8_t bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), b);
  for (int lane = 0; lane < kLanes; ++lane) {
    std::uint8_t* d = staging.bytes[lane] + column * 3;
    d[0] = bytes[lane];
    d[1] = bytes[4 + lane];
    d[2] = bytes[8 + lane];
  }
}

void CopyOut(const THorzGroup& g, const TStaging& staging) {
  for (int lane = 0; lane < kLanes; ++lane) {
    if (g.dst[lane]) __builtin_memcpy(g.dst[lane] + g.firstColumn * 3, staging.bytes[lane], g.columns * 3);
  }
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
    TPixelSums a = {{_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()}};
    TPixelSums b = a;
    for (int t = 0; t < g.taps; ++t) {
      const double* pa = s + ia[t] * (3 * kLanes);
      const double* pb = s + ib[t] * (3 * kLanes);
      const __m128d va = _mm_set1_pd(wa[t]);
      const __m128d vb = _mm_set1_pd(wb[t]);
      a.c[0] = _mm_add_pd(a.c[0], _mm_mul_pd(va, _mm_loadu_pd(pa)));
      b.c[0] = _mm_add_pd(b.c[0], _mm_mul_pd(vb, _mm_loadu_pd(pb)));
      a.c[1] = _mm_add_pd(a.c[1], _mm_mul_pd(va, _mm_loadu_pd(pa + 2)));
      b.c[1] = _mm_add_pd(b.c[1], _mm_mul_pd(vb, _mm_loadu_pd(pb + 2)));
      a.c[2] = _mm_add_pd(a.c[2], _mm_mul_pd(va, _mm_loadu_pd(pa + 4)));
      b.c[2] = _mm_add_pd(b.c[2], _mm_mul_pd(vb, _mm_loadu_pd(pb + 4)));
    }
    StoreColumn(staging, i, a);
    StoreColumn(staging, i + 1, b);
  }
  for (; i < g.columns; ++i) {
    const std::int32_t* ia = g.index + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    const double* wa = g.weight + static_cast<std::ptrdiff_t>(g.firstColumn + i) * g.taps;
    TPixelSums a = {{_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()}};
    for (int t = 0; t < g.taps; ++t) {
      const double* pa = s + ia[t] * (3 * kLanes);
      const __m128d va = _mm_set1_pd(wa[t]);
      for (int c = 0; c < 3; ++c) a.c[c] = _mm_add_pd(a.c[c], _mm_mul_pd(va, _mm_loadu_pd(pa + 2 * c)));
    }
    StoreColumn(staging, i, a);
  }
}

// Sixteen bytes as eight two-lane vectors of exact doubles.
void Widen16(__m128i v, __m128d out[8]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i words[2] = {_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)};
  for (int h = 0; h < 2; ++h) {
    const __m128i lo = _mm_unpacklo_epi16(words[h], zero);
    const __m128i hi = _mm_unpackhi_epi16(words[h], zero);
    out[h * 4 + 0] = _mm_cvtepi32_pd(lo);
    out[h * 4 + 1] = _mm_cvtepi32_pd(_mm_srli_si128(lo, 8));
    out[h * 4 + 2] = _mm_cvtepi32_pd(hi);
    out[h * 4 + 3] = _mm_cvtepi32_pd(_mm_srli_si128(hi, 8));
  }
}

}  // namespace

void HorzGroupSse2(const THorzGroup& group) {
  InterleaveRows(group);
  TStaging staging;
  FilterColumns(group, staging);
  CopyOut(group, staging);
}

void VertRowSse2(const TVertRow& row) {
  int x = 0;
  for (; x + 16 <= row.bytes; x += 16) {
    __m128d sum[8];
    for (auto& s : sum) s = _mm_setzero_pd();
    for (int t = 0; t < row.taps; ++t) {
      __m128d v[8];
      Widen16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.rows[t] + x)), v);
      const __m128d w = _mm_set1_pd(row.weight[t]);
      for (int k = 0; k < 8; ++k) sum[k] = _mm_add_pd(sum[k], _mm_mul_pd(w, v[k]));
    }
    __m128i q[8];
    for (int k = 0; k < 8; ++k) q[k] = RoundClamp(sum[k]);
    // Each q holds two values in its low half; gather them into 16 bytes.
    const __m128i w0 = _mm_packs_epi32(_mm_unpacklo_epi64(q[0], q[1]), _mm_unpacklo_epi64(q[2], q[3]));
    const __m128i w1 = _mm_packs_epi32(_mm_unpacklo_epi64(q[4], q[5]), _mm_unpacklo_epi64(q[6], q[7]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.dst + x), _mm_packus_epi16(w0, w1));
  }
  for (; x < row.bytes; ++x) row.dst[x] = VertByteScalar(row, x);
}

std::uint8_t VertByteScalar(const TVertRow& row, int x) {
  double sum = 0.0;
  for (int t = 0; t < row.taps; ++t) sum += row.weight[t] * static_cast<double>(row.rows[t][x]);
  if (sum > 255.0) return 255;
  if (sum < 0.0) return 0;
  return static_cast<std::uint8_t>(_mm_cvtsd_si32(_mm_set_sd(sum)));
}

}  // namespace skyloom::resample_simd
