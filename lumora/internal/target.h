// lumora target: what one drawing call draws on, taken once from a canvas.
// Private to the library; used by every drawing call.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "lumora/canvas.h"
#include "lumora/internal/blend.h"

namespace lumora::detail {

// The pixels, the row stride, the colour, and the clip rectangle: the canvas's viewport
// intersected with the canvas, so that nothing outside the canvas is written even for a
// viewport assigned directly. Empty (Clip.X1 > Clip.X2) when there is nothing to draw on.
struct TTarget {
  uint8_t* Pixels;
  int64_t Stride;
  TColor Color;
  TViewPort Clip;
  bool Empty() const { return Pixels == nullptr || Clip.X1 > Clip.X2 || Clip.Y1 > Clip.Y2; }
  // Byte offset of pixel (X, Y); callers have clipped. 64-bit: a 32,768 x 32,768 canvas
  // holds 4 GiB.
  int64_t Offset(int64_t X, int64_t Y) const { return Y * Stride + X * 4; }
  uint8_t* At(int64_t X, int64_t Y) const { return Pixels + Offset(X, Y); }
};

inline TTarget TargetOf(const TCanvas& C) {
  TTarget T{C.Pixels, C.Stride, C.Color, C.ViewPort};
  T.Clip.X1 = std::max(T.Clip.X1, 0);
  T.Clip.Y1 = std::max(T.Clip.Y1, 0);
  T.Clip.X2 = std::min(T.Clip.X2, C.Width - 1);
  T.Clip.Y2 = std::min(T.Clip.Y2, C.Height - 1);
  if (C.Pixels == nullptr || C.Width <= 0 || C.Height <= 0) T.Clip = TViewPort{0, 0, -1, -1};
  return T;
}

// The default canvas: the back buffer with the globals Color and ViewPort.
inline TCanvas ScreenCanvas() {
  TCanvas C;
  C.Pixels = VirtualScreen;
  C.Width = SCREEN_WIDTH;
  C.Height = SCREEN_HEIGHT;
  C.Stride = ROW_BYTES;
  C.Color = Color;
  C.ViewPort = ViewPort;
  return C;
}

// Pixel on a target: clip, then put the colour.
inline void PlotPixel(const TTarget& T, int64_t X, int64_t Y) {
  if (X < T.Clip.X1 || X > T.Clip.X2 || Y < T.Clip.Y1 || Y > T.Clip.Y2) return;
  PutPixel(T.At(X, Y), &T.Color.B, T.Color.Alpha);
}

}  // namespace lumora::detail
