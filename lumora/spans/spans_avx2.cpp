// lumora span kernels for AVX2: 8 pixels a vector, the last few through SSE2. Compiled per
// function for AVX2 and called only where the processor has it. See kernels.h.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_AVX2

#include <immintrin.h>

namespace lumora::detail {

namespace {

__attribute__((target("avx2"))) inline __m256i Div255Avx2(__m256i T) {
  return _mm256_srli_epi16(_mm256_add_epi16(T, _mm256_srli_epi16(T, 8)), 8);
}

__attribute__((target("avx2"))) inline __m256i KeepFourthAvx2(__m256i New, __m256i Old) {
  const __m256i Fourth = _mm256_set1_epi32(int32_t(0xFF000000u));
  return _mm256_or_si256(_mm256_andnot_si256(Fourth, New), _mm256_and_si256(Fourth, Old));
}

__attribute__((target("avx2"))) inline __m256i SkipKeyAvx2(__m256i Put, __m256i Old, __m256i New,
                                                           __m256i Key) {
  const __m256i Colour = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i Hit = _mm256_cmpeq_epi32(_mm256_and_si256(New, Colour), Key);
  return _mm256_blendv_epi8(Put, Old, Hit);
}

template <bool Keyed, bool Copy>
__attribute__((target("avx2"))) void PictureSpanAvx2T(uint8_t* Dst, const uint8_t* Src,
                                                      int32_t Count, uint32_t Alpha, int32_t Key) {
  int32_t I = 0;
  const __m256i KeyV = _mm256_set1_epi32(Key);
  const __m256i A = _mm256_set1_epi16(Lane(Alpha));
  const __m256i Inv = _mm256_set1_epi16(Lane(255u - Alpha));
  const __m256i Bias = _mm256_set1_epi16(128);
  const __m256i Zero = _mm256_setzero_si256();
  for (; I + 8 <= Count; I += 8, Dst += 32, Src += 32) {
    const __m256i Old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst));
    const __m256i New = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src));
    __m256i Put;
    if (Copy) {
      Put = KeepFourthAvx2(New, Old);
    } else {
      const __m256i Lo = Div255Avx2(_mm256_add_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(Old, Zero), A),
                           _mm256_mullo_epi16(_mm256_unpacklo_epi8(New, Zero), Inv)),
          Bias));
      const __m256i Hi = Div255Avx2(_mm256_add_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(Old, Zero), A),
                           _mm256_mullo_epi16(_mm256_unpackhi_epi8(New, Zero), Inv)),
          Bias));
      Put = KeepFourthAvx2(_mm256_packus_epi16(Lo, Hi), Old);
    }
    if (Keyed) Put = SkipKeyAvx2(Put, Old, New, KeyV);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst), Put);
  }
  _mm256_zeroupper();
  PictureSpanSse2(Dst, Src, Count - I, Alpha, Key);
}

}  // namespace

// The 8-pixel kernels: unpacking and packing work within each 128-bit half, so pixel
// order is kept.
__attribute__((target("avx2"))) void ColorSpanAvx2(uint8_t* Dst, int32_t Count, TColor C) {
  int32_t I = 0;
  if (C.Alpha == 0) {
    const __m256i Col = _mm256_setr_epi8(
        Byte(C.B), Byte(C.G), Byte(C.R), 0, Byte(C.B), Byte(C.G), Byte(C.R), 0, Byte(C.B),
        Byte(C.G), Byte(C.R), 0, Byte(C.B), Byte(C.G), Byte(C.R), 0, Byte(C.B), Byte(C.G),
        Byte(C.R), 0, Byte(C.B), Byte(C.G), Byte(C.R), 0, Byte(C.B), Byte(C.G), Byte(C.R), 0,
        Byte(C.B), Byte(C.G), Byte(C.R), 0);
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const __m256i Old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst), KeepFourthAvx2(Col, Old));
    }
  } else {
    const uint32_t Inv = 255u - C.Alpha;
    const __m256i A = _mm256_set1_epi16(Lane(C.Alpha));
    const short TB = Lane(Inv * C.B + 128u), TG = Lane(Inv * C.G + 128u), TR = Lane(Inv * C.R + 128u);
    const __m256i Term =
        _mm256_setr_epi16(TB, TG, TR, 0, TB, TG, TR, 0, TB, TG, TR, 0, TB, TG, TR, 0);
    const __m256i Zero = _mm256_setzero_si256();
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const __m256i Old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst));
      const __m256i Lo =
          Div255Avx2(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(Old, Zero), A), Term));
      const __m256i Hi =
          Div255Avx2(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(Old, Zero), A), Term));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst),
                          KeepFourthAvx2(_mm256_packus_epi16(Lo, Hi), Old));
    }
  }
  // Clean upper halves, or the SSE code that runs next pays for them.
  _mm256_zeroupper();
  ColorSpanSse2(Dst, Count - I, C);
}

__attribute__((target("avx2"))) void PictureSpanAvx2(uint8_t* Dst, const uint8_t* Src,
                                                     int32_t Count, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanAvx2T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanAvx2T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanAvx2T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanAvx2T<false, false>(Dst, Src, Count, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_AVX2
