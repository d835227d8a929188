// lumora canvas: a surface of any size to draw on, with its own colour and viewport.
// Included by lumora.h; relies on the colour and viewport types of the display core.
//
// Every drawing call has a canvas-first form that draws on a TCanvas with the same contract
// as the global call, reading 1023 and 767 as the canvas's last column and row. The global
// calls draw on the default canvas: the back buffer VirtualScreen with the globals Color
// and ViewPort. Canvases share nothing: different canvases may be drawn on from different
// threads at the same time. The global calls and the globals they use are for one thread.
#pragma once

#include <cstdint>

#include "lumora/display.h"

namespace lumora {

// Width x Height pixels of 4 bytes (blue, green, red, fourth byte) in rows Stride bytes
// apart, top row first; its own drawing colour and clip rectangle (edges inclusive).
struct TCanvas {
  uint8_t* Pixels = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int64_t Stride = 0;
  TColor Color{};
  TViewPort ViewPort{};
  bool Owned = false;  // Pixels came from AllocateCanvas and go with FreeCanvas
};

inline constexpr int32_t MAX_CANVAS_SIDE = 32768;

// A canvas over the caller's memory: Width and Height 1 .. 32,768, Stride at least Width x 4.
// Colour opaque black, viewport the whole canvas. False, and an empty canvas (which draws
// nothing), when a size is out of range or Pixels is null.
bool MakeCanvas(TCanvas& Canvas, uint8_t* Pixels, int32_t Width, int32_t Height, int64_t Stride);
// A canvas of its own memory, cleared to zero (Stride Width x 4). False, and an empty
// canvas, when a size is out of range or the memory cannot be had.
bool AllocateCanvas(TCanvas& Canvas, int32_t Width, int32_t Height);
// Releases the memory of an allocated canvas and empties it; nothing for any other canvas.
void FreeCanvas(TCanvas& Canvas);

// The canvas-first forms of the drawing state and the pixel (see display.h).
void SetColor(TCanvas& Canvas, uint8_t R, uint8_t G, uint8_t B, uint8_t Alpha);
// Pulls X2 and Y2 down to the canvas's last column and row and X1 and Y1 up to 0.
void SetViewPort(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
// Sets every byte of the canvas's pixels to 0, fourth bytes included (not the padding
// between rows).
void Clear(TCanvas& Canvas);
void Pixel(TCanvas& Canvas, int32_t X, int32_t Y);

}  // namespace lumora
