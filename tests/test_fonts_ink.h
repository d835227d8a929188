// Test support for comparing the glyphs lumora-mkfnt writes with FreeType's: ink as pixel
// sets relative to the pen origin on the baseline, read from FreeType's glyph slot and from
// a font loaded with LoadFNTFont. Relies on FreeType and the library's .fnt layout.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "lumora/internal/bytes.h"
#include "lumora/internal/fnt_layout.h"
#include "lumora/lumora.h"
#include "support/headless.h"

namespace fontink {

// Ink pixels (column right of the origin, row below the baseline: negative above it).
using TPixels = std::set<std::pair<int, int>>;

// The ink of what FreeType loaded into its glyph slot, and its rounded advance.
struct TSourceGlyph {
  int Advance = 0;
  TPixels Ink;
};

inline TSourceGlyph FromSlot(FT_GlyphSlot G) {
  TSourceGlyph S;
  S.Advance = int(std::nearbyint(G->advance.x / 64.0));
  for (unsigned Y = 0; Y < G->bitmap.rows; ++Y)
    for (unsigned X = 0; X < G->bitmap.width; ++X)
      if ((G->bitmap.buffer[ptrdiff_t(Y) * G->bitmap.pitch + X / 8] >> (7 - X % 8)) & 1)
        S.Ink.insert({G->bitmap_left + int(X), int(Y) - G->bitmap_top});
  return S;
}

// A glyph of a loaded .fnt font: its width and its ink (rows from the baseline at Ascent).
struct TFntGlyph {
  uint32_t Width = 0;
  TPixels Ink;
};

// The glyph code C draws (the default character outside FirstChar..LastChar), read from
// the glyph buffer as fonts.h describes it.
inline TFntGlyph FromFont(const lumora::TFont& Font, uint32_t Ascent, int C) {
  namespace fnt = lumora::fnt;
  TFntGlyph G;
  const uint32_t Entries = uint32_t(Font.LastChar - Font.FirstChar) + 1;
  const uint32_t K = C >= Font.FirstChar && C <= Font.LastChar ? uint32_t(C - Font.FirstChar) : Font.DefaultChar;
  const size_t E = fnt::EntrySize(Font.Version);
  const uint8_t* Entry = Font.Glyphs + size_t(K) * E;
  G.Width = lumora::bytes::Read16(Entry + fnt::ENTRY_OFS_WIDTH);
  const uint32_t Offset = E == fnt::ENTRY_3X_SIZE ? lumora::bytes::Read32(Entry + fnt::ENTRY_OFS_OFFSET)
                                                  : lumora::bytes::Read16(Entry + fnt::ENTRY_OFS_OFFSET);
  const uint8_t* Bits = Font.Glyphs + size_t(Entries) * E + (Offset - Font.BitsOffset);
  for (uint32_t S = 0; S < (G.Width + 7) / 8; ++S)
    for (uint32_t Y = 0; Y < Font.PixHeight; ++Y)
      for (uint32_t B = 0; B < 8 && S * 8 + B < G.Width; ++B)
        if ((Bits[size_t(S) * Font.PixHeight + Y] >> (7 - B)) & 1)
          G.Ink.insert({int(S * 8 + B), int(Y) - int(Ascent)});
  return G;
}

// dfAscent of a .fnt file.
inline uint32_t AscentOf(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  uint8_t Head[lumora::fnt::OFS_ASCENT + 2] = {};
  In.read(reinterpret_cast<char*>(Head), sizeof Head);
  return lumora::bytes::Read16(Head + lumora::fnt::OFS_ASCENT);
}

// Empty when the converted glyph holds exactly the source's ink, moved sideways only to
// bring ink overhanging the advance into the cell, in a cell as wide as the advance (at
// least 1) or, where the ink is wider, as wide as the ink; otherwise what is wrong.
inline std::string Mismatch(const TSourceGlyph& S, const TFntGlyph& F) {
  std::ostringstream Why;
  const int Advance = std::max(1, S.Advance);
  if (S.Ink.empty()) {
    if (!F.Ink.empty()) Why << "ink where the source has none; ";
    if (F.Width != uint32_t(Advance)) Why << "width " << F.Width << ", advance " << Advance;
    return Why.str();
  }
  int Left = S.Ink.begin()->first, Right = Left;
  for (const auto& P : S.Ink) Right = std::max(Right, P.first + 1);
  const int InkWidth = Right - Left;
  if (F.Width != uint32_t(std::max(Advance, InkWidth)))
    Why << "width " << F.Width << ", advance " << Advance << ", ink " << InkWidth << " wide; ";
  if (F.Ink.size() != S.Ink.size()) Why << F.Ink.size() << " ink pixels of " << S.Ink.size() << "; ";
  if (F.Ink.empty()) return Why.str();
  // The shift: none when the ink lies within the advance, else just what brings it in.
  int Shift = 0;
  if (Right > Advance) Shift = Advance - Right;
  if (Left + Shift < 0) Shift = -Left;
  TPixels Moved;
  for (const auto& P : S.Ink) Moved.insert({P.first + Shift, P.second});
  if (Moved != F.Ink) Why << "ink differs from the source's moved " << Shift << " columns; ";
  for (const auto& P : F.Ink)
    if (P.first < 0 || uint32_t(P.first) >= F.Width) {
      Why << "ink outside the cell; ";
      break;
    }
  return Why.str();
}

// Runs a shell command line; its exit status (-1 when it did not exit).
inline int Run(const std::string& Command) {
  const int Status = std::system(Command.c_str());
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// A headless display, an empty font registry and a FreeType library for each test.
class FreeTypeTest : public testsupport::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    lumora::LoadedFonts.clear();
    ASSERT_EQ(FT_Init_FreeType(&Library), 0);
  }
  void TearDown() override {
    FT_Done_FreeType(Library);
    lumora::LoadedFonts.clear();
    HeadlessTest::TearDown();
  }
  FT_Library Library = nullptr;
};

}  // namespace fontink
