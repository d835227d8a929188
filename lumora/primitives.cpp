// lumora primitives: Line, Circle (thin and thick), Rectangle, FillRectangle.
// Relies on the drawing state and the blend of the display core.
#include "lumora/blend.h"
#include "lumora/lumora.h"

namespace lumora {

void Line(int32_t, int32_t, int32_t, int32_t) {}
void Circle(int32_t, int32_t, int32_t) {}
void Circle(int32_t, int32_t, int32_t, int32_t) {}
void Rectangle(int32_t, int32_t, int32_t, int32_t, int32_t) {}
void FillRectangle(int32_t, int32_t, int32_t, int32_t) {}

}  // namespace lumora
