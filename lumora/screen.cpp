// lumora screen: the drawing state (Color, ViewPort), clearing, Pixel and the span blends.
// Relies on the back buffer of display.cpp and the blend of blend.h.
#include <cstring>

#include "lumora/internal/blend.h"
#include "lumora/lumora.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 and AVX-512 spans, chosen at run time, where the compiler can target them per
// function.
#if defined(__x86_64__) && defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define LUMORA_SPAN_AVX2 1
#include <immintrin.h>
#else
#define LUMORA_SPAN_AVX2 0
#endif

namespace lumora {

TColor Color{};
TViewPort ViewPort{};

void SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha) {
  Color.R = R;
  Color.G = G;
  Color.B = B;
  Color.Alpha = Alpha;
}

void SetViewPort(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  ViewPort = TViewPort{X1, Y1, X2, Y2};
  if (ViewPort.X2 > SCREEN_WIDTH - 1) ViewPort.X2 = SCREEN_WIDTH - 1;
  if (ViewPort.Y2 > SCREEN_HEIGHT - 1) ViewPort.Y2 = SCREEN_HEIGHT - 1;
  if (ViewPort.X1 < 0) ViewPort.X1 = 0;
  if (ViewPort.Y1 < 0) ViewPort.Y1 = 0;
}

void ClearVirtualScreen() {
  if (VirtualScreen == nullptr) return;
  std::memset(VirtualScreen, 0, SCREEN_BYTES);
}

void Pixel(int32_t X, int32_t Y) { detail::PlotPixel(X, Y); }

namespace detail {

// The vector spans blend in 16-bit lanes: t = Alpha x old + (255 - Alpha) x new + 128
// stays below 65,536, and (t + (t >> 8)) >> 8 equals (t - 1) div 255 for every such t, so
// each lane gives BlendByte exactly. A mask keeps the fourth byte of every screen pixel.
// Pixels left over after the last whole vector go through PutPixel (AVX-512: through a
// masked vector).

namespace {

void ColorSpanScalar(uint8_t* Dst, int32_t Count, TColor C) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4) PutPixel(Dst, &C.B, C.Alpha);
}

// True when the source pixel's blue, green and red are the key's (never for NO_KEY).
inline bool IsKey(const uint8_t* Src, int32_t Key) {
  return Key >= 0 && uint32_t(Src[0] | Src[1] << 8 | Src[2] << 16) == uint32_t(Key);
}

void PictureSpanScalar(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                       int32_t Key) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4, Src += 4)
    if (!IsKey(Src, Key)) PutPixel(Dst, Src, Alpha);
}

// A 16-bit lane holding an unsigned value below 65,536.
inline short Lane(uint32_t V) { return short(uint16_t(V)); }

// A byte lane.
inline char Byte(uint8_t V) { return char(V); }

#if defined(__SSE2__)

// (T - 1) div 255 for T = the blended sum + 128, in each 16-bit lane.
inline __m128i Div255(__m128i T) { return _mm_srli_epi16(_mm_add_epi16(T, _mm_srli_epi16(T, 8)), 8); }

// Colour bytes from New, fourth bytes from Old.
inline __m128i KeepFourth(__m128i New, __m128i Old) {
  const __m128i Fourth = _mm_set1_epi32(int32_t(0xFF000000u));
  return _mm_or_si128(_mm_andnot_si128(Fourth, New), _mm_and_si128(Fourth, Old));
}

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

void PictureSpanSse2(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanSse2T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanSse2T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanSse2T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanSse2T<false, false>(Dst, Src, Count, Alpha, Key);
}

#endif  // __SSE2__

#if LUMORA_SPAN_AVX2

__attribute__((target("avx2"))) inline __m256i Div255Avx2(__m256i T) {
  return _mm256_srli_epi16(_mm256_add_epi16(T, _mm256_srli_epi16(T, 8)), 8);
}

__attribute__((target("avx2"))) inline __m256i KeepFourthAvx2(__m256i New, __m256i Old) {
  const __m256i Fourth = _mm256_set1_epi32(int32_t(0xFF000000u));
  return _mm256_or_si256(_mm256_andnot_si256(Fourth, New), _mm256_and_si256(Fourth, Old));
}

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

__attribute__((target("avx2"))) void PictureSpanAvx2(uint8_t* Dst, const uint8_t* Src,
                                                     int32_t Count, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanAvx2T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanAvx2T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanAvx2T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanAvx2T<false, false>(Dst, Src, Count, Alpha, Key);
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i Div255Avx512(__m512i T) {
  return _mm512_srli_epi16(_mm512_add_epi16(T, _mm512_srli_epi16(T, 8)), 8);
}

// Blue, green and red bytes of each pixel; the fourth bytes are left out.
constexpr __mmask64 COLOUR_BYTES = 0x7777777777777777ull;

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

__attribute__((target("avx512f,avx512bw"))) void PictureSpanAvx512(
    uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanAvx512T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanAvx512T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanAvx512T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanAvx512T<false, false>(Dst, Src, Count, Alpha, Key);
}

bool DetectAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}

bool DetectAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
}

const bool HasAvx2 = DetectAvx2();
const bool HasAvx512 = DetectAvx512();

#endif  // LUMORA_SPAN_AVX2

}  // namespace

bool SpanKernelAvailable(TSpanKernel Kernel) {
  switch (Kernel) {
    case TSpanKernel::Scalar:
      return true;
    case TSpanKernel::Sse2:
#if defined(__SSE2__)
      return true;
#else
      return false;
#endif
    case TSpanKernel::Avx2:
#if LUMORA_SPAN_AVX2
      return HasAvx2;
#else
      return false;
#endif
    case TSpanKernel::Avx512:
#if LUMORA_SPAN_AVX2
      return HasAvx512;
#else
      return false;
#endif
  }
  return false;
}

void ColorSpanWith(TSpanKernel Kernel, uint8_t* Dst, int32_t Count, TColor C) {
  if (Count <= 0 || !SpanKernelAvailable(Kernel)) Kernel = TSpanKernel::Scalar;
  switch (Kernel) {
#if LUMORA_SPAN_AVX2
    case TSpanKernel::Avx512:
      return ColorSpanAvx512(Dst, Count, C);
    case TSpanKernel::Avx2:
      return ColorSpanAvx2(Dst, Count, C);
#endif
#if defined(__SSE2__)
    case TSpanKernel::Sse2:
      return ColorSpanSse2(Dst, Count, C);
#endif
    default:
      return ColorSpanScalar(Dst, Count, C);
  }
}

void PictureSpanWith(TSpanKernel Kernel, uint8_t* Dst, const uint8_t* Src, int32_t Count,
                     uint32_t Alpha, int32_t Key) {
  if (Count <= 0 || !SpanKernelAvailable(Kernel)) Kernel = TSpanKernel::Scalar;
  switch (Kernel) {
#if LUMORA_SPAN_AVX2
    case TSpanKernel::Avx512:
      return PictureSpanAvx512(Dst, Src, Count, Alpha, Key);
    case TSpanKernel::Avx2:
      return PictureSpanAvx2(Dst, Src, Count, Alpha, Key);
#endif
#if defined(__SSE2__)
    case TSpanKernel::Sse2:
      return PictureSpanSse2(Dst, Src, Count, Alpha, Key);
#endif
    default:
      return PictureSpanScalar(Dst, Src, Count, Alpha, Key);
  }
}

void ColorSpan(uint8_t* Dst, int32_t Count, TColor C) {
#if LUMORA_SPAN_AVX2
  if (HasAvx512) return ColorSpanAvx512(Dst, Count, C);
  if (HasAvx2) return ColorSpanAvx2(Dst, Count, C);
#endif
#if defined(__SSE2__)
  ColorSpanSse2(Dst, Count, C);
#else
  ColorSpanScalar(Dst, Count, C);
#endif
}

void PictureSpan(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
#if LUMORA_SPAN_AVX2
  if (HasAvx512) return PictureSpanAvx512(Dst, Src, Count, Alpha, Key);
  if (HasAvx2) return PictureSpanAvx2(Dst, Src, Count, Alpha, Key);
#endif
#if defined(__SSE2__)
  PictureSpanSse2(Dst, Src, Count, Alpha, Key);
#else
  PictureSpanScalar(Dst, Src, Count, Alpha, Key);
#endif
}

}  // namespace detail
}  // namespace lumora
