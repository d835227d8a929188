// Test kit: builds .fnt font files byte by byte, so tests and fuzz seeds get exactly the
// fonts (sound, damaged or odd) they need. Field offsets: lumora/internal/fnt_layout.h.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "lumora/internal/fnt_layout.h"
#include "support/files.h"

namespace testsupport {

// One glyph: its width and its bitmap as stored, ceil(Width / 8) strips of PixHeight
// bytes each (padding bits may be set on purpose).
struct FntGlyph {
  uint16_t Width = 0;
  std::vector<uint8_t> Strips;
};

// A glyph drawn as text rows of '#' (ink) and '.' (clear); the width is the row length.
FntGlyph ArtGlyph(std::initializer_list<const char*> Rows);

// A glyph of the given width whose strips are all filled with one byte value.
FntGlyph FilledGlyph(uint16_t Width, uint16_t PixHeight, uint8_t Byte);

struct FntLayout {
  uint16_t Version = lumora::fnt::VERSION_2X;
  uint16_t PixHeight = 1;
  uint16_t PixWidth = 0;
  uint8_t FirstChar = 32;
  int LastChar = -1;  // -1: FirstChar + Glyphs.size() - 1
  uint8_t DefaultChar = 0;
  uint8_t BreakChar = 0;
  uint32_t GapBeforeBits = 0;  // unused bytes between the table and the bitmaps
  std::vector<FntGlyph> Glyphs;  // table entry k describes FirstChar + k
  std::string Copyright;         // up to 60 characters
  std::string Face = "Test";
};

// The whole file: header, table, bitmaps in glyph order, then the face name. dfSize is
// the file size; dfBitsOffset the first bitmap byte; dfAscent the height, dfMaxWidth and
// dfAvgWidth the widest glyph and the mean width.
std::vector<uint8_t> BuildFnt(const FntLayout& S);

}  // namespace testsupport
