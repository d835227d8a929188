// lumora span kernels for SSE2: 4 pixels a vector. See kernels.h.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_SSE2

#include <emmintrin.h>

#include "lumora/spans/scalar.h"

namespace lumora::detail {

namespace {

// (T - 1) div 255 for T = the blended sum + 128, in each 16-bit lane.
inline __m128i Div255(__m128i T) { return _mm_srli_epi16(_mm_add_epi16(T, _mm_srli_epi16(T, 8)), 8); }

// Colour bytes from New, fourth bytes from Old.
inline __m128i KeepFourth(__m128i New, __m128i Old) {
  const __m128i Fourth = _mm_set1_epi32(int32_t(0xFF000000u));
  return _mm_or_si128(_mm_andnot_si128(Fourth, New), _mm_and_si128(Fourth, Old));
}

// Old where the source pixel is the key, Put elsewhere.
inline __m128i SkipKey(__m128i Put, __m128i Old, __m128i New, __m128i Key) {
  const __m128i Colour = _mm_set1_epi32(0x00FFFFFF);
  const __m128i Hit = _mm_cmpeq_epi32(_mm_and_si128(New, Colour), Key);
  return _mm_or_si128(_mm_and_si128(Hit, Old), _mm_andnot_si128(Hit, Put));
}

template <bool Keyed, bool Copy>
void PictureSpanSse2T(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                      int32_t Key) {
  int32_t I = 0;
  const __m128i KeyV = _mm_set1_epi32(Key);
  const __m128i A = _mm_set1_epi16(Lane(Alpha));
  const __m128i Inv = _mm_set1_epi16(Lane(255u - Alpha));
  const __m128i Bias = _mm_set1_epi16(128);
  const __m128i Zero = _mm_setzero_si128();
  for (; I + 4 <= Count; I += 4, Dst += 16, Src += 16) {
    const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
    const __m128i New = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src));
    __m128i Put;
    if (Copy) {
      Put = KeepFourth(New, Old);
    } else {
      const __m128i Lo = Div255(_mm_add_epi16(
          _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(Old, Zero), A),
                        _mm_mullo_epi16(_mm_unpacklo_epi8(New, Zero), Inv)),
          Bias));
      const __m128i Hi = Div255(_mm_add_epi16(
          _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(Old, Zero), A),
                        _mm_mullo_epi16(_mm_unpackhi_epi8(New, Zero), Inv)),
          Bias));
      Put = KeepFourth(_mm_packus_epi16(Lo, Hi), Old);
    }
    if (Keyed) Put = SkipKey(Put, Old, New, KeyV);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), Put);
  }
  PictureSpanScalar(Dst, Src, Count - I, Alpha, Key);
}

}  // namespace

void ColorSpanSse2(uint8_t* Dst, int32_t Count, TColor C) {
  int32_t I = 0;
  if (C.Alpha == 0) {
    const __m128i Col = _mm_setr_epi8(Byte(C.B), Byte(C.G), Byte(C.R), 0, Byte(C.B), Byte(C.G),
                                      Byte(C.R), 0, Byte(C.B), Byte(C.G), Byte(C.R), 0,
                                      Byte(C.B), Byte(C.G), Byte(C.R), 0);
    for (; I + 4 <= Count; I += 4, Dst += 16) {
      const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), KeepFourth(Col, Old));
    }
  } else {
    const uint32_t Inv = 255u - C.Alpha;
    const __m128i A = _mm_set1_epi16(Lane(C.Alpha));
    const short TB = Lane(Inv * C.B + 128u), TG = Lane(Inv * C.G + 128u), TR = Lane(Inv * C.R + 128u);
    const __m128i Term = _mm_setr_epi16(TB, TG, TR, 0, TB, TG, TR, 0);
    const __m128i Zero = _mm_setzero_si128();
    for (; I + 4 <= Count; I += 4, Dst += 16) {
      const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
      const __m128i Lo = Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(Old, Zero), A), Term));
      const __m128i Hi = Div255(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(Old, Zero), A), Term));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), KeepFourth(_mm_packus_epi16(Lo, Hi), Old));
    }
  }
  ColorSpanScalar(Dst, Count - I, C);
}

void PictureSpanSse2(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanSse2T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanSse2T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanSse2T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanSse2T<false, false>(Dst, Src, Count, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_SSE2
