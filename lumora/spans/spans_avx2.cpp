// lumora span kernels for AVX2: 8 pixels a vector. Compiled per function for AVX2 and
// called only where the processor has it. See kernels.h.
//
// Spans of 8 pixels or more are put as whole vectors only: the first and the last 8
// pixels are computed from the pixels as they were before anything is stored, the vectors
// between them are stored at 32-byte aligned addresses, and the first and last vectors
// are stored over them at the end. Where they overlap, every vector holds the same bytes
// (each computed from the original pixels), so the overlap changes nothing. Shorter spans
// go to the SSE2 kernel.
//
// The blends divide by 255 with one multiply: for a 16-bit lane t, (t x 257) >> 16 equals
// (t + (t >> 8)) >> 8, since the two differ only by the fraction of t / 256 divided by
// 256, which never carries into the integer part. The fourth byte of each pixel goes
// through the same arithmetic with weights that return it unchanged, so no mask is
// needed to keep it.
#include "lumora/spans/kernels.h"

#if LUMORA_SPAN_AVX2

#include <immintrin.h>

#define LUMORA_AVX2 __attribute__((target("avx2")))

namespace lumora::detail {

namespace {

LUMORA_AVX2 inline __m256i Load(const uint8_t* P) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(P));
}
LUMORA_AVX2 inline void Store(uint8_t* P, __m256i V) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), V);
}

// (t - 1) div 255 in each 16-bit lane (t below 65,536), see above.
LUMORA_AVX2 inline __m256i Div255Avx2(__m256i T) {
  return _mm256_mulhi_epu16(T, _mm256_set1_epi16(257));
}

// Bytes of the fourth byte of each pixel, for byte blends.
LUMORA_AVX2 inline __m256i FourthBytes() { return _mm256_set1_epi32(int32_t(0xFF000000u)); }

// 8 pixels of the colour over Old. Per 16-bit lane t = Weight x old + Term: for blue,
// green and red Alpha x old + (255 - Alpha) x colour + 128; for the fourth byte
// 255 x old + 255, which gives old back ((255 old + 255) x 257 >> 16 = old for old < 256).
struct TColourBlend {
  __m256i Weight, Term;
  LUMORA_AVX2 __m256i Put(__m256i Old) const {
    const __m256i Zero = _mm256_setzero_si256();
    const __m256i Lo = Div255Avx2(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(Old, Zero), Weight), Term));
    const __m256i Hi = Div255Avx2(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(Old, Zero), Weight), Term));
    return _mm256_packus_epi16(Lo, Hi);
  }
};

// 8 source pixels over Old. Old and new bytes are interleaved as signed values (byte -
// 128) and each pair is weighted by (Alpha, 255 - Alpha) in one multiply-add: the sum
// Alpha x (old - 128) + (255 - Alpha) x (new - 128) lies in -32,640 .. 32,385, so it does
// not saturate, and adding 32,768 gives Alpha x old + (255 - Alpha) x new + 128. The fourth
// byte is weighted (255, 0): 255 x old + 128, which the division returns as old.
struct TPictureBlend {
  __m256i Weight;
  // N: the new pixels with every byte's top bit flipped (byte - 128 as a signed byte).
  LUMORA_AVX2 __m256i PutFlipped(__m256i Old, __m256i N) const {
    const __m256i Bias = _mm256_set1_epi16(short(0x8000));
    const __m256i O = _mm256_xor_si256(Old, Flip());
    const __m256i Lo = Div255Avx2(
        _mm256_add_epi16(_mm256_maddubs_epi16(Weight, _mm256_unpacklo_epi8(O, N)), Bias));
    const __m256i Hi = Div255Avx2(
        _mm256_add_epi16(_mm256_maddubs_epi16(Weight, _mm256_unpackhi_epi8(O, N)), Bias));
    return _mm256_packus_epi16(Lo, Hi);
  }
  LUMORA_AVX2 static __m256i Flip() { return _mm256_set1_epi8(char(0x80)); }
};

// The operations that put 8 pixels at byte offset Offset of the span (Dst + Offset).
// Compute returns the new pixels from those there now; Apply stores them, and may skip
// vectors that change nothing.
struct TColourCopyOp {
  __m256i Colour;
  LUMORA_AVX2 __m256i Compute(const uint8_t* Dst, ptrdiff_t Offset) const {
    return _mm256_blendv_epi8(Colour, Load(Dst + Offset), FourthBytes());
  }
  LUMORA_AVX2 void Apply(uint8_t* Dst, ptrdiff_t Offset) const { Store(Dst + Offset, Compute(Dst, Offset)); }
};

struct TColourBlendOp {
  TColourBlend Blend;
  LUMORA_AVX2 __m256i Compute(const uint8_t* Dst, ptrdiff_t Offset) const {
    return Blend.Put(Load(Dst + Offset));
  }
  LUMORA_AVX2 void Apply(uint8_t* Dst, ptrdiff_t Offset) const { Store(Dst + Offset, Compute(Dst, Offset)); }
};

// Source pixels over screen pixels. With Keyed, source pixels whose blue, green and red
// give Key keep their screen pixel. Ready prepares 8 source pixels once for any number of
// screen rows: the key hits, and for a blend the bytes flipped to signed.
template <bool Keyed, bool Copy>
struct TPictureMix {
  TPictureBlend Blend;
  __m256i Key;
  struct TReady {
    __m256i New, Hits;
  };
  LUMORA_AVX2 TReady Ready(__m256i New) const {
    const __m256i Hits =
        Keyed ? _mm256_cmpeq_epi32(_mm256_and_si256(New, _mm256_set1_epi32(0x00FFFFFF)), Key)
              : _mm256_setzero_si256();
    return {Copy ? New : _mm256_xor_si256(New, TPictureBlend::Flip()), Hits};
  }
  // True when all 8 source pixels are of the key: the screen pixels stay as they are.
  LUMORA_AVX2 bool AllHit(const TReady& R) const {
    return Keyed && _mm256_movemask_epi8(R.Hits) == -1;
  }
  LUMORA_AVX2 __m256i Put(__m256i Old, const TReady& R) const {
    if (Copy) return _mm256_blendv_epi8(R.New, Old, Keyed ? _mm256_or_si256(R.Hits, FourthBytes()) : FourthBytes());
    const __m256i Put = Blend.PutFlipped(Old, R.New);
    return Keyed ? _mm256_blendv_epi8(Put, Old, R.Hits) : Put;
  }
};

template <bool Keyed, bool Copy>
LUMORA_AVX2 TPictureMix<Keyed, Copy> MixOf(uint32_t Alpha, int32_t Key) {
  const short W = Lane(Alpha | (255u - Alpha) << 8);
  return {{_mm256_setr_epi16(W, W, W, 255, W, W, W, 255, W, W, W, 255, W, W, W, 255)},
          _mm256_set1_epi32(Key)};
}

// Source pixels at the same offset from Src; a vector of 8 key pixels is neither read
// nor written.
template <bool Keyed, bool Copy>
struct TPictureOp {
  const uint8_t* Src;
  TPictureMix<Keyed, Copy> Mix;
  LUMORA_AVX2 __m256i Compute(const uint8_t* Dst, ptrdiff_t Offset) const {
    return Mix.Put(Load(Dst + Offset), Mix.Ready(Load(Src + Offset)));
  }
  LUMORA_AVX2 void Apply(uint8_t* Dst, ptrdiff_t Offset) const {
    const auto R = Mix.Ready(Load(Src + Offset));
    if (Mix.AllHit(R)) return;
    Store(Dst + Offset, Mix.Put(Load(Dst + Offset), R));
  }
};

// Count >= 8 pixels from Dst, as described at the top. The vectors that overlap are
// loaded before either is stored. The first vector is stored early and the last one last,
// so that the span's final stores lie at its end: the next row's first loads, a stride
// further on, do not wait behind stores to the same offset within a page.
template <class TOp>
LUMORA_AVX2 inline void PutVectors(uint8_t* Dst, int32_t Count, const TOp& Op) {
  const ptrdiff_t LastOffset = ptrdiff_t(Count - 8) * 4;
  if (Count < 24) {  // two or three vectors, all loaded first
    const __m256i First = Op.Compute(Dst, 0);
    const __m256i Last = Op.Compute(Dst, LastOffset);
    if (Count > 16) Store(Dst + 32, Op.Compute(Dst, 32));
    Store(Dst, First);
    Store(Dst + LastOffset, Last);
    return;
  }
  // The first vector boundary after Dst (none where Dst is not on a pixel boundary).
  const uintptr_t Address = reinterpret_cast<uintptr_t>(Dst);
  ptrdiff_t Offset = (Address & 3) != 0 ? 0 : ptrdiff_t((0 - Address) & 31);
  if (Offset != 0) {
    const __m256i First = Op.Compute(Dst, 0);
    const __m256i Next = Op.Compute(Dst, Offset);
    Store(Dst, First);
    Store(Dst + Offset, Next);
    Offset += 32;
  }
  for (; Offset + 32 <= LastOffset; Offset += 32) Op.Apply(Dst, Offset);
  // One aligned vector is left, overlapping the last one (or being it).
  const __m256i Rest = Op.Compute(Dst, Offset);
  const __m256i Last = Op.Compute(Dst, LastOffset);
  Store(Dst + Offset, Rest);
  Store(Dst + LastOffset, Last);
}

template <bool Keyed, bool Copy>
LUMORA_AVX2 void PictureSpanAvx2T(uint8_t* Dst, const uint8_t* Src, int32_t Count,
                                  uint32_t Alpha, int32_t Key) {
  if (Count < 8) {
    // Clean upper halves, or the SSE code that runs next pays for them.
    _mm256_zeroupper();
    return PictureSpanSse2(Dst, Src, Count, Alpha, Key);
  }
  PutVectors(Dst, Count, TPictureOp<Keyed, Copy>{Src, MixOf<Keyed, Copy>(Alpha, Key)});
  _mm256_zeroupper();
}

// The 8 source pixels of a block of a scaled span.
LUMORA_AVX2 inline __m256i Gather(const uint8_t* SrcRow, const TGatherBlock& B) {
  const __m256i Index =
      _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(B.Index)));
  return _mm256_permutevar8x32_epi32(Load(SrcRow + B.Base), Index);
}

// Rows screen rows, Stride bytes apart, that show the same source row. Block I puts the
// pixels 8 I .. 8 I + 7 of every row, its source pixels gathered and readied once. When
// Columns is not a multiple of 8, the last whole block and the block of the last 8 pixels
// overlap: both are loaded before either is stored (see the top).
template <bool Keyed, bool Copy>
LUMORA_AVX2 void ScaledSpanAvx2T(uint8_t* Dst, int64_t Stride, int32_t Rows, const uint8_t* SrcRow,
                                 int32_t Columns, const TGatherBlock* Blocks, uint32_t Alpha,
                                 int32_t Key) {
  const TPictureMix<Keyed, Copy> Mix = MixOf<Keyed, Copy>(Alpha, Key);
  const int32_t Whole = Columns / 8;
  const bool Rest = Columns % 8 != 0;
  const int32_t Apart = Rest ? Whole - 1 : Whole;  // blocks that overlap no other
  if (Rows == 2) {
    // A picture shown twice as high: both rows loaded before either is stored, so that
    // their reads overlap.
    for (int32_t I = 0; I < Apart; ++I) {
      const auto R = Mix.Ready(Gather(SrcRow, Blocks[I]));
      if (Mix.AllHit(R)) continue;
      uint8_t* const D0 = Dst + I * 32;
      uint8_t* const D1 = D0 + Stride;
      const __m256i V0 = Mix.Put(Load(D0), R), V1 = Mix.Put(Load(D1), R);
      Store(D0, V0);
      Store(D1, V1);
    }
  } else {
    for (int32_t I = 0; I < Apart; ++I) {
      const auto R = Mix.Ready(Gather(SrcRow, Blocks[I]));
      if (Mix.AllHit(R)) continue;
      for (int32_t J = 0; J < Rows; ++J) {
        uint8_t* const D = Dst + J * Stride + I * 32;
        Store(D, Mix.Put(Load(D), R));
      }
    }
  }
  if (Rest) {
    const auto A = Mix.Ready(Gather(SrcRow, Blocks[Whole - 1]));
    const auto B = Mix.Ready(Gather(SrcRow, Blocks[Whole]));
    for (int32_t J = 0; J < Rows; ++J) {
      uint8_t* const D = Dst + J * Stride + (Whole - 1) * 32;
      uint8_t* const E = Dst + J * Stride + ptrdiff_t(Columns - 8) * 4;
      const __m256i VA = Mix.Put(Load(D), A), VB = Mix.Put(Load(E), B);
      Store(D, VA);
      Store(E, VB);
    }
  }
  _mm256_zeroupper();
}

}  // namespace

LUMORA_AVX2 void ColorSpanAvx2(uint8_t* Dst, int32_t Count, TColor C) {
  if (Count < 8) {
    _mm256_zeroupper();
    return ColorSpanSse2(Dst, Count, C);
  }
  if (C.Alpha == 0) {
    PutVectors(Dst, Count, TColourCopyOp{_mm256_set1_epi32(int32_t(C.B | C.G << 8 | C.R << 16))});
  } else {
    const uint32_t Inv = 255u - C.Alpha;
    const short A = Lane(C.Alpha);
    const short TB = Lane(Inv * C.B + 128u), TG = Lane(Inv * C.G + 128u), TR = Lane(Inv * C.R + 128u);
    const TColourBlend Blend{
        _mm256_setr_epi16(A, A, A, 255, A, A, A, 255, A, A, A, 255, A, A, A, 255),
        _mm256_setr_epi16(TB, TG, TR, 255, TB, TG, TR, 255, TB, TG, TR, 255, TB, TG, TR, 255)};
    PutVectors(Dst, Count, TColourBlendOp{Blend});
  }
  _mm256_zeroupper();
}

LUMORA_AVX2 void PictureSpanAvx2(uint8_t* Dst, const uint8_t* Src, int32_t Count,
                                 uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return PictureSpanAvx2T<true, true>(Dst, Src, Count, Alpha, Key);
    return PictureSpanAvx2T<true, false>(Dst, Src, Count, Alpha, Key);
  }
  if (Alpha == 0) return PictureSpanAvx2T<false, true>(Dst, Src, Count, Alpha, Key);
  PictureSpanAvx2T<false, false>(Dst, Src, Count, Alpha, Key);
}

LUMORA_AVX2 void ScaledPictureSpanAvx2(uint8_t* Dst, int64_t Stride, int32_t Rows,
                                       const uint8_t* SrcRow, int32_t Columns,
                                       const TGatherBlock* Blocks, uint32_t Alpha, int32_t Key) {
  if (Key >= 0) {
    if (Alpha == 0) return ScaledSpanAvx2T<true, true>(Dst, Stride, Rows, SrcRow, Columns, Blocks, Alpha, Key);
    return ScaledSpanAvx2T<true, false>(Dst, Stride, Rows, SrcRow, Columns, Blocks, Alpha, Key);
  }
  if (Alpha == 0) return ScaledSpanAvx2T<false, true>(Dst, Stride, Rows, SrcRow, Columns, Blocks, Alpha, Key);
  ScaledSpanAvx2T<false, false>(Dst, Stride, Rows, SrcRow, Columns, Blocks, Alpha, Key);
}

}  // namespace lumora::detail

#endif  // LUMORA_SPAN_AVX2
