// lumora web platform: the back buffer shown on the page's <canvas> (1024 x 768, scaled to
// the page by its style sheet with the aspect kept), the clock from performance.now(),
// Escape from the page's key events. Built by Emscripten in place of the SDL2 window.
//
// A browser cannot block: a program shows frames from its animation callback (see
// web/main.cpp, which plays the showcase through showcase::TPlayer) and returns to the
// browser after each Flip, which is when the canvas is composited and key events arrive.
//
// Two ways to put the frame on the canvas, chosen by SetWebPresentation before InitLumora:
//   2D      the frame turned from blue, green, red, unused into red, green, blue, opaque in
//           a buffer of the module, shown with putImageData through an ImageData that views
//           that buffer (no copy on the JavaScript side). The default: every browser has it.
//   WebGL   the frame uploaded unchanged as an RGBA texture, the shader reading it as BGR;
//           no conversion on the CPU. Used when asked for and the page can have WebGL,
//           otherwise 2D.
#include <emscripten.h>
#include <emscripten/heap.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "lumora/lumora.h"
#include "lumora/platform.h"
#include "lumora/platform_web.h"

namespace lumora {
namespace {

constexpr uint32_t WINDOW_HANDLE = 1;
constexpr uint32_t DC_HANDLE = 1;

// ---------------------------------------------------------------- the page's side

// The canvas: Module.canvas, else the element with id "canvas". 0 when there is no page
// (Node.js) or no canvas on it.
EM_JS(int, JsOpenCanvas, (int Width, int Height), {
  if (typeof document === 'undefined') return 0;
  var Canvas = Module['canvas'] || document.getElementById('canvas');
  if (!Canvas || typeof Canvas.getContext !== 'function') return 0;
  Canvas.width = Width;
  Canvas.height = Height;
  Module['lumoraPage'] = {canvas: Canvas};
  return 1;
});

// Starts the presentation: 2 for WebGL, 1 for 2D, 0 when neither context can be had.
EM_JS(int, JsStartPresentation, (int Width, int Height, int WantGl), {
  var Page = Module['lumoraPage'];
  if (!Page) return 0;
  if (WantGl) {
    var Gl = Page.canvas.getContext('webgl', {alpha: false, antialias: false, depth: false,
                                              stencil: false, preserveDrawingBuffer: false});
    if (Gl) {
      function Shader(Type, Source) {
        var S = Gl.createShader(Type);
        Gl.shaderSource(S, Source);
        Gl.compileShader(S);
        return S;
      }
      var Program = Gl.createProgram();
      Gl.attachShader(Program, Shader(Gl.VERTEX_SHADER,
        'attribute vec2 p; varying vec2 t;' +
        'void main() { t = vec2(p.x + 1.0, 1.0 - p.y) * 0.5; gl_Position = vec4(p, 0.0, 1.0); }'));
      // The texture holds the back buffer's bytes as they are: blue, green, red, unused.
      Gl.attachShader(Program, Shader(Gl.FRAGMENT_SHADER,
        'precision mediump float; varying vec2 t; uniform sampler2D s;' +
        'void main() { vec4 c = texture2D(s, t); gl_FragColor = vec4(c.b, c.g, c.r, 1.0); }'));
      Gl.linkProgram(Program);
      if (Gl.getProgramParameter(Program, Gl.LINK_STATUS)) {
        Gl.useProgram(Program);
        var Quad = Gl.createBuffer();
        Gl.bindBuffer(Gl.ARRAY_BUFFER, Quad);
        Gl.bufferData(Gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), Gl.STATIC_DRAW);
        var Where = Gl.getAttribLocation(Program, 'p');
        Gl.enableVertexAttribArray(Where);
        Gl.vertexAttribPointer(Where, 2, Gl.FLOAT, false, 0, 0);
        var Texture = Gl.createTexture();
        Gl.bindTexture(Gl.TEXTURE_2D, Texture);
        Gl.texParameteri(Gl.TEXTURE_2D, Gl.TEXTURE_MIN_FILTER, Gl.NEAREST);
        Gl.texParameteri(Gl.TEXTURE_2D, Gl.TEXTURE_MAG_FILTER, Gl.NEAREST);
        Gl.texParameteri(Gl.TEXTURE_2D, Gl.TEXTURE_WRAP_S, Gl.CLAMP_TO_EDGE);
        Gl.texParameteri(Gl.TEXTURE_2D, Gl.TEXTURE_WRAP_T, Gl.CLAMP_TO_EDGE);
        Gl.texImage2D(Gl.TEXTURE_2D, 0, Gl.RGBA, Width, Height, 0, Gl.RGBA, Gl.UNSIGNED_BYTE, null);
        Gl.viewport(0, 0, Width, Height);
        Page.gl = Gl;
        Page.glObjects = [Program, Quad, Texture];
        Page.width = Width;
        Page.height = Height;
        return 2;
      }
      console.error('lumora: the WebGL program does not link: ' + Gl.getProgramInfoLog(Program) +
                    '; presenting with putImageData');
    }
  }
  var Context = Page.canvas.getContext('2d', {alpha: false});
  if (!Context) return 0;
  Page.context = Context;
  Page.width = Width;
  Page.height = Height;
  return 1;
});

// Shows Bytes (Width x Height pixels of 4 bytes): RGBA for 2D, the back buffer for WebGL.
EM_JS(void, JsPresent, (const uint8_t* Bytes, int Count), {
  var Page = Module['lumoraPage'];
  if (!Page) return;
  if (Page.gl) {
    var Gl = Page.gl;
    Gl.texSubImage2D(Gl.TEXTURE_2D, 0, 0, 0, Page.width, Page.height, Gl.RGBA, Gl.UNSIGNED_BYTE,
                     HEAPU8.subarray(Bytes, Bytes + Count));
    Gl.drawArrays(Gl.TRIANGLE_STRIP, 0, 4);
    return;
  }
  if (!Page.context) return;
  // The view is made again when the module's memory grows (its buffer is then replaced) or
  // the pixels moved.
  if (!Page.image || Page.imageBuffer !== HEAPU8.buffer || Page.imageAt !== Bytes) {
    Page.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, Bytes, Count), Page.width, Page.height);
    Page.imageBuffer = HEAPU8.buffer;
    Page.imageAt = Bytes;
  }
  Page.context.putImageData(Page.image, 0, 0);
});

EM_JS(void, JsClosePresentation, (), {
  var Page = Module['lumoraPage'];
  if (!Page) return;
  if (Page.gl) {
    var Gl = Page.gl;
    Gl.deleteProgram(Page.glObjects[0]);
    Gl.deleteBuffer(Page.glObjects[1]);
    Gl.deleteTexture(Page.glObjects[2]);
  }
  Page.gl = null;
  Page.glObjects = null;
  Page.context = null;
  Page.image = null;
  Page.imageBuffer = null;
});

EM_JS(void, JsShowArrow, (), {
  var Page = Module['lumoraPage'];
  if (Page) Page.canvas.style.cursor = 'default';
});

// ---------------------------------------------------------------- state

TWebPresentation Wanted = TWebPresentation::Canvas2D;
TWebPresentation InUse = TWebPresentation::None;
bool PageUp = false;
bool KeysHooked = false;
bool EscapeDown = false;
bool EscapePressed = false;  // a press of Escape since the previous key query
std::vector<uint8_t> Rgba;   // the 2D path's converted frame
double PresentMs = 0;        // time spent presenting, for PresentationMs
uint64_t Presented = 0;

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* E, void*) {
  const bool Escape = std::strcmp(E->key, "Escape") == 0 || std::strcmp(E->code, "Escape") == 0;
  if (Escape) {
    if (!E->repeat) EscapePressed = true;
    EscapeDown = true;
  }
  // As in a window: any key-down reaches the window procedure.
  if (!E->repeat) WindowProc(hWindow, WM_KEYDOWN, int32_t(E->keyCode), 0);
  return Escape ? EM_TRUE : EM_FALSE;  // Escape is ours; other keys keep their meaning
}

EM_BOOL OnKeyUp(int, const EmscriptenKeyboardEvent* E, void*) {
  if (std::strcmp(E->key, "Escape") == 0 || std::strcmp(E->code, "Escape") == 0) EscapeDown = false;
  return EM_FALSE;
}

// A key held while the page loses the focus sends no key-up: it counts as released.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
  EscapeDown = false;
  return EM_FALSE;
}

// ---------------------------------------------------------------- the platform

bool RegisterWindowClass() { return true; }

uint32_t CreateMainWindow(const char*, int32_t Width, int32_t Height) {
  if (!JsOpenCanvas(Width, Height)) {
    std::fprintf(stderr, "lumora: no page with a <canvas> to show the frames on\n");
    return 0;
  }
  PageUp = true;
  if (!KeysHooked) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyDown);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyUp);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnBlur);
    KeysHooked = true;
  }
  return WINDOW_HANDLE;
}

void WindowNoOp(uint32_t) {}
uint32_t GetDC(uint32_t) { return PageUp ? DC_HANDLE : 0; }
void ReleaseDC(uint32_t, uint32_t) {}
void PostQuitMessage(int32_t) {}

// A page cannot move the pointer: the arrow is shown over the canvas, where it is.
void PlaceCursor(int32_t, int32_t) {
  if (PageUp) JsShowArrow();
}

void GetDefaultDirectDraw(uint32_t Window, int32_t Width, int32_t Height, int32_t) {
  InUse = TWebPresentation::None;
  if (Window == 0 || !PageUp) return;
  const int Got = JsStartPresentation(Width, Height, Wanted == TWebPresentation::WebGL ? 1 : 0);
  if (Got == 0) {
    std::fprintf(stderr, "lumora: the canvas gives neither a WebGL nor a 2D context\n");
    return;
  }
  InUse = Got == 2 ? TWebPresentation::WebGL : TWebPresentation::Canvas2D;
  if (InUse == TWebPresentation::Canvas2D) Rgba.assign(size_t(Width) * size_t(Height) * 4, 0);
  PresentMs = 0;
  Presented = 0;
}

// Blue, green, red, unused to red, green, blue, opaque.
void ToRgba(const uint8_t* Bgrx, uint8_t* Out, size_t Pixels) {
  size_t I = 0;
#if defined(__wasm_simd128__)
  const v128_t Opaque = wasm_i32x4_splat(int32_t(0xFF000000u));
  for (; I + 4 <= Pixels; I += 4, Bgrx += 16, Out += 16) {
    const v128_t P = wasm_v128_load(Bgrx);
    const v128_t Swapped = wasm_i8x16_shuffle(P, P, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    wasm_v128_store(Out, wasm_v128_or(Swapped, Opaque));
  }
#endif
  for (; I < Pixels; ++I, Bgrx += 4, Out += 4) {
    Out[0] = Bgrx[2];
    Out[1] = Bgrx[1];
    Out[2] = Bgrx[0];
    Out[3] = 255;
  }
}

void DirectDrawBlit(const uint8_t* Buffer) {
  if (Buffer == nullptr || InUse == TWebPresentation::None) return;
  const double Start = emscripten_get_now();
  if (InUse == TWebPresentation::WebGL) {
    JsPresent(Buffer, int(SCREEN_BYTES));
  } else {
    ToRgba(Buffer, Rgba.data(), Rgba.size() / 4);
    JsPresent(Rgba.data(), int(Rgba.size()));
  }
  PresentMs += emscripten_get_now() - Start;
  ++Presented;
}

void CloseDirectDraw() {
  if (InUse != TWebPresentation::None) JsClosePresentation();
  InUse = TWebPresentation::None;
  std::vector<uint8_t>().swap(Rgba);
}

// performance.now(): milliseconds since the page began loading, never negative.
uint32_t TickCount() { return uint32_t(uint64_t(emscripten_get_now())); }

int16_t KeyState(int32_t VKey) {
  if (VKey != VK_ESCAPE) return 0;
  const bool Pressed = EscapePressed;
  EscapePressed = false;
  return int16_t((EscapeDown ? 0x8000 : 0) | (Pressed ? 1 : 0));
}

// The page cannot sleep without freezing: this waits by reading the clock, as a blocking
// program asks. Programs made for the page pace themselves with the animation callback.
void SleepMs(uint32_t Ms) {
  const double Until = emscripten_get_now() + double(Ms);
  while (emscripten_get_now() < Until) {
  }
}

uint64_t AvailMemory() { return platform::SystemAvailableMemory(); }

const platform::TPlatform Web{
    "web",        RegisterWindowClass,  CreateMainWindow, WindowNoOp,    WindowNoOp,
    WindowNoOp,   GetDC,                ReleaseDC,        PostQuitMessage,
    PlaceCursor,  GetDefaultDirectDraw, DirectDrawBlit,   CloseDirectDraw,
    TickCount,    KeyState,             SleepMs,          AvailMemory,
};

}  // namespace

namespace platform {
const TPlatform* WebPlatform() { return &Web; }
}  // namespace platform

void SetWebPresentation(TWebPresentation Way) {
  Wanted = Way == TWebPresentation::WebGL ? TWebPresentation::WebGL : TWebPresentation::Canvas2D;
}

TWebPresentation WebPresentationInUse() { return InUse; }

double WebPresentMs() { return Presented == 0 ? 0.0 : PresentMs / double(Presented); }

}  // namespace lumora
