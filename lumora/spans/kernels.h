// lumora span kernels: the per-instruction-set forms of ColorSpan and PictureSpan, each
// exactly PutPixel on every pixel (see blend.h). spans.cpp picks one at run time.
// Private to lumora/spans/.
//
// The vector kernels blend in 16-bit lanes: t = Alpha x old + (255 - Alpha) x new + 128
// stays below 65,536, and (t + (t >> 8)) >> 8 equals (t - 1) div 255 for every such t, so
// each lane gives BlendByte exactly. A mask keeps the fourth byte of every screen pixel.
#pragma once

#include <cstdint>

#include "lumora/internal/blend.h"
#include "lumora/spans/scaled.h"

// Which kernels this build has. SSE2 and NEON are part of the base instruction set where
// they are compiled (NEON: little-endian AArch64); AVX2 and AVX-512 are compiled per
// function (target attributes) and used only when the processor reports them.
#if defined(__SSE2__)
#define LUMORA_SPAN_SSE2 1
#else
#define LUMORA_SPAN_SSE2 0
#endif
#if defined(__x86_64__) && defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define LUMORA_SPAN_AVX2 1
#else
#define LUMORA_SPAN_AVX2 0
#endif
// WebAssembly SIMD128: in every module built with -msimd128 (an engine without it refuses
// the whole module, so there is nothing to detect at run time).
#if defined(__wasm_simd128__)
#define LUMORA_SPAN_WASM 1
#else
#define LUMORA_SPAN_WASM 0
#endif
#if defined(__aarch64__) && defined(__ARM_NEON) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define LUMORA_SPAN_NEON 1
#else
#define LUMORA_SPAN_NEON 0
#endif

namespace lumora::detail {

// Nothing when Count <= 0. A vector kernel hands the pixels after its last whole vector to
// the next narrower kernel (AVX-512: to a masked vector), the narrowest to the scalar
// kernel of scalar.h.

#if LUMORA_SPAN_SSE2
void ColorSpanSse2(uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanSse2(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key);
#endif

#if LUMORA_SPAN_AVX2
// Only where the processor has AVX2, or AVX-512 F and BW.
void ColorSpanAvx2(uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanAvx2(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key);
void ColorSpanAvx512(uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanAvx512(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                       int32_t Key);
// ScaledPictureSpan (scaled.h).
void ScaledPictureSpanAvx2(uint8_t* Dst, int64_t Stride, int32_t Rows, const uint8_t* SrcRow,
                           int32_t Columns, const TGatherBlock* Blocks, uint32_t Alpha, int32_t Key);
#endif

#if LUMORA_SPAN_NEON
void ColorSpanNeon(uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanNeon(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key);
#endif

#if LUMORA_SPAN_WASM
void ColorSpanWasm(uint8_t* Dst, int32_t Count, TColor C);
void PictureSpanWasm(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key);
#endif

// A 16-bit lane holding an unsigned value below 65,536.
inline short Lane(uint32_t V) { return short(uint16_t(V)); }

// A byte lane.
inline char Byte(uint8_t V) { return char(V); }

}  // namespace lumora::detail
