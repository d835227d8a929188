// lumora span kernels for WebAssembly SIMD128 (built with -msimd128): 4 pixels a vector, two
// vectors a step, the last few pixels through the scalar kernel. See kernels.h.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_WASM

#include <wasm_simd128.h>

#include "lumora/spans/scalar.h"

namespace lumora::detail {

namespace {

// All ones in the blue, green and red bytes of each pixel, zero in the fourth.
inline v128_t ColourMask() { return wasm_i32x4_splat(0x00FFFFFF); }

// (T + (T >> 8)) >> 8 in each 16-bit lane: (T - 1) div 255 for T = the blended sum + 128.
// T + (T >> 8) stays below 65,536, so the lanes do not wrap, and the result is at most 255.
inline v128_t Div255(v128_t T) { return wasm_u16x8_shr(wasm_i16x8_add(T, wasm_u16x8_shr(T, 8)), 8); }

// Two vectors of 16-bit lanes, each at most 255, narrowed to one vector of bytes (the
// saturating narrow leaves such lanes as they are).
inline v128_t Narrow(v128_t Lo, v128_t Hi) { return wasm_u8x16_narrow_i16x8(Lo, Hi); }

// Colour bytes from New, fourth bytes from Old.
inline v128_t KeepFourth(v128_t New, v128_t Old) { return wasm_v128_bitselect(New, Old, ColourMask()); }

// Old where the source pixel is the key, Put elsewhere.
inline v128_t SkipKey(v128_t Put, v128_t Old, v128_t New, v128_t Key) {
  const v128_t Hit = wasm_i32x4_eq(wasm_v128_and(New, ColourMask()), Key);
  return wasm_v128_bitselect(Old, Put, Hit);
}

// Four pixels of a colour span: Term holds (255 - Alpha) x colour + 128 per colour byte.
inline v128_t BlendColour(v128_t Old, v128_t A, v128_t Term) {
  const v128_t Lo = Div255(wasm_i16x8_add(wasm_u16x8_extmul_low_u8x16(Old, A), Term));
  const v128_t Hi = Div255(wasm_i16x8_add(wasm_u16x8_extmul_high_u8x16(Old, A), Term));
  return KeepFourth(Narrow(Lo, Hi), Old);
}

// Four pixels of a picture span. A and Inv hold Alpha and 255 - Alpha in every byte.
template <bool Keyed, bool Copy>
inline v128_t BlendPicture(v128_t Old, v128_t New, v128_t A, v128_t Inv, v128_t Key) {
  v128_t Put;
  if (Copy) {
    Put = KeepFourth(New, Old);
  } else {
    const v128_t Bias = wasm_i16x8_splat(128);
    const v128_t Lo = Div255(wasm_i16x8_add(
        wasm_i16x8_add(wasm_u16x8_extmul_low_u8x16(Old, A), wasm_u16x8_extmul_low_u8x16(New, Inv)), Bias));
    const v128_t Hi = Div255(wasm_i16x8_add(
        wasm_i16x8_add(wasm_u16x8_extmul_high_u8x16(Old, A), wasm_u16x8_extmul_high_u8x16(New, Inv)), Bias));
    Put = KeepFourth(Narrow(Lo, Hi), Old);
  }
  if (Keyed) Put = SkipKey(Put, Old, New, Key);
  return Put;
}

template <bool Keyed, bool Copy>
void PictureSpanWasmT(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
  int32_t I = 0;
  const v128_t KeyV = wasm_i32x4_splat(Key);
  const v128_t A = wasm_u8x16_splat(uint8_t(Alpha));
  const v128_t Inv = wasm_u8x16_splat(uint8_t(255u - Alpha));
  for (; I + 8 <= Count; I += 8, Dst += 32, Src += 32) {
    const v128_t Old0 = wasm_v128_load(Dst), Old1 = wasm_v128_load(Dst + 16);
    const v128_t New0 = wasm_v128_load(Src), New1 = wasm_v128_load(Src + 16);
    wasm_v128_store(Dst, BlendPicture<Keyed, Copy>(Old0, New0, A, Inv, KeyV));
    wasm_v128_store(Dst + 16, BlendPicture<Keyed, Copy>(Old1, New1, A, Inv, KeyV));
  }
  if (I + 4 <= Count) {
    wasm_v128_store(Dst, BlendPicture<Keyed, Copy>(wasm_v128_load(Dst), wasm_v128_load(Src), A, Inv, KeyV));
    I += 4;
    Dst += 16;
    Src += 16;
  }
  PictureSpanScalar(Dst, Src, Count - I, Alpha, Key);
}

}  // namespace

void ColorSpanWasm(uint8_t* Dst, int32_t Count, TColor C) {
  int32_t I = 0;
  if (C.Alpha == 0) {
    const v128_t Col = wasm_i32x4_splat(int32_t(uint32_t(C.B | C.G << 8 | C.R << 16)));
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const v128_t Old0 = wasm_v128_load(Dst), Old1 = wasm_v128_load(Dst + 16);
      wasm_v128_store(Dst, KeepFourth(Col, Old0));
      wasm_v128_store(Dst + 16, KeepFourth(Col, Old1));
    }
    if (I + 4 <= Count) {
      wasm_v128_store(Dst, KeepFourth(Col, wasm_v128_load(Dst)));
      I += 4;
      Dst += 16;
    }
  } else {
    const uint32_t Inv = 255u - C.Alpha;
    const v128_t A = wasm_u8x16_splat(C.Alpha);
    const uint16_t TB = uint16_t(Inv * C.B + 128u), TG = uint16_t(Inv * C.G + 128u),
                   TR = uint16_t(Inv * C.R + 128u);
    const v128_t Term = wasm_u16x8_make(TB, TG, TR, 0, TB, TG, TR, 0);
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const v128_t Old0 = wasm_v128_load(Dst), Old1 = wasm_v128_load(Dst + 16);
      wasm_v128_store(Dst, BlendColour(Old0, A, Term));
      wasm_v128_store(Dst + 16, BlendColour(Old1, A, Term));
    }
    if (I + 4 <= Count) {
      wasm_v128_store(Dst, BlendColour(wasm_v128_load(Dst), A, Term));
      I += 4;
      Dst += 16;
    }
  }
  ColorSpanScalar(Dst, Count - I, C);
}

void PictureSpanWasm(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanWasmT<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanWasmT<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanWasmT<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanWasmT<false, false>(Dst, Src, Count, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_WASM
