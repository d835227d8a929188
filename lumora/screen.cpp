// lumora screen: the drawing state (Color, ViewPort), clearing, Pixel and the span blends.
// Relies on the back buffer of display.cpp and the blend of blend.h.
#include <cstring>

#include "lumora/blend.h"
#include "lumora/lumora.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 spans, chosen at run time, where the compiler can target them per function.
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

// The vector spans blend in 16-bit lanes: x = Alpha x old + (255 - Alpha) x new + 127
// stays below 65,536, and (x + 1 + (x >> 8)) >> 8 equals x div 255 for every such x, so
// each lane gives BlendByte exactly. A mask keeps the fourth byte of every screen pixel.
// Pixels left over after the last whole vector go through PutPixel.

namespace {

void ColorSpanScalar(uint8_t* Dst, int32_t Count, TColor C) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4) PutPixel(Dst, &C.B, C.Alpha);
}

void PictureSpanScalar(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4, Src += 4) PutPixel(Dst, Src, Alpha);
}

// A 16-bit lane holding an unsigned value below 65,536.
inline short Lane(uint32_t V) { return short(uint16_t(V)); }

// A byte lane.
inline char Byte(uint8_t V) { return char(V); }

#if defined(__SSE2__)

inline __m128i Div255(__m128i X) {
  const __m128i One = _mm_set1_epi16(1);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(X, One), _mm_srli_epi16(X, 8)), 8);
}

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
    const short TB = Lane(Inv * C.B + 127u), TG = Lane(Inv * C.G + 127u), TR = Lane(Inv * C.R + 127u);
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

void PictureSpanSse2(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha) {
  int32_t I = 0;
  if (Alpha == 0) {
    for (; I + 4 <= Count; I += 4, Dst += 16, Src += 16) {
      const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
      const __m128i New = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), KeepFourth(New, Old));
    }
  } else {
    const __m128i A = _mm_set1_epi16(Lane(Alpha));
    const __m128i Inv = _mm_set1_epi16(Lane(255u - Alpha));
    const __m128i Bias = _mm_set1_epi16(127);
    const __m128i Zero = _mm_setzero_si128();
    for (; I + 4 <= Count; I += 4, Dst += 16, Src += 16) {
      const __m128i Old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst));
      const __m128i New = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src));
      const __m128i Lo = Div255(_mm_add_epi16(
          _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(Old, Zero), A),
                        _mm_mullo_epi16(_mm_unpacklo_epi8(New, Zero), Inv)),
          Bias));
      const __m128i Hi = Div255(_mm_add_epi16(
          _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(Old, Zero), A),
                        _mm_mullo_epi16(_mm_unpackhi_epi8(New, Zero), Inv)),
          Bias));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst), KeepFourth(_mm_packus_epi16(Lo, Hi), Old));
    }
  }
  PictureSpanScalar(Dst, Src, Count - I, Alpha);
}

#endif  // __SSE2__

#if LUMORA_SPAN_AVX2

__attribute__((target("avx2"))) inline __m256i Div255Avx2(__m256i X) {
  const __m256i One = _mm256_set1_epi16(1);
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(X, One), _mm256_srli_epi16(X, 8)), 8);
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
    const short TB = Lane(Inv * C.B + 127u), TG = Lane(Inv * C.G + 127u), TR = Lane(Inv * C.R + 127u);
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
                                                     int32_t Count, uint32_t Alpha) {
  int32_t I = 0;
  if (Alpha == 0) {
    for (; I + 8 <= Count; I += 8, Dst += 32, Src += 32) {
      const __m256i Old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst));
      const __m256i New = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst), KeepFourthAvx2(New, Old));
    }
  } else {
    const __m256i A = _mm256_set1_epi16(Lane(Alpha));
    const __m256i Inv = _mm256_set1_epi16(Lane(255u - Alpha));
    const __m256i Bias = _mm256_set1_epi16(127);
    const __m256i Zero = _mm256_setzero_si256();
    for (; I + 8 <= Count; I += 8, Dst += 32, Src += 32) {
      const __m256i Old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst));
      const __m256i New = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src));
      const __m256i Lo = Div255Avx2(_mm256_add_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(Old, Zero), A),
                           _mm256_mullo_epi16(_mm256_unpacklo_epi8(New, Zero), Inv)),
          Bias));
      const __m256i Hi = Div255Avx2(_mm256_add_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(Old, Zero), A),
                           _mm256_mullo_epi16(_mm256_unpackhi_epi8(New, Zero), Inv)),
          Bias));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst),
                          KeepFourthAvx2(_mm256_packus_epi16(Lo, Hi), Old));
    }
  }
  _mm256_zeroupper();
  PictureSpanSse2(Dst, Src, Count - I, Alpha);
}

bool DetectAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}

const bool HasAvx2 = DetectAvx2();

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
  }
  return false;
}

void ColorSpanWith(TSpanKernel Kernel, uint8_t* Dst, int32_t Count, TColor C) {
  if (Count <= 0 || !SpanKernelAvailable(Kernel)) Kernel = TSpanKernel::Scalar;
  switch (Kernel) {
#if LUMORA_SPAN_AVX2
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
                     uint32_t Alpha) {
  if (Count <= 0 || !SpanKernelAvailable(Kernel)) Kernel = TSpanKernel::Scalar;
  switch (Kernel) {
#if LUMORA_SPAN_AVX2
    case TSpanKernel::Avx2:
      return PictureSpanAvx2(Dst, Src, Count, Alpha);
#endif
#if defined(__SSE2__)
    case TSpanKernel::Sse2:
      return PictureSpanSse2(Dst, Src, Count, Alpha);
#endif
    default:
      return PictureSpanScalar(Dst, Src, Count, Alpha);
  }
}

void ColorSpan(uint8_t* Dst, int32_t Count, TColor C) {
#if LUMORA_SPAN_AVX2
  if (HasAvx2) return ColorSpanAvx2(Dst, Count, C);
#endif
#if defined(__SSE2__)
  ColorSpanSse2(Dst, Count, C);
#else
  ColorSpanScalar(Dst, Count, C);
#endif
}

void PictureSpan(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha) {
#if LUMORA_SPAN_AVX2
  if (HasAvx2) return PictureSpanAvx2(Dst, Src, Count, Alpha);
#endif
#if defined(__SSE2__)
  PictureSpanSse2(Dst, Src, Count, Alpha);
#else
  PictureSpanScalar(Dst, Src, Count, Alpha);
#endif
}

}  // namespace detail
}  // namespace lumora
