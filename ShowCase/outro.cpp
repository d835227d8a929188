// lumorashowcase outro scene.
// Relies on the lumora library and the shared frame loop.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

void DrawOutroFrame(int32_t Step) {
  (void)Step;
  ClearVirtualScreen();
}

const TScene OutroScene{"outro", 8, 501, DrawOutroFrame};

}  // namespace showcase
