// lumora screen: the drawing state (Color, ViewPort), clearing and Pixel. Relies on the
// back buffer of display.cpp and the blend of blend.h; the span blends are in spans/.
#include <cstring>

#include "lumora/internal/blend.h"
#include "lumora/lumora.h"

namespace lumora {

TColor Color{};
TViewPort ViewPort{};

void SetColor(uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha) {
  Color.R = R;
  Color.G = G;
  Color.B = B;
  Color.Alpha = Alpha;
}

void SetViewPort(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  ViewPort = TViewPort{X1, Y1, X2, Y2};
  if (ViewPort.X2 > SCREEN_WIDTH - 1) ViewPort.X2 = SCREEN_WIDTH - 1;
  if (ViewPort.Y2 > SCREEN_HEIGHT - 1) ViewPort.Y2 = SCREEN_HEIGHT - 1;
  if (ViewPort.X1 < 0) ViewPort.X1 = 0;
  if (ViewPort.Y1 < 0) ViewPort.Y1 = 0;
}

void ClearVirtualScreen() {
  if (VirtualScreen == nullptr) return;
  std::memset(VirtualScreen, 0, SCREEN_BYTES);
}

void Pixel(int32_t X, int32_t Y) { detail::PlotPixel(X, Y); }

}  // namespace lumora
