// lumorashowcase primitives scene.
// Relies on the lumora library and the shared frame loop.
#include <cmath>

#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

void DrawPrimitivesFrame(int32_t Step) {
  (void)Step;
  ClearVirtualScreen();
}

const TScene PrimitivesScene{"primitives", 50, 400, DrawPrimitivesFrame};

}  // namespace showcase

namespace showcase {

// pi as the nearest 80-bit value: the double M_PI entering the extended product moves
// some rounded end points by a pixel.
void PolarToCartesian(double Angle, double R, int32_t& X, int32_t& Y) {
  constexpr long double PI_EXTENDED = 3.141592653589793238462643383279502884L;
  const long double Rad = (long double)Angle / 180.0L * PI_EXTENDED;
  X = int32_t(std::nearbyint((long double)R * cosl(Rad)));
  Y = int32_t(std::nearbyint((long double)R * sinl(Rad)));
}

}  // namespace showcase
