// lumora fonts and text: .fnt loading, the font registry, drawing and measuring text.
// Included by lumora.h; relies on the display core (Pixel, GetAvailRAMMemory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumora/canvas.h"
#include "lumora/display.h"

namespace lumora {

// A loaded bitmap font. Records start out not loaded (all fields cleared, Glyphs null).
// A registered record must not move; a copy shares the glyph buffer.
struct TFont {
  std::string FileName;      // the file name as given, without its last four characters
  bool Loaded = false;       // false: the record holds no font and draws nothing
  uint16_t Version = 0;      // 0x0200 or 0x0300
  uint16_t PixHeight = 0;    // rows of every glyph
  uint8_t FirstChar = 0;
  uint8_t LastChar = 0;
  uint8_t DefaultChar = 0;   // table entry drawn for codes outside FirstChar..LastChar
  uint8_t BreakChar = 0;     // kept, not used by the text operations
  uint32_t BitsOffset = 0;   // file offset of the bitmap region
  uint32_t GlyphsSize = 0;
  // The glyph buffer (new uint8_t[GlyphsSize]): the glyph table (N entries of 4 bytes for
  // 0x0200, 6 bytes for 0x0300, N = LastChar - FirstChar + 1), then the file's bytes from
  // BitsOffset to the end of the font. A glyph whose entry holds file offset O has its
  // bitmap at index N x E + (O - BitsOffset): ceil(Width / 8) strips of PixHeight bytes,
  // top row first, bit 7 the leftmost pixel of a strip.
  PDataElement Glyphs = nullptr;
};
using PFont = TFont*;

// The font registry: every successful LoadFNTFont appends the loaded record's address
// (loading the same record twice registers it twice). The library never removes an entry;
// programs may resize the vector themselves.
extern std::vector<PFont> LoadedFonts;

// ===================================================================== loading

// Result codes of LoadFNTFont. 0..5 are the codes of a well-formed file; 6..8 refuse files
// that cannot be read safely as a font.
inline constexpr uint8_t FNT_OK = 0;
inline constexpr uint8_t FNT_CANNOT_OPEN = 1;      // the file cannot be opened for reading
inline constexpr uint8_t FNT_FIXED_WIDTH = 2;      // dfPixWidth is not 0
inline constexpr uint8_t FNT_TOO_LARGE = 3;        // glyph buffer above MAX_SIZE
inline constexpr uint8_t FNT_NO_MEMORY = 4;        // glyph buffer above GetAvailRAMMemory()
inline constexpr uint8_t FNT_ALLOC_FAILED = 5;     // the allocation yielded nothing
inline constexpr uint8_t FNT_TRUNCATED = 6;        // the file ends before its header, glyph
                                                   // table or dfSize, or dfBitsOffset > dfSize
inline constexpr uint8_t FNT_BAD_VERSION = 7;      // dfVersion is neither 0x0200 nor 0x0300
inline constexpr uint8_t FNT_MALFORMED = 8;        // dfLastChar < dfFirstChar, a DefaultChar
                                                   // beyond the table, or a glyph bitmap not
                                                   // inside dfBitsOffset .. dfSize

// A short description of a LoadFNTFont result code ("unknown code" beyond 8).
const char* FNTResultText(uint8_t Code);

// Loads a .fnt font (version 2.x or 3.x, variable width) into Font and sets Result_.
// The path is used up to its first 255 characters; '\' is read as a directory separator,
// and a name holding a zero byte cannot be opened.
// On success (0): Font holds the header fields, FileName is FontName without its last
// four characters ("" when it has four or fewer), Glyphs is one new buffer of GlyphsSize
// bytes, a glyph buffer Font held before is released, and &Font is appended to
// LoadedFonts. On any failure Font and LoadedFonts are left unchanged and nothing stays
// allocated or open.
// Order of the checks, and so which code a file with several faults gets:
//   1        the file cannot be opened;
//   6, 7     the 118-byte header (and the 30-byte 3.x extension) cannot be read, or the
//            version is unknown: decided at once;
//   8, 6     dfLastChar < dfFirstChar, then dfBitsOffset > dfSize: decided at once;
//   2, 3, 4  do not stop one another: the last that fails decides (4 before 3 before 2);
//            a file refused here is not read further;
//   6, 8     the glyph table is missing, or a regular file is shorter than dfSize (6),
//            a DefaultChar beyond the table or a glyph bitmap outside the region (8);
//   5        the allocation fails;
//   6        a stream that is not a regular file (a named pipe) ends before dfSize.
// The file is read once, forward, so named pipes and other streams load like files.
// A glyph whose bitmap is empty (width or height 0) may hold any offset.
void LoadFNTFont(const std::string& FontName, TFont& Font, uint8_t& Result_);

// Releases the glyph buffer of a loaded font and marks it not loaded (Loaded false,
// Glyphs null); the other fields are kept. Does nothing for a record that is not loaded,
// so a second call is harmless. The LoadedFonts entries stay: drawing with a freed font
// draws nothing, measuring gives 0. Copies of the record must not be used afterwards.
void FreeFNTFont(TFont& Font);

// ===================================================================== text

// Draws Text left to right from (X, Y), the top-left corner of its first glyph. A code
// outside FirstChar..LastChar draws the DefaultChar glyph. Each glyph covers the columns
// ActualX .. ActualX + Width - 1 and the rows Y .. Y + PixHeight - 1, then ActualX grows by
// its Width. Each ink pixel is plotted once in Color; clear bits and padding bits beyond
// the width leave the screen untouched. Any length is drawn whole. A font that is not
// loaded draws nothing. Clips and blends.
void WriteText(int32_t X, int32_t Y, const TFont& Font, const std::string& Text);
// The same on a canvas, in its colour, clipped to its viewport (see canvas.h).
void WriteText(TCanvas& Canvas, int32_t X, int32_t Y, const TFont& Font, const std::string& Text);

// The width of Text in pixels: the sum of the widths of the glyphs WriteText would draw
// (32-bit unsigned, wrapping beyond 4,294,967,295). 0 for an empty text or a font that is
// not loaded.
uint32_t GetTextLength(const TFont& Font, const std::string& Text);

}  // namespace lumora
