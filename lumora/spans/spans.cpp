// lumora spans: ColorSpan and PictureSpan (blend.h) and the choice of kernel. The choice
// is made once, before main: the processor's features are read into constants that every
// later call, on any thread, only reads.
#include <algorithm>

#include "lumora/spans/kernels.h"
#include "lumora/spans/scalar.h"
#include "lumora/spans/scaled.h"

namespace lumora::detail {

namespace {

#if LUMORA_SPAN_AVX2

bool DetectAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}

bool DetectAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
}

// Initialised with the other statics before main. A span drawn by another static
// initialiser before these are set sees false and takes the SSE2 kernel, which gives the
// same bytes.
const bool HasAvx2 = DetectAvx2();
const bool HasAvx512 = DetectAvx512();

#endif  // LUMORA_SPAN_AVX2

}  // namespace

bool SpanKernelAvailable(TSpanKernel Kernel) {
  switch (Kernel) {
    case TSpanKernel::Scalar:
      return true;
    case TSpanKernel::Sse2:
      return LUMORA_SPAN_SSE2 != 0;
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
    case TSpanKernel::Neon:
      return LUMORA_SPAN_NEON != 0;
    case TSpanKernel::WasmSimd:
      return LUMORA_SPAN_WASM != 0;
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
#if LUMORA_SPAN_SSE2
    case TSpanKernel::Sse2:
      return ColorSpanSse2(Dst, Count, C);
#endif
#if LUMORA_SPAN_NEON
    case TSpanKernel::Neon:
      return ColorSpanNeon(Dst, Count, C);
#endif
#if LUMORA_SPAN_WASM
    case TSpanKernel::WasmSimd:
      return ColorSpanWasm(Dst, Count, C);
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
#if LUMORA_SPAN_SSE2
    case TSpanKernel::Sse2:
      return PictureSpanSse2(Dst, Src, Count, Alpha, Key);
#endif
#if LUMORA_SPAN_NEON
    case TSpanKernel::Neon:
      return PictureSpanNeon(Dst, Src, Count, Alpha, Key);
#endif
#if LUMORA_SPAN_WASM
    case TSpanKernel::WasmSimd:
      return PictureSpanWasm(Dst, Src, Count, Alpha, Key);
#endif
    default:
      return PictureSpanScalar(Dst, Src, Count, Alpha, Key);
  }
}

// The fastest kernel the processor has. A negative Count does nothing in every kernel.
void ColorSpan(uint8_t* Dst, int32_t Count, TColor C) {
#if LUMORA_SPAN_AVX2
  if (HasAvx512) return ColorSpanAvx512(Dst, Count, C);
  if (HasAvx2) return ColorSpanAvx2(Dst, Count, C);
#endif
#if LUMORA_SPAN_SSE2
  ColorSpanSse2(Dst, Count, C);
#elif LUMORA_SPAN_NEON
  ColorSpanNeon(Dst, Count, C);
#elif LUMORA_SPAN_WASM
  ColorSpanWasm(Dst, Count, C);
#else
  ColorSpanScalar(Dst, Count, C);
#endif
}

void PictureSpan(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
#if LUMORA_SPAN_AVX2
  if (HasAvx512) return PictureSpanAvx512(Dst, Src, Count, Alpha, Key);
  if (HasAvx2) return PictureSpanAvx2(Dst, Src, Count, Alpha, Key);
#endif
#if LUMORA_SPAN_SSE2
  PictureSpanSse2(Dst, Src, Count, Alpha, Key);
#elif LUMORA_SPAN_NEON
  PictureSpanNeon(Dst, Src, Count, Alpha, Key);
#elif LUMORA_SPAN_WASM
  PictureSpanWasm(Dst, Src, Count, Alpha, Key);
#else
  PictureSpanScalar(Dst, Src, Count, Alpha, Key);
#endif
}

// The scaled span is an AVX2 permute of 8 source pixels for each 8 screen pixels.
bool PlanScaledSpan(const size_t* ColumnOffset, int32_t Columns, size_t RowBytes,
                    TGatherBlock* Blocks) {
#if LUMORA_SPAN_AVX2
  if (!HasAvx2 || Columns < 8 || RowBytes < 32) return false;
  const int32_t Count = Columns / 8 + (Columns % 8 != 0);
  for (int32_t I = 0; I < Count; ++I) {
    const size_t* Offsets = ColumnOffset + std::min(I * 8, Columns - 8);
    const size_t Lo = *std::min_element(Offsets, Offsets + 8);
    const size_t Hi = *std::max_element(Offsets, Offsets + 8);
    if (Hi - Lo > 28) return false;
    // The 32 bytes read from Base stay within the row.
    TGatherBlock& B = Blocks[I];
    B.Base = std::min(Lo, RowBytes - 32);
    for (int32_t N = 0; N < 8; ++N) B.Index[N] = uint8_t((Offsets[N] - B.Base) / 4);
  }
  return true;
#else
  (void)ColumnOffset, (void)Columns, (void)RowBytes, (void)Blocks;
  return false;
#endif
}

void ScaledPictureSpan(uint8_t* Dst, int64_t Stride, int32_t Rows, const uint8_t* SrcRow,
                       int32_t Columns, const TGatherBlock* Blocks, uint32_t Alpha, int32_t Key) {
#if LUMORA_SPAN_AVX2
  ScaledPictureSpanAvx2(Dst, Stride, Rows, SrcRow, Columns, Blocks, Alpha, Key);
#else
  (void)Dst, (void)Stride, (void)Rows, (void)SrcRow, (void)Columns, (void)Blocks, (void)Alpha, (void)Key;
#endif
}

}  // namespace lumora::detail
