// bench_compare, straightforward C and the memory limit: the loops a programmer writes
// first, and the cheapest loops that touch the same bytes. Relies on the workload only.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "compare.h"

namespace compare {

namespace {

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

inline void Plot(int32_t X, int32_t Y, uint32_t C, uint32_t T) {
  if (X < 0 || X >= SCREEN_W || Y < 0 || Y >= SCREEN_H) return;
  uint32_t& P = Screen()[Y * SCREEN_W + X];
  P = BlendPixel(P, C, T);
}

void BlendRect(int32_t X, int32_t Y, int32_t Width, int32_t Height, uint32_t C, uint32_t T) {
  for (int32_t Row = Y; Row < Y + Height; ++Row) {
    uint32_t* D = Screen() + Row * SCREEN_W + X;
    for (int32_t I = 0; I < Width; ++I) D[I] = BlendPixel(D[I], C, T);
  }
}

void BlendPicture(int32_t X, int32_t Y, uint32_t T) {
  const uint32_t* S = Work().Picture.data();
  for (int32_t Row = 0; Row < PIC_H; ++Row, S += PIC_W) {
    uint32_t* D = Screen() + (Y + Row) * SCREEN_W + X;
    for (int32_t I = 0; I < PIC_W; ++I) D[I] = BlendPixel(D[I], S[I], T);
  }
}

// Nearest-neighbour scaling with a 16.16 step along the row.
void ScalePicture(uint32_t T) {
  const uint32_t Step = (uint32_t(PIC_W) << 16) / SCALED_W;
  for (int32_t Row = 0; Row < SCALED_H; ++Row) {
    const uint32_t* S = Work().Picture.data() + Row * PIC_H / SCALED_H * PIC_W;
    uint32_t* D = Screen() + (SCALED_Y + Row) * SCREEN_W + SCALED_X;
    uint32_t Fx = 0;
    for (int32_t I = 0; I < SCALED_W; ++I, Fx += Step) {
      D[I] = T == 0 ? (D[I] & 0xFF000000u) | S[Fx >> 16] : BlendPixel(D[I], S[Fx >> 16], T);
    }
  }
}

void Bresenham(const TLine& L, uint32_t C, uint32_t T) {
  int32_t X = L.X1, Y = L.Y1;
  const int32_t DX = std::abs(L.X2 - L.X1), DY = -std::abs(L.Y2 - L.Y1);
  const int32_t SX = L.X1 < L.X2 ? 1 : -1, SY = L.Y1 < L.Y2 ? 1 : -1;
  int32_t Err = DX + DY;
  for (;;) {
    Plot(X, Y, C, T);
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
void MidpointCircle(int32_t XS, int32_t YS, int32_t R, uint32_t C, uint32_t T) {
  int32_t X = R, Y = 0, Err = 1 - R;
  while (X >= Y) {
    Plot(XS + X, YS + Y, C, T);
    Plot(XS + Y, YS + X, C, T);
    Plot(XS - Y, YS + X, C, T);
    Plot(XS - X, YS + Y, C, T);
    Plot(XS - X, YS - Y, C, T);
    Plot(XS - Y, YS - X, C, T);
    Plot(XS + Y, YS - X, C, T);
    Plot(XS + X, YS - Y, C, T);
    ++Y;
    if (Err < 0) {
      Err += 2 * Y + 1;
    } else {
      --X;
      Err += 2 * (Y - X) + 1;
    }
  }
}

void Ring(uint32_t C, uint32_t T) {
  const int32_t Outer = RING_R + RING_WIDTH / 2, Inner = RING_R - (RING_WIDTH - 1) / 2;
  for (int32_t DY = -Outer; DY <= Outer; ++DY) {
    const int32_t C1 = int32_t(std::nearbyint(std::sqrt(double(Outer * Outer - DY * DY))));
    if (std::abs(DY) < Inner) {
      const int32_t C2 = int32_t(std::nearbyint(std::sqrt(double(Inner * Inner - DY * DY))));
      BlendRect(CENTRE_X - C1, CENTRE_Y + DY, C1 - C2 + 1, 1, C, T);
      BlendRect(CENTRE_X + C2, CENTRE_Y + DY, C1 - C2 + 1, 1, C, T);
    } else {
      BlendRect(CENTRE_X - C1, CENTRE_Y + DY, 2 * C1 + 1, 1, C, T);
    }
  }
}

// ------------------------------------------------------------------ memory limit
// Halving each byte stands for a blend: one read and one write of every destination
// byte (and one read of every source byte), nothing more. Built for AVX2 where the
// processor has it, so the compiler's vectors are not what limits them.

__attribute__((target_clones("avx2", "default")))
void HalveRect(uint32_t* D, int32_t Width, int32_t Height) {
  for (int32_t Row = 0; Row < Height; ++Row, D += SCREEN_W) {
    for (int32_t I = 0; I < Width; ++I) D[I] = (D[I] >> 1) & 0x7F7F7F7Fu;
  }
}

// Rows of Width source pixels averaged into the screen; source row Row / Repeat.
__attribute__((target_clones("avx2", "default")))
void AverageRows(uint32_t* D, const uint32_t* S, int32_t Width, int32_t Height, int32_t Repeat) {
  for (int32_t Row = 0; Row < Height; ++Row, D += SCREEN_W) {
    const uint32_t* R = S + Row / Repeat * Width;
    for (int32_t I = 0; I < Width; ++I) D[I] = ((D[I] >> 1) & 0x7F7F7F7Fu) + ((R[I] >> 1) & 0x7F7F7F7Fu);
  }
}

void CopyRows(uint32_t* D, const uint32_t* S, int32_t Width, int32_t Height, int32_t Repeat) {
  for (int32_t Row = 0; Row < Height; ++Row, D += SCREEN_W) {
    std::memcpy(D, S + Row / Repeat * Width, size_t(Width) * 4);
  }
}

uint32_t* At(int32_t X, int32_t Y) { return Screen() + Y * SCREEN_W + X; }

}  // namespace

void AddPlainOps() {
  const uint32_t ST = STROKE_TRANSPARENCY;
  AddOp(TWork::FillOpaque, "plain", "", "pixel loop", [] {
    uint32_t* S = Screen();
    for (int32_t I = 0; I < SCREEN_PIXELS; ++I) S[I] = Xrgb(FILL_COLOUR);
  });
  AddOp(TWork::FillTranslucent, "plain", "", "pixel loop, integer blend",
        [] { BlendRect(0, 0, SCREEN_W, SCREEN_H, Xrgb(SHADE_COLOUR), FILL_TRANSPARENCY); });
  AddOp(TWork::Picture128, "plain", "", "pixel loop, integer blend",
        [] { BlendPicture(PIC_X, PIC_Y, PICTURE_TRANSPARENCY); });
  AddOp(TWork::PictureKey, "plain", "", "pixel loop, compare and copy", [] {
    const uint32_t* S = Work().Picture.data();
    for (int32_t Row = 0; Row < PIC_H; ++Row, S += PIC_W) {
      uint32_t* D = At(PIC_X, PIC_Y + Row);
      for (int32_t I = 0; I < PIC_W; ++I) {
        if (S[I] != Xrgb(KEY_COLOUR)) D[I] = (D[I] & 0xFF000000u) | S[I];
      }
    }
  });
  AddOp(TWork::ScaledOpaque, "plain", "", "pixel loop, 16.16 step", [] { ScalePicture(0); });
  AddOp(TWork::Scaled128, "plain", "", "pixel loop, 16.16 step, integer blend",
        [] { ScalePicture(PICTURE_TRANSPARENCY); });
  AddOp(TWork::Lines, "plain", "", "Bresenham, blend per pixel", [ST] {
    for (const TLine& L : Work().Lines) Bresenham(L, Xrgb(STROKE_COLOUR), ST);
  });
  AddOp(TWork::Circles, "plain", "", "midpoint circle, blend per pixel", [ST] {
    for (int32_t R : Work().Radii) MidpointCircle(CENTRE_X, CENTRE_Y, R, Xrgb(STROKE_COLOUR), ST);
  });
  AddOp(TWork::Ring, "plain", "", "a square root per row, span loops", [ST] { Ring(Xrgb(RING_COLOUR), ST); });
  AddOp(TWork::Frame, "plain", "", "memset, pixel loops", [] {
    std::memset(Screen(), 0, size_t(SCREEN_PIXELS) * 4);
    for (const auto& P : FRAME_PICTURES) BlendPicture(P[0], P[1], PICTURE_TRANSPARENCY);
    BlendRect(0, 0, SCREEN_W, SCREEN_H, Xrgb(SHADE_COLOUR), FILL_TRANSPARENCY);
  });
}

void AddMemoryOps() {
  AddOp(TWork::FillOpaque, "memory", "", "memset",
        [] { std::memset(Screen(), 0x40, size_t(SCREEN_PIXELS) * 4); });
  AddOp(TWork::FillTranslucent, "memory", "", "read-modify-write in place",
        [] { HalveRect(Screen(), SCREEN_W, SCREEN_H); });
  AddOp(TWork::Picture128, "memory", "", "average of source and screen rows",
        [] { AverageRows(At(PIC_X, PIC_Y), Work().Picture.data(), PIC_W, PIC_H, 1); });
  AddOp(TWork::PictureKey, "memory", "", "memcpy of rows",
        [] { CopyRows(At(PIC_X, PIC_Y), Work().Picture.data(), PIC_W, PIC_H, 1); });
  AddOp(TWork::ScaledOpaque, "memory", "", "memcpy of rows from a pre-stretched copy", [] {
    CopyRows(At(SCALED_X, SCALED_Y), Work().Doubled.data(), SCALED_W, SCALED_H, SCALED_H / PIC_H);
  });
  AddOp(TWork::Scaled128, "memory", "", "average of rows from a pre-stretched copy", [] {
    AverageRows(At(SCALED_X, SCALED_Y), Work().Doubled.data(), SCALED_W, SCALED_H, SCALED_H / PIC_H);
  });
  AddOp(TWork::Frame, "memory", "", "memset, row averages, read-modify-write", [] {
    std::memset(Screen(), 0, size_t(SCREEN_PIXELS) * 4);
    for (const auto& P : FRAME_PICTURES) AverageRows(At(P[0], P[1]), Work().Picture.data(), PIC_W, PIC_H, 1);
    HalveRect(Screen(), SCREEN_W, SCREEN_H);
  });
}

}  // namespace compare
