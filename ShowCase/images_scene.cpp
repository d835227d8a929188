// lumorashowcase images scene.
// Relies on the lumora library and the shared frame loop.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

void DrawImagesFrame(int32_t Step) {
  (void)Step;
  ClearVirtualScreen();
}

const TScene ImagesScene{"images", 10, 2851, DrawImagesFrame};

}  // namespace showcase
