// lumora span kernels: the scalar ones, PutPixel pixel by pixel. Private to lumora/spans/.
// They have internal linkage, so each file that uses them has its own copy and the
// compiler may inline them where a vector kernel finishes its last few pixels.
#pragma once

#include <cstdint>

#include "lumora/internal/blend.h"

namespace lumora::detail {
namespace {

// True when the source pixel's blue, green and red are the key's (never for NO_KEY).
inline bool IsKey(const uint8_t* Src, int32_t Key) {
  return Key >= 0 && uint32_t(Src[0] | Src[1] << 8 | Src[2] << 16) == uint32_t(Key);
}

// Nothing when Count <= 0. Kept out of line: a colour span's vector kernel calls it for at
// most three pixels, and the compiler's vectorised copy of this loop would triple the
// kernel's size for them.
[[gnu::noinline]] void ColorSpanScalar(uint8_t* Dst, int32_t Count, TColor C) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4) PutPixel(Dst, &C.B, C.Alpha);
}

void PictureSpanScalar(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                       int32_t Key) {
  for (int32_t I = 0; I < Count; ++I, Dst += 4, Src += 4)
    if (!IsKey(Src, Key)) PutPixel(Dst, Src, Alpha);
}

}  // namespace
}  // namespace lumora::detail
