// lumorashowcase outro: the closing line, centred and written letter by letter.
// Relies on the lumora text, the appearing text, the asset catalogue and the frame loop.
#include "ShowCase/showcase.h"

namespace showcase {

using namespace lumora;

const std::string OutroText = "visit: lumora.example.org/showcase";

void DrawOutroFrame(int32_t Step) {
  ClearVirtualScreen();
  const TFont& F = Font(FONT_SEGOE_SCRIPT_20);
  WriteAppearingText(CentredX(F, OutroText), 370, Step, 200, 210, 255, 0, F, OutroText);
}

const TScene OutroScene{"outro", 8, 501, DrawOutroFrame};

}  // namespace showcase
