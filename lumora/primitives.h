// lumora primitives: lines, circles and rings, rectangles.
// Included by lumora.h; relies on the drawing state and the blend of the display core.
#pragma once

#include <cstdint>

namespace lumora {

// Line from (X1, Y1) to (X2, Y2), both end points drawn, every pixel once through Pixel.
// Clips and blends.
void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

// Thin circle of radius |R| around (XS, YS), plotted through Pixel by quadrant symmetry;
// pixels on the mirror axes are plotted (and blended) more than once. Clips and blends.
void Circle(int32_t XS, int32_t YS, int32_t R);

// Ring covering the radii R - (Line_Width - 1) div 2 .. R + Line_Width div 2, drawn as
// horizontal spans (a disc when the inner radius is not positive). Width 1 also draws
// the thin circle first. Clips and blends.
void Circle(int32_t XS, int32_t YS, int32_t R, int32_t Line_Width);

// Outline of bands Line_Width wide centred on the four edges, built from Line; where
// bands meet, pixels are drawn twice. Corners are not reordered. Clips and blends.
void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Line_Width);

// Solid rectangle (X1, Y1)-(X2, Y2), edges inclusive; nothing when X1 > X2 or Y1 > Y2.
// An opaque fill copies its first row down (fourth bytes included). Clips and blends.
void FillRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);

}  // namespace lumora
