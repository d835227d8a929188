// lumora screen: the drawing state (Color, ViewPort), clearing and Pixel, for the default
// canvas and for any canvas, and the canvases' making and release. Relies on the back
// buffer of display.cpp and the blend of blend.h; the span blends are in spans/.
#include <cstring>
#include <new>

#include "lumora/internal/target.h"
#include "lumora/lumora.h"

namespace lumora {

TColor Color{};
TViewPort ViewPort{};

namespace {

bool SizeValid(int32_t Width, int32_t Height) {
  return Width >= 1 && Width <= MAX_CANVAS_SIDE && Height >= 1 && Height <= MAX_CANVAS_SIDE;
}

// The viewport rules: the far edges pulled down to the last column and row, the near
// edges up to 0; nothing else (the viewport may be empty, corners are not swapped).
TViewPort Clamped(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Width, int32_t Height) {
  TViewPort V{X1, Y1, X2, Y2};
  if (V.X2 > Width - 1) V.X2 = Width - 1;
  if (V.Y2 > Height - 1) V.Y2 = Height - 1;
  if (V.X1 < 0) V.X1 = 0;
  if (V.Y1 < 0) V.Y1 = 0;
  return V;
}

}  // namespace

// ===================================================================== canvases

bool MakeCanvas(TCanvas& Canvas, uint8_t* Pixels, int32_t Width, int32_t Height, int64_t Stride) {
  Canvas = TCanvas{};
  if (Pixels == nullptr || !SizeValid(Width, Height) || Stride < int64_t(Width) * 4) return false;
  Canvas.Pixels = Pixels;
  Canvas.Width = Width;
  Canvas.Height = Height;
  Canvas.Stride = Stride;
  Canvas.ViewPort = TViewPort{0, 0, Width - 1, Height - 1};
  return true;
}

bool AllocateCanvas(TCanvas& Canvas, int32_t Width, int32_t Height) {
  Canvas = TCanvas{};
  if (!SizeValid(Width, Height)) return false;
  const uint64_t Bytes = uint64_t(Width) * uint64_t(Height) * 4;
  if (Bytes > uint64_t(SIZE_MAX)) return false;  // a 32-bit process cannot hold 4 GiB
  uint8_t* Pixels = new (std::nothrow) uint8_t[size_t(Bytes)]();
  if (Pixels == nullptr) return false;
  MakeCanvas(Canvas, Pixels, Width, Height, int64_t(Width) * 4);
  Canvas.Owned = true;
  return true;
}

void FreeCanvas(TCanvas& Canvas) {
  if (!Canvas.Owned) return;
  delete[] Canvas.Pixels;
  Canvas = TCanvas{};
}

void SetColor(TCanvas& Canvas, uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha) {
  Canvas.Color = TColor{B, G, R, Alpha};
}

void SetViewPort(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  Canvas.ViewPort = Clamped(X1, Y1, X2, Y2, Canvas.Width, Canvas.Height);
}

void Clear(TCanvas& Canvas) {
  if (Canvas.Pixels == nullptr || Canvas.Width <= 0 || Canvas.Height <= 0) return;
  const size_t RowBytes = size_t(Canvas.Width) * 4;
  if (Canvas.Stride == int64_t(RowBytes)) {
    std::memset(Canvas.Pixels, 0, RowBytes * size_t(Canvas.Height));
    return;
  }
  for (int32_t Y = 0; Y < Canvas.Height; ++Y)
    std::memset(Canvas.Pixels + int64_t(Y) * Canvas.Stride, 0, RowBytes);
}

void Pixel(TCanvas& Canvas, int32_t X, int32_t Y) {
  detail::PlotPixel(detail::TargetOf(Canvas), X, Y);
}

// ===================================================================== the default canvas

void SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha) { Color = TColor{B, G, R, Alpha}; }

void SetViewPort(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  ViewPort = Clamped(X1, Y1, X2, Y2, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void ClearVirtualScreen() {
  if (VirtualScreen == nullptr) return;
  std::memset(VirtualScreen, 0, SCREEN_BYTES);
}

void Pixel(int32_t X, int32_t Y) { detail::PlotPixel(detail::TargetOf(detail::ScreenCanvas()), X, Y); }

}  // namespace lumora
