// bench_compare, straightforward C and the memory limit: the loops a programmer writes
// first, and the cheapest loops that touch the same bytes. Relies on the workload only.
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "compare.h"

namespace compare {

namespace {

// A screen's pixels with its row length.
struct TTarget {
  uint32_t* Pixels;
  int32_t W, H;
  uint32_t* At(int32_t X, int32_t Y) const { return Pixels + size_t(Y) * size_t(W) + size_t(X); }
};

TTarget TargetOf(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  return {Pixels(Screen), L.W, L.H};
}

// ------------------------------------------------------------------ straightforward C

// Each colour channel becomes ((255 - T) x new + T x old + 127) / 255; the fourth byte stays.
inline uint32_t BlendPixel(uint32_t Old, uint32_t New, uint32_t T) {
  uint32_t Out = Old & 0xFF000000u;
  for (uint32_t Shift = 0; Shift < 24; Shift += 8) {
    const uint32_t O = (Old >> Shift) & 0xFF, N = (New >> Shift) & 0xFF;
    Out |= (((255 - T) * N + T * O + 127) / 255) << Shift;
  }
  return Out;
}

inline void Plot(const TTarget& S, int32_t X, int32_t Y, uint32_t C, uint32_t T) {
  if (X < 0 || X >= S.W || Y < 0 || Y >= S.H) return;
  uint32_t& P = *S.At(X, Y);
  P = BlendPixel(P, C, T);
}

void BlendRect(const TTarget& S, int32_t X, int32_t Y, int32_t Width, int32_t Height, uint32_t C,
               uint32_t T) {
  for (int32_t Row = Y; Row < Y + Height; ++Row) {
    uint32_t* D = S.At(X, Row);
    for (int32_t I = 0; I < Width; ++I) D[I] = BlendPixel(D[I], C, T);
  }
}

void BlendPicture(const TTarget& S, const TLayout& L, const std::vector<uint32_t>& Picture,
                  int32_t X, int32_t Y, uint32_t T) {
  const uint32_t* P = Picture.data();
  for (int32_t Row = 0; Row < L.PicH; ++Row, P += L.PicW) {
    uint32_t* D = S.At(X, Y + Row);
    for (int32_t I = 0; I < L.PicW; ++I) D[I] = BlendPixel(D[I], P[I], T);
  }
}

enum class TScaleMode { Copy, Blend, Key };

// Nearest-neighbour scaling with a 16.16 step along the row.
void ScalePicture(const TTarget& S, const TLayout& L, const std::vector<uint32_t>& Picture,
                  TScaleMode Mode, uint32_t T) {
  const uint32_t Step = (uint32_t(L.PicW) << 16) / uint32_t(L.ScaledW);
  for (int32_t Row = 0; Row < L.ScaledH; ++Row) {
    const uint32_t* P = Picture.data() + size_t(Row * L.PicH / L.ScaledH) * size_t(L.PicW);
    uint32_t* D = S.At(L.ScaledX, L.ScaledY + Row);
    uint32_t Fx = 0;
    for (int32_t I = 0; I < L.ScaledW; ++I, Fx += Step) {
      const uint32_t New = P[Fx >> 16];
      if (Mode == TScaleMode::Blend) {
        D[I] = BlendPixel(D[I], New, T);
      } else if (Mode == TScaleMode::Copy || New != Xrgb(KEY_COLOUR)) {
        D[I] = (D[I] & 0xFF000000u) | New;
      }
    }
  }
}

void Bresenham(const TTarget& S, const TLine& L, uint32_t C, uint32_t T) {
  int32_t X = L.X1, Y = L.Y1;
  const int32_t DX = std::abs(L.X2 - L.X1), DY = -std::abs(L.Y2 - L.Y1);
  const int32_t SX = L.X1 < L.X2 ? 1 : -1, SY = L.Y1 < L.Y2 ? 1 : -1;
  int32_t Err = DX + DY;
  for (;;) {
    Plot(S, X, Y, C, T);
    if (X == L.X2 && Y == L.Y2) break;
    const int32_t E2 = 2 * Err;
    if (E2 >= DY) {
      Err += DY;
      X += SX;
    }
    if (E2 <= DX) {
      Err += DX;
      Y += SY;
    }
  }
}

// The midpoint circle, eight octants from one.
void MidpointCircle(const TTarget& S, int32_t XS, int32_t YS, int32_t R, uint32_t C, uint32_t T) {
  int32_t X = R, Y = 0, Err = 1 - R;
  while (X >= Y) {
    Plot(S, XS + X, YS + Y, C, T);
    Plot(S, XS + Y, YS + X, C, T);
    Plot(S, XS - Y, YS + X, C, T);
    Plot(S, XS - X, YS + Y, C, T);
    Plot(S, XS - X, YS - Y, C, T);
    Plot(S, XS - Y, YS - X, C, T);
    Plot(S, XS + Y, YS - X, C, T);
    Plot(S, XS + X, YS - Y, C, T);
    ++Y;
    if (Err < 0) {
      Err += 2 * Y + 1;
    } else {
      --X;
      Err += 2 * (Y - X) + 1;
    }
  }
}

void Ring(const TTarget& S, const TLayout& L, uint32_t C, uint32_t T) {
  const int32_t Outer = L.RingR + L.RingWidth / 2, Inner = L.RingR - (L.RingWidth - 1) / 2;
  for (int32_t DY = -Outer; DY <= Outer; ++DY) {
    const int32_t C1 = int32_t(std::nearbyint(std::sqrt(double(Outer * Outer - DY * DY))));
    const int32_t Y = L.CentreY + DY;
    if (std::abs(DY) < Inner) {
      const int32_t C2 = int32_t(std::nearbyint(std::sqrt(double(Inner * Inner - DY * DY))));
      BlendRect(S, L.CentreX - C1, Y, C1 - C2 + 1, 1, C, T);
      BlendRect(S, L.CentreX + C2, Y, C1 - C2 + 1, 1, C, T);
    } else {
      BlendRect(S, L.CentreX - C1, Y, 2 * C1 + 1, 1, C, T);
    }
  }
}

// ------------------------------------------------------------------ memory limit
// Halving each byte stands for a blend: one read and one write of every destination
// byte (and one read of every source byte), nothing more. Built for AVX2 where the
// processor has it, so the compiler's vectors are not what limits them.

__attribute__((target_clones("avx2", "default")))
void HalveRect(uint32_t* D, int32_t Width, int32_t Height, int32_t Stride) {
  for (int32_t Row = 0; Row < Height; ++Row, D += Stride) {
    for (int32_t I = 0; I < Width; ++I) D[I] = (D[I] >> 1) & 0x7F7F7F7Fu;
  }
}

// Rows of Width source pixels averaged into the screen; source row Row / Repeat.
__attribute__((target_clones("avx2", "default")))
void AverageRows(uint32_t* D, int32_t Stride, const uint32_t* S, int32_t Width, int32_t Height,
                 int32_t Repeat) {
  for (int32_t Row = 0; Row < Height; ++Row, D += Stride) {
    const uint32_t* R = S + size_t(Row / Repeat) * size_t(Width);
    for (int32_t I = 0; I < Width; ++I) D[I] = ((D[I] >> 1) & 0x7F7F7F7Fu) + ((R[I] >> 1) & 0x7F7F7F7Fu);
  }
}

void CopyRows(uint32_t* D, int32_t Stride, const uint32_t* S, int32_t Width, int32_t Height,
              int32_t Repeat) {
  for (int32_t Row = 0; Row < Height; ++Row, D += Stride) {
    std::memcpy(D, S + size_t(Row / Repeat) * size_t(Width), size_t(Width) * 4);
  }
}

// The measured limits of what lumora's calls must do, where they cost more than the
// loops above: AVX2 loops without any of the calls' other work (clipping, mapping,
// dispatch), used only where the processor has AVX2.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define COMPARE_HAVE_LIMITS 1
#define COMPARE_AVX2 __attribute__((target("avx2")))

// Streaming stores of the whole screen: writes that neither read the lines first nor stay
// in the caches.
COMPARE_AVX2 void StreamFill(uint32_t* D, size_t Count, uint32_t Value) {
  const __m256i V = _mm256_set1_epi32(int32_t(Value));
  size_t I = 0;
  for (; I + 8 <= Count && reinterpret_cast<uintptr_t>(D + I) % 32 != 0; ++I) D[I] = Value;
  for (; I + 8 <= Count; I += 8) _mm256_stream_si256(reinterpret_cast<__m256i*>(D + I), V);
  _mm_sfence();
  for (; I < Count; ++I) D[I] = Value;
}

// Every source row read and compared with the key; the screen read and written (its fourth
// bytes kept) only under vectors of 8 source pixels that hold a pixel of another colour.
COMPARE_AVX2 void ScanKeyRows(uint32_t* D, int32_t Stride, const uint32_t* S, int32_t Width,
                              int32_t Height) {
  const __m256i Key = _mm256_set1_epi32(int32_t(Xrgb(KEY_COLOUR)));
  const __m256i Colour = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i Fourth = _mm256_set1_epi32(int32_t(0xFF000000u));
  for (int32_t Row = 0; Row < Height; ++Row, D += Stride, S += Width) {
    for (int32_t I = 0; I + 8 <= Width; I += 8) {
      const __m256i N = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(S + I));
      const __m256i Hits = _mm256_cmpeq_epi32(_mm256_and_si256(N, Colour), Key);
      if (_mm256_movemask_epi8(Hits) == -1) continue;
      const __m256i O = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(D + I));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(D + I),
                          _mm256_blendv_epi8(N, O, _mm256_or_si256(Hits, Fourth)));
    }
  }
}

// The exact blend of source rows (row Row / Repeat) over the screen at transparency T and
// nothing else: one multiply-add per 16 bytes of old and new, one multiply to divide by
// 255, as lumora's kernels do it.
COMPARE_AVX2 void BlendRowsExactly(uint32_t* D, int32_t Stride, const uint32_t* S, int32_t Width,
                                   int32_t Height, int32_t Repeat, uint32_t T) {
  const short W = short(T | (255u - T) << 8);
  const __m256i Weight = _mm256_setr_epi16(W, W, W, 255, W, W, W, 255, W, W, W, 255, W, W, W, 255);
  const __m256i Flip = _mm256_set1_epi8(char(0x80)), Bias = _mm256_set1_epi16(short(0x8000));
  const __m256i M257 = _mm256_set1_epi16(257);
  for (int32_t Row = 0; Row < Height; ++Row, D += Stride) {
    const uint32_t* R = S + size_t(Row / Repeat) * size_t(Width);
    for (int32_t I = 0; I + 8 <= Width; I += 8) {
      const __m256i O = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(D + I)), Flip);
      const __m256i N = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(R + I)), Flip);
      const __m256i Lo = _mm256_mulhi_epu16(
          _mm256_add_epi16(_mm256_maddubs_epi16(Weight, _mm256_unpacklo_epi8(O, N)), Bias), M257);
      const __m256i Hi = _mm256_mulhi_epu16(
          _mm256_add_epi16(_mm256_maddubs_epi16(Weight, _mm256_unpackhi_epi8(O, N)), Bias), M257);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(D + I), _mm256_packus_epi16(Lo, Hi));
    }
  }
}

// The exact blend of one colour over every screen pixel at transparency T: one multiply
// and one multiply to divide per 16 bytes.
COMPARE_AVX2 void BlendColourExactly(uint32_t* D, size_t Count, TRgb C, uint32_t T) {
  const short A = short(T), Inv = short(255 - T);
  const short TB = short(Inv * C.B + 128), TG = short(Inv * C.G + 128), TR = short(Inv * C.R + 128);
  const __m256i Weight = _mm256_setr_epi16(A, A, A, 255, A, A, A, 255, A, A, A, 255, A, A, A, 255);
  const __m256i Term = _mm256_setr_epi16(TB, TG, TR, 255, TB, TG, TR, 255, TB, TG, TR, 255, TB, TG, TR, 255);
  const __m256i Zero = _mm256_setzero_si256(), M257 = _mm256_set1_epi16(257);
  for (size_t I = 0; I + 8 <= Count; I += 8) {
    const __m256i O = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(D + I));
    const __m256i Lo = _mm256_mulhi_epu16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(O, Zero), Weight), Term), M257);
    const __m256i Hi = _mm256_mulhi_epu16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(O, Zero), Weight), Term), M257);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(D + I), _mm256_packus_epi16(Lo, Hi));
  }
}
#endif

}  // namespace

void AddPlainOps(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  const TTarget S = TargetOf(Screen);
  const TWorkload& W = Work(Screen);
  const uint32_t ST = STROKE_TRANSPARENCY;
  AddOp(Screen, TWork::FillOpaque, "plain", "", "pixel loop", [S] {
    for (int64_t I = 0; I < int64_t(S.W) * S.H; ++I) S.Pixels[I] = Xrgb(FILL_COLOUR);
  });
  AddOp(Screen, TWork::FillTranslucent, "plain", "", "pixel loop, integer blend",
        [S] { BlendRect(S, 0, 0, S.W, S.H, Xrgb(SHADE_COLOUR), FILL_TRANSPARENCY); });
  AddOp(Screen, TWork::ScaledOpaque, "plain", "", "pixel loop, 16.16 step",
        [S, L, &W] { ScalePicture(S, L, W.Picture, TScaleMode::Copy, 0); });
  AddOp(Screen, TWork::Scaled128, "plain", "", "pixel loop, 16.16 step, integer blend",
        [S, L, &W] { ScalePicture(S, L, W.Picture, TScaleMode::Blend, PICTURE_TRANSPARENCY); });
  AddOp(Screen, TWork::Lines, "plain", "", "Bresenham, blend per pixel", [S, ST, &W] {
    for (const TLine& Li : W.Lines) Bresenham(S, Li, Xrgb(STROKE_COLOUR), ST);
  });
  AddOp(Screen, TWork::Ring, "plain", "", "a square root per row, span loops",
        [S, L, ST] { Ring(S, L, Xrgb(RING_COLOUR), ST); });
  if (Screen == TScreen::Uhd) {
    AddOp(Screen, TWork::ScaledKey, "plain", "", "pixel loop, 16.16 step, compare and copy",
          [S, L, &W] { ScalePicture(S, L, W.Picture, TScaleMode::Key, 0); });
    return;
  }
  AddOp(Screen, TWork::Picture128, "plain", "", "pixel loop, integer blend",
        [S, L, &W] { BlendPicture(S, L, W.Picture, L.PicX, L.PicY, PICTURE_TRANSPARENCY); });
  AddOp(Screen, TWork::PictureKey, "plain", "", "pixel loop, compare and copy", [S, L, &W] {
    const uint32_t* P = W.Picture.data();
    for (int32_t Row = 0; Row < L.PicH; ++Row, P += L.PicW) {
      uint32_t* D = S.At(L.PicX, L.PicY + Row);
      for (int32_t I = 0; I < L.PicW; ++I) {
        if (P[I] != Xrgb(KEY_COLOUR)) D[I] = (D[I] & 0xFF000000u) | P[I];
      }
    }
  });
  AddOp(Screen, TWork::Circles, "plain", "", "midpoint circle, blend per pixel", [S, L, ST, &W] {
    for (int32_t R : W.Radii) MidpointCircle(S, L.CentreX, L.CentreY, R, Xrgb(STROKE_COLOUR), ST);
  });
  AddOp(Screen, TWork::Frame, "plain", "", "memset, pixel loops", [S, L, &W] {
    std::memset(S.Pixels, 0, size_t(S.W) * size_t(S.H) * 4);
    for (const auto& P : FRAME_PICTURES) BlendPicture(S, L, W.Picture, P[0], P[1], PICTURE_TRANSPARENCY);
    BlendRect(S, 0, 0, S.W, S.H, Xrgb(SHADE_COLOUR), FILL_TRANSPARENCY);
  });
}

void AddMemoryOps(TScreen Screen) {
  const TLayout& L = Layout(Screen);
  const TTarget S = TargetOf(Screen);
  const TWorkload& W = Work(Screen);
  const int32_t Repeat = L.ScaledH / L.PicH;
  AddOp(Screen, TWork::FillOpaque, "memory", "", "memset",
        [S] { std::memset(S.Pixels, 0x40, size_t(S.W) * size_t(S.H) * 4); });
  AddOp(Screen, TWork::FillTranslucent, "memory", "", "read-modify-write in place",
        [S] { HalveRect(S.Pixels, S.W, S.H, S.W); });
  AddOp(Screen, TWork::ScaledOpaque, "memory", "", "memcpy of rows from a pre-stretched copy",
        [S, L, Repeat, &W] {
          CopyRows(S.At(L.ScaledX, L.ScaledY), S.W, W.Doubled.data(), L.ScaledW, L.ScaledH, Repeat);
        });
  AddOp(Screen, TWork::Scaled128, "memory", "", "average of rows from a pre-stretched copy",
        [S, L, Repeat, &W] {
          AverageRows(S.At(L.ScaledX, L.ScaledY), S.W, W.Doubled.data(), L.ScaledW, L.ScaledH, Repeat);
        });
#if defined(COMPARE_HAVE_LIMITS)
  if (__builtin_cpu_supports("avx2")) {
    AddOp(Screen, TWork::FillOpaque, "memory", "stream", "streaming stores",
          [S] { StreamFill(S.Pixels, size_t(S.W) * size_t(S.H), Xrgb(FILL_COLOUR)); });
    AddOp(Screen, TWork::FillTranslucent, "arith", "", "the exact blend arithmetic alone, in place",
          [S] { BlendColourExactly(S.Pixels, size_t(S.W) * size_t(S.H), SHADE_COLOUR, FILL_TRANSPARENCY); });
    AddOp(Screen, TWork::Scaled128, "arith", "",
          "the exact blend arithmetic alone, rows of a pre-stretched copy", [S, L, Repeat, &W] {
            BlendRowsExactly(S.At(L.ScaledX, L.ScaledY), S.W, W.Doubled.data(), L.ScaledW, L.ScaledH,
                             Repeat, PICTURE_TRANSPARENCY);
          });
    if (Screen == TScreen::Xga) {
      AddOp(Screen, TWork::Picture128, "arith", "", "the exact blend arithmetic alone, source rows",
            [S, L, &W] {
              BlendRowsExactly(S.At(L.PicX, L.PicY), S.W, W.Picture.data(), L.PicW, L.PicH, 1,
                               PICTURE_TRANSPARENCY);
            });
      AddOp(Screen, TWork::PictureKey, "memory", "scan",
            "every source row compared with the key, the screen read and written under the rest",
            [S, L, &W] { ScanKeyRows(S.At(L.PicX, L.PicY), S.W, W.Picture.data(), L.PicW, L.PicH); });
    }
  }
#endif
  if (Screen == TScreen::Uhd) {
    AddOp(Screen, TWork::ScaledKey, "memory", "", "memcpy of rows from a pre-stretched copy",
          [S, L, Repeat, &W] {
            CopyRows(S.At(L.ScaledX, L.ScaledY), S.W, W.Doubled.data(), L.ScaledW, L.ScaledH, Repeat);
          });
    return;
  }
  AddOp(Screen, TWork::Picture128, "memory", "", "average of source and screen rows", [S, L, &W] {
    AverageRows(S.At(L.PicX, L.PicY), S.W, W.Picture.data(), L.PicW, L.PicH, 1);
  });
  AddOp(Screen, TWork::PictureKey, "memory", "", "memcpy of rows",
        [S, L, &W] { CopyRows(S.At(L.PicX, L.PicY), S.W, W.Picture.data(), L.PicW, L.PicH, 1); });
  AddOp(Screen, TWork::Frame, "memory", "", "memset, row averages, read-modify-write", [S, L, &W] {
    std::memset(S.Pixels, 0, size_t(S.W) * size_t(S.H) * 4);
    for (const auto& P : FRAME_PICTURES) AverageRows(S.At(P[0], P[1]), S.W, W.Picture.data(), L.PicW, L.PicH, 1);
    HalveRect(S.Pixels, S.W, S.H, S.W);
  });
}

}  // namespace compare
