// lumora blend: the one place where a colour meets a back-buffer pixel.
// Private to the library; used by Pixel, spans, fills and pictures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lumora/display.h"

namespace lumora::detail {

// The exact integer form of old x (1 - a) + c x a rounded to the nearest integer, with
// a = 1 - Alpha / 255: the mixed value never lies within 1/510 of a half, so this equals
// the rounded blend for every Alpha 1..255 and all bytes.
inline uint8_t BlendByte(uint32_t Old, uint32_t C, uint32_t Alpha) {
  return uint8_t(((255u - Alpha) * C + Alpha * Old + 127u) / 255u);
}

// Writes blue, green and red of Src (bytes +0..+2) over Dst at transparency Alpha:
// copy when Alpha is 0, blend otherwise. The fourth byte is left alone.
inline void PutPixel(uint8_t* Dst, const uint8_t* Src, uint32_t Alpha) {
  if (Alpha == 0) {
    Dst[0] = Src[0];
    Dst[1] = Src[1];
    Dst[2] = Src[2];
  } else {
    Dst[0] = BlendByte(Dst[0], Src[0], Alpha);
    Dst[1] = BlendByte(Dst[1], Src[1], Alpha);
    Dst[2] = BlendByte(Dst[2], Src[2], Alpha);
  }
}

// Puts Color over Count pixels starting at Dst (a horizontal span already clipped):
// exactly PutPixel on each of them. Nothing when Count <= 0.
void ColorSpan(uint8_t* Dst, int32_t Count, TColor C);

// No transparent colour for PictureSpan.
inline constexpr int32_t NO_KEY = -1;

// The key value of a transparent colour: blue | green << 8 | red << 16.
inline int32_t KeyOf(TColor C) { return int32_t(C.B | C.G << 8 | C.R << 16); }

// Puts Count source pixels (4 bytes each: blue, green, red, unused) over Count screen
// pixels starting at Dst, at transparency Alpha: exactly PutPixel on each pair, except
// that source pixels whose blue, green and red give Key (see KeyOf) leave their screen
// pixel alone. Fourth bytes of the screen are kept. Nothing when Count <= 0.
void PictureSpan(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                 int32_t Key = NO_KEY);

// The kernels behind the two spans. ColorSpan and PictureSpan use the fastest available
// one; tests and benchmarks name one to compare it with PutPixel.
enum class TSpanKernel { Scalar, Sse2, Avx2, Avx512, Neon, WasmSimd };
bool SpanKernelAvailable(TSpanKernel Kernel);
void ColorSpanWith(TSpanKernel Kernel, uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanWith(TSpanKernel Kernel, uint8_t* Dst, const uint8_t* Src, int32_t Count,
                     uint32_t Alpha, int32_t Key = NO_KEY);

}  // namespace lumora::detail
