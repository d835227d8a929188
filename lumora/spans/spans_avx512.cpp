// lumora span kernels for AVX-512 (F and BW): 16 pixels a vector. Compiled per function
// for AVX-512 and called only where the processor has it. See kernels.h.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_AVX2

#include <immintrin.h>

namespace lumora::detail {

namespace {

__attribute__((target("avx512f,avx512bw"))) inline __m512i Div255Avx512(__m512i T) {
  return _mm512_srli_epi16(_mm512_add_epi16(T, _mm512_srli_epi16(T, 8)), 8);
}

// Blue, green and red bytes of each pixel; the fourth bytes are left out.
constexpr __mmask64 COLOUR_BYTES = 0x7777777777777777ull;

template <bool Keyed, bool Copy>
__attribute__((target("avx512f,avx512bw"))) void PictureSpanAvx512T(
    uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
  const __m512i KeyV = _mm512_set1_epi32(Key);
  const __m512i ColourOnly = _mm512_set1_epi32(0x00FFFFFF);
  const __m512i A = _mm512_set1_epi16(Lane(Alpha));
  const __m512i Inv = _mm512_set1_epi16(Lane(255u - Alpha));
  const __m512i Bias = _mm512_set1_epi16(128);
  const __m512i Zero = _mm512_setzero_si512();
  for (int32_t I = 0; I < Count; I += 16, Dst += 64, Src += 64) {
    const __mmask16 Live = Count - I >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (Count - I)) - 1);
    const __m512i Old = _mm512_maskz_loadu_epi32(Live, Dst);
    const __m512i New = _mm512_maskz_loadu_epi32(Live, Src);
    __m512i Put = New;
    if (!Copy) {
      const __m512i Lo = Div255Avx512(_mm512_add_epi16(
          _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(Old, Zero), A),
                           _mm512_mullo_epi16(_mm512_unpacklo_epi8(New, Zero), Inv)),
          Bias));
      const __m512i Hi = Div255Avx512(_mm512_add_epi16(
          _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(Old, Zero), A),
                           _mm512_mullo_epi16(_mm512_unpackhi_epi8(New, Zero), Inv)),
          Bias));
      Put = _mm512_packus_epi16(Lo, Hi);
    }
    Put = _mm512_mask_blend_epi8(COLOUR_BYTES, Old, Put);
    __mmask16 Store = Live;
    if (Keyed) Store &= ~_mm512_cmpeq_epi32_mask(_mm512_and_si512(New, ColourOnly), KeyV);
    _mm512_mask_storeu_epi32(Dst, Store, Put);
  }
}

}  // namespace

// The 16-pixel kernels: a masked load and store do the last pixels as well, so short
// spans (ring rows, picture stretches) need no scalar tail.
__attribute__((target("avx512f,avx512bw"))) void ColorSpanAvx512(uint8_t* Dst, int32_t Count,
                                                                  TColor C) {
  const uint32_t Inv = 255u - C.Alpha;
  const __m512i Col = _mm512_set1_epi32(int32_t(C.B | C.G << 8 | C.R << 16));
  const __m512i A = _mm512_set1_epi16(Lane(C.Alpha));
  const __m512i Term = _mm512_set1_epi64(int64_t(uint64_t(Inv * C.B + 128u) |
                                                 uint64_t(Inv * C.G + 128u) << 16 |
                                                 uint64_t(Inv * C.R + 128u) << 32));
  const __m512i Zero = _mm512_setzero_si512();
  for (int32_t I = 0; I < Count; I += 16, Dst += 64) {
    const __mmask16 Live = Count - I >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (Count - I)) - 1);
    const __m512i Old = _mm512_maskz_loadu_epi32(Live, Dst);
    __m512i Put = Col;
    if (C.Alpha != 0) {
      const __m512i Lo =
          Div255Avx512(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(Old, Zero), A), Term));
      const __m512i Hi =
          Div255Avx512(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(Old, Zero), A), Term));
      Put = _mm512_packus_epi16(Lo, Hi);
    }
    Put = _mm512_mask_blend_epi8(COLOUR_BYTES, Old, Put);
    _mm512_mask_storeu_epi32(Dst, Live, Put);
  }
}

__attribute__((target("avx512f,avx512bw"))) void PictureSpanAvx512(
    uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanAvx512T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanAvx512T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanAvx512T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanAvx512T<false, false>(Dst, Src, Count, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_AVX2
