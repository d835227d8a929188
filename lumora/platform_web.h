// lumora in a web page (Emscripten builds only): how the back buffer reaches the canvas,
// and what presenting costs. See platform_web.cpp.
#pragma once

#include <cstdint>

namespace lumora {

enum class TWebPresentation : int32_t {
  None,      // nothing presents: no page, no canvas, or the display is closed
  Canvas2D,  // putImageData of the frame turned into RGBA
  WebGL,     // the frame uploaded as a texture, turned by the shader
};

// The way InitLumora should present (2D unless WebGL is asked for); WebGL falls back to 2D
// when the page cannot have it.
void SetWebPresentation(TWebPresentation Way);
// The way the open display presents.
TWebPresentation WebPresentationInUse();
// Mean milliseconds a Flip has spent presenting since InitLumora (conversion, upload and
// the draw call; the browser composites afterwards).
double WebPresentMs();

}  // namespace lumora
