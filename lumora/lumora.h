// lumora: a small, exact 2D software graphics library for 1024 x 768 presentation.
// One back buffer with per-pixel transparency, bitmap-font text and scaled pictures.
//
// Sections, in the order a program needs them:
//   display.h     the window, the back buffer, platform services, colour, viewport, Pixel
//   canvas.h      surfaces of any size, each with its own colour and viewport
//   primitives.h  lines, circles and rings, rectangles
//   fonts.h       .fnt fonts, text drawing and measuring
//   pictures.h    .bmp pictures, scaled and blended display
#pragma once

#include "lumora/display.h"
#include "lumora/canvas.h"
#include "lumora/primitives.h"
#include "lumora/fonts.h"
#include "lumora/pictures.h"
