// lumora primitives: lines, circles and rings, rectangles.
// Included by lumora.h; relies on the drawing state and the blend of the display core.
#pragma once

#include <cstdint>

#include "lumora/canvas.h"

namespace lumora {

// All primitives draw in Color, clipped to ViewPort (edges inclusive), and accept any
// 32-bit arguments: sums and squares are formed in 64 bits, and only the part of a shape
// that can reach the viewport is walked, so a huge or far-away shape returns at once.

// Line from (X1, Y1) to (X2, Y2), both end points drawn: an error-accumulating walk of
// max(|X2 - X1|, |Y2 - Y1|) + 1 steps with the accumulator starting at half the longer
// extent, so the line from B to A may differ from the line from A to B in tie pixels.
// Every pixel is plotted once, with the clip test and blend of Pixel. Clips and blends.
void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

// Thin circle of radius |R| around (XS, YS): on each row offset Y = 0..|R| the four
// mirrored runs from this row's half-width, sqrt(R^2 - Y^2) rounded to the nearest
// integer, out to the previous row's, so the outline has no gaps. Plotted with the clip
// test and blend of Pixel; pixels on the mirror axes are plotted (and blended) twice, the
// centre of R = 0 four times. Clips and blends.
void Circle(int32_t XS, int32_t YS, int32_t R);

// Ring covering the radii R - (Line_Width - 1) div 2 .. R + Line_Width div 2 (division
// truncating), drawn row by row as horizontal spans, each pixel once; a disc where the
// inner radius is not positive, nothing when the outer radius is negative (R is not
// made positive). Width 1 draws the thin circle first and the ring over it. Writes the
// buffer directly with the arithmetic of Pixel. Clips and blends.
void Circle(int32_t XS, int32_t YS, int32_t R, int32_t Line_Width);

// Outline of bands Line_Width wide centred on the four edges, an even width's extra line
// on the right of / below the edge: Half1 = (W - 1) div 2, Half2 = W div 2. Top, left,
// bottom and right bands in this order, built from Line; the horizontal bands span the
// full outer width, so where bands meet pixels are drawn (and blended) twice, at width 1
// the four corners. Width 0 draws as width 1, negative widths draw nothing. Corners are
// not reordered. Clips and blends.
void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width);

// Solid rectangle (X1, Y1)-(X2, Y2), edges inclusive; nothing when X1 > X2 or Y1 > Y2,
// or when it clips to nothing (an empty viewport included). Translucent: every pixel
// blended once, fourth bytes kept. Opaque: the first clipped row gets the colour bytes,
// then is copied down as whole pixels, so the rows below take its fourth bytes. Clips
// and blends.
void FillRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

// The same on a canvas, in its colour, clipped to its viewport (see canvas.h).
void Line(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
void Circle(TCanvas& Canvas, int32_t XS, int32_t YS, int32_t R);
void Circle(TCanvas& Canvas, int32_t XS, int32_t YS, int32_t R, int32_t Line_Width);
void Rectangle(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width);
void FillRectangle(TCanvas& Canvas, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

}  // namespace lumora
