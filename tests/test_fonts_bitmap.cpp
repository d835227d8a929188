// lumora-mkfnt on bitmap fonts: .fon, .fnt, .pcf.gz, .bdf and .otb files from Debian
// packages are converted strike by strike, and every glyph of the converted font (loaded
// with LoadFNTFont) is compared with FreeType's bitmap of that strike: the same ink, the
// same width. A font file that is not installed skips its test with the package's name.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/files.h"
#include "support/fnt_builder.h"
#include "support/headless.h"
#include "test_fonts_ink.h"

namespace {

using namespace lumora;
using namespace testsupport;
namespace fs = std::filesystem;

const std::string WINE_FONTS = "/usr/share/wine/fonts";
const std::string X11_MISC = "/usr/share/fonts/X11/misc";
const std::string TERMINUS = "/usr/share/fonts/opentype/terminus";

// Windows-1252 0x80..0x9F, 0 where it has no character.
constexpr uint32_t CP1252_80[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

uint32_t Cp1252(int Code) {
  if (Code == 0x7F) return 0;
  if (Code >= 0x80 && Code <= 0x9F) return CP1252_80[Code - 0x80];
  return uint32_t(Code);
}

struct TRun {
  int Exit;
  std::string Output;  // stdout and stderr
};

TRun Mkfnt(const std::string& Arguments) {
  TTempDir Temp;
  const std::string Log = Temp / "log";
  const int Exit = fontink::Run(std::string(LUMORA_BIN_DIR) + "/lumora-mkfnt " + Arguments + " >'" + Log + "' 2>&1");
  std::ifstream In(Log);
  return {Exit, std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>())};
}

std::string Quoted(const std::string& S) { return "'" + S + "'"; }

class BitmapFontConversion : public fontink::FreeTypeTest {
 protected:
  // Converts face FaceIndex of Source with Options into Out; true when lumora-mkfnt wrote it.
  bool Convert(const std::string& Source, const std::string& Options, const std::string& Out) {
    const TRun R = Mkfnt("-q " + Options + " " + Quoted(Source) + " " + Quoted(Out));
    EXPECT_EQ(R.Exit, 0) << Source << " " << Options << ": " << R.Output;
    return R.Exit == 0;
  }

  // Compares every code of the converted font Converted with strike Strike of face
  // FaceIndex of Source, as FreeType loads it: the glyph the code maps to (through
  // Windows-1252 when the face has a Unicode map, else the face's own code), or the strike's
  // default glyph for a code without one or whose glyph FreeType cannot load (a few of
  // Wine's .fon files hold such glyphs). Adds the codes compared to Compared.
  void CompareStrike(const std::string& Source, long FaceIndex, int Strike, const std::string& Converted,
                     int& Compared) {
    SCOPED_TRACE(Source + " face " + std::to_string(FaceIndex) + " strike " + std::to_string(Strike));
    TFont Font{};
    uint8_t Result = 99;
    LoadFNTFont(Converted, Font, Result);
    ASSERT_EQ(Result, FNT_OK) << FNTResultText(Result);
    const uint32_t Ascent = fontink::AscentOf(Converted);
    FT_Face Face = nullptr;
    ASSERT_EQ(FT_New_Face(Library, Source.c_str(), FaceIndex, &Face), 0);
    ASSERT_EQ(FT_Select_Size(Face, Strike), 0);
    const bool Unicode = FT_Select_Charmap(Face, FT_ENCODING_UNICODE) == 0;
    if (!Unicode) {
      ASSERT_GE(Face->num_charmaps, 1);
      ASSERT_EQ(FT_Set_Charmap(Face, Face->charmaps[0]), 0);
    }
    int Wrong = 0;
    for (int Code = Font.FirstChar; Code <= Font.LastChar; ++Code) {
      const uint32_t Char = Unicode ? Cp1252(Code) : uint32_t(Code);
      FT_UInt Index = Char ? FT_Get_Char_Index(Face, Char) : 0;
      if (Unicode && Index == 0 && (Char == 0xA0 || Char == 0xAD)) Index = FT_Get_Char_Index(Face, Char == 0xA0 ? 0x20 : 0x2D);
      if (FT_Load_Glyph(Face, Index, FT_LOAD_DEFAULT) != 0) {
        ++Unloadable;
        ASSERT_EQ(FT_Load_Glyph(Face, 0, FT_LOAD_DEFAULT), 0) << Code;
      }
      ASSERT_EQ(Face->glyph->format, FT_GLYPH_FORMAT_BITMAP) << Code;
      const std::string Why = fontink::Mismatch(fontink::FromSlot(Face->glyph), fontink::FromFont(Font, Ascent, Code));
      EXPECT_EQ(Why, "") << "code 0x" << std::hex << Code;
      Wrong += !Why.empty();
      ++Compared;
    }
    EXPECT_EQ(Wrong, 0);
    FT_Done_Face(Face);
    FreeFNTFont(Font);
  }

  int Unloadable = 0;  // codes whose glyph FreeType could not load
};

long FaceCount(FT_Library Library, const std::string& Path) {
  FT_Face Face = nullptr;
  if (FT_New_Face(Library, Path.c_str(), -1, &Face) != 0) return 0;
  const long N = Face->num_faces;
  FT_Done_Face(Face);
  return N;
}

std::vector<std::string> FilesIn(const std::string& Dir, const std::string& Suffix) {
  std::vector<std::string> Files;
  std::error_code Error;
  for (const fs::directory_entry& E : fs::directory_iterator(Dir, Error)) {
    const std::string P = E.path().string();
    if (P.size() > Suffix.size() && P.compare(P.size() - Suffix.size(), Suffix.size(), Suffix) == 0) Files.push_back(P);
  }
  std::sort(Files.begin(), Files.end());
  return Files;
}

// Every font resource of every .fon of Wine's fonts: glyphs, widths, code range, default
// character, character set and point size as the resource has them.
TEST_F(BitmapFontConversion, EveryFaceOfWinesFonFilesIsCopiedBitForBit) {
  const std::vector<std::string> Fons = FilesIn(WINE_FONTS, ".fon");
  if (Fons.empty()) GTEST_SKIP() << "no .fon files in " << WINE_FONTS << " (fonts-wine)";
  TTempDir Temp;
  int Faces = 0, Compared = 0;
  bool OtherCharSet = false, SeveralFaces = false;
  for (const std::string& Fon : Fons) {
    const long Count = FaceCount(Library, Fon);
    ASSERT_GT(Count, 0) << Fon;
    SeveralFaces |= Count > 1;
    for (long I = 0; I < Count; ++I) {
      const std::string Out = Temp / ("face" + std::to_string(Faces) + ".fnt");
      if (!Convert(Fon, "--face-index " + std::to_string(I), Out)) continue;
      ++Faces;
      CompareStrike(Fon, I, 0, Out, Compared);
      // The header keeps what the resource says about itself.
      FT_Face Face = nullptr;
      ASSERT_EQ(FT_New_Face(Library, Fon.c_str(), I, &Face), 0);
      FT_WinFNT_HeaderRec Win{};
      ASSERT_EQ(FT_Get_WinFNT_Header(Face, &Win), 0);
      std::ifstream In(Out, std::ios::binary);
      const std::vector<uint8_t> B((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
      ASSERT_GE(B.size(), fnt::HEADER_2X_SIZE);
      EXPECT_EQ(B[fnt::OFS_CHAR_SET], Win.charset) << Fon << " " << I;
      EXPECT_EQ(bytes::Read16(&B[fnt::OFS_POINTS]), Win.nominal_point_size) << Fon << " " << I;
      EXPECT_EQ(B[fnt::OFS_FIRST_CHAR], Win.first_char) << Fon << " " << I;
      EXPECT_EQ(B[fnt::OFS_LAST_CHAR], Win.last_char) << Fon << " " << I;
      EXPECT_EQ(B[fnt::OFS_DEFAULT_CHAR], Win.default_char) << Fon << " " << I;
      EXPECT_EQ(bytes::Read16(&B[fnt::OFS_PIX_HEIGHT]), Win.pixel_height) << Fon << " " << I;
      EXPECT_EQ(bytes::Read16(&B[fnt::OFS_ASCENT]), Win.ascent) << Fon << " " << I;
      EXPECT_EQ(bytes::Read16(&B[fnt::OFS_PIX_WIDTH]), 0) << Fon << " " << I;  // always variable width
      OtherCharSet |= Win.charset != 0;
      FT_Done_Face(Face);
    }
  }
  std::printf("%zu .fon files, %d faces, %d codes compared (%d of them glyphs FreeType cannot load)\n", Fons.size(),
              Faces, Compared, Unloadable);
  EXPECT_TRUE(SeveralFaces);
  EXPECT_TRUE(OtherCharSet);
}

// X fonts of xfonts-base, fixed and proportional, in Unicode and in their own encodings,
// with glyphs reaching left of their origin (the cursor font).
TEST_F(BitmapFontConversion, XFontsInPcfAreCopiedBitForBit) {
  const char* Names[] = {"6x13.pcf.gz",    "6x13O.pcf.gz",  "9x15B.pcf.gz", "12x24.pcf.gz",
                         "10x20-ISO8859-2.pcf.gz", "cu12.pcf.gz", "clR6x12.pcf.gz", "cursor.pcf.gz",
                         "olgl14.pcf.gz",  "micro.pcf.gz"};
  TTempDir Temp;
  int Fonts = 0, Compared = 0;
  for (const char* Name : Names) {
    const std::string Pcf = X11_MISC + "/" + Name;
    if (!fs::exists(Pcf)) continue;
    const std::string Out = Temp / (std::string(Name) + ".fnt");
    if (!Convert(Pcf, "", Out)) continue;
    CompareStrike(Pcf, 0, 0, Out, Compared);
    ++Fonts;
  }
  if (Fonts == 0) GTEST_SKIP() << "no X fonts in " << X11_MISC << " (xfonts-base)";
  std::printf("%d PCF fonts, %d codes compared\n", Fonts, Compared);
  EXPECT_EQ(Fonts, int(std::size(Names)));
}

// A BDF font, written here from a PCF font by pcf2bdf.
TEST_F(BitmapFontConversion, BdfFontsAreCopiedBitForBit) {
  if (fontink::Run("command -v pcf2bdf >/dev/null 2>&1") != 0) GTEST_SKIP() << "pcf2bdf is not installed (pcf2bdf)";
  TTempDir Temp;
  int Fonts = 0, Compared = 0;
  for (const char* Name : {"7x13B", "10x20-ISO8859-2", "clR6x12"}) {
    const std::string Pcf = X11_MISC + "/" + Name + ".pcf.gz";
    if (!fs::exists(Pcf)) continue;
    const std::string Bdf = Temp / (std::string(Name) + ".bdf");
    ASSERT_EQ(fontink::Run("gzip -dc " + Quoted(Pcf) + " | pcf2bdf -o " + Quoted(Bdf)), 0) << Name;
    std::ifstream In(Bdf);
    std::string First;
    std::getline(In, First);
    EXPECT_EQ(First.rfind("STARTFONT", 0), 0u) << First;
    const std::string Out = Temp / (std::string(Name) + ".fnt");
    if (!Convert(Bdf, "", Out)) continue;
    CompareStrike(Bdf, 0, 0, Out, Compared);
    ++Fonts;
  }
  if (Fonts == 0) GTEST_SKIP() << "no X fonts in " << X11_MISC << " to make BDF fonts of (xfonts-base)";
  EXPECT_EQ(Fonts, 3);
}

// Every strike of an OpenType bitmap font, chosen by number and by size.
TEST_F(BitmapFontConversion, EveryStrikeOfAnOtbFontIsCopiedBitForBit) {
  const std::string Otb = TERMINUS + "/terminus-normal.otb";
  if (!fs::exists(Otb)) GTEST_SKIP() << Otb << " is not installed (fonts-terminus-otb)";
  TTempDir Temp;
  FT_Face Face = nullptr;
  ASSERT_EQ(FT_New_Face(Library, Otb.c_str(), 0, &Face), 0);
  const int Strikes = Face->num_fixed_sizes;
  std::vector<int> Ems;
  for (int K = 0; K < Strikes; ++K) Ems.push_back(int((Face->available_sizes[K].y_ppem + 32) / 64));
  FT_Done_Face(Face);
  ASSERT_GT(Strikes, 1);
  int Compared = 0;
  for (int K = 0; K < Strikes; ++K) {
    const std::string Out = Temp / ("strike" + std::to_string(K) + ".fnt");
    if (!Convert(Otb, "--strike " + std::to_string(K), Out)) continue;
    CompareStrike(Otb, 0, K, Out, Compared);
    // --px of the strike's em size picks the same strike.
    const std::string ByPx = Temp / ("px" + std::to_string(K) + ".fnt");
    if (!Convert(Otb, "--px " + std::to_string(Ems[size_t(K)]), ByPx)) continue;
    std::ifstream A(Out, std::ios::binary), B(ByPx, std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(A), std::istreambuf_iterator<char>(),
                           std::istreambuf_iterator<char>(B), std::istreambuf_iterator<char>()))
        << "strike " << K;
  }
  // The other styles at one strike each.
  for (const char* Style : {"terminus-bold.otb", "terminus-oblique.otb", "terminus-bold-oblique.otb"}) {
    const std::string Path = TERMINUS + "/" + Style;
    if (!fs::exists(Path)) continue;
    const std::string Out = Temp / (std::string(Style) + ".fnt");
    if (Convert(Path, "--strike 2", Out)) CompareStrike(Path, 0, 2, Out, Compared);
  }
  std::printf("%d strikes, %d codes compared\n", Strikes, Compared);
}

// .fnt files: the showcase's fonts, and a font with its own code range, default character
// and character set, which the copy keeps.
TEST_F(BitmapFontConversion, FntFilesAreCopiedBitForBit) {
  TTempDir Temp;
  int Fonts = 0, Compared = 0;
  for (const std::string& Fnt : FilesIn(std::string(LUMORA_SOURCE_DIR) + "/assets/Fonts", ".fnt")) {
    const std::string Out = Temp / ("copy" + std::to_string(Fonts) + ".fnt");
    if (!Convert(Fnt, "", Out)) continue;
    CompareStrike(Fnt, 0, 0, Out, Compared);
    ++Fonts;
  }
  EXPECT_EQ(Fonts, 15);

  FntLayout S;
  S.PixHeight = 5;
  S.FirstChar = 0x41;
  S.DefaultChar = 2;
  S.Glyphs = {ArtGlyph({"##.", "#.#", "###", "#.#", "#.#"}), ArtGlyph({"##", "#.", "##", "#.", "##"}),
              ArtGlyph({"#####", "#...#", "#...#", "#...#", "#####"})};
  std::vector<uint8_t> B = BuildFnt(S);
  B[fnt::OFS_CHAR_SET] = 238;
  const std::string Own = Temp.Write("own.fnt", B);
  const std::string Out = Temp / "own-copy.fnt";
  ASSERT_TRUE(Convert(Own, "", Out));
  CompareStrike(Own, 0, 0, Out, Compared);
  std::ifstream In(Out, std::ios::binary);
  const std::vector<uint8_t> C((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  ASSERT_GE(C.size(), fnt::HEADER_2X_SIZE);
  EXPECT_EQ(C[fnt::OFS_FIRST_CHAR], 0x41);
  EXPECT_EQ(C[fnt::OFS_LAST_CHAR], 0x43);
  EXPECT_EQ(C[fnt::OFS_DEFAULT_CHAR], 2);
  EXPECT_EQ(C[fnt::OFS_CHAR_SET], 238);
  TFont Font{};
  uint8_t Result = 99;
  LoadFNTFont(Out, Font, Result);
  ASSERT_EQ(Result, FNT_OK);
  EXPECT_EQ(GetTextLength(Font, "ABCZ"), 3u + 2u + 5u + 5u);  // 'Z' draws the default character
  FreeFNTFont(Font);
}

// --list-sizes, and the choice of face and strike with its refusals.
TEST(MkfntBitmapOptions, ListsFacesAndStrikesAndRefusesWhatIsNotThere) {
  const std::string Fon = WINE_FONTS + "/sserife.fon";
  const std::string Otb = TERMINUS + "/terminus-normal.otb";
  if (!fs::exists(Fon)) GTEST_SKIP() << Fon << " is not installed (fonts-wine)";
  if (!fs::exists(Otb)) GTEST_SKIP() << Otb << " is not installed (fonts-terminus-otb)";
  TTempDir Temp;
  const std::string Out = " " + Quoted(Temp / "o.fnt");

  TRun R = Mkfnt("--list-sizes " + Fon);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_NE(R.Output.find(Fon + ": 3 faces"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("face 2: \"MS Sans Serif\""), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("Windows FNT, bitmap only"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("strike 0: em 11 px, height 13 px"), std::string::npos) << R.Output;
  R = Mkfnt("--list-sizes " + Otb);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_NE(R.Output.find("Unicode character map, 9 strikes"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find("strike 8: em 32 px, height 32 px"), std::string::npos) << R.Output;
  EXPECT_EQ(Mkfnt("--list-sizes" + Out).Exit, 1);  // not a font
  EXPECT_EQ(Mkfnt("--list-sizes " + Fon + Out).Exit, 2);

  R = Mkfnt("--face-index 3 " + Fon + Out);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("has 3 faces: no face 3"), std::string::npos) << R.Output;
  R = Mkfnt(Otb + Out);
  EXPECT_EQ(R.Exit, 2);
  EXPECT_NE(R.Output.find("has 9 strikes (12 px, 14 px"), std::string::npos) << R.Output;
  R = Mkfnt("--px 15 " + Otb + Out);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("has no strike of 15 px"), std::string::npos) << R.Output;
  R = Mkfnt("--strike 9 " + Otb + Out);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("no strike 9"), std::string::npos) << R.Output;
  EXPECT_EQ(Mkfnt("--strike 1 --px 14 " + Otb + Out).Exit, 2);
  EXPECT_EQ(Mkfnt("--strike x " + Otb + Out).Exit, 2);
  EXPECT_EQ(Mkfnt("--face-index -1 " + Otb + Out).Exit, 2);
  R = Mkfnt("--codes " + Quoted(std::string(LUMORA_SOURCE_DIR) + "/assets/symbol-font-codes.tsv") + " " + Fon + Out);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Output.find("needs a font with a Unicode character map"), std::string::npos) << R.Output;
  EXPECT_FALSE(fs::exists(Temp / "o.fnt"));

  const char* Scalable = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (fs::exists(Scalable)) {
    R = Mkfnt(std::string("--strike 0 ") + Scalable + Out);
    EXPECT_EQ(R.Exit, 1);
    EXPECT_NE(R.Output.find("has no bitmap strikes"), std::string::npos) << R.Output;
    R = Mkfnt(std::string(Scalable) + Out);
    EXPECT_EQ(R.Exit, 2);
    EXPECT_NE(R.Output.find("give the size"), std::string::npos) << R.Output;
  }
  // The summary names the strike.
  R = Mkfnt("--face-index 1 " + Fon + Out);
  EXPECT_EQ(R.Exit, 0) << R.Output;
  EXPECT_NE(R.Output.find("MS Sans Serif 13 px (10 pt), strike 0 copied"), std::string::npos) << R.Output;
}

}  // namespace
