// lumora fonts and text: .fnt loading, the font registry, drawing and measuring text.
// Included by lumora.h; relies on the display core (Pixel, GetAvailRAMMemory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumora/display.h"

namespace lumora {

// A loaded bitmap font. Records are created value-initialised (TFont{}); a registered
// record must not move; a copy shares the glyph buffer.
struct TFont {
  std::string FileName;   // the file name without its last four characters
  bool Loaded;
  uint16_t Version;       // 0x0200 or 0x0300
  uint16_t PixHeight;
  uint8_t FirstChar;
  uint8_t LastChar;
  uint8_t DefaultChar;    // counted from FirstChar
  uint8_t BreakChar;
  uint32_t BitsOffset;    // file offset of the bitmap region
  uint32_t GlyphsSize;
  PDataElement Glyphs;    // glyph table, then the bitmap region
};
using PFont = TFont*;

// Every successful LoadFNTFont appends the loaded record's address.
extern std::vector<PFont> LoadedFonts;

void LoadFNTFont(const std::string& FontName, TFont& Font, uint8_t& Result_);
void FreeFNTFont(TFont& Font);
void WriteText(int32_t X, int32_t Y, const TFont& Font, const std::string& Text);
uint32_t GetTextLength(const TFont& Font, const std::string& Text);

}  // namespace lumora
