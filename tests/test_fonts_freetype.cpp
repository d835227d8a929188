// Cross-check of our .fnt reader and text drawing against FreeType's Windows FNT driver, on
// fonts lumora-mkfnt writes here and on the showcase's committed fonts.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/fnt_builder.h"
#include "support/headless.h"
#include "test_fonts_ink.h"

namespace {

using namespace lumora;
using namespace testsupport;
namespace fs = std::filesystem;

const char* const SYSTEM_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FreeTypeCrossCheck : public fontink::FreeTypeTest {
 protected:

  // Loads Path with both readers and compares every code 0..255: the glyph FreeType picks
  // (its default character for codes outside the table), its advance and its bits, against
  // what WriteText draws and GetTextLength measures. Returns the codes that agreed.
  int Compare(const std::string& Path) {
    int Agreed = 0;
    CompareInto(Path, Agreed);
    return Agreed;
  }
  void CompareInto(const std::string& Path, int& Agreed) {
    SCOPED_TRACE(Path);
    TFont Font{};
    uint8_t Result = 99;
    LoadFNTFont(Path, Font, Result);
    ASSERT_EQ(Result, FNT_OK);
    FT_Face Face = nullptr;
    ASSERT_EQ(FT_New_Face(Library, Path.c_str(), 0, &Face), 0);
    ASSERT_GE(Face->num_charmaps, 1);
    EXPECT_EQ(FT_Set_Charmap(Face, Face->charmaps[0]), 0);
    EXPECT_EQ(FT_Select_Size(Face, 0), 0);

    SetColor(255, 255, 255, 0);
    for (int Code = 0; Code < 256; ++Code) {
      SCOPED_TRACE(Code);
      const std::string Ch(1, char(Code));
      ASSERT_EQ(FT_Load_Char(Face, FT_ULong(Code), FT_LOAD_RENDER | FT_LOAD_MONOCHROME), 0);
      const FT_GlyphSlot G = Face->glyph;
      const uint32_t Width = GetTextLength(Font, Ch);
      EXPECT_EQ(uint32_t(G->advance.x >> 6), Width);
      ASSERT_EQ(G->bitmap.width, Width);
      ASSERT_EQ(G->bitmap.rows, Font.PixHeight);
      WriteText(0, 0, Font, Ch);
      int Wrong = 0;
      for (uint32_t Y = 0; Y < Font.PixHeight && Y < uint32_t(SCREEN_HEIGHT); ++Y) {
        for (uint32_t X = 0; X < Width && X < uint32_t(SCREEN_WIDTH); ++X) {
          const bool Theirs = (G->bitmap.buffer[Y * uint32_t(G->bitmap.pitch) + X / 8] >> (7 - X % 8)) & 1;
          uint8_t* P = PixelAt(int32_t(X), int32_t(Y));
          Wrong += Theirs != (P[0] == 255);
          P[0] = P[1] = P[2] = 0;
        }
      }
      EXPECT_EQ(Wrong, 0);
      Agreed += Wrong == 0;
    }
    // Nothing may have been drawn outside the glyph cells that were just cleared.
    EXPECT_EQ(std::count(VirtualScreen, VirtualScreen + SCREEN_BYTES, 255), 0);
    FT_Done_Face(Face);
    FreeFNTFont(Font);
  }

};

TEST_F(FreeTypeCrossCheck, FontsWrittenByMkfntReadTheSame) {
  if (!fs::exists(SYSTEM_FONT)) GTEST_SKIP() << SYSTEM_FONT << " is not installed (fonts-dejavu-core)";
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  const std::string Tool = std::string(LUMORA_BIN_DIR) + "/lumora-mkfnt -q ";
  const std::string Codes = std::string(LUMORA_SOURCE_DIR) + "/assets/symbol-font-codes.tsv";
  const std::vector<std::pair<std::string, std::string>> Variants = {
      {"auto21.fnt", "--px 21"},
      {"v3-bold13.fnt", "--px 13 --version 3 --bold"},
      {"v2-pt9.fnt", "--pt 9 --version 2"},
      {"symbol17.fnt", "--px 17 --codes '" + Codes + "'"},
      {"large90.fnt", "--px 90"},
  };
  for (const auto& [Name, Options] : Variants) {
    const std::string Out = Dir + "/" + Name;
    ASSERT_EQ(std::system((Tool + Options + " " + SYSTEM_FONT + " '" + Out + "'").c_str()), 0) << Name;
    EXPECT_EQ(Compare(Out), 256);
  }
  // The version is as asked, or 3.x only where 16-bit offsets do not reach.
  auto VersionOf = [&](const std::string& Name) {
    TFont F{};
    uint8_t R = 0;
    LoadFNTFont(Dir + "/" + Name, F, R);
    const uint16_t V = F.Version;
    FreeFNTFont(F);
    return V;
  };
  EXPECT_EQ(VersionOf("auto21.fnt"), 0x0200);
  EXPECT_EQ(VersionOf("v3-bold13.fnt"), 0x0300);
  EXPECT_EQ(VersionOf("v2-pt9.fnt"), 0x0200);
  EXPECT_EQ(VersionOf("large90.fnt"), 0x0300);

  // Every glyph is as wide as the source's rounded advance, so text keeps the font's
  // spacing, and holds all of the source's ink: ink overhanging the advance is moved in,
  // and a cell grows where the ink is wider than the advance.
  FT_Face Source = nullptr;
  ASSERT_EQ(FT_New_Face(Library, SYSTEM_FONT, 0, &Source), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(Source, 0, 21), 0);
  TFont Made{};
  uint8_t Result = 99;
  LoadFNTFont(Dir + "/auto21.fnt", Made, Result);
  ASSERT_EQ(Result, FNT_OK);
  const uint32_t Ascent = fontink::AscentOf(Dir + "/auto21.fnt");
  int Overhanging = 0;
  for (int Code = 0x21; Code < 0x7F; ++Code) {
    ASSERT_EQ(FT_Load_Char(Source, FT_ULong(Code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
    const fontink::TSourceGlyph G = fontink::FromSlot(Source->glyph);
    const int Left = G.Ink.empty() ? 0 : G.Ink.begin()->first;
    const int Right = G.Ink.empty() ? 0 : std::prev(G.Ink.end())->first + 1;
    Overhanging += Left < 0 || Right > G.Advance;
    EXPECT_EQ(fontink::Mismatch(G, fontink::FromFont(Made, Ascent, Code)), "") << char(Code);
    // What WriteText draws is that ink.
    ClearVirtualScreen();
    SetColor(255, 255, 255, 0);
    WriteText(100, 100, Made, std::string(1, char(Code)));
    int Drawn = 0;
    for (int Y = 90; Y < 140; ++Y)
      for (int X = 90; X < 140; ++X) Drawn += Bytes(X, Y)[0] != 0;
    EXPECT_EQ(Drawn, int(G.Ink.size())) << char(Code);
  }
  EXPECT_GT(Overhanging, 0);  // the check above met some overhanging ink
  FreeFNTFont(Made);
  FT_Done_Face(Source);
}

// An italic face at a small size, where many letters reach beyond their advance: every
// glyph of the converted font holds FreeType's ink, moved in by no more than its overhang
// ('j' stays a 'j', not the underscore that was left of it when ink was cut).
TEST_F(FreeTypeCrossCheck, ItalicGlyphsKeepAllTheirInk) {
  const char* Italic = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf";
  if (!fs::exists(Italic)) GTEST_SKIP() << Italic << " is not installed (fonts-dejavu-extra)";
  TTempDir Temp;
  const std::string Out = Temp / "italic14.fnt";
  ASSERT_EQ(fontink::Run(std::string(LUMORA_BIN_DIR) + "/lumora-mkfnt -q --px 14 " + Italic + " '" + Out + "'"), 0);
  TFont Made{};
  uint8_t Result = 99;
  LoadFNTFont(Out, Made, Result);
  ASSERT_EQ(Result, FNT_OK);
  const uint32_t Ascent = fontink::AscentOf(Out);
  FT_Face Source = nullptr;
  ASSERT_EQ(FT_New_Face(Library, Italic, 0, &Source), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(Source, 0, 14), 0);
  // Windows-1252 0x80..0x9F; the codes it leaves undefined draw the default character.
  const uint32_t Cp1252[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                               0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                               0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
  int Compared = 0, Wider = 0;
  for (int Code = 0x20; Code <= 0xFF; ++Code) {
    const uint32_t U = Code == 0x7F ? 0 : Code >= 0x80 && Code <= 0x9F ? Cp1252[Code - 0x80] : uint32_t(Code);
    const FT_UInt Index = U ? FT_Get_Char_Index(Source, U) : 0;
    if (Index == 0) continue;
    ASSERT_EQ(FT_Load_Glyph(Source, Index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
    const fontink::TSourceGlyph G = fontink::FromSlot(Source->glyph);
    const fontink::TFntGlyph F = fontink::FromFont(Made, Ascent, Code);
    EXPECT_EQ(fontink::Mismatch(G, F), "") << "code 0x" << std::hex << Code;
    Wider += F.Width > uint32_t(std::max(1, G.Advance));
    ++Compared;
  }
  EXPECT_EQ(Compared, 218);  // 0x20..0xFF less the five undefined codes and 0x7F
  EXPECT_GT(Wider, 0);       // some cells did have to grow
  // The 'j' reaches from its dot above the x-height down to its hook below the baseline.
  const fontink::TFntGlyph J = fontink::FromFont(Made, Ascent, 'j');
  ASSERT_FALSE(J.Ink.empty());
  int Top = 0, Bottom = 0;
  for (const auto& P : J.Ink) {
    Top = std::min(Top, P.second);
    Bottom = std::max(Bottom, P.second);
  }
  EXPECT_LT(Top, -8);
  EXPECT_GT(Bottom, 1);
  FreeFNTFont(Made);
  FT_Done_Face(Source);
}

TEST_F(FreeTypeCrossCheck, ShowcaseFontsReadTheSame) {
  const fs::path Fonts = fs::path(LUMORA_SOURCE_DIR) / "assets" / "Fonts";
  int Files = 0;
  bool Version2 = false, Version3 = false;
  for (const fs::directory_entry& E : fs::directory_iterator(Fonts)) {
    if (E.path().extension() != ".fnt") continue;
    ++Files;
    EXPECT_EQ(Compare(E.path().string()), 256);
    std::ifstream In(E.path(), std::ios::binary);
    uint8_t Head[2] = {};
    In.read(reinterpret_cast<char*>(Head), sizeof Head);
    const uint16_t V = bytes::Read16(Head + fnt::OFS_VERSION);
    Version2 |= V == fnt::VERSION_2X;
    Version3 |= V == fnt::VERSION_3X;
  }
  EXPECT_EQ(Files, 15);
  EXPECT_TRUE(Version2);
  EXPECT_TRUE(Version3);
}

// The comparison itself can fail: a font whose bits differ from the file FreeType reads.
TEST_F(FreeTypeCrossCheck, TheComparisonSeesADifference) {
  TTempDir Temp;
  const std::string& Dir = Temp.Path;
  FntLayout S;
  S.PixHeight = 4;
  S.Glyphs.assign(224, ArtGlyph({"#..#", ".##.", ".##.", "#..#"}));
  WriteBytes(Dir + "/a.fnt", BuildFnt(S));
  EXPECT_EQ(Compare(Dir + "/a.fnt"), 256);
  TFont Font{};
  uint8_t Result = 0;
  LoadFNTFont(Dir + "/a.fnt", Font, Result);
  ASSERT_EQ(Result, FNT_OK);
  FT_Face Face = nullptr;
  ASSERT_EQ(FT_New_Face(Library, (Dir + "/a.fnt").c_str(), 0, &Face), 0);
  ASSERT_EQ(FT_Select_Size(Face, 0), 0);
  ASSERT_EQ(FT_Load_Char(Face, 'A', FT_LOAD_RENDER | FT_LOAD_MONOCHROME), 0);
  Font.Glyphs[224 * 4 + 33 * 4] ^= 0x80;  // change the top-left pixel of 'A' in our copy
  SetColor(255, 255, 255, 0);
  WriteText(0, 0, Font, "A");
  EXPECT_NE(PixelAt(0, 0)[0] == 255, ((Face->glyph->bitmap.buffer[0] >> 7) & 1) != 0);
  FT_Done_Face(Face);
  FreeFNTFont(Font);
}

}  // namespace
