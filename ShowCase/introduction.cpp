// lumorashowcase introduction: appearing text, the introduction scene and the fade.
// Relies on the lumora library and the shared frame loop.
#include <cmath>

#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

void DrawIntroductionFrame(int32_t Step) {
  (void)Step;
  ClearVirtualScreen();
}

const TScene IntroductionScene{"introduction", 10, 3001, DrawIntroductionFrame};

void Fade() {
  if (Terminate) return;
  for (int32_t I = 1; I <= 25; ++I) {
    SetColor(0, 0, 0, uint8_t(210 - 5 * I));
    FillRectangle(0, 0, 1023, 768);
    Flip();
    Sleep(15);
    if (PollEscape()) return;
  }
}

}  // namespace showcase
