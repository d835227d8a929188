// Test kit: builds .bmp files byte by byte (any depth, header layout, compression or
// damage), so tests and fuzz seeds get exactly the pictures they need. Field offsets:
// lumora/internal/bmp_layout.h.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lumora/internal/bmp_layout.h"
#include "support/files.h"

namespace testsupport {

// A bitmap to write.
struct TBmp {
  uint32_t Width = 0, Height = 0;
  bool TopDown = false;          // the height is stored negated: rows top first
  uint16_t Bits = 24;
  uint32_t Compression = lumora::bmp::COMPRESSION_NONE;
  uint32_t InfoSize = 40;        // bytes of info header written (40, 108, 124, ...)
  // Bit-field masks (red, green, blue, alpha): inside an info header of 52 bytes or more
  // (as many as it holds), else right behind it.
  std::vector<uint32_t> Masks;
  int64_t DataOffset = -1;       // -1: right behind the palette
  uint32_t PaletteGap = 0;       // bytes between palette and pixels
  std::vector<std::array<uint8_t, 4>> Palette;  // B, G, R, X; written as given
  // (Width x Bits + 7) / 8 bytes per row (B, G, R at 24 bits, an index at 8), top row
  // first; each row is padded with Fill.
  std::vector<uint8_t> Pixels;
  std::vector<uint8_t> Encoded;  // when not empty, written instead of the rows (run-length data)
  uint8_t Fill = 0xEE;           // value of the fill bytes
  bool HeaderOnly = false;       // the 54 header bytes alone
  char Signature[2] = {'B', 'M'};
};

std::vector<uint8_t> BuildBmp(const TBmp& S);

// Pixel (X, Y) of a 24-bit test picture, telling its position: B = X mod 256, G = Y mod 256,
// R = X div 256 + 16 x (Y div 256). Unique for pictures up to 4096 x 4096.
std::array<uint8_t, 3> CoordColor(uint32_t X, uint32_t Y);

// A 24-bit picture of CoordColor pixels.
TBmp CoordBmp(uint32_t W, uint32_t H);

// An 8-bit picture with a full palette (entry I = B I, G 255 - I, R I xor 0x5A, X 0xAB) and
// index (X + 3 Y) mod 256 at (X, Y).
TBmp PaletteBmp(uint32_t W, uint32_t H);

}  // namespace testsupport
