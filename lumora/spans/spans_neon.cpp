// lumora span kernels for NEON (AArch64): 4 pixels a vector, two vectors a step, the last
// few pixels through the scalar kernel. See kernels.h.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_NEON

#include <arm_neon.h>

#include "lumora/spans/scalar.h"

namespace lumora::detail {

namespace {

// All ones in the blue, green and red bytes of each pixel, zero in the fourth.
inline uint8x16_t ColourMask() { return vreinterpretq_u8_u32(vdupq_n_u32(0x00FFFFFFu)); }

// (T + (T >> 8)) >> 8 in each 16-bit lane, narrowed to bytes: (T - 1) div 255 for T = the
// blended sum + 128. T + (T >> 8) stays below 65,536, so the lanes do not wrap.
inline uint8x8_t Div255(uint16x8_t T) { return vshrn_n_u16(vsraq_n_u16(T, T, 8), 8); }

// Colour bytes from New, fourth bytes from Old.
inline uint8x16_t KeepFourth(uint8x16_t New, uint8x16_t Old) {
  return vbslq_u8(ColourMask(), New, Old);
}

// Old where the source pixel is the key, Put elsewhere.
inline uint8x16_t SkipKey(uint8x16_t Put, uint8x16_t Old, uint8x16_t New, uint32x4_t Key) {
  const uint32x4_t Hit = vceqq_u32(vandq_u32(vreinterpretq_u32_u8(New), vdupq_n_u32(0x00FFFFFFu)), Key);
  return vbslq_u8(vreinterpretq_u8_u32(Hit), Old, Put);
}

// Four pixels of a colour span: Term holds (255 - Alpha) x colour + 128 per colour byte.
inline uint8x16_t BlendColour(uint8x16_t Old, uint8x8_t A, uint16x8_t Term) {
  const uint8x8_t Lo = Div255(vmlal_u8(Term, vget_low_u8(Old), A));
  const uint8x8_t Hi = Div255(vmlal_u8(Term, vget_high_u8(Old), A));
  return KeepFourth(vcombine_u8(Lo, Hi), Old);
}

// Four pixels of a picture span.
template <bool Keyed, bool Copy>
inline uint8x16_t BlendPicture(uint8x16_t Old, uint8x16_t New, uint8x8_t A, uint8x8_t Inv,
                               uint32x4_t Key) {
  uint8x16_t Put;
  if (Copy) {
    Put = KeepFourth(New, Old);
  } else {
    const uint16x8_t Bias = vdupq_n_u16(128);
    const uint8x8_t Lo =
        Div255(vmlal_u8(vmlal_u8(Bias, vget_low_u8(Old), A), vget_low_u8(New), Inv));
    const uint8x8_t Hi =
        Div255(vmlal_u8(vmlal_u8(Bias, vget_high_u8(Old), A), vget_high_u8(New), Inv));
    Put = KeepFourth(vcombine_u8(Lo, Hi), Old);
  }
  if (Keyed) Put = SkipKey(Put, Old, New, Key);
  return Put;
}

template <bool Keyed, bool Copy>
void PictureSpanNeonT(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                      int32_t Key) {
  int32_t I = 0;
  const uint32x4_t KeyV = vdupq_n_u32(uint32_t(Key));
  const uint8x8_t A = vdup_n_u8(uint8_t(Alpha));
  const uint8x8_t Inv = vdup_n_u8(uint8_t(255u - Alpha));
  for (; I + 8 <= Count; I += 8, Dst += 32, Src += 32) {
    const uint8x16_t Old0 = vld1q_u8(Dst), Old1 = vld1q_u8(Dst + 16);
    const uint8x16_t New0 = vld1q_u8(Src), New1 = vld1q_u8(Src + 16);
    vst1q_u8(Dst, BlendPicture<Keyed, Copy>(Old0, New0, A, Inv, KeyV));
    vst1q_u8(Dst + 16, BlendPicture<Keyed, Copy>(Old1, New1, A, Inv, KeyV));
  }
  if (I + 4 <= Count) {
    vst1q_u8(Dst, BlendPicture<Keyed, Copy>(vld1q_u8(Dst), vld1q_u8(Src), A, Inv, KeyV));
    I += 4;
    Dst += 16;
    Src += 16;
  }
  PictureSpanScalar(Dst, Src, Count - I, Alpha, Key);
}

}  // namespace

void ColorSpanNeon(uint8_t* Dst, int32_t Count, TColor C) {
  int32_t I = 0;
  if (C.Alpha == 0) {
    const uint8x16_t Col = vreinterpretq_u8_u32(vdupq_n_u32(uint32_t(C.B | C.G << 8 | C.R << 16)));
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const uint8x16_t Old0 = vld1q_u8(Dst), Old1 = vld1q_u8(Dst + 16);
      vst1q_u8(Dst, KeepFourth(Col, Old0));
      vst1q_u8(Dst + 16, KeepFourth(Col, Old1));
    }
    if (I + 4 <= Count) {
      vst1q_u8(Dst, KeepFourth(Col, vld1q_u8(Dst)));
      I += 4;
      Dst += 16;
    }
  } else {
    const uint32_t Inv = 255u - C.Alpha;
    const uint8x8_t A = vdup_n_u8(C.Alpha);
    const uint16_t TB = uint16_t(Inv * C.B + 128u), TG = uint16_t(Inv * C.G + 128u),
                   TR = uint16_t(Inv * C.R + 128u);
    const uint16_t Terms[8] = {TB, TG, TR, 0, TB, TG, TR, 0};
    const uint16x8_t Term = vld1q_u16(Terms);
    for (; I + 8 <= Count; I += 8, Dst += 32) {
      const uint8x16_t Old0 = vld1q_u8(Dst), Old1 = vld1q_u8(Dst + 16);
      vst1q_u8(Dst, BlendColour(Old0, A, Term));
      vst1q_u8(Dst + 16, BlendColour(Old1, A, Term));
    }
    if (I + 4 <= Count) {
      vst1q_u8(Dst, BlendColour(vld1q_u8(Dst), A, Term));
      I += 4;
      Dst += 16;
    }
  }
  ColorSpanScalar(Dst, Count - I, C);
}

void PictureSpanNeon(uint8_t* Dst, const uint8_t* Src, int32_t Count, uint32_t Alpha,
                     int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanNeonT<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanNeonT<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanNeonT<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanNeonT<false, false>(Dst, Src, Count, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_NEON
