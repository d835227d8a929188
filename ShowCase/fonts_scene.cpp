// lumorashowcase fonts scene.
// Relies on the lumora library and the shared frame loop.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

void DrawFontsFrame(int32_t Step) {
  (void)Step;
  ClearVirtualScreen();
}

const TScene FontsScene{"fonts", 10, 1001, DrawFontsFrame};

}  // namespace showcase
